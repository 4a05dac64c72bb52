#pragma once
// The power-of-two complex Fourier transform shared by the spectrum functions
// of the formula language and by the response conversion. It works in place on
// single-precision (re, im) pairs and uses the kernel exp(+2*pi*i*j*k/P),
// unscaled: bit-reversal reordering, then Danielson-Lanczos butterflies whose
// twiddle factors follow the trigonometric recurrence
//   wpr = -2*sin^2(theta/2), wpi = sin(theta), theta = 2*pi/m
// for butterfly span m (complex points). The recurrence keeps the rounding of
// the established transform, so spectra match earlier results digit for digit.

#include <complex>
#include <cstddef>
#include <vector>

namespace nuv {

// True for 1, 2, 4, 8, ...
constexpr bool IsPowerOfTwo(std::size_t n) {
  return n != 0 && (n & (n - 1)) == 0;
}

// Transforms `count` complex points stored as 2*count floats (re, im, re, im,
// ...). `count` must be a power of two (1 leaves the data as it is); any other
// count throws std::invalid_argument and leaves the data untouched.
void FftPow2(float* pairs, std::size_t count);

// The same over complex values (the layout of std::complex<float> is a float pair).
void FftPow2(std::vector<std::complex<float>>& data);

}  // namespace nuv
