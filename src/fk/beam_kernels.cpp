#include "fk/beam_kernels.h"

#include <cstring>

namespace nuv {

namespace {
typedef float Float4 __attribute__((vector_size(16)));
typedef double Double4 __attribute__((vector_size(32)));
}  // namespace

void AddRun(float* out, const float* in, size_t count) {
  size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    Float4 a, b, c, d;
    std::memcpy(&a, out + i, 16);
    std::memcpy(&b, in + i, 16);
    std::memcpy(&c, out + i + 4, 16);
    std::memcpy(&d, in + i + 4, 16);
    a += b;
    c += d;
    std::memcpy(out + i, &a, 16);
    std::memcpy(out + i + 4, &c, 16);
  }
  for (; i < count; ++i) out[i] += in[i];
}

double SumOfSquares(const float* values, size_t count) {
  Double4 sum = {0, 0, 0, 0};
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    Float4 v;
    std::memcpy(&v, values + i, 16);
    const Double4 d = __builtin_convertvector(v, Double4);
    sum += d * d;
  }
  double total = (sum[0] + sum[1]) + (sum[2] + sum[3]);
  for (; i < count; ++i) total += static_cast<double>(values[i]) * values[i];
  return total;
}

}  // namespace nuv
