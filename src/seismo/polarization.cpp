#include "seismo/polarization.h"

#include <algorithm>
#include <cmath>

#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "seismo/location.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

constexpr double kRadToDeg = 57.29577951308232;

// One Jacobi rotation applied to the pair (x, y).
inline void Rotate(float& x, float& y, float s, float tau) {
  const float g = x, h = y;
  x = g - s * (h + g * tau);
  y = h + s * (g - h * tau);
}

}  // namespace

void Jacobi3(float a[3][3], float values[3], float vectors[3][3]) {
  constexpr int n = 3;
  float b[n], z[n];
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) vectors[i][j] = i == j ? 1.0f : 0.0f;
    b[i] = values[i] = a[i][i];
    z[i] = 0;
  }
  for (int sweep = 1; sweep <= 50; ++sweep) {
    float sum = 0;
    for (int p = 0; p < n - 1; ++p)
      for (int q = p + 1; q < n; ++q) sum += std::fabs(a[p][q]);
    if (sum <= 1e-6f) break;
    const float threshold = sweep < 4 ? 0.2f * sum / (n * n) : 0.0f;
    for (int p = 0; p < n - 1; ++p) {
      for (int q = p + 1; q < n; ++q) {
        const float g = 100.0f * std::fabs(a[p][q]);
        // Once the element no longer changes either diagonal element it is dropped.
        if (sweep > 4 && std::fabs(values[p]) + g == std::fabs(values[p]) &&
            std::fabs(values[q]) + g == std::fabs(values[q])) {
          a[p][q] = 0;
          continue;
        }
        if (!(std::fabs(a[p][q]) > threshold)) continue;
        float h = values[q] - values[p];
        float t;
        if (std::fabs(h) + g == std::fabs(h)) {
          t = a[p][q] / h;
        } else {
          const float theta = 0.5f * h / a[p][q];
          t = 1.0f / (std::fabs(theta) + std::sqrt(1.0f + theta * theta));
          if (theta < 0) t = -t;
        }
        const float c = 1.0f / std::sqrt(1 + t * t);
        const float s = t * c;
        const float tau = s / (1.0f + c);
        h = t * a[p][q];
        z[p] -= h;
        z[q] += h;
        values[p] -= h;
        values[q] += h;
        a[p][q] = 0;
        for (int j = 0; j < p; ++j) Rotate(a[j][p], a[j][q], s, tau);
        for (int j = p + 1; j < q; ++j) Rotate(a[p][j], a[j][q], s, tau);
        for (int j = q + 1; j < n; ++j) Rotate(a[p][j], a[q][j], s, tau);
        for (int j = 0; j < n; ++j) Rotate(vectors[j][p], vectors[j][q], s, tau);
      }
    }
    for (int p = 0; p < n; ++p) {
      b[p] += z[p];
      values[p] = b[p];
      z[p] = 0;
    }
  }
  // Descending eigenvalues, the columns of the vectors following them.
  for (int i = 0; i < n - 1; ++i) {
    int k = i;
    for (int j = i + 1; j < n; ++j)
      if (values[j] > values[k]) k = j;
    if (k != i) {
      std::swap(values[i], values[k]);
      for (int j = 0; j < n; ++j) std::swap(vectors[j][i], vectors[j][k]);
    }
  }
}

double AzimuthFromEigenvector(double ev, double eh1, double eh2) {
  // The eigenvector's sign is arbitrary; turned to point up, it is the
  // direction of propagation of an upgoing P wave, whose horizontal part
  // points away from the source.
  if (ev < 0) {
    eh1 = -eh1;
    eh2 = -eh2;
  }
  double az = std::atan2(-eh2, -eh1) * kRadToDeg;
  if (az < 0) az += 360;
  if (az >= 360) az -= 360;
  return az;
}

PolarizationResult Polarization(const float* v, const float* h1, const float* h2, int n) {
  PolarizationResult result;
  if (n < 1) return result;
  double mv = 0, m1 = 0, m2 = 0;
  for (int i = 0; i < n; ++i) {
    mv += v[i];
    m1 += h1[i];
    m2 += h2[i];
  }
  mv /= n;
  m1 /= n;
  m2 /= n;
  double cvv = 0, c11 = 0, c22 = 0, cv1 = 0, cv2 = 0, c12 = 0;
  for (int i = 0; i < n; ++i) {
    const double a = v[i] - mv, b = h1[i] - m1, c = h2[i] - m2;
    cvv += a * a;
    c11 += b * b;
    c22 += c * c;
    cv1 += a * b;
    cv2 += a * c;
    c12 += b * c;
  }
  float cov[3][3] = {
      {static_cast<float>(cvv / n), static_cast<float>(cv1 / n), static_cast<float>(cv2 / n)},
      {static_cast<float>(cv1 / n), static_cast<float>(c11 / n), static_cast<float>(c12 / n)},
      {static_cast<float>(cv2 / n), static_cast<float>(c12 / n), static_cast<float>(c22 / n)}};
  const float det = cov[0][0] * (cov[1][1] * cov[2][2] - cov[1][2] * cov[2][1]) -
                    cov[0][1] * (cov[1][0] * cov[2][2] - cov[1][2] * cov[2][0]) +
                    cov[0][2] * (cov[1][0] * cov[2][1] - cov[1][1] * cov[2][0]);
  if (det == 0.0f || !std::isfinite(det)) return result;

  const float ch11 = cov[1][1], ch22 = cov[2][2], ch12 = cov[1][2], cvh2 = cov[0][2];
  // Larger eigenvalue of the horizontal 2 x 2 covariance.
  const double w = -(static_cast<double>(ch11) + ch22);
  const double a = static_cast<double>(ch11) * ch22 - static_cast<double>(ch12) * ch12;
  const double lh = (std::sqrt(std::max(0.0, w * w - 4 * a)) - w) / 2;

  float values[3], vectors[3][3];
  Jacobi3(cov, values, vectors);
  const double l1 = values[0], l2 = values[1], l3 = values[2];
  const double ev = vectors[0][0], eh1 = vectors[1][0], eh2 = vectors[2][0];

  result.planarity = static_cast<float>(1 - 2 * l3 / (l1 + l2));
  result.rectilinearity = static_cast<float>(1 - (l2 + l3) / (2 * l1));
  result.azimuthZNE = static_cast<float>(AzimuthFromEigenvector(ev, eh1, eh2));
  result.emergence = static_cast<float>(std::acos(std::min(1.0, std::fabs(ev))) * kRadToDeg);

  // Horizontal azimuth from the eigenvector (p, q) of lh.
  const double d = ch11 - lh;
  const double o = std::sqrt(d * d + static_cast<double>(ch12) * ch12);
  double p = 1, q = 0;  // motion along north when the eigenvector is the axis itself
  if (o != 0) {
    p = ch12 / o;
    q = -d / o;
  }
  double az = std::acos(std::clamp(p / std::sqrt(p * p + q * q), -1.0, 1.0)) * kRadToDeg;
  if (cvh2 < 0) az += 180;
  if (az < 180)
    az += 180;
  else
    az -= 180;
  result.azimuthNE = static_cast<float>(az);
  return result;
}

PolarizationResult Polarization(const std::vector<float>& v, const std::vector<float>& h1,
                                const std::vector<float>& h2) {
  const size_t n = std::min({v.size(), h1.size(), h2.size()});
  return Polarization(v.data(), h1.data(), h2.data(), static_cast<int>(n));
}

std::vector<std::pair<int, int>> SlidingWindows(int n, int length, int shift) {
  std::vector<std::pair<int, int>> windows;
  if (n <= 1 || length < 2 || shift < 1) return windows;
  const int count = n / shift;
  int w = length;
  for (int i = 0; i < count; ++i) {
    const int start = i * shift;
    // The last windows are cut at the end of the trace (and stay cut).
    if (start + w >= n) w = n - start - 1;
    if (w < 2) break;
    windows.emplace_back(start, w);
  }
  return windows;
}

std::vector<float> SlidingPolarization(const std::vector<float>& v, const std::vector<float>& h1,
                                       const std::vector<float>& h2, int length, int shift,
                                       PolarizationMeasure measure) {
  const int n = static_cast<int>(std::min({v.size(), h1.size(), h2.size()}));
  std::vector<float> values;
  for (const auto& [start, count] : SlidingWindows(n, length, shift)) {
    const PolarizationResult r =
        Polarization(&v[static_cast<size_t>(start)], &h1[static_cast<size_t>(start)],
                     &h2[static_cast<size_t>(start)], count);
    values.push_back(measure == PolarizationMeasure::Rectilinearity ? r.rectilinearity
                     : measure == PolarizationMeasure::Planarity    ? r.planarity
                                                                    : r.azimuthZNE);
  }
  return values;
}

PlaneWaveFit FitPlaneWave(const std::vector<double>& times, const std::vector<double>& distances,
                          const std::vector<double>& azimuths) {
  PlaneWaveFit fit;
  const size_t n = std::min({times.size(), distances.size(), azimuths.size()});
  if (n < 3) {
    fit.message = "Необходимо > 2 P-фаз";
    return fit;
  }
  const double k = std::acos(-1.0) / 180;
  std::vector<double> x(n), y(n);
  double mx = 0, my = 0, mt = 0;
  for (size_t i = 0; i < n; ++i) {
    x[i] = distances[i] * std::sin(k * azimuths[i]);
    y[i] = distances[i] * std::cos(k * azimuths[i]);
    mx += x[i] / n;
    my += y[i] / n;
    mt += times[i] / n;
  }
  // Least squares of t = t0 - p X - q Y with equal weights, on centred sums.
  double sxx = 0, syy = 0, sxy = 0, sxt = 0, syt = 0;
  for (size_t i = 0; i < n; ++i) {
    const double dx = x[i] - mx, dy = y[i] - my, dt = times[i] - mt;
    sxx += dx * dx / n;
    syy += dy * dy / n;
    sxy += dx * dy / n;
    sxt += dx * dt / n;
    syt += dy * dt / n;
  }
  const double det = sxx * syy - sxy * sxy;
  if (!(std::fabs(det) > 1e-12 * std::max(1.0, sxx * syy))) {
    fit.message = "Нет решения";  // stations on one line: the direction is undetermined
    return fit;
  }
  fit.p = -(sxt * syy - syt * sxy) / det;
  fit.q = -(syt * sxx - sxt * sxy) / det;
  fit.t0 = mt + fit.p * mx + fit.q * my;
  const double s = std::sqrt(fit.p * fit.p + fit.q * fit.q);
  if (s == 0) {
    fit.message = "Нет решения";
    return fit;
  }
  fit.velocity = 1 / s;
  fit.velocityKm = fit.velocity * kKmPerDegree;
  fit.slowness = kKmPerDegree / fit.velocityKm;
  double az = std::atan2(fit.p, fit.q) / k;
  if (az < 0) az += 360;
  fit.azimuth = az;
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const double r = fit.t0 - times[i] - fit.p * x[i] - fit.q * y[i];
    fit.residuals.push_back(r);
    sum += r * r / n;
  }
  if (n > 3) fit.rms = std::sqrt(sum / (n - 3));
  fit.ok = true;
  return fit;
}

PlaneWaveFit FitPlaneWaveToPhases(const NUVPhases& phases, const StationTable& stations,
                                  int reference) {
  std::vector<double> times, distances, azimuths;
  if (reference >= 0 && reference < stations.size()) {
    const CScreenFields& ref = stations[reference];
    for (const SEISMIC_PHASE& p : phases) {
      if (!p.defining || p.phaseType != 0) continue;
      float lat, lon;
      DistAzResult r;
      // Positions are taken at the reference station, looking at each
      // station, so that the fitted direction points to the source.
      if (!ChannelPosition(stations, p.station, p.channel, lat, lon) ||
          !DistAz(ref.lat, ref.lon, lat, lon, r))
        continue;
      times.push_back(p.time);
      distances.push_back(r.distance);
      azimuths.push_back(r.azimuth);
    }
  }
  return FitPlaneWave(times, distances, azimuths);
}

void ApplyPlaneWaveFit(const PlaneWaveFit& fit, NUVPhases& phases, int reference) {
  if (!fit.ok) return;
  for (SEISMIC_PHASE& p : phases) {
    if (p.station != reference || !p.defining || p.phaseType != 0) continue;
    p.hasPolarization = 1;
    p.azimuth = static_cast<float>(fit.azimuth);
    p.hasSlowness = 1;
    p.slowness = static_cast<float>(fit.slowness);
  }
}

}  // namespace nuv
