#pragma once
// Bresenham's walk along a line of pixels: the pictures that write pixels
// themselves (map, particle motion, trace panes) share it.

#include <cstdlib>

namespace nuv {

// Calls plot(x, y) for every pixel of the line from (x0, y0) to (x1, y1),
// both ends included, in order from the first.
template <typename Plot>
void WalkLine(int x0, int y0, int x1, int y1, Plot&& plot) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  for (int error = dx + dy;;) {
    plot(x0, y0);
    if (x0 == x1 && y0 == y1) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

}  // namespace nuv
