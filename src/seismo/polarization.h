#pragma once
// Polarization of three-component particle motion from the covariance of
// the components, the sliding-window schedule over a trace, and the
// plane-wave fit of P arrival times over a group of stations.

#include <string>
#include <vector>

namespace nuv {

struct PolarizationResult {
  float azimuthNE = 0;   // degrees, from the horizontal components
  float azimuthZNE = 0;  // degrees, from all three
  float emergence = 0;   // degrees
  float planarity = 0;
  float rectilinearity = 0;
};

// Azimuth in degrees 0..360 from the principal eigenvector (ev up, eh1
// north, eh2 east) of the particle motion: atan2(-eh2, -eh1) after turning
// the vector so that its vertical component points up. For a P wave this is
// the back azimuth (from the station towards the source) with no 180-degree
// ambiguity; a purely horizontal vector keeps the sign it has.
double AzimuthFromEigenvector(double ev, double eh1, double eh2);

// v (up), h1 (north), h2 (east), each of at least n samples. A singular
// covariance gives all zeros.
PolarizationResult Polarization(const float* v, const float* h1, const float* h2, int n);
PolarizationResult Polarization(const std::vector<float>& v, const std::vector<float>& h1,
                                const std::vector<float>& h2);

// Eigen-decomposition of a symmetric 3 x 3 matrix by cyclic Jacobi rotations
// in single precision; eigenvalues sorted descending with their eigenvector
// columns (vectors[row][column]).
void Jacobi3(float a[3][3], float values[3], float vectors[3][3]);

// The windows of the sliding analysis over n samples with length L and
// shift S: (start, length) pairs.
std::vector<std::pair<int, int>> SlidingWindows(int n, int length, int shift);

// The sliding analysis: one value per window of SlidingWindows over the
// shortest of the three traces (v up, h1 north, h2 east): rectilinearity,
// planarity, or the azimuth by ZNE in degrees.
enum class PolarizationMeasure { Rectilinearity, Planarity, Azimuth };
std::vector<float> SlidingPolarization(const std::vector<float>& v, const std::vector<float>& h1,
                                       const std::vector<float>& h2, int length, int shift,
                                       PolarizationMeasure measure);

// Plane-wave fit. Convention: each station is placed as seen from the
// reference station, d_i (degrees) away at azimuth az_i (at the reference,
// towards the station): X_i = d_i sin az_i east, Y_i = d_i cos az_i north.
// The fit t_i = t0 - p X_i - q Y_i makes (p, q) the horizontal slowness
// vector pointing towards the source (stations on the source side record
// the wave first), so atan2(p, q) is the back azimuth at the reference and
// sqrt(p^2 + q^2) the slowness in s/degree, the unit of the CSS arrival and
// IMS bulletin slowness; the apparent velocity is given in km/s.
struct PlaneWaveFit {
  bool ok = false;
  std::string message;  // "Необходимо > 2 P-фаз" with fewer than 3 times
  double p = 0, q = 0, t0 = 0;
  double azimuth = 0;     // degrees 0..360, direction of the source
  double velocity = 0;    // apparent velocity, degrees per second
  double velocityKm = 0;  // the same in km/s
  double slowness = 0;    // s/degree: 111.1953 / velocityKm
  double rms = -1;        // with more than 3 times
  std::vector<double> residuals;
};
PlaneWaveFit FitPlaneWave(const std::vector<double>& times, const std::vector<double>& distances,
                          const std::vector<double>& azimuths);

class NUVPhases;
class StationTable;

// The fit over the defining phases of type index 0 ("P") of the list, seen
// from the station `reference` (its position in the station table).
PlaneWaveFit FitPlaneWaveToPhases(const NUVPhases& phases, const StationTable& stations,
                                  int reference);
// Stores the fit into every defining "P" phase of the reference station:
// azimuth and slowness with their flags.
void ApplyPlaneWaveFit(const PlaneWaveFit& fit, NUVPhases& phases, int reference);

}  // namespace nuv
