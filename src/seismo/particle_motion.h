#pragma once
// The geometry of the particle-motion picture: three square boxes of side q
// in a square of side s, and each hodogram's points in its box.

#include <vector>

namespace nuv {

struct HodogramPoint {
  int x = 0;  // pixels right of the box's left edge
  int y = 0;  // pixels above the box's bottom edge
};

// The n samples of a horizontal and a vertical component, each with its
// mean removed, on the common extent of both (widened by 0.001 either way
// when it is below 0.0001): x = round((h - lo) q / (hi - lo)), likewise y.
std::vector<HodogramPoint> HodogramPoints(const float* h, const float* v, int n, int q);

// The side of the three boxes within a square of side s: (s - 10) / 2.
inline int HodogramBoxSide(int s) {
  return (s - 10) / 2;
}

// The first sample and the count of a pane's interval in a signal of
// `size` samples starting at `windowStart`: n = trunc(|t2 - t1| / dx),
// i0 = trunc((t1 - windowStart) / dx); false when i0 < 0 or i0 + n is not
// below the size.
bool HodogramSpan(double windowStart, double t1, double t2, double dx, int size, int& i0, int& n);

}  // namespace nuv
