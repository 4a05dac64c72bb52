#pragma once
// The map's view window in degrees and its equirectangular projection onto
// the map rectangle in pixels. Longitudes are kept in (-180, 180]; a view may
// cross the 180° meridian (west edge greater than east edge).

#include <utility>
#include <vector>

namespace nuv::map {

// Reduces |lon| modulo 360 keeping the sign, then brings it into (-180, 180].
double NormaliseLongitude(double lon);

struct MapView {
  double west = -180, east = 180, span = 360;  // longitudes and Δλ
  double south = -90, north = 90;

  double height() const { return north - south; }
  double centreLat() const { return (south + north) / 2; }
  double centreLon() const { return NormaliseLongitude(west + span / 2); }

  void Restore() { *this = MapView(); }
  // Half-spans divided (zoom in) or multiplied (zoom out) by 1.5 about the centre.
  void ZoomIn();
  void ZoomOut();
  // Shifts by half the span or height.
  void ShiftEast();
  void ShiftWest();
  void ShiftNorth();
  void ShiftSouth();
  // A view from corner longitudes and latitudes in any order; `span` is the
  // longitude width (the rectangle may cross 180°).
  void SetRectangle(double westLon, double span, double lat1, double lat2);
  // Moves the view so that (lat, lon) is its centre, keeping both spans; the
  // latitudes stay within -90..90 (the centre then lies off the middle).
  void CentreOn(double lat, double lon);

  bool ContainsLongitude(double lon) const;
  bool Contains(double lat, double lon) const {
    return lat >= south && lat <= north && ContainsLongitude(lon);
  }
  // Distance east of the west edge, 0..360.
  double OffsetEast(double lon) const;
  // A view whose southern and northern edges coincide is not drawn.
  bool drawable() const { return north > south && span > 0; }
};

// The view that shows every (latitude, longitude) with a margin, one degree
// of longitude as wide as one of latitude is high on a map rectangle of
// `aspect` (width / height; 0 keeps the spans as the points give them). The
// longitudes are covered the short way round, across 180° when that is
// shorter. No points: the world view.
MapView FitView(const std::vector<std::pair<double, double>>& points, double aspect);

// The map rectangle; y counts from the bottom of the client area.
struct MapRect {
  int left = 0, right = 0, bottom = 0, top = 0;
  int width() const { return right - left; }
  int height() const { return top - bottom; }
  bool Inside(int x, int y) const { return x >= left && x <= right && y >= bottom && y <= top; }
};

struct PixelPoint {
  int x = 0, y = 0;  // y from the bottom
};

class Projection {
 public:
  Projection(const MapView& view, const MapRect& rect) : view_(view), rect_(rect) {}

  int X(double lon) const;
  // The column `offset` degrees east of the view's west edge (0..span).
  int XAtOffset(double offset) const;
  int Y(double lat) const;
  PixelPoint ToPixel(double lat, double lon) const { return {X(lon), Y(lat)}; }
  // Linear inverse; the longitude is normalised.
  double Longitude(int x) const;
  double Latitude(int y) const;

  const MapView& view() const { return view_; }
  const MapRect& rect() const { return rect_; }

 private:
  MapView view_;
  MapRect rect_;
};

}  // namespace nuv::map
