#pragma once
// What one redraw of the map puts on the picture, as a list of primitives in
// device pixels (x right, y down from the top of the client area), so that
// the window paints it with Qt and the command line rasterises it without.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "map/coastline.h"
#include "map/map_view.h"
#include "map/relief.h"

namespace nuv::map {

enum class DrawMode { Simple, Coastline, Relief };

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlue{0, 0, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kCoastColour{0, 128, 0};
// Country borders lie under the coast in a light grey; lake shores in a
// water blue apart from the stations' pure blue.
inline constexpr Colour kBorderColour{160, 160, 160};
inline constexpr Colour kLakeColour{40, 120, 200};
inline constexpr Colour kEllipseColour{255, 0, 255};

struct DevicePoint {
  int x = 0, y = 0;
};

// A polyline of two or more points.
struct Stroke {
  std::vector<DevicePoint> points;
  Colour colour;
  bool dotted = false;
};

// Single pixels.
struct PixelGroup {
  std::vector<DevicePoint> points;
  Colour colour;
};

// The round station or epicentre symbol: an ellipse `diameter` pixels wide
// and high with a fill and an outline, and a square dot in its centre.
struct Marker {
  DevicePoint centre;
  int diameter = 0;
  Colour outline, fill, dot;
  int dotSize = 4;
  bool cross = false;  // the current origin: a cross instead of the dot
};

enum class TextAnchor { LeftMiddle, RightMiddle, CentreAbove, CentreBelow };

struct Label {
  DevicePoint at;
  std::string text;  // UTF-8
  Colour colour;
  TextAnchor anchor = TextAnchor::LeftMiddle;
};

struct MapScene {
  int width = 0, height = 0;
  MapRect rect;  // y from the bottom, as the projection counts
  // Relief mode: the parts of the relief bitmaps to stretch, drawn first.
  std::vector<ReliefPatch> relief;
  std::vector<Stroke> strokes;
  std::vector<PixelGroup> pixels;
  std::vector<Marker> markers;
  std::vector<Label> labels;
  // What was drawn.
  size_t coastPoints = 0, borderPoints = 0, lakePoints = 0;
  int stations = 0, events = 0, azimuths = 0, circles = 0;
  int hiddenLabels = 0;  // station codes left out where no free place was near
  bool drawn = false;    // false for a degenerate view or size
};

struct MapStation {
  std::string code;
  float lat = 0, lon = 0;
  float distance = -1;  // epicentral distance estimate, degrees; -1 = none
};

struct AzimuthLine {
  float lat = 0, lon = 0;  // the station
  float azimuth = 0;
};

struct MapOrigin {
  float lat = 0, lon = 0;
  float major = -1, minor = -1, direction = -1;  // semi-axes (km); -1 = none
};

struct MapSceneInput {
  MapView view;
  int width = 0, height = 0;
  // The text extent of "WWWW": the left and bottom margins.
  int marginX = 40, marginY = 16;
  double pixelsPerMm = 96 / 25.4;
  // The extent of a label's text in the picture's font; unset: the small
  // font of the picture drawn without Qt.
  std::function<int(const std::string&)> textWidth;
  int textHeight = 0;
  DrawMode mode = DrawMode::Simple;
  const Coastline* coastline = nullptr;
  // Country borders and lake shores, drawn in the simple and coastline modes.
  const Coastline* borders = nullptr;
  const Coastline* lakes = nullptr;
  std::vector<MapStation> stations;
  bool drawAzimuth = false;
  std::vector<AzimuthLine> azimuths;
  std::optional<GeoPoint> startEpicentre;
  std::optional<MapOrigin> origin;
};

// The map rectangle for a client area (y from the bottom).
MapRect MapRectangle(int width, int height, int marginX, int marginY);

MapScene BuildMapScene(const MapSceneInput& input);

}  // namespace nuv::map
