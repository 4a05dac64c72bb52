#pragma once
// The two inner loops of beam forming, written with the compiler's vector
// types so that they run on SIMD registers whatever the optimisation level.

#include <cstddef>

namespace nuv {

// out[i] += in[i] for i < count.
void AddRun(float* out, const float* in, size_t count);

// The sum of the squares, accumulated in double precision (in four
// interleaved partial sums, added at the end).
double SumOfSquares(const float* values, size_t count);

}  // namespace nuv
