#include "map/relief.h"

#include <algorithm>
#include <cstdio>

namespace nuv::map {

std::string ReliefFileName(int band) {
  char name[32];
  std::snprintf(name, sizeof name, "map%02d.bmp", band);
  return name;
}

namespace {

// One band's part between longitudes `lonFrom` and `lonTo` (−180..180,
// lonFrom < lonTo) drawn at map offsets `xFrom`..`xTo` (degrees east of the
// view's west edge).
void AddPatch(std::vector<ReliefPatch>& out, const Projection& p, int height, int band,
              double latTop, double latBottom, double lonFrom, double lonTo, double xFrom,
              double xTo) {
  if (!(lonTo > lonFrom) || !(latTop > latBottom)) return;
  const double bandTop = 90 - 20.0 * band;
  ReliefPatch patch;
  patch.band = band;
  patch.srcLeft = (lonFrom + 180) * kReliefPixelsPerDegree;
  patch.srcWidth = (lonTo - lonFrom) * kReliefPixelsPerDegree;
  patch.srcTop = (bandTop - latTop) * kReliefPixelsPerDegree;
  patch.srcHeight = (latTop - latBottom) * kReliefPixelsPerDegree;
  patch.left = p.XAtOffset(xFrom);
  patch.right = p.XAtOffset(xTo);
  patch.top = height - p.Y(latTop);
  patch.bottom = height - p.Y(latBottom);
  if (patch.right > patch.left && patch.bottom > patch.top) out.push_back(patch);
}

}  // namespace

std::vector<ReliefPatch> ReliefPatches(const Projection& projection, int height) {
  std::vector<ReliefPatch> patches;
  const MapView& v = projection.view();
  if (!v.drawable()) return patches;
  // The view's longitudes as one or two runs within −180..180.
  const double west = v.west == 180 ? -180 : v.west;
  const double eastEnd = west + v.span;
  for (int band = 0; band < kReliefBands; ++band) {
    const double bandTop = 90 - 20.0 * band, bandBottom = bandTop - 20;
    const double latTop = std::min(v.north, bandTop), latBottom = std::max(v.south, bandBottom);
    if (latTop <= latBottom) continue;
    if (eastEnd <= 180) {
      AddPatch(patches, projection, height, band, latTop, latBottom, west, eastEnd, 0, v.span);
    } else {
      // Across 180°: the part up to 180, then the part from −180.
      AddPatch(patches, projection, height, band, latTop, latBottom, west, 180, 0, 180 - west);
      AddPatch(patches, projection, height, band, latTop, latBottom, -180, eastEnd - 360,
               180 - west, v.span);
    }
  }
  return patches;
}

}  // namespace nuv::map
