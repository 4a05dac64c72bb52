#include "sigproc/fft_pow2.h"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace nuv {

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

void FftPow2(float* pairs, std::size_t count) {
  if (!IsPowerOfTwo(count)) {
    throw std::invalid_argument("FftPow2: the length is not a power of two");
  }
  if (count == 1) return;
  // Indices run over the float array: a complex point k sits at 2k, 2k+1.
  const std::size_t n = count * 2;

  // Bit-reversal reordering.
  std::size_t j = 0;
  for (std::size_t i = 0; i < n; i += 2) {
    if (j > i) {
      std::swap(pairs[j], pairs[i]);
      std::swap(pairs[j + 1], pairs[i + 1]);
    }
    std::size_t m = count;
    while (m >= 2 && j >= m) {
      j -= m;
      m >>= 1;
    }
    j += m;
  }

  // Danielson-Lanczos butterflies; `span` floats = butterfly span in complex points.
  std::size_t span = 2;
  while (n > span) {
    const std::size_t step = span << 1;
    const double theta = kTwoPi / static_cast<double>(span);
    const double half = std::sin(0.5 * theta);
    const double wpr = -2.0 * half * half;
    const double wpi = std::sin(theta);
    double wr = 1.0;
    double wi = 0.0;
    for (std::size_t m = 0; m < span; m += 2) {
      for (std::size_t i = m; i < n; i += step) {
        const std::size_t k = i + span;
        const float tempr = static_cast<float>(wr * pairs[k] - wi * pairs[k + 1]);
        const float tempi = static_cast<float>(wr * pairs[k + 1] + wi * pairs[k]);
        pairs[k] = pairs[i] - tempr;
        pairs[k + 1] = pairs[i + 1] - tempi;
        pairs[i] += tempr;
        pairs[i + 1] += tempi;
      }
      const double wtemp = wr;
      wr = wr * wpr - wi * wpi + wr;
      wi = wi * wpr + wtemp * wpi + wi;
    }
    span = step;
  }
}

void FftPow2(std::vector<std::complex<float>>& data) {
  FftPow2(reinterpret_cast<float*>(data.data()), data.size());
}

}  // namespace nuv
