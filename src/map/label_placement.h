#pragma once
// Places the station codes beside their symbols so that no two codes cover
// each other where stations crowd (an array of stations a few kilometres
// apart falls on one pixel). Deterministic: the same symbols and texts give
// the same places.

#include <vector>

namespace nuv::map {

// A rectangle in device pixels (y down), half-open: [left, left + width).
struct LabelBox {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool Overlaps(const LabelBox& other) const {
    return left < other.right() && other.left < right() && top < other.bottom() &&
           other.top < bottom();
  }
};

struct LabelRequest {
  int x = 0, y = 0;           // the symbol's centre
  int radius = 0;             // the symbol's half size
  int width = 0, height = 0;  // the text's extent
};

struct LabelSpot {
  bool placed = false;
  LabelBox box;
  bool leader = false;  // set away from its symbol: a line joins the two
};

// Rows a label may move up or down, in columns right and left of its symbol.
inline constexpr int kMaxLabelRows = 8;

// In the order given, each label takes the first of its places that overlaps
// no label placed before it and no symbol and lies inside `area`: right of
// the symbol, left, at its four corners, above, below; then in columns right
// and left of the symbol one row further up or down at a time. When none is
// free, the first place that overlaps no label is taken (outside `area` or
// over a symbol); a label without even that is left out (placed = false).
std::vector<LabelSpot> PlaceLabels(const std::vector<LabelRequest>& requests, const LabelBox& area);

}  // namespace nuv::map
