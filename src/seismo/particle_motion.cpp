#include "seismo/particle_motion.h"

#include <algorithm>
#include <cmath>

namespace nuv {

std::vector<HodogramPoint> HodogramPoints(const float* h, const float* v, int n, int q) {
  std::vector<HodogramPoint> points;
  if (n < 1) return points;
  double mh = 0, mv = 0;
  for (int k = 0; k < n; ++k) {
    mh += h[k];
    mv += v[k];
  }
  mh /= n;
  mv /= n;
  double lo = h[0] - mh, hi = lo;
  for (int k = 0; k < n; ++k) {
    for (double x : {h[k] - mh, v[k] - mv}) {
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
  }
  if (hi - lo < 0.0001) {
    hi += 0.001;
    lo -= 0.001;
  }
  points.reserve(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k)
    points.push_back({static_cast<int>(std::lround((h[k] - mh - lo) * q / (hi - lo))),
                      static_cast<int>(std::lround((v[k] - mv - lo) * q / (hi - lo)))});
  return points;
}

bool HodogramSpan(double windowStart, double t1, double t2, double dx, int size, int& i0, int& n) {
  if (!(dx > 0)) return false;
  const double count = std::trunc(std::fabs(t2 - t1) / dx);
  const double first = std::trunc((t1 - windowStart) / dx);
  if (first < 0 || first + count >= size) return false;
  i0 = static_cast<int>(first);
  n = static_cast<int>(count);
  return true;
}

}  // namespace nuv
