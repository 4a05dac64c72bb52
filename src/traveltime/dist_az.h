#pragma once
// Distance and azimuths between two points of the Earth on the sphere, with
// geocentric latitudes.

namespace nuv {

struct DistAzResult {
  float distance = 0;     // degrees
  float azimuth = 0;      // from point 1 to point 2, degrees 0..360
  float backAzimuth = 0;  // from point 2 to point 1
};

// False (and `out` untouched) when a latitude is outside -90..90 or a
// longitude outside -180..180.
bool DistAz(float lat1, float lon1, float lat2, float lon2, DistAzResult& out);

// The geocentric unit vector of a geographic point, the building block of
// DistAz (kept separate so that callers with fixed stations can reuse it).
struct GeoVector {
  double x = 0, y = 0, z = 0;
};
GeoVector GeocentricVector(float lat, float lon);
// Distance (degrees) between two unit vectors, as DistAz gives it.
float DistanceFromVectors(const GeoVector& a, const GeoVector& b);
// Distance (degrees) and azimuth/back azimuth between two unit vectors.
void DistAzFromVectors(const GeoVector& a, const GeoVector& b, DistAzResult& out);

inline constexpr double kDegToRad = 0.017453292549885133;
inline constexpr double kKmPerDegree = 111.1953;

}  // namespace nuv
