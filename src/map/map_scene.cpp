#include "map/map_scene.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "map/geo_lines.h"
#include "map/label_placement.h"
#include "map/tiny_font.h"

namespace nuv::map {
namespace {

constexpr double kAzimuthStep = 0.025;  // degrees of distance between great-circle points
constexpr double kLongJump = 170;       // degrees: a jump this long crosses 180°

// Projects geographic points into strokes, breaking the line at invisible
// points, at jumps across the 180° meridian and at jumps longer than half
// the map width.
class StrokeBuilder {
 public:
  StrokeBuilder(const Projection& projection, int height, std::vector<Stroke>& out, Colour colour,
                bool geoJumps)
      : projection_(projection), height_(height), out_(out), colour_(colour), geoJumps_(geoJumps) {}
  ~StrokeBuilder() { Break(); }

  void Add(const GeoPoint& p) {
    const double lon = NormaliseLongitude(p.lon);
    if (!projection_.view().Contains(p.lat, lon)) {
      Break();
      return;
    }
    const PixelPoint px = projection_.ToPixel(p.lat, lon);
    if (!current_.points.empty()) {
      const bool jump = geoJumps_ && (std::fabs(p.lat - last_.lat) > kLongJump ||
                                      std::fabs(lon - last_.lon) > kLongJump);
      if (jump || std::abs(px.x - current_.points.back().x) > projection_.rect().width() / 2)
        Break();
    }
    last_ = {p.lat, static_cast<float>(lon)};
    // A point on the pixel of the one before adds nothing to the line.
    const DevicePoint d{px.x, height_ - px.y};
    if (!current_.points.empty() && current_.points.back().x == d.x &&
        current_.points.back().y == d.y)
      return;
    current_.points.push_back(d);
  }

  void Break() {
    if (current_.points.size() >= 2) {
      current_.colour = colour_;
      out_.push_back(std::move(current_));
    }
    current_ = Stroke();
  }

 private:
  const Projection& projection_;
  int height_;
  std::vector<Stroke>& out_;
  Colour colour_;
  bool geoJumps_;
  Stroke current_;
  GeoPoint last_;
};

DevicePoint Device(const Projection& projection, int height, double lat, double lon) {
  const PixelPoint p = projection.ToPixel(lat, NormaliseLongitude(lon));
  return {p.x, height - p.y};
}

void AddLine(MapScene& scene, DevicePoint a, DevicePoint b, Colour colour, bool dotted = false) {
  scene.strokes.push_back({{a, b}, colour, dotted});
}

std::string DegreeLabel(int degrees) {
  char text[32];
  std::snprintf(text, sizeof text, "%d°", degrees);
  return text;
}

// Draws the polylines of a line file; returns the number of points read.
size_t DrawLines(MapScene& scene, const Projection& projection, const Coastline* lines,
                 Colour colour) {
  if (!lines) return 0;
  for (const auto& line : lines->polylines) {
    StrokeBuilder builder(projection, scene.height, scene.strokes, colour, true);
    for (const GeoPoint& p : line) builder.Add(p);
  }
  return lines->pointCount();
}

void DrawFrame(MapScene& scene) {
  const MapRect& r = scene.rect;
  const int top = scene.height - r.top, bottom = scene.height - r.bottom;
  scene.strokes.push_back(
      {{{r.left, top}, {r.right, top}, {r.right, bottom}, {r.left, bottom}, {r.left, top}},
       kBlack});
}

void DrawAzimuths(MapScene& scene, const Projection& projection, const MapSceneInput& input) {
  for (const AzimuthLine& line : input.azimuths) {
    for (double az : {static_cast<double>(line.azimuth), line.azimuth + 180.0}) {
      StrokeBuilder builder(projection, scene.height, scene.strokes, kRed, false);
      for (const GeoPoint& p : GreatCirclePoints(line.lat, line.lon, az, kAzimuthStep, 180))
        builder.Add(p);
    }
    ++scene.azimuths;
  }
}

void DrawGraticule(MapScene& scene, const Projection& projection) {
  const MapView& v = projection.view();
  const MapRect& r = scene.rect;
  const int top = scene.height - r.top, bottom = scene.height - r.bottom;
  int labelled = 0;
  for (int i = static_cast<int>(std::ceil(v.west)); i <= std::floor(v.west + v.span); ++i) {
    const int lon = static_cast<int>(NormaliseLongitude(i));
    // From the offset east of the west edge, so that both edges of a whole
    // globe starting at any meridian get their tick.
    const int x = projection.XAtOffset(i - v.west);
    const bool major = lon % 10 == 0;
    const int len = major ? 6 : 3;
    AddLine(scene, {x, top}, {x, top + len}, kBlack);
    AddLine(scene, {x, bottom}, {x, bottom - len}, kBlack);
    if (!major) continue;
    if (labelled++ % 2 == 0)
      scene.labels.push_back(
          {{x, bottom - len - 1}, DegreeLabel(lon), kBlack, TextAnchor::CentreAbove});
    else
      scene.labels.push_back(
          {{x, top + len + 1}, DegreeLabel(lon), kBlack, TextAnchor::CentreBelow});
    for (int lat = -90; lat <= 90; lat += 10) {
      if (lat < v.south || lat > v.north) continue;
      const int y = scene.height - projection.Y(lat);
      AddLine(scene, {x - 2, y}, {x + 3, y}, kBlack);
      AddLine(scene, {x, y - 2}, {x, y + 3}, kBlack);
    }
  }
  for (int lat = static_cast<int>(std::ceil(v.south)); lat <= std::floor(v.north); ++lat) {
    const int y = scene.height - projection.Y(lat);
    const bool major = lat % 10 == 0;
    AddLine(scene, {r.left, y}, {r.left + (major ? 6 : 3), y}, kBlack);
    if (major)
      scene.labels.push_back({{r.left - 2, y}, DegreeLabel(lat), kBlack, TextAnchor::RightMiddle});
  }
}

void DrawDistanceCircle(MapScene& scene, const Projection& projection, const MapStation& s) {
  const std::vector<GeoPoint> circle = DistanceCircle(s.lat, s.lon, s.distance);
  PixelGroup dots{{}, kBlue};
  for (const GeoPoint& p : circle)
    if (projection.view().Contains(p.lat, NormaliseLongitude(p.lon)))
      dots.points.push_back(Device(projection, scene.height, p.lat, p.lon));
  const DevicePoint centre = Device(projection, scene.height, s.lat, s.lon);
  if (projection.view().Contains(s.lat, s.lon)) {
    for (int az : {0, 90, 180, 270}) {
      const GeoPoint& p = circle[static_cast<size_t>(az)];
      if (!projection.view().Contains(p.lat, NormaliseLongitude(p.lon))) continue;
      const DevicePoint end = Device(projection, scene.height, p.lat, p.lon);
      if (std::abs(end.x - centre.x) <= scene.rect.width() / 2)
        AddLine(scene, centre, end, kBlue, true);
    }
    for (DevicePoint d :
         {DevicePoint{1, 0}, DevicePoint{-1, 0}, DevicePoint{0, 1}, DevicePoint{0, -1}})
      dots.points.push_back({centre.x + d.x, centre.y + d.y});
    scene.pixels.push_back(std::move(dots));
    scene.pixels.push_back({{centre}, kWhite});
  } else {
    scene.pixels.push_back(std::move(dots));
  }
  ++scene.circles;
}

void DrawStations(MapScene& scene, const Projection& projection, const MapSceneInput& input,
                  int diameter) {
  for (const MapStation& s : input.stations)
    if (s.distance > 0) DrawDistanceCircle(scene, projection, s);
  std::vector<LabelRequest> requests;
  std::vector<const MapStation*> shown;
  const int textHeight = input.textWidth ? input.textHeight : kGlyphHeight;
  for (const MapStation& s : input.stations) {
    if (!projection.view().Contains(s.lat, s.lon)) continue;
    const DevicePoint c = Device(projection, scene.height, s.lat, s.lon);
    scene.markers.push_back({c, diameter, kBlue, kWhite, kBlue, 4});
    const int width = input.textWidth ? input.textWidth(s.code) : TextWidth(s.code);
    requests.push_back({c.x, c.y, diameter / 2, width, textHeight});
    shown.push_back(&s);
    ++scene.stations;
  }
  // The codes go where they cover no other code; one moved away from its
  // symbol is joined to it by a line.
  const MapRect& r = scene.rect;
  const LabelBox area{r.left, scene.height - r.top, r.width(), r.height()};
  const std::vector<LabelSpot> spots = PlaceLabels(requests, area);
  for (size_t i = 0; i < spots.size(); ++i) {
    const LabelSpot& spot = spots[i];
    if (!spot.placed) {
      ++scene.hiddenLabels;
      continue;
    }
    const LabelBox& b = spot.box;
    if (spot.leader) {
      const DevicePoint from{requests[i].x, requests[i].y};
      const int x = std::clamp(from.x, b.left, b.right() - 1);
      const int y = std::clamp(from.y, b.top, b.bottom() - 1);
      AddLine(scene, from, {x, y}, kBlue, true);
    }
    scene.labels.push_back(
        {{b.left, b.top + b.height / 2}, shown[i]->code, kBlue, TextAnchor::LeftMiddle});
  }
}

void DrawEpicentres(MapScene& scene, const Projection& projection, const MapSceneInput& input,
                    int diameter) {
  if (input.origin) {
    const MapOrigin& o = *input.origin;
    StrokeBuilder builder(projection, scene.height, scene.strokes, kEllipseColour, false);
    for (const GeoPoint& p : EllipseOutline(o.lat, o.lon, o.major, o.minor, o.direction))
      builder.Add(p);
    builder.Break();
    if (projection.view().Contains(o.lat, o.lon)) {
      Marker m{Device(projection, scene.height, o.lat, o.lon), diameter, kRed, kWhite, kRed, 0};
      m.cross = true;
      scene.markers.push_back(m);
      ++scene.events;
    }
  }
  if (input.startEpicentre &&
      projection.view().Contains(input.startEpicentre->lat, input.startEpicentre->lon)) {
    const GeoPoint& p = *input.startEpicentre;
    scene.markers.push_back(
        {Device(projection, scene.height, p.lat, p.lon), diameter, kRed, kWhite, kRed, 4});
  }
}

}  // namespace

MapRect MapRectangle(int width, int height, int marginX, int marginY) {
  MapRect r;
  r.left = marginX;
  r.bottom = marginY;
  r.right = width - marginY;
  r.top = height - marginY;
  return r;
}

MapScene BuildMapScene(const MapSceneInput& input) {
  MapScene scene;
  scene.width = input.width;
  scene.height = input.height;
  scene.rect = MapRectangle(input.width, input.height, input.marginX, input.marginY);
  if (!input.view.drawable() || scene.rect.width() <= 0 || scene.rect.height() <= 0) return scene;
  scene.drawn = true;
  const Projection projection(input.view, scene.rect);
  const int diameter = std::max(3, static_cast<int>(std::lround(3 * input.pixelsPerMm)));

  if (input.mode == DrawMode::Relief) scene.relief = ReliefPatches(projection, scene.height);
  if (input.mode != DrawMode::Relief) {
    // Borders first, so that the coast and the lake shores lie over them.
    scene.borderPoints = DrawLines(scene, projection, input.borders, kBorderColour);
    scene.lakePoints = DrawLines(scene, projection, input.lakes, kLakeColour);
  }
  if (input.mode == DrawMode::Coastline)
    scene.coastPoints = DrawLines(scene, projection, input.coastline, kCoastColour);
  DrawFrame(scene);
  if (input.drawAzimuth) DrawAzimuths(scene, projection, input);
  DrawGraticule(scene, projection);
  DrawStations(scene, projection, input, diameter);
  DrawEpicentres(scene, projection, input, diameter);
  return scene;
}

}  // namespace nuv::map
