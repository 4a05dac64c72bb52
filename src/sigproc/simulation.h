#pragma once
// Removal of the recording channel's response and simulation of standard
// seismographs. Two pipelines: through poles and zeros (codes 1000-1007, 1010),
// on a length trimmed to a large power-of-two factor, and through the
// amplitude table (codes 1011-1016, 1018, 1019), which corrects amplitudes
// only. Both are defined as discrete Fourier sums; they are evaluated with
// fast transforms that give the same numbers to floating-point precision.

#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "sigproc/response.h"

namespace nuv {

// A pipeline that cannot run on its input (bad sampling rate, a code that
// belongs to the other pipeline); what() is the text to show.
class SimulationError : public std::runtime_error {
 public:
  explicit SimulationError(const std::string& message) : std::runtime_error(message) {}
};

// The transform length m for n samples: among m in (0.96*n, n], scanning down
// from n, the one whose largest power-of-two factor is greatest (a later one
// wins only when strictly greater). Odd candidates are never taken: 0 when
// every candidate is odd (small odd n) and for n = 0.
std::size_t PoleZeroTransformLength(std::size_t n);

// The pole-zero pipeline: the first m samples, mean and least-squares line
// removed, 5 % sine taper at each end, forward transform, every bin but the
// first multiplied by R(f) (0 below 0.03 Hz) and by the code's factor (1 for
// displacement, i*2*pi*f for velocity, S(f) of the standard instrument),
// inverse transform. Returns m samples (none when m is 0). Throws
// SimulationError for a sampling rate that is not positive and finite, or a
// code outside 1000-1007 and 1010.
std::vector<float> SimulatePoleZero(std::span<const float> samples, double samplesPerSecond,
                                    const PoleZeroResponse& response, int code);

// The amplitude-table pipeline: mean removed, every bin k >= 1 scaled by A(f)
// (and |S(f)| of the standard instrument except for code 1011) with
// f = sps*min(k, n-k)/n; phases stay. Returns n samples. Throws
// SimulationError as above for codes outside 1011-1016, 1018, 1019.
std::vector<float> SimulateFap(std::span<const float> samples, double samplesPerSecond,
                               const CAPResponse& response, int code);

}  // namespace nuv
