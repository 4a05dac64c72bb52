#pragma once
// Small travel-time tables written by the tests in the layout of the table
// files: a straight-ray P and S in a uniform half-space, so that the true
// times are known in closed form.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "phases/phase_types.h"
#include "support/temp_dir.h"

namespace nuv::test {

inline constexpr double kVp = 8.0;  // km/s
inline constexpr double kVs = 4.6;

inline double StraightRayTime(double depth, double degrees, double velocity) {
  const double x = degrees * 111.19;
  return std::sqrt(x * x + depth * depth) / velocity;
}

// The text of a table: values by `time(depth, distance)`, each depth row on its own lines.
inline std::string TableText(const std::vector<double>& depths,
                             const std::vector<double>& distances,
                             const std::function<double(double, double)>& time) {
  std::string text = "test table\n" + std::to_string(depths.size()) + "\n";
  for (double d : depths) text += std::to_string(d) + " ";
  text += "\n" + std::to_string(distances.size()) + "\n";
  for (size_t i = 0; i < distances.size(); ++i)
    text += std::to_string(distances[i]) + ((i % 10 == 9) ? "\n" : " ");
  text += "\n";
  for (double h : depths) {
    for (size_t i = 0; i < distances.size(); ++i)
      text += std::to_string(time(h, distances[i])) + ((i % 8 == 7) ? "\n" : " ");
    text += "\n";
  }
  return text;
}

inline std::vector<double> Range(double from, double to, double step) {
  std::vector<double> values;
  for (double v = from; v <= to + 1e-9; v += step) values.push_back(v);
  return values;
}

// A travel-time directory with "phaselist", P and S: depths 0..700 km by
// 25 km, distances 0..30 degrees by 0.5.
inline void WriteStraightRaySet(const TempDir& dir) {
  const auto depths = Range(0, 700, 25);
  const auto distances = Range(0, 30, 0.5);
  dir.WriteFile("phaselist", "P P\nS S\n");
  dir.WriteFile("P", TableText(depths, distances,
                               [](double h, double d) { return StraightRayTime(h, d, kVp); }));
  dir.WriteFile("S", TableText(depths, distances,
                               [](double h, double d) { return StraightRayTime(h, d, kVs); }));
}

}  // namespace nuv::test
