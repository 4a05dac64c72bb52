#include "traveltime/travel_time.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "platform/strformat.h"

namespace nuv {
namespace {

// Upper bound on a table dimension: a count beyond it can only come from a
// damaged file.
constexpr long kMaxCount = 1000000;

// Line reader for the table layout: end-of-line characters cut, empty lines
// skipped where a count or numbers are expected.
class TableReader {
 public:
  TableReader(std::istream& in, bool hashComments) : in_(in), hashComments_(hashComments) {}

  bool SkipLine() {
    std::string line;
    return static_cast<bool>(std::getline(in_, line));
  }

  // The next non-empty line (after cutting a "#" comment when enabled).
  bool NextLine(std::string& line) {
    while (std::getline(in_, line)) {
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
      if (hashComments_) {
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
      }
      if (line.find_first_not_of(" \t") != std::string::npos) return true;
    }
    return false;
  }

  bool ReadCount(int& count) {
    std::string line;
    if (!NextLine(line)) return false;
    const char* p = line.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p || errno != 0 || value <= 0 || value > kMaxCount) return false;
    count = static_cast<int>(value);
    return true;
  }

  // Reads `count` floats, running over as many lines as needed; numbers
  // beyond the count on the last line are ignored.
  bool ReadNumbers(size_t count, std::vector<float>& out) {
    size_t got = 0;
    std::string line;
    while (got < count) {
      if (!NextLine(line)) return false;
      const char* p = line.c_str();
      while (got < count) {
        while (*p == ' ' || *p == '\t') ++p;
        if (*p == '\0') break;
        char* end = nullptr;
        const float value = StrToFloat(p, &end);
        if (end == p || !std::isfinite(value)) return false;
        if (*end != '\0' && *end != ' ' && *end != '\t') return false;
        out.push_back(value);
        ++got;
        p = end;
      }
    }
    return true;
  }

 private:
  std::istream& in_;
  bool hashComments_;
};

bool Ascending(const std::vector<float>& values) {
  for (size_t i = 1; i < values.size(); ++i)
    if (values[i] < values[i - 1]) return false;
  return true;
}

// The interval lo, hi = lo + 1 that holds v (lo = hi = 0 for a single
// node): lo is the last node not above v, at most n - 2, as the bisection
// over the nodes finds it. On an evenly spaced axis (scale != 0) the search
// starts at the computed position and walks at most a node or two.
inline void Bracket(const float* x, int n, double v, double scale, int& lo, int& hi) {
  if (n < 2) {
    lo = hi = 0;
    return;
  }
  if (scale != 0) {
    lo = static_cast<int>((v - x[0]) * scale);
    lo = lo < 0 ? 0 : (lo > n - 2 ? n - 2 : lo);
    while (lo > 0 && x[lo] > v) --lo;
    while (lo < n - 2 && x[lo + 1] <= v) ++lo;
    hi = lo + 1;
    return;
  }
  lo = 0;
  hi = n - 1;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (x[mid] > v)
      hi = mid;
    else
      lo = mid;
  }
}

// Nodes per unit when the steps of an axis agree within 1 %, else 0.
double EvenScale(const std::vector<float>& x) {
  if (x.size() < 3) return 0;
  const double mean = (static_cast<double>(x.back()) - x.front()) / (x.size() - 1);
  if (!(mean > 0)) return 0;
  for (size_t i = 1; i < x.size(); ++i) {
    const double step = static_cast<double>(x[i]) - x[i - 1];
    if (std::fabs(step - mean) > 0.01 * mean) return 0;
  }
  return 1 / mean;
}

// The spline value of one depth row in the distance interval lo, hi, or -1 at a gap.
inline double RowValue(const PHASEDATA& data, int row, double d, int lo, int hi) {
  const float* x = data.distances.data();
  const float* t = data.T.data() + static_cast<size_t>(row) * data.nx;
  const float* y2 = data.Y2.data() + static_cast<size_t>(row) * data.nx;
  if (t[lo] == -1.0f || t[hi] == -1.0f) return -1;
  if (lo == hi) return t[lo];
  double h = static_cast<double>(x[hi]) - x[lo];
  if (h == 0) h = 1e-7;
  const double a = (x[hi] - d) / h;
  const double b = (d - x[lo]) / h;
  return a * t[lo] + b * t[hi] +
         ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}

// Bisection with the sign rule of the inverses; `f(lo)` and `f(hi)` are
// known to differ in sign (or one of them is 0).
template <typename F>
double Bisect(F f, double lo, double hi, double flo) {
  double mid = lo;
  for (int i = 0; i < 50; ++i) {
    mid = (lo + hi) / 2;
    const double fmid = f(mid);
    const double product = flo * fmid;
    if (product > 0) {
      lo = mid;
      flo = fmid;
    } else if (product == 0) {
      break;
    } else {
      hi = mid;
    }
  }
  return mid;
}

}  // namespace

void PHASEDATA::Free() {
  distances.clear();
  depths.clear();
  T.clear();
  Y2.clear();
  nd = nx = 0;
  hasTravelTimes = 0;
  distanceIndexScale = depthIndexScale = 0;
}

bool ReadTravelTimeFile(const std::string& path, PHASEDATA& data, bool hashComments) {
  data.Free();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  TableReader reader(in, hashComments);
  int nd = 0, nx = 0;
  std::vector<float> depths, distances, table;
  bool ok = reader.SkipLine() && reader.ReadCount(nd) && reader.ReadNumbers(nd, depths) &&
            reader.ReadCount(nx) && reader.ReadNumbers(nx, distances) &&
            static_cast<long long>(nd) * nx <= kMaxCount * 10LL;
  // Each depth row starts on a line of its own.
  for (int j = 0; ok && j < nd; ++j) ok = reader.ReadNumbers(nx, table);
  if (!ok || !Ascending(depths) || !Ascending(distances)) return false;
  data.nd = nd;
  data.nx = nx;
  data.depths = std::move(depths);
  data.distances = std::move(distances);
  data.T = std::move(table);
  BuildSecondDerivatives(data);
  data.distanceIndexScale = EvenScale(data.distances);
  data.depthIndexScale = EvenScale(data.depths);
  data.hasTravelTimes = 1;
  return true;
}

void BuildSecondDerivatives(PHASEDATA& data) {
  const int nx = data.nx;
  data.Y2.assign(static_cast<size_t>(data.nd) * nx, 0.0f);
  std::vector<float> u(static_cast<size_t>(nx), 0.0f);
  const float* x = data.distances.data();
  for (int j = 0; j < data.nd; ++j) {
    const float* t = data.T.data() + static_cast<size_t>(j) * nx;
    float* y2 = data.Y2.data() + static_cast<size_t>(j) * nx;
    if (nx < 3) continue;  // a row of one or two nodes is a straight line
    y2[0] = 0.0f;
    u[0] = 0.0f;
    for (int i = 1; i <= nx - 2; ++i) {
      if (t[i - 1] == -1.0f || t[i] == -1.0f || t[i + 1] == -1.0f) {
        y2[i] = 0.0f;
        u[i] = 0.0f;
        continue;
      }
      const float sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
      const float p = sig * y2[i - 1] + 2.0f;
      y2[i] = (sig - 1.0f) / p;
      u[i] = (t[i + 1] - t[i]) / (x[i + 1] - x[i]) - (t[i] - t[i - 1]) / (x[i] - x[i - 1]);
      u[i] = (6.0f * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
    }
    y2[nx - 1] = 0.0f;
    for (int k = nx - 2; k >= 1; --k) {
      if (t[k] == -1.0f || t[k + 1] == -1.0f)
        y2[k] = 0.0f;
      else
        y2[k] = y2[k] * y2[k + 1] + u[k];
    }
  }
}

double TravelTime(const PHASEDATA& data, double depth, double distance) {
  if (!data.hasTravelTimes || data.nd <= 0 || data.nx <= 0) return -1;
  if (!(distance >= data.distances.front() && distance <= data.distances.back())) return -1;
  if (!(depth >= data.depths.front() && depth <= data.depths.back())) return -1;
  int lo, hi, xlo, xhi;
  Bracket(data.depths.data(), data.nd, depth, data.depthIndexScale, lo, hi);
  // Both rows share the distance interval.
  Bracket(data.distances.data(), data.nx, distance, data.distanceIndexScale, xlo, xhi);
  const double t1 = RowValue(data, lo, distance, xlo, xhi);
  if (t1 < 0) return -1;
  if (lo == hi) return t1;
  const double t2 = RowValue(data, hi, distance, xlo, xhi);
  if (t2 < 0) return -1;
  const double span = static_cast<double>(data.depths[hi]) - data.depths[lo];
  if (span == 0) return t1;
  return t1 + (depth - data.depths[lo]) * (t2 - t1) / span;
}

double DistanceForTime(const PHASEDATA& data, double t, double depth) {
  if (!data.hasTravelTimes) return -1;
  const double lo = data.distances.front() + 0.01;
  const double hi = data.distances.back() - 0.01;
  if (!(lo <= hi)) return -1;
  auto f = [&](double d) { return TravelTime(data, depth, d) - t; };
  const double flo = f(lo), fhi = f(hi);
  // No change of sign between the ends: the time is outside the curve
  // (a curve that lies wholly above the time has no solution either).
  if ((flo < 0 && fhi < 0) || (flo > 0 && fhi > 0)) return -1;
  if (flo == 0) return lo;
  if (fhi == 0) return hi;
  return Bisect(f, lo, hi, flo);
}

double DistanceForTimeDifference(const PHASEDATA& first, const PHASEDATA& second, double dt,
                                 double depth) {
  if (!first.hasTravelTimes || !second.hasTravelTimes) return -1;
  auto bothDefined = [&](double d) {
    return TravelTime(first, depth, d) >= 0 && TravelTime(second, depth, d) >= 0;
  };
  double lo = std::max(first.distances.front(), second.distances.front()) + 0.0001;
  int steps = 0;
  while (!bothDefined(lo) && steps < 1000) {
    lo += 0.01;
    ++steps;
  }
  if (!bothDefined(lo)) return -1;
  double hi = std::min(first.distances.back(), second.distances.back()) - 0.0001;
  steps = 0;
  while (!bothDefined(hi) && steps < 1000) {
    hi -= 0.01;
    ++steps;
  }
  if (!bothDefined(hi) || hi < lo) return -1;
  auto g = [&](double d) {
    return TravelTime(first, depth, d) - TravelTime(second, depth, d) - dt;
  };
  const double glo = g(lo), ghi = g(hi);
  if ((glo > 0 && ghi > 0) || (glo < 0 && ghi < 0)) return -1;
  if (glo == 0) return lo;
  if (ghi == 0) return hi;
  return Bisect(g, lo, hi, glo);
}

double DistanceForSlowness(const PHASEDATA& data, double slowness, double depth) {
  if (!data.hasTravelTimes) return -1;
  const double start = data.distances.front() + 0.01;
  const double end = data.distances.back() - 0.01;
  const double f = (end - start) / 200;
  if (!(f > 0)) return 0;
  double best = 999999;
  double bestD = 0;
  for (double d = start; d <= end; d += f) {
    const double t1 = TravelTime(data, depth, d);
    const double t2 = TravelTime(data, depth, d + f);
    if (t1 < 0 || t2 < 0) continue;  // a gap is not a slowness
    const double h = t2 - t1;
    if (h > 0) {
      const double miss = std::fabs(h / (f * 111) - slowness);
      if (miss < best) {
        best = miss;
        bestD = d;
      }
    }
  }
  return bestD;
}

std::string TravelTimeText(double seconds) {
  const long whole = static_cast<long>(seconds);
  const long hours = whole / 3600;
  const long minutes = (whole % 3600) / 60;
  const double rest =
      seconds - static_cast<double>(hours) * 3600 - static_cast<double>(minutes) * 60;
  return StrFormat("Время пробега=%02d:%02d:%.2f", static_cast<int>(hours % 48),
                   static_cast<int>(minutes), rest);
}

}  // namespace nuv
