#pragma once
// Synthetic arrays for the F-K suites: a plane wave from a back azimuth
// with a slowness crossing stations at given offsets.

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "fk/fk_search.h"

namespace nuv::test {

struct PlaneWave {
  double azimuth = 60;    // degrees, towards the source
  double slowness = 0.1;  // s/km
  double arrival = 30;    // seconds after the window start, at the origin
  double noise = 0.05;
};

// A wavelet at 2 Hz under a Gaussian envelope plus white noise; a station
// whose offset points towards the source records it earlier.
inline std::vector<FkPane> PlaneWaveArray(const std::vector<std::pair<float, float>>& eastNorth,
                                          const PlaneWave& wave, double rate = 100,
                                          double length = 60) {
  const double a = wave.azimuth * M_PI / 180;
  const double px = wave.slowness * std::sin(a), py = wave.slowness * std::cos(a);
  std::mt19937 random(11);
  std::normal_distribution<double> noise(0, wave.noise);
  std::vector<FkPane> panes;
  for (size_t i = 0; i < eastNorth.size(); ++i) {
    FkPane p;
    p.station = "S" + std::to_string(i);
    p.channel = "BHZ";
    p.deast = eastNorth[i].first;
    p.dnorth = eastNorth[i].second;
    p.rate = rate;
    p.start = 1000;
    p.windowLength = length;
    p.samples.resize(static_cast<size_t>(length * rate));
    const double lead = px * p.deast + py * p.dnorth;
    for (size_t k = 0; k < p.samples.size(); ++k) {
      const double t = k / rate - wave.arrival + lead;
      p.samples[k] =
          static_cast<float>(std::exp(-t * t / 2) * std::sin(2 * M_PI * 2 * t) + noise(random));
    }
    p.intervalStart = p.start + wave.arrival + 6;  // marked right to left
    p.intervalEnd = p.start + wave.arrival - 6;
    p.hasInterval = true;
    panes.push_back(std::move(p));
  }
  return panes;
}

// Nine stations on a 3 x 3 square, 1 km apart.
inline std::vector<std::pair<float, float>> SquareArray() {
  std::vector<std::pair<float, float>> xy;
  for (int i = -1; i <= 1; ++i)
    for (int j = -1; j <= 1; ++j) xy.emplace_back(static_cast<float>(i), static_cast<float>(j));
  return xy;
}

}  // namespace nuv::test
