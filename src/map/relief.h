#pragma once
// Where the relief bitmaps go on the map: nine equirectangular bands
// "map00.bmp" … "map08.bmp", each 4320 × 240 pixels (1/12° a pixel), band i
// covering latitudes 90 − 20·i down to 70 − 20·i and longitudes −180 to 180.
// For a view, each band that overlaps it gives one patch (two when the view
// crosses 180°): a source rectangle in the band's pixels stretched onto a
// target rectangle of the map.

#include <string>
#include <vector>

#include "map/map_view.h"

namespace nuv::map {

inline constexpr int kReliefBands = 9;
inline constexpr int kReliefWidth = 4320, kReliefHeight = 240;
inline constexpr double kReliefPixelsPerDegree = 12;

// "map%02d.bmp".
std::string ReliefFileName(int band);

struct ReliefPatch {
  int band = 0;
  double srcLeft = 0, srcTop = 0, srcWidth = 0, srcHeight = 0;  // band pixels
  int left = 0, top = 0, right = 0, bottom = 0;                 // device pixels
};

// `height` is the client height (device y = height − y from the bottom).
std::vector<ReliefPatch> ReliefPatches(const Projection& projection, int height);

}  // namespace nuv::map
