#include "map/geo_lines.h"

#include <cmath>

#include "traveltime/dist_az.h"

namespace nuv::map {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
// The geographic-to-geocentric factor and polar form DistAz uses.
constexpr double kGeocentric = 0.993277;
constexpr double kPolarCorrection = 0.01063193;

double GeographicLatitude(double psi) {
  const double phi = std::atan(std::tan(psi) / kGeocentric);
  if (kHalfPi - std::fabs(phi) >= 0.05) return phi;
  // Inverse of the linear form near the poles.
  return psi > 0 ? (psi + kPolarCorrection) * kGeocentric : (psi - kPolarCorrection) * kGeocentric;
}

}  // namespace

GeoPoint Destination(double lat, double lon, double azimuth, double distance) {
  const GeoVector p = GeocentricVector(static_cast<float>(lat), static_cast<float>(lon));
  const double psi = std::asin(std::fmax(-1.0, std::fmin(1.0, p.z)));
  const double lambda = lon * kDegToRad;
  // Local north and east unit vectors; written from the longitude so that
  // they stay defined at the poles.
  const double nx = -std::sin(psi) * std::cos(lambda), ny = -std::sin(psi) * std::sin(lambda),
               nz = std::cos(psi);
  const double ex = -std::sin(lambda), ey = std::cos(lambda);
  const double az = azimuth * kDegToRad, d = distance * kDegToRad;
  const double dx = std::cos(az) * nx + std::sin(az) * ex;
  const double dy = std::cos(az) * ny + std::sin(az) * ey;
  const double dz = std::cos(az) * nz;
  const double qx = std::cos(d) * p.x + std::sin(d) * dx;
  const double qy = std::cos(d) * p.y + std::sin(d) * dy;
  const double qz = std::cos(d) * p.z + std::sin(d) * dz;
  const double qpsi = std::asin(std::fmax(-1.0, std::fmin(1.0, qz)));
  GeoPoint out;
  out.lat = static_cast<float>(GeographicLatitude(qpsi) / kDegToRad);
  out.lon = static_cast<float>(std::atan2(qy, qx) / kDegToRad);
  if (out.lat > 90) out.lat = 90;
  if (out.lat < -90) out.lat = -90;
  return out;
}

std::vector<GeoPoint> GreatCirclePoints(double lat, double lon, double azimuth, double step,
                                        double maxDistance) {
  std::vector<GeoPoint> points;
  if (!(step > 0)) return points;
  const int n = static_cast<int>(std::floor(maxDistance / step + 1e-9));
  points.reserve(static_cast<size_t>(n) + 1);
  for (int i = 0; i <= n; ++i) points.push_back(Destination(lat, lon, azimuth, i * step));
  return points;
}

std::vector<GeoPoint> DistanceCircle(double lat, double lon, double distance) {
  std::vector<GeoPoint> points;
  points.reserve(360);
  for (int az = 0; az < 360; ++az) points.push_back(Destination(lat, lon, az, distance));
  return points;
}

std::vector<GeoPoint> EllipseOutline(double lat, double lon, double majorKm, double minorKm,
                                     double direction, int points) {
  std::vector<GeoPoint> outline;
  if (!(majorKm > 0 && minorKm > 0) || points < 3) return outline;
  const double kmPerDegree = 111.19;
  const double cosLat = std::cos(lat * kDegToRad);
  const double theta = direction * kDegToRad;
  for (int i = 0; i <= points; ++i) {
    const double t = 2 * 3.14159265358979323846 * i / points;
    const double along = majorKm * std::cos(t), across = minorKm * std::sin(t);
    const double northKm = along * std::cos(theta) - across * std::sin(theta);
    const double eastKm = along * std::sin(theta) + across * std::cos(theta);
    GeoPoint p;
    p.lat = static_cast<float>(lat + northKm / kmPerDegree);
    // At the poles a kilometre east spans no defined longitude: keep the centre's.
    p.lon = static_cast<float>(cosLat > 1e-9 ? lon + eastKm / (kmPerDegree * cosLat) : lon);
    outline.push_back(p);
  }
  return outline;
}

}  // namespace nuv::map
