#include "map/label_placement.h"

#include <cstddef>

namespace nuv::map {
namespace {

constexpr int kGap = 2;  // pixels between a symbol and its label

struct Candidate {
  LabelBox box;
  bool leader = false;
};

// The places of one label in the order they are tried.
std::vector<Candidate> Candidates(const LabelRequest& r) {
  const int w = r.width, h = r.height, cx = r.x, cy = r.y, rad = r.radius;
  const int right = cx + rad + kGap, left = cx - rad - kGap - w, middle = cy - h / 2;
  std::vector<Candidate> out = {
      {{right, middle, w, h}},
      {{left, middle, w, h}},
      {{cx + rad, cy - rad - h, w, h}},
      {{cx + rad, cy + rad, w, h}},
      {{cx - rad - w, cy - rad - h, w, h}},
      {{cx - rad - w, cy + rad, w, h}},
      {{cx - w / 2, cy - rad - kGap - h, w, h}},
      {{cx - w / 2, cy + rad + kGap, w, h}},
  };
  for (int row = 1; row <= kMaxLabelRows; ++row)
    for (int column : {right, left})
      for (int sign : {-1, 1}) out.push_back({{column, middle + sign * row * (h + 1), w, h}, true});
  return out;
}

bool Inside(const LabelBox& box, const LabelBox& area) {
  return box.left >= area.left && box.top >= area.top && box.right() <= area.right() &&
         box.bottom() <= area.bottom();
}

bool OverlapsAny(const LabelBox& box, const std::vector<LabelBox>& boxes) {
  for (const LabelBox& other : boxes)
    if (box.Overlaps(other)) return true;
  return false;
}

}  // namespace

std::vector<LabelSpot> PlaceLabels(const std::vector<LabelRequest>& requests,
                                   const LabelBox& area) {
  std::vector<LabelBox> symbols, placed;
  for (const LabelRequest& r : requests)
    symbols.push_back({r.x - r.radius, r.y - r.radius, 2 * r.radius + 1, 2 * r.radius + 1});
  std::vector<LabelSpot> spots(requests.size());
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const std::vector<Candidate> candidates = Candidates(requests[i]);
    const Candidate* chosen = nullptr;
    for (const Candidate& c : candidates)
      if (Inside(c.box, area) && !OverlapsAny(c.box, symbols) && !OverlapsAny(c.box, placed)) {
        chosen = &c;
        break;
      }
    if (!chosen)
      for (const Candidate& c : candidates)
        if (!OverlapsAny(c.box, placed)) {
          chosen = &c;
          break;
        }
    if (!chosen) continue;
    spots[i] = {true, chosen->box, chosen->leader};
    placed.push_back(chosen->box);
  }
  return spots;
}

}  // namespace nuv::map
