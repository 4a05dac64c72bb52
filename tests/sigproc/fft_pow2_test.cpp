#include "sigproc/fft_pow2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <stdexcept>
#include <vector>

namespace nuv {
namespace {

// X[k] = sum_j x[j] * exp(+2*pi*i*j*k/P), in double precision.
std::vector<std::complex<double>> DirectDft(const std::vector<std::complex<float>>& x) {
  const std::size_t p = x.size();
  std::vector<std::complex<double>> out(p);
  const double twoPi = 6.283185307179586;
  for (std::size_t k = 0; k < p; ++k) {
    std::complex<double> sum = 0;
    for (std::size_t j = 0; j < p; ++j) {
      const double a = twoPi * static_cast<double>((j * k) % p) / p;
      sum += std::complex<double>(x[j].real(), x[j].imag()) *
             std::complex<double>(std::cos(a), std::sin(a));
    }
    out[k] = sum;
  }
  return out;
}

std::vector<std::complex<float>> TestSignal(std::size_t p) {
  std::vector<std::complex<float>> x(p);
  for (std::size_t j = 0; j < p; ++j) {
    x[j] = {static_cast<float>(std::sin(0.37 * j) + 0.25 * std::cos(2.1 * j) + 0.1 * (j % 7)),
            static_cast<float>(0.5 * std::cos(0.11 * j * j))};
  }
  return x;
}

TEST(FftPow2, MatchesDirectSumForEveryPowerOfTwoUpTo512) {
  for (std::size_t p = 1; p <= 512; p *= 2) {
    auto x = TestSignal(p);
    const auto expected = DirectDft(x);
    double scale = 0;
    for (const auto& v : expected) scale = std::max(scale, std::abs(v));
    FftPow2(x);
    for (std::size_t k = 0; k < p; ++k) {
      // Single-precision pairs: the error grows like log2(P) times float epsilon.
      const double tol = 1e-6 * (1 + std::log2(static_cast<double>(p))) * (1 + scale);
      ASSERT_NEAR(x[k].real(), static_cast<double>(expected[k].real()), tol)
          << "P=" << p << " k=" << k;
      ASSERT_NEAR(x[k].imag(), static_cast<double>(expected[k].imag()), tol)
          << "P=" << p << " k=" << k;
    }
  }
}

TEST(FftPow2, UsesThePositiveKernelSign) {
  // x[j] = exp(-2*pi*i*j/P)
  // gathers into bin 1 only under the kernel exp(+2*pi*i*j*k/P).
  const std::size_t p = 16;
  std::vector<std::complex<float>> x(p);
  for (std::size_t j = 0; j < p; ++j) {
    const double a = -6.283185307179586 * j / p;
    x[j] = {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a))};
  }
  FftPow2(x);
  EXPECT_NEAR(x[1].real(), 16.0, 1e-5);
  for (std::size_t k = 0; k < p; ++k) {
    if (k != 1) {
      EXPECT_NEAR(std::abs(x[k]), 0.0, 1e-5) << k;
    }
  }
}

TEST(FftPow2, ImpulseAndConstant) {
  std::vector<std::complex<float>> impulse(8, 0.0f);
  impulse[0] = 3.0f;
  FftPow2(impulse);
  for (const auto& v : impulse) {
    EXPECT_FLOAT_EQ(v.real(), 3.0f);
    EXPECT_FLOAT_EQ(v.imag(), 0.0f);
  }
  std::vector<std::complex<float>> constant(8, 1.0f);
  FftPow2(constant);
  EXPECT_FLOAT_EQ(constant[0].real(), 8.0f);
  for (std::size_t k = 1; k < 8; ++k) EXPECT_NEAR(std::abs(constant[k]), 0.0, 1e-6);
}

TEST(FftPow2, RejectsLengthsThatAreNotPowersOfTwo) {
  for (std::size_t bad : {0u, 3u, 6u, 12u, 1000u}) {
    std::vector<std::complex<float>> x(bad, 1.0f);
    EXPECT_THROW(FftPow2(x), std::invalid_argument) << bad;
    for (const auto& v : x) EXPECT_EQ(v, std::complex<float>(1.0f)) << "data changed for " << bad;
  }
  float one[2] = {2.0f, -1.0f};
  FftPow2(one, 1);
  EXPECT_EQ(one[0], 2.0f);
  EXPECT_EQ(one[1], -1.0f);
}

}  // namespace
}  // namespace nuv
