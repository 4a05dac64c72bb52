#pragma once
// Tabulated travel-time curves: a table T(depth, distance) per phase, read
// from a text file, interpolated by a natural cubic spline in distance (with
// gaps where the phase does not exist, marked -1) and linearly in depth. The
// magnitude calibration tables use the same layout and the same lookup.

#include <string>
#include <vector>

namespace nuv {

// The travel-time table of one phase type (owned by the phase-type table).
struct PHASEDATA {
  std::string name;              // phase name, up to 9 characters
  std::vector<float> distances;  // NX, degrees, ascending
  std::vector<float> depths;     // ND, km, ascending
  std::vector<float> T;          // ND rows of NX values, depth-major; -1 = none
  std::vector<float> Y2;         // second derivatives, same shape
  int nd = 0;
  int nx = 0;
  int hasTravelTimes = 0;
  // Nodes per unit of the (nearly) evenly spaced axes, 0 otherwise: a
  // lookup then starts next to its interval instead of bisecting.
  double distanceIndexScale = 0;
  double depthIndexScale = 0;

  void Free();
};

// Reads a table file into `data` and builds its spline. `hashComments`: a
// "#" ends the useful part of a line (calibration tables). Returns false
// (leaving `data` freed) when the file is missing or malformed: counts that
// are not positive integers, too few numbers, a text where a number belongs,
// or depths or distances that are not ascending.
bool ReadTravelTimeFile(const std::string& path, PHASEDATA& data, bool hashComments = false);

// The spline table Y2 of every depth row (natural spline, gaps at -1 nodes).
void BuildSecondDerivatives(PHASEDATA& data);

// Travel time in seconds at depth (km) and distance (degrees), or -1 outside
// the table, at a -1 node or for a phase without a table.
double TravelTime(const PHASEDATA& data, double depth, double distance);

// The inverses over one table (-1 when there is no solution).
double DistanceForTime(const PHASEDATA& data, double t, double depth);
double DistanceForTimeDifference(const PHASEDATA& first, const PHASEDATA& second, double dt,
                                 double depth);
// The distance whose local slowness (s/km, 111 km per degree) is nearest to
// `slowness`; 0 when no step of the scan qualified, -1 without a table.
double DistanceForSlowness(const PHASEDATA& data, double slowness, double depth);

// The travel-time calculator's answer "Время пробега=%02d:%02d:%.2f": hours
// (modulo 48), minutes and seconds with their fraction.
std::string TravelTimeText(double seconds);

}  // namespace nuv
