#include "traveltime/dist_az.h"

#include <cmath>

namespace nuv {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
// Flattening factor of the geographic-to-geocentric conversion.
constexpr double kGeocentric = 0.993277;
constexpr double kPolarCorrection = 0.01063193;

double GeocentricLatitude(double phi) {
  if (kHalfPi - std::fabs(phi) >= 0.05) return std::atan(kGeocentric * std::tan(phi));
  // Near the poles the tangent is unusable; a linear form joins the curve.
  return phi > 0 ? phi / kGeocentric - kPolarCorrection : phi / kGeocentric + kPolarCorrection;
}

GeoVector Cross(const GeoVector& a, const GeoVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const GeoVector& a, const GeoVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Azimuth at p towards q, degrees 0..360.
double Azimuth(const GeoVector& p, const GeoVector& q) {
  const GeoVector n = Cross(q, p);
  const GeoVector e{-p.y, p.x, 0};
  const double m = std::sqrt(Dot(e, e) * Dot(n, n));
  if (m == 0) return 0;
  double az = std::atan2(-n.z / m, Dot(e, n) / m) / kDegToRad;
  if (az < 0) az += 360;
  return az;
}

}  // namespace

GeoVector GeocentricVector(float lat, float lon) {
  const double psi = GeocentricLatitude(lat * kDegToRad);
  const double lambda = lon * kDegToRad;
  return {std::cos(psi) * std::cos(lambda), std::cos(psi) * std::sin(lambda), std::sin(psi)};
}

float DistanceFromVectors(const GeoVector& a, const GeoVector& b) {
  const GeoVector c = Cross(a, b);
  return static_cast<float>(std::atan2(std::sqrt(Dot(c, c)), Dot(a, b)) / kDegToRad);
}

void DistAzFromVectors(const GeoVector& a, const GeoVector& b, DistAzResult& out) {
  out.distance = DistanceFromVectors(a, b);
  out.azimuth = static_cast<float>(Azimuth(a, b));
  out.backAzimuth = static_cast<float>(Azimuth(b, a));
}

bool DistAz(float lat1, float lon1, float lat2, float lon2, DistAzResult& out) {
  // Written so that NaN coordinates are refused too.
  if (!(lat1 >= -90 && lat1 <= 90 && lat2 >= -90 && lat2 <= 90)) return false;
  if (!(lon1 >= -180 && lon1 <= 180 && lon2 >= -180 && lon2 <= 180)) return false;
  if (lat1 == lat2 && lon1 == lon2) {
    out = DistAzResult{};
    return true;
  }
  DistAzFromVectors(GeocentricVector(lat1, lon1), GeocentricVector(lat2, lon2), out);
  return true;
}

}  // namespace nuv
