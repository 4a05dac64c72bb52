#pragma once
// The value type of the formula language: an owned array of double samples
// with its sample interval dx (seconds for time series, hertz for spectra).
// A fresh value holds one sample 0.0 with dx 1.0; a count of 1 is a scalar.

#include <vector>

namespace nuv {

struct Signal {
  std::vector<double> samples{0.0};
  double dx = 1.0;

  Signal() = default;
  Signal(std::vector<double> values, double step) : samples(std::move(values)), dx(step) {}
  // A scalar (constants, numbers and scalar results carry dx 1.0).
  static Signal Scalar(double value) { return Signal({value}, 1.0); }

  int count() const { return static_cast<int>(samples.size()); }
  size_t size() const { return samples.size(); }
  bool IsScalar() const { return samples.size() == 1; }
  // The first sample, which a function takes where it needs a number (0.0
  // for an empty signal).
  double First() const { return samples.empty() ? 0.0 : samples[0]; }
};

}  // namespace nuv
