#include "sigproc/pane_transforms.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/strformat.h"
#include "sigproc/instrument.h"
#include "sigproc/parallel_jobs.h"
#include "sigproc/simulation.h"

namespace nuv {

namespace {

// The first sample index of time t in samples starting at `start`.
size_t IndexAt(double t, double start, double rate, size_t n) {
  const double i = (t - start) * rate;
  if (i <= 0) return 0;
  return std::min(n, static_cast<size_t>(i));
}

Signal ToSignal(const std::vector<float>& x, double rate, size_t from, size_t to) {
  std::vector<double> samples(x.begin() + static_cast<std::ptrdiff_t>(from),
                              x.begin() + static_cast<std::ptrdiff_t>(to));
  return Signal(std::move(samples), rate > 0 ? 1.0 / rate : 1.0);
}

void TakeRangeWhenUnset(TracePane& pane) {
  if (pane.transMin != 0 || pane.transMax != 0 || pane.transformed.empty()) return;
  const auto [lo, hi] = std::minmax_element(pane.transformed.begin(), pane.transformed.end());
  pane.transMin = *lo;
  pane.transMax = *hi;
}

}  // namespace

ChannelFilter PaneChannelFilter(const TracePane& pane) {
  ChannelFilter f;
  f.lowCut = static_cast<float>(pane.filter.low);
  f.highCut = static_cast<float>(pane.filter.high);
  f.lowText = StrFormat("%g", pane.filter.low);
  f.highText = StrFormat("%g", pane.filter.high);
  f.type = pane.filter.type;
  f.order = pane.filter.order;
  f.zeroPhase = pane.filter.zeroPhase ? 1 : 0;
  return f;
}

bool PreparePaneTransform(const TracePane& pane, const PaneTransformRequest& request,
                          ResponseLoader* loader, PaneTransformTask& task,
                          const std::string& responseFile) {
  task = PaneTransformTask{};
  task.request = request;
  task.rate = pane.SampleRate();
  if (!(task.rate > 0)) {
    task.error = StrFormat("Нет данных для преобразования канала '%s' станции '%s'",
                           pane.channelName.c_str(), pane.stationName.c_str());
    return false;
  }
  try {
    task.samples = pane.WindowSampleArray(task.rate);
  } catch (const std::bad_alloc&) {
    task.error = "Не хватает памяти";
    return false;
  }
  if (request.code < 1000) return true;
  ResponseChannel channel;
  channel.station = pane.stationName;
  channel.channel = pane.channelName;
  channel.location = pane.locationCode;
  channel.responseFile = responseFile;
  if (!loader) {
    task.error = NoCalibrationMessage(channel);
    return false;
  }
  try {
    if (IsPoleZeroTransform(request.code)) {
      task.poleZero = loader->LoadPoleZero(channel, pane.WindowStart());
      if (!task.poleZero) task.error = NoCalibrationMessage(channel);
      return task.poleZero.has_value();
    }
    if (IsFapTransform(request.code)) {
      task.fap = loader->LoadFapFile(channel);
      return task.fap.has_value();  // a missing table is only a beep
    }
  } catch (const std::exception& e) {
    task.error = e.what();
    return false;
  }
  task.error = StrFormat("Код преобразования %d не задаёт симуляцию", request.code);
  return false;
}

void ComputePaneTransform(PaneTransformTask& task) {
  task.ok = false;
  try {
    if (task.request.code < 1000) {
      ChannelFilter filter = task.request.filter;
      filter.type = task.request.code;
      task.ok = FilterPaneSamples(task.samples, task.rate, filter, &task.error);
    } else if (task.poleZero) {
      task.samples = SimulatePoleZero(task.samples, task.rate, *task.poleZero, task.request.code);
      task.ok = true;
    } else if (task.fap) {
      task.samples = SimulateFap(task.samples, task.rate, *task.fap, task.request.code);
      task.ok = true;
    }
  } catch (const std::exception& e) {
    task.error = e.what();
  }
}

std::vector<std::vector<size_t>> PaneTransformGroups(const std::vector<PaneTransformTask>& tasks,
                                                     const std::vector<bool>& wanted) {
  constexpr size_t kGroup = 4;
  auto sameFilter = [](const PaneTransformTask& a, const PaneTransformTask& b) {
    const ChannelFilter& f = a.request.filter;
    const ChannelFilter& g = b.request.filter;
    return a.request.code == b.request.code && a.rate == b.rate &&
           a.samples.size() == b.samples.size() && f.lowCut == g.lowCut && f.highCut == g.highCut &&
           f.order == g.order && f.zeroPhase == g.zeroPhase;
  };
  std::vector<std::vector<size_t>> groups;
  std::vector<bool> placed(tasks.size(), false);
  for (size_t i = 0; i < tasks.size(); ++i) {
    if (placed[i] || (i < wanted.size() && !wanted[i])) continue;
    placed[i] = true;
    std::vector<size_t> group{i};
    if (tasks[i].request.code < 1000) {
      for (size_t j = i + 1; j < tasks.size() && group.size() < kGroup; ++j) {
        if (placed[j] || (j < wanted.size() && !wanted[j])) continue;
        if (!sameFilter(tasks[i], tasks[j])) continue;
        placed[j] = true;
        group.push_back(j);
      }
    }
    groups.push_back(std::move(group));
  }
  return groups;
}

void ComputePaneTransformGroup(std::vector<PaneTransformTask>& tasks,
                               const std::vector<size_t>& group) {
  if (group.size() == 1) {
    ComputePaneTransform(tasks[group.front()]);
    return;
  }
  std::vector<std::vector<float>*> traces;
  for (size_t i : group) traces.push_back(&tasks[i].samples);
  PaneTransformTask& first = tasks[group.front()];
  ChannelFilter filter = first.request.filter;
  filter.type = first.request.code;
  std::string error;
  const bool ok = FilterPaneSamplesBatch(traces, first.rate, filter, &error);
  for (size_t i : group) {
    tasks[i].ok = ok;
    tasks[i].error = error;
  }
}

void ComputePaneTransforms(std::vector<PaneTransformTask>& tasks, ParallelJobs& jobs) {
  const std::vector<std::vector<size_t>> groups = PaneTransformGroups(tasks, {});
  jobs.Start(groups.size(),
             [&tasks, &groups](size_t g) { ComputePaneTransformGroup(tasks, groups[g]); });
  jobs.Wait();
}

void ApplyPaneTransform(TracePane& pane, PaneTransformTask& task) {
  pane.transformed = std::move(task.samples);
  pane.transRate = task.rate;
  pane.transformCode = task.request.code;
  if (task.request.code < 1000) {
    const ChannelFilter& f = task.request.filter;
    pane.filter = {f.lowCut, f.highCut, f.order, f.zeroPhase != 0, task.request.code};
  }
  pane.formulaOn = false;
  pane.filterOn = true;
  TakeRangeWhenUnset(pane);
}

void RemovePaneTransform(TracePane& pane) {
  pane.transformed.clear();
  pane.transformed.shrink_to_fit();
  pane.transformCode = -1;
  pane.formulaOn = false;
  pane.filterOn = false;
  pane.retransform = nullptr;
}

std::vector<FormulaPane> PaneFormulaData::Panes() const {
  std::vector<FormulaPane> list;
  for (const TracePane* p : panes_) list.push_back({p->number, p->stationName, p->channelName});
  return list;
}

std::optional<Signal> PaneFormulaData::PaneData(int channel, PaneSignal kind) const {
  const auto it = std::find_if(panes_.begin(), panes_.end(),
                               [channel](const TracePane* p) { return p->number == channel; });
  if (it == panes_.end()) return std::nullopt;
  const TracePane& pane = **it;
  const bool transformed =
      kind == PaneSignal::kTransformed || kind == PaneSignal::kSelectedTransformed;
  const double rate = transformed && pane.transRate > 0 ? pane.transRate : pane.SampleRate();
  if (!(rate > 0)) return std::nullopt;
  std::vector<float> samples;
  if (transformed) {
    if (!pane.HasTransformed()) return std::nullopt;
    samples = pane.transformed;
  } else {
    samples = pane.WindowSampleArray(rate);
  }
  size_t from = 0, to = samples.size();
  if (kind == PaneSignal::kSelectedSource || kind == PaneSignal::kSelectedTransformed) {
    if (!pane.hasInterval) return std::nullopt;
    from = IndexAt(pane.intervalStart, pane.WindowStart(), rate, samples.size());
    to = IndexAt(pane.intervalEnd, pane.WindowStart(), rate, samples.size());
    if (to <= from) return std::nullopt;
  }
  return ToSignal(samples, rate, from, to);
}

std::optional<std::string> ApplyPaneFormula(TracePane& pane, const FormulaDataSource& data) {
  const TraceFormulaResult r = EvaluateForTrace(pane.formula, StrFormat("d%d", pane.number), data);
  if (!r.ok) return r.error;
  pane.transformed = r.samples;
  pane.transRate = r.rate;
  pane.formulaOn = true;
  pane.filterOn = false;
  pane.transformCode = -1;
  TakeRangeWhenUnset(pane);
  return std::nullopt;
}

}  // namespace nuv
