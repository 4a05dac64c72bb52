#pragma once
// Signal processing on the panes of the waveform window: filters, seismograph
// simulations and formulas applied to the active panes (several panes are
// transformed at once on a worker pool, with a cancellable progress
// indication when the work takes longer than half a second), the removal of
// transformations, and the two STA/LTA detectors with their marks. The
// controller lives as a child of the window and keeps each pane's detector
// parameters.

#include <QObject>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "sigproc/detector.h"
#include "sigproc/formula.h"
#include "sigproc/pane_transforms.h"
#include "sigproc/parallel_jobs.h"
#include "sigproc/ui/sigproc_dialogs.h"

namespace nuv {

class CZoomWindow;
class waveform;

class SigprocPanes : public QObject, public FormulaInterface {
  Q_OBJECT

 public:
  explicit SigprocPanes(waveform& window);
  ~SigprocPanes() override;

  // The controller of a window (created on first use).
  static SigprocPanes& Of(waveform& window);

  waveform& window() { return window_; }
  void SetDialogs(std::unique_ptr<SigprocDialogs> dialogs) { dialogs_ = std::move(dialogs); }
  SigprocDialogs& dialogs() { return *dialogs_; }
  // Where simulations get responses (the workstation's database and home
  // directory by default).
  void SetResponseLoader(std::unique_ptr<ResponseLoader> loader) { loader_ = std::move(loader); }
  // The workspace windows pane formulas reach as "wI" (none: no value).
  void SetWorkspaceWindows(const FormulaDataSource* windows) { workspaceWindows_ = windows; }
  // Work shorter than this shows no progress dialog.
  void SetProgressDelay(int milliseconds) { progressDelayMs_ = milliseconds; }

  // Transforms every active pane ("Не выбрано главное окно" without one).
  // Returns the number of panes transformed.
  int TransformActive(const PaneTransformRequest& request);
  int TransformPanes(const std::vector<CZoomWindow*>& panes, const PaneTransformRequest& request);
  // 32737: every active pane drops its transformation.
  void RemoveFromActive();

  // 32704 / 33126: the sheet "Фильтр" on the main pane's filter, applied to
  // the active panes.
  void FilterCommand();
  // A preset of the filter button's list applied to the active panes.
  void ApplyPreset(const std::string& name);

  // FormulaInterface of the window: the main pane's formula; setting gives it
  // to every active pane; applying evaluates it in every active pane.
  void ApplyFormula() override;
  void SetFormula(const std::string& text) override;
  std::string GetFormula() const override;
  // 33145.
  void FormulaCommand();
  // A saved formula chosen from the formula button's list.
  void ApplySavedFormula(const std::string& formula);

  // Detectors on the active panes.
  void DetectorCommand();
  void RunDetector(int page, const DetectorParams& params);
  void ClearDetections();
  // A pane's parameters (read from the store for its channel on first use).
  DetectorParams& Params(CZoomWindow& pane, int page);

 private:
  bool RequireActive(std::vector<CZoomWindow*>& active);
  // Runs count jobs on the pool, showing "Производится расчет..." progress
  // after the delay; false when the analyst cancelled.
  bool RunJobs(size_t count, const std::function<void(size_t)>& job, const char* label);
  void Retransform(TracePane& pane);
  ResponseLoader& loader();

  waveform& window_;
  std::unique_ptr<SigprocDialogs> dialogs_;
  std::unique_ptr<ResponseLoader> loader_;
  ParallelJobs jobs_;
  int progressDelayMs_ = 500;
  const FormulaDataSource* workspaceWindows_ = nullptr;
  bool running_ = false;
  std::map<const CZoomWindow*, std::array<DetectorParams, 2>> detectorParams_;
};

}  // namespace nuv
