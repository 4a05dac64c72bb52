#pragma once
// Singular-value decomposition by the Golub-Reinsch procedure (Householder
// bidiagonalisation, then implicitly shifted QR sweeps), for the small
// least-squares systems of the linearised location.

#include <cstddef>
#include <vector>

namespace nuv {

// A dense row-major matrix.
struct Matrix {
  int rows = 0, cols = 0;
  std::vector<double> a;

  Matrix() = default;
  Matrix(int r, int c) : rows(r), cols(c), a(static_cast<std::size_t>(r) * c, 0.0) {}
  double& operator()(int i, int j) { return a[static_cast<std::size_t>(i) * cols + j]; }
  double operator()(int i, int j) const { return a[static_cast<std::size_t>(i) * cols + j]; }
};

inline constexpr int kSvdMaxSweeps = 30;

// Decomposes the m x n matrix `u` (m >= n) in place into U (m x n), the
// singular values `w` (n, not sorted) and V (n x n), so that A = U diag(w) V^T.
// Returns 0, -1 when there are fewer rows than columns, -2 when a singular
// value did not converge within 30 QR sweeps.
int SvdDecompose(Matrix& u, std::vector<double>& w, Matrix& v);

// The least-squares solution x = V diag(1/w) U^T b; singular values equal to
// 0 are left out.
std::vector<double> SvdSolve(const Matrix& u, const std::vector<double>& w, const Matrix& v,
                             const std::vector<double>& b);

}  // namespace nuv
