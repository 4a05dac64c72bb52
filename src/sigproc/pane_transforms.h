#pragma once
// Transformations of trace panes: a Butterworth channel filter (types 0..3),
// a seismograph simulation (codes 1000..1019) or a formula. The work is split
// so that several panes can be transformed at once: a task is prepared on the
// user-interface thread (samples copied, responses loaded from the database),
// computed anywhere (it touches nothing but itself), and its result applied
// to the pane on the user-interface thread again.

#include <optional>
#include <string>
#include <vector>

#include "platform/user_prompts.h"
#include "sigproc/butterworth.h"
#include "sigproc/formula.h"
#include "sigproc/response.h"
#include "sigproc/response_source.h"
#include "waveview/pane_list.h"
#include "waveview/trace_pane.h"

namespace nuv {

class ParallelJobs;

// The transformation a command asks for: codes below 1000 take `filter`
// (its type is the code), codes from 1000 are simulations.
struct PaneTransformRequest {
  int code = kBandPass;
  ChannelFilter filter;
};

// One pane's work.
struct PaneTransformTask {
  PaneTransformRequest request;
  double rate = 0;
  std::vector<float> samples;  // the window sample array; the result after Compute
  std::optional<PoleZeroResponse> poleZero;
  std::optional<CAPResponse> fap;
  bool ok = false;
  std::string error;  // the text to show; empty with a failure means "beep"
};

// The channel filter a pane holds (its last filter setting).
ChannelFilter PaneChannelFilter(const TracePane& pane);

// Copies the pane's window samples and loads what a simulation needs (poles
// and zeros for the window start, or the FAP file). False when the task cannot
// run: task.error holds the system's message, or is empty when a missing FAP
// file is only to be signalled by a beep.
// `responseFile` is the channel's FAP file name from the station list.
bool PreparePaneTransform(const TracePane& pane, const PaneTransformRequest& request,
                          ResponseLoader* loader, PaneTransformTask& task,
                          const std::string& responseFile = {});

// Computes the task in place; safe on any thread.
void ComputePaneTransform(PaneTransformTask& task);

// The tasks to compute (indexes into `tasks`, those with `wanted` set) in
// groups: filter tasks with the same filter, rate and length go together, up
// to four, the others alone. Each group is one job for the pool.
std::vector<std::vector<size_t>> PaneTransformGroups(const std::vector<PaneTransformTask>& tasks,
                                                     const std::vector<bool>& wanted);
// Computes one group in place (the filter group in one batched pass); the
// result of every task is what ComputePaneTransform would give it.
void ComputePaneTransformGroup(std::vector<PaneTransformTask>& tasks,
                               const std::vector<size_t>& group);

// Computes every task on the worker pool, in groups, and waits.
void ComputePaneTransforms(std::vector<PaneTransformTask>& tasks, ParallelJobs& jobs);

// Stores a computed result as the pane's transformed signal: samples, rate,
// code and filter; the transformed limits become the result's range when both
// were 0. Formula switch off, filter switch on.
void ApplyPaneTransform(TracePane& pane, PaneTransformTask& task);

// Drops the transformation: transformed samples released, formula and filter
// switches off, nothing re-applied after a load.
void RemovePaneTransform(TracePane& pane);

// The panes of a waveform window as the formula language sees them: "dN" the
// window samples, "tN" the transformed samples, "sdN"/"stN" the same between
// the interval marks, all with dx = 1/sps. "wI" reads the workspace windows
// of `windows` when one is given, else it has no value.
class PaneFormulaData : public FormulaDataSource {
 public:
  explicit PaneFormulaData(PaneList panes, const FormulaDataSource* windows = nullptr)
      : panes_(std::move(panes)), windows_(windows) {}
  int WindowCount() const override { return windows_ ? windows_->WindowCount() : 0; }
  Signal WindowData(int i) const override { return windows_ ? windows_->WindowData(i) : Signal(); }
  std::vector<FormulaPane> Panes() const override;
  std::optional<Signal> PaneData(int channel, PaneSignal kind) const override;

 private:
  PaneList panes_;
  const FormulaDataSource* windows_;
};

// Evaluates the pane's formula with "current" standing for "d<number>" and
// stores the result as its transformed signal (formula switch on). On
// failure the pane keeps its previous transformed data and the error text is
// returned.
std::optional<std::string> ApplyPaneFormula(TracePane& pane, const FormulaDataSource& data);

}  // namespace nuv
