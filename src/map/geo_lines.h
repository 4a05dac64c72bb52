#pragma once
// Points on the sphere for the map's overlays: the point at a distance and
// azimuth from a station (geocentric latitudes, as DistAz measures them), the
// great circle along an azimuth, the circle of a distance estimate, and the
// confidence ellipse of an epicentre in its local metric.

#include <vector>

#include "map/coastline.h"

namespace nuv::map {

// The point `distance` degrees from (lat, lon) in direction `azimuth`
// (degrees clockwise from north); the result's longitude is in [-180, 180].
GeoPoint Destination(double lat, double lon, double azimuth, double distance);

// Points every `step` degrees of distance from the station along `azimuth`,
// from the station (distance 0) to `maxDistance` inclusive.
std::vector<GeoPoint> GreatCirclePoints(double lat, double lon, double azimuth, double step,
                                        double maxDistance);

// One point every degree of azimuth (0..359) at `distance` degrees.
std::vector<GeoPoint> DistanceCircle(double lat, double lon, double distance);

// The outline of a confidence ellipse with semi-axes in km and the major
// axis's azimuth in degrees, `points` points long, in degrees of latitude and
// longitude: km east = degrees × 111.19 × cos(latitude). Empty for axes that
// are not positive.
std::vector<GeoPoint> EllipseOutline(double lat, double lon, double majorKm, double minorKm,
                                     double direction, int points = 72);

}  // namespace nuv::map
