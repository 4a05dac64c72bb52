#include "map/map_view.h"

#include <algorithm>
#include <cmath>

#include "seismo/location.h"

namespace nuv::map {

double NormaliseLongitude(double lon) {
  if (lon >= -180 && lon <= 180) return lon;  // the common case, without fmod
  return WrapLongitude(lon);
}

namespace {

double To360(double lon) {
  if (lon >= 0 && lon < 360) return lon;
  if (lon < 0 && lon >= -360) return lon + 360 == 360 ? 0 : lon + 360;
  double v = std::fmod(lon, 360.0);
  return v < 0 ? v + 360 : v;
}

void ClampLatitudes(MapView& v) {
  v.south = std::max(v.south, -90.0);
  v.north = std::min(v.north, 90.0);
}

// Half-spans scaled by `factor` about the centre.
void Scale(MapView& v, double factor) {
  const double lonCentre = v.west + v.span / 2;
  const double latCentre = v.centreLat();
  const double halfLon = v.span / 2 * factor;
  const double halfLat = v.height() / 2 * factor;
  v.south = latCentre - halfLat;
  v.north = latCentre + halfLat;
  ClampLatitudes(v);
  if (halfLon * 2 >= 360) {
    v.span = 360;
    v.west = NormaliseLongitude(lonCentre - 180);
    v.east = NormaliseLongitude(lonCentre + 180);
    if (v.west == v.east && v.west == 180) v.west = -180;
    return;
  }
  v.span = halfLon * 2;
  v.west = NormaliseLongitude(lonCentre - halfLon);
  v.east = NormaliseLongitude(lonCentre + halfLon);
}

void ShiftLongitude(MapView& v, double by) {
  v.west = NormaliseLongitude(v.west + by);
  v.east = NormaliseLongitude(v.west + v.span);
  // Edges that meet at ±180 give the world view back.
  if (v.west == v.east && std::fabs(v.west) == 180) {
    v.west = -180;
    v.east = 180;
    v.span = 360;
  }
}

}  // namespace

void MapView::ZoomIn() {
  Scale(*this, 1 / 1.5);
}
void MapView::ZoomOut() {
  Scale(*this, 1.5);
}
void MapView::ShiftEast() {
  ShiftLongitude(*this, span / 2);
}
void MapView::ShiftWest() {
  ShiftLongitude(*this, -span / 2);
}

void MapView::ShiftNorth() {
  const double h = height();
  south = centreLat();
  north = south + h;
  if (north > 90) {
    north = 90;
    south = 90 - h;
  }
  south = std::max(south, -90.0);
}

void MapView::ShiftSouth() {
  const double h = height();
  north = centreLat();
  south = north - h;
  north = std::min(north, 90.0);
  if (south < -90) {
    south = -90;
    north = h - 90;
  }
}

void MapView::SetRectangle(double westLon, double width, double lat1, double lat2) {
  south = std::min(lat1, lat2);
  north = std::max(lat1, lat2);
  ClampLatitudes(*this);
  span = std::clamp(width, 0.0, 360.0);
  west = NormaliseLongitude(westLon);
  east = NormaliseLongitude(west + span);
}

void MapView::CentreOn(double lat, double lon) {
  const double h = height();
  south = std::clamp(lat - h / 2, -90.0, 90.0 - h);
  north = south + h;
  west = NormaliseLongitude(lon - span / 2);
  east = NormaliseLongitude(west + span);
}

MapView FitView(const std::vector<std::pair<double, double>>& points, double aspect) {
  MapView view;
  if (points.empty()) return view;
  constexpr double kMinLonSpan = 8, kMinLatSpan = 5;  // degrees, around a lone station
  double south = 90, north = -90;
  std::vector<double> lons;
  for (const auto& [lat, lon] : points) {
    south = std::min(south, lat);
    north = std::max(north, lat);
    lons.push_back(To360(lon));
  }
  // The longitudes are covered by the circle less its widest empty gap.
  std::sort(lons.begin(), lons.end());
  double gap = 360 - (lons.back() - lons.front()), west = lons.front();
  for (size_t i = 1; i < lons.size(); ++i)
    if (lons[i] - lons[i - 1] > gap) {
      gap = lons[i] - lons[i - 1];
      west = lons[i];
    }
  const double covered = 360 - gap;
  // A tenth and one degree of margin on every side.
  double lonSpan = std::max(covered * 1.2 + 2, kMinLonSpan);
  double latSpan = std::max((north - south) * 1.2 + 2, kMinLatSpan);
  if (aspect > 0) {
    if (lonSpan / aspect < latSpan)
      lonSpan = latSpan * aspect;
    else
      latSpan = lonSpan / aspect;
  }
  lonSpan = std::min(lonSpan, 360.0);
  latSpan = std::min(latSpan, 180.0);
  const double centreLat = (south + north) / 2;
  view.span = lonSpan;
  view.south = centreLat - latSpan / 2;
  view.north = centreLat + latSpan / 2;
  view.CentreOn(centreLat, west + covered / 2);
  return view;
}

double MapView::OffsetEast(double lon) const {
  const double w = To360(west), l = To360(lon);
  return l >= w ? l - w : 360 - (w - l);
}

bool MapView::ContainsLongitude(double lon) const {
  if (span >= 360) return true;
  const double l = NormaliseLongitude(lon);
  if (l == east || (l == 180 && east == -180) || (l == -180 && east == 180)) return true;
  return OffsetEast(l) <= span;
}

int Projection::X(double lon) const {
  const double l = NormaliseLongitude(lon);
  double d;
  if (l == view_.west)
    d = 0;
  else if (l == view_.east)
    d = view_.span;
  else
    d = view_.OffsetEast(l);
  return XAtOffset(d);
}

int Projection::XAtOffset(double offset) const {
  return static_cast<int>(std::floor(rect_.left + rect_.width() * offset / view_.span + 0.5));
}

int Projection::Y(double lat) const {
  return static_cast<int>(
      std::floor(rect_.bottom + (lat - view_.south) * rect_.height() / view_.height() + 0.5));
}

double Projection::Longitude(int x) const {
  if (rect_.width() == 0) return view_.west;
  return NormaliseLongitude(view_.west + (x - rect_.left) * view_.span / rect_.width());
}

double Projection::Latitude(int y) const {
  if (rect_.height() == 0) return view_.south;
  return view_.south + (y - rect_.bottom) * view_.height() / rect_.height();
}

}  // namespace nuv::map
