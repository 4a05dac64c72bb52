#pragma once
// Upper quantiles of the F distribution from the standard table.

namespace nuv {

// F(k, n, p) for k = 1, 2, 3 numerator degrees of freedom and p = 0.90,
// 0.95, 0.99; tabulated for n = 1..30, 40, 60, 120 and infinity and
// interpolated linearly in n / (n + 1) in between; n <= 0 gives 1000.
// Returns -1 for a k or p outside the table.
double FQuantile(int k, double n, double p);

}  // namespace nuv
