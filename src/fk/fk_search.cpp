#include "fk/fk_search.h"

#include <algorithm>
#include <cmath>

#include "fk/beam_kernels.h"
#include "platform/strformat.h"
#include "sigproc/parallel_jobs.h"

namespace nuv {

namespace {

// A sample meant to fall on a slot boundary or a window end must not be
// pushed out of it by the rounding of epoch times (about 1e-13 s): boundaries
// are tested with this fraction of a sample interval to spare.
constexpr double kSlotTolerance = 1e-6;

// Time of sample k of a pane moved by `delay`.
double SampleTime(const FkPane& pane, size_t k, double delay) {
  return pane.start + static_cast<double>(k) / pane.rate + delay;
}

// The slot of time t in a beam of n slots over [t1, t2].
long long Slot(double t, double t1, double t2, size_t n) {
  return static_cast<long long>(static_cast<double>(n) * (t - t1) / (t2 - t1) + kSlotTolerance);
}

constexpr size_t kBeamBlock = 1024;

bool SamePosition(const FkPane& a, const FkPane& b) {
  return std::fabs(a.deast - b.deast) < 1e-6f && std::fabs(a.dnorth - b.dnorth) < 1e-6f;
}

// The beam power when every pane fills consecutive slots: the beam is
// formed a block at a time in a small buffer, squared and summed, so the
// buffer stays in the first-level cache.
double PowerOfRuns(const std::vector<const FkPane*>& panes, const std::vector<FkRun>& runs,
                   size_t n, float* block) {
  double power = 0;
  for (size_t start = 0; start < n; start += kBeamBlock) {
    const size_t end = std::min(n, start + kBeamBlock);
    std::fill(block, block + (end - start), 0.0f);
    for (size_t j = 0; j < runs.size(); ++j) {
      const FkRun& r = runs[j];
      const size_t lo = std::max(start, r.slot), hi = std::min(end, r.slot + r.count);
      if (lo < hi)
        AddRun(block + (lo - start), panes[j]->samples.data() + r.first + (lo - r.slot), hi - lo);
    }
    power += SumOfSquares(block, end - start);
  }
  return power;
}

// Adds the samples of a run found by FkPaneRun for this delay and window.
void AddRunToBeam(const FkPane& pane, const FkRun& run, double delay, double t1, double t2,
                  float* beam, size_t n) {
  if (run.count == 0) return;
  const float* x = pane.samples.data();
  if (run.contiguous) {
    // Pane and beam share the rate: the samples fill consecutive slots.
    AddRun(beam + run.slot, x + run.first, run.count);
    return;
  }
  for (size_t j = run.first; j <= run.last; ++j) {
    const long long slot = Slot(SampleTime(pane, j, delay), t1, t2, n);
    if (slot >= 0 && slot < static_cast<long long>(n)) beam[slot] += x[j];
  }
}

}  // namespace

std::vector<float> FkAxis(const FkGrid& grid) {
  std::vector<float> axis;
  const float step = (grid.max - grid.min) / static_cast<float>(grid.intervals);
  if (!(step > 0)) return axis;
  for (float v = grid.min; v < grid.max; v += step) axis.push_back(v);
  return axis;
}

std::string FkGridError(const FkGrid& grid) {
  const auto outside = [](float v) { return !(v >= -FkGrid::kLimit && v <= FkGrid::kLimit); };
  if (outside(grid.min) || outside(grid.max))
    return StrFormat("Введите число от %g до %g.", -FkGrid::kLimit, FkGrid::kLimit);
  if (grid.intervals < FkGrid::kMinIntervals || grid.intervals > FkGrid::kMaxIntervals)
    return StrFormat("Введите целое число от %d до %d.", FkGrid::kMinIntervals,
                     FkGrid::kMaxIntervals);
  if (!(grid.min < grid.max)) return "Минимум Px и Py должен быть меньше максимума.";
  return "";
}

std::string FkArrayError(const std::vector<FkPane>& panes) {
  std::vector<const FkPane*> used;
  for (const FkPane& p : panes)
    if (p.hasInterval) used.push_back(&p);
  bool distinct = false;
  for (size_t i = 1; i < used.size() && !distinct; ++i)
    distinct = !SamePosition(*used[0], *used[i]);
  if (used.size() < 2 || !distinct)
    return "Для F-K анализа нужны по крайней мере две станции с разными смещениями "
           "(DNORTH, DEAST).";
  for (const FkPane* p : used)
    if (!(p->rate > 0) || !std::isfinite(p->rate))
      return StrFormat("Не задана частота дискретизации канала %s станции %s.", p->channel.c_str(),
                       p->station.c_str());
  return "";
}

double FkAzimuth(double px, double py) {
  double azimuth = std::atan2(px, py) * 360.0 / (2 * M_PI);
  if (azimuth < 0) azimuth += 360.0;
  return azimuth;
}

FkRun FkPaneRun(const FkPane& pane, double delay, double t1, double t2, size_t n) {
  FkRun run;
  const size_t m = pane.samples.size();
  const double first = (t1 - pane.start - delay) * pane.rate;
  if (!std::isfinite(first) || first >= static_cast<double>(m)) return run;
  size_t k = first > 0 ? static_cast<size_t>(first) : 0;
  const double spare = kSlotTolerance / pane.rate;
  if (k > 0 && SampleTime(pane, k - 1, delay) >= t1 - spare) --k;
  // The first sample inside the window.
  while (k < m && SampleTime(pane, k, delay) < t1 - spare) ++k;
  if (k >= m || SampleTime(pane, k, delay) > t2 + spare) return run;
  // The last sample inside the window, from an estimate corrected both ways.
  const double lastEstimate = std::floor((t2 - pane.start - delay) * pane.rate);
  size_t last = static_cast<size_t>(std::clamp(lastEstimate, static_cast<double>(k), m - 1.0));
  while (last + 1 < m && SampleTime(pane, last + 1, delay) <= t2 + spare) ++last;
  while (last > k && SampleTime(pane, last, delay) > t2 + spare) --last;
  run.first = k;
  run.last = last;
  run.count = last - k + 1;
  const long long s0 = Slot(SampleTime(pane, k, delay), t1, t2, n);
  const long long s1 = Slot(SampleTime(pane, last, delay), t1, t2, n);
  run.contiguous = s1 - s0 == static_cast<long long>(last - k) && s0 >= 0;
  if (run.contiguous) {
    run.slot = static_cast<size_t>(s0);
    // Slot n is not written.
    if (static_cast<size_t>(s1) >= n) run.count -= static_cast<size_t>(s1) - n + 1;
  }
  return run;
}

void FkAddDelayed(const FkPane& pane, double delay, double t1, double t2, float* beam, size_t n) {
  AddRunToBeam(pane, FkPaneRun(pane, delay, t1, t2, n), delay, t1, t2, beam, n);
}

std::string FkSearch(const std::vector<FkPane>& panes, double referenceRate, const FkGrid& grid,
                     FkSearchResult& result, unsigned threads) {
  if (std::string error = FkGridError(grid); !error.empty()) return error;
  if (std::string error = FkArrayError(panes); !error.empty()) return error;
  std::vector<const FkPane*> used;
  double t1 = 0, t2 = 0;
  for (const FkPane& p : panes) {
    if (!p.hasInterval) continue;
    t1 = used.empty() ? p.IntervalLow() : std::min(t1, p.IntervalLow());
    t2 = used.empty() ? p.IntervalHigh() : std::max(t2, p.IntervalHigh());
    used.push_back(&p);
  }
  if (!(referenceRate > 0) || !std::isfinite(referenceRate))
    return "Не задана частота дискретизации главного канала.";
  const double slots = std::trunc((t2 - t1) * referenceRate + 0.5);
  if (!(t2 > t1) || !(slots >= 1)) return "Выбранный временной интервал короче одного отсчета.";
  const size_t n = static_cast<size_t>(slots);

  const std::vector<float> axis = FkAxis(grid);
  FkSearchResult out;
  out.step = (grid.max - grid.min) / static_cast<float>(grid.intervals);
  out.max = grid.max;
  out.grid.resize(axis.size() * axis.size());
  ParallelJobs::RunAll(
      axis.size(),
      [&](size_t row) {
        std::vector<float> beam(n);
        std::vector<float> block(kBeamBlock);
        std::vector<FkRun> runs(used.size());
        std::vector<double> delays(used.size());
        const float px = axis[row];
        for (size_t j = 0; j < axis.size(); ++j) {
          const float py = axis[j];
          bool contiguous = true;
          for (size_t i = 0; i < used.size(); ++i) {
            const FkPane& p = *used[i];
            delays[i] = static_cast<double>(px) * p.deast + static_cast<double>(py) * p.dnorth;
            runs[i] = FkPaneRun(p, delays[i], t1, t2, n);
            contiguous = contiguous && (runs[i].contiguous || runs[i].count == 0);
          }
          double power = 0;
          if (contiguous) {
            power = PowerOfRuns(used, runs, n, block.data());
          } else {
            std::fill(beam.begin(), beam.end(), 0.0f);
            for (size_t i = 0; i < used.size(); ++i)
              AddRunToBeam(*used[i], runs[i], delays[i], t1, t2, beam.data(), n);
            power = SumOfSquares(beam.data(), n);
          }
          out.grid[row * axis.size() + j] = {px, py, power};
        }
      },
      threads);

  // The best point in grid order: on equal powers the earlier one stays.
  out.bestPx = out.bestPy = grid.min;
  for (const FKParam& g : out.grid) {
    if (g.power > out.bestPower) {
      out.bestPower = g.power;
      out.bestPx = g.px;
      out.bestPy = g.py;
    }
  }
  if (!(out.bestPower > 0)) return "Все лучи имеют нулевую мощность: направление не определено.";
  for (FKParam& g : out.grid) {
    g.power /= out.bestPower;
    if (out.lowest == 0 || g.power < out.lowest) out.lowest = g.power;
    out.highest = std::max(out.highest, g.power);
  }
  out.azimuth = FkAzimuth(out.bestPx, out.bestPy);
  out.slowness = std::sqrt(static_cast<double>(out.bestPx) * out.bestPx +
                           static_cast<double>(out.bestPy) * out.bestPy);
  result = std::move(out);
  return "";
}

}  // namespace nuv
