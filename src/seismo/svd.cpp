#include "seismo/svd.h"

#include <algorithm>
#include <cmath>

namespace nuv {
namespace {

inline double SignOf(double magnitude, double sign) {
  return sign >= 0 ? std::fabs(magnitude) : -std::fabs(magnitude);
}

}  // namespace

int SvdDecompose(Matrix& u, std::vector<double>& w, Matrix& v) {
  const int m = u.rows;
  const int n = u.cols;
  if (m < n) return -1;
  w.assign(static_cast<size_t>(n), 0.0);
  v = Matrix(n, n);
  std::vector<double> e(static_cast<size_t>(n), 0.0);  // superdiagonal
  double g = 0, scale = 0, norm = 0;
  int l = 0;

  // Householder reduction to upper bidiagonal form.
  for (int i = 0; i < n; ++i) {
    l = i + 1;
    e[i] = scale * g;
    g = scale = 0;
    double s = 0;
    for (int k = i; k < m; ++k) scale += std::fabs(u(k, i));
    if (scale != 0) {
      for (int k = i; k < m; ++k) {
        u(k, i) /= scale;
        s += u(k, i) * u(k, i);
      }
      const double f = u(i, i);
      g = -SignOf(std::sqrt(s), f);
      const double h = f * g - s;
      u(i, i) = f - g;
      for (int j = l; j < n; ++j) {
        double sum = 0;
        for (int k = i; k < m; ++k) sum += u(k, i) * u(k, j);
        const double factor = sum / h;
        for (int k = i; k < m; ++k) u(k, j) += factor * u(k, i);
      }
      for (int k = i; k < m; ++k) u(k, i) *= scale;
    }
    w[i] = scale * g;
    g = scale = s = 0;
    if (i != n - 1) {
      for (int k = l; k < n; ++k) scale += std::fabs(u(i, k));
      if (scale != 0) {
        for (int k = l; k < n; ++k) {
          u(i, k) /= scale;
          s += u(i, k) * u(i, k);
        }
        const double f = u(i, l);
        g = -SignOf(std::sqrt(s), f);
        const double h = f * g - s;
        u(i, l) = f - g;
        for (int k = l; k < n; ++k) e[k] = u(i, k) / h;
        for (int j = l; j < m; ++j) {
          double sum = 0;
          for (int k = l; k < n; ++k) sum += u(j, k) * u(i, k);
          for (int k = l; k < n; ++k) u(j, k) += sum * e[k];
        }
        for (int k = l; k < n; ++k) u(i, k) *= scale;
      }
    }
    norm = std::max(norm, std::fabs(w[i]) + std::fabs(e[i]));
  }

  // Accumulation of the right-hand transformations.
  for (int i = n - 1; i >= 0; --i) {
    if (i < n - 1) {
      if (g != 0) {
        for (int j = l; j < n; ++j) v(j, i) = (u(i, j) / u(i, l)) / g;
        for (int j = l; j < n; ++j) {
          double sum = 0;
          for (int k = l; k < n; ++k) sum += u(i, k) * v(k, j);
          for (int k = l; k < n; ++k) v(k, j) += sum * v(k, i);
        }
      }
      for (int j = l; j < n; ++j) v(i, j) = v(j, i) = 0;
    }
    v(i, i) = 1;
    g = e[i];
    l = i;
  }

  // Accumulation of the left-hand transformations.
  for (int i = n - 1; i >= 0; --i) {
    l = i + 1;
    g = w[i];
    for (int j = l; j < n; ++j) u(i, j) = 0;
    if (g != 0) {
      g = 1 / g;
      for (int j = l; j < n; ++j) {
        double sum = 0;
        for (int k = l; k < m; ++k) sum += u(k, i) * u(k, j);
        const double f = (sum / u(i, i)) * g;
        for (int k = i; k < m; ++k) u(k, j) += f * u(k, i);
      }
      for (int j = i; j < m; ++j) u(j, i) *= g;
    } else {
      for (int j = i; j < m; ++j) u(j, i) = 0;
    }
    u(i, i) += 1;
  }

  // Diagonalisation of the bidiagonal form by QR sweeps.
  for (int k = n - 1; k >= 0; --k) {
    for (int sweep = 1;; ++sweep) {
      bool cancel = true;
      int split = k;
      for (; split >= 0; --split) {
        if (std::fabs(e[split]) + norm == norm) {  // e[0] is always 0
          cancel = false;
          break;
        }
        if (std::fabs(w[split - 1]) + norm == norm) break;
      }
      l = split;
      if (cancel) {
        // Cancellation of e[l] when w[l-1] is negligible.
        const int nm = l - 1;
        double c = 0, s = 1;
        for (int i = l; i <= k; ++i) {
          const double f = s * e[i];
          e[i] = c * e[i];
          if (std::fabs(f) + norm == norm) break;
          g = w[i];
          double h = std::hypot(f, g);
          w[i] = h;
          h = 1 / h;
          c = g * h;
          s = -f * h;
          for (int j = 0; j < m; ++j) {
            const double y = u(j, nm);
            const double z = u(j, i);
            u(j, nm) = y * c + z * s;
            u(j, i) = z * c - y * s;
          }
        }
      }
      double z = w[k];
      if (l == k) {  // converged: make the singular value non-negative
        if (z < 0) {
          w[k] = -z;
          for (int j = 0; j < n; ++j) v(j, k) = -v(j, k);
        }
        break;
      }
      if (sweep >= kSvdMaxSweeps) return -2;
      // Shift from the bottom 2 x 2 minor.
      double x = w[l];
      const int nm = k - 1;
      double y = w[nm];
      g = e[nm];
      double h = e[k];
      double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2 * h * y);
      g = std::hypot(f, 1.0);
      f = ((x - z) * (x + z) + h * ((y / (f + SignOf(g, f))) - h)) / x;
      // Next QR transformation.
      double c = 1, s = 1;
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = e[i];
        y = w[i];
        h = s * g;
        g = c * g;
        z = std::hypot(f, h);
        e[j] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        for (int jj = 0; jj < n; ++jj) {
          const double xv = v(jj, j);
          const double zv = v(jj, i);
          v(jj, j) = xv * c + zv * s;
          v(jj, i) = zv * c - xv * s;
        }
        z = std::hypot(f, h);
        w[j] = z;
        if (z != 0) {
          z = 1 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        for (int jj = 0; jj < m; ++jj) {
          const double yu = u(jj, j);
          const double zu = u(jj, i);
          u(jj, j) = yu * c + zu * s;
          u(jj, i) = zu * c - yu * s;
        }
      }
      e[l] = 0;
      e[k] = f;
      w[k] = x;
    }
  }
  return 0;
}

std::vector<double> SvdSolve(const Matrix& u, const std::vector<double>& w, const Matrix& v,
                             const std::vector<double>& b) {
  const int m = u.rows;
  const int n = u.cols;
  std::vector<double> tmp(static_cast<size_t>(n), 0.0);
  for (int j = 0; j < n; ++j) {
    if (w[j] == 0) continue;
    double s = 0;
    for (int i = 0; i < m; ++i) s += u(i, j) * b[i];
    tmp[j] = s / w[j];
  }
  std::vector<double> x(static_cast<size_t>(n), 0.0);
  for (int j = 0; j < n; ++j) {
    double s = 0;
    for (int k = 0; k < n; ++k) s += v(j, k) * tmp[k];
    x[j] = s;
  }
  return x;
}

}  // namespace nuv
