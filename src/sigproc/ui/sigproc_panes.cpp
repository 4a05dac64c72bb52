#include "sigproc/ui/sigproc_panes.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include "sigproc/filter_presets.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

constexpr const char* kNoMainPane = "Не выбрано главное окно";
constexpr const char* kComputing = "Производится расчет...";
constexpr const char* kNoFilteredData = "Нет фильтрованных данных";

// The FAP file named for the pane's channel in the station list.
std::string ResponseFileOf(Workstation& ws, const TracePane& pane) {
  const StationTable& stations = ws.stations();
  if (pane.station < 0 || pane.station >= stations.size()) return {};
  if (pane.channel < 0 || pane.channel >= kChannelsPerStation) return {};
  return stations[pane.station].channels[static_cast<size_t>(pane.channel)].calibFile;
}

}  // namespace

SigprocPanes::SigprocPanes(waveform& window)
    : QObject(&window), window_(window), dialogs_(MakeQtSigprocDialogs()) {
  setObjectName("SigprocPanes");
}

SigprocPanes::~SigprocPanes() = default;

SigprocPanes& SigprocPanes::Of(waveform& window) {
  if (auto* existing = window.findChild<SigprocPanes*>("SigprocPanes", Qt::FindDirectChildrenOnly))
    return *existing;
  return *new SigprocPanes(window);
}

ResponseLoader& SigprocPanes::loader() {
  if (!loader_) {
    Workstation& ws = window_.workstation();
    odbc::Connection* main = ws.databases().mainOpen() ? &ws.databases().main() : nullptr;
    loader_ = std::make_unique<DatabaseResponseLoader>(main, ws.databases().dialect(),
                                                       ws.config().homeDir);
  }
  return *loader_;
}

bool SigprocPanes::RequireActive(std::vector<CZoomWindow*>& active) {
  active = window_.ActivePanes();
  if (!active.empty()) return true;
  window_.workstation().prompts().ShowError(kNoMainPane, kAppTitle);
  return false;
}

bool SigprocPanes::RunJobs(size_t count, const std::function<void(size_t)>& job,
                           const char* label) {
  // The progress dialog keeps the window alive; a second batch must wait.
  if (running_) {
    window_.workstation().prompts().Beep();
    return false;
  }
  running_ = true;
  jobs_.Start(count, job);
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> progress;
  while (!jobs_.WaitFor(std::chrono::milliseconds(30))) {
    if (!progress && clock.elapsed() >= progressDelayMs_) {
      progress =
          std::make_unique<QProgressDialog>(QString::fromUtf8(label), QString::fromUtf8("Отмена"),
                                            0, static_cast<int>(count), &window_);
      progress->setWindowTitle(QString::fromUtf8(kAppTitle));
      progress->setWindowModality(Qt::WindowModal);
      progress->setMinimumDuration(0);
      progress->show();
    }
    if (progress) {
      progress->setValue(static_cast<int>(jobs_.finished()));
      if (progress->wasCanceled()) jobs_.Cancel();
    }
    QApplication::processEvents();
  }
  running_ = false;
  return !jobs_.cancelled();
}

int SigprocPanes::TransformActive(const PaneTransformRequest& request) {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return 0;
  return TransformPanes(active, request);
}

int SigprocPanes::TransformPanes(const std::vector<CZoomWindow*>& panes,
                                 const PaneTransformRequest& request) {
  Workstation& ws = window_.workstation();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  window_.ShowStatus(kComputing);
  // Samples and responses are gathered here, the arithmetic runs on the pool.
  std::vector<PaneTransformTask> tasks(panes.size());
  std::vector<bool> prepared(panes.size(), false);
  bool beep = false;
  std::string message;
  for (size_t i = 0; i < panes.size(); ++i) {
    const TracePane& pane = panes[i]->pane();
    prepared[i] = PreparePaneTransform(pane, request, request.code >= 1000 ? &loader() : nullptr,
                                       tasks[i], ResponseFileOf(ws, pane));
    if (!prepared[i]) {
      if (tasks[i].error.empty())
        beep = true;
      else if (message.empty())
        message = tasks[i].error;
    }
  }
  // Panes with the same filter go through the cascade together.
  const std::vector<std::vector<size_t>> groups = PaneTransformGroups(tasks, prepared);
  std::vector<char> computed(tasks.size(), 0);
  const bool finished = RunJobs(
      groups.size(),
      [&](size_t g) {
        ComputePaneTransformGroup(tasks, groups[g]);
        for (size_t i : groups[g]) computed[i] = 1;
      },
      kComputing);
  int done = 0;
  for (size_t i = 0; i < panes.size(); ++i) {
    if (!computed[i]) continue;
    if (!tasks[i].ok) {
      if (message.empty()) message = tasks[i].error;
      continue;
    }
    TracePane& pane = panes[i]->pane();
    ApplyPaneTransform(pane, tasks[i]);
    pane.retransform = [this](TracePane& p) { Retransform(p); };
    panes[i]->RebuildPicture();
    ++done;
  }
  window_.ShowStatus("");
  QApplication::restoreOverrideCursor();
  if (beep) ws.prompts().Beep();
  if (!message.empty() && finished) ws.prompts().ShowError(message);
  return done;
}

void SigprocPanes::Retransform(TracePane& pane) {
  // After a load: the same transformation on the new samples, on this thread
  // (one pane). A formula is evaluated again over the window's panes.
  if (pane.formulaOn) {
    const PaneFormulaData data(window_.PaneStates(), workspaceWindows_);
    if (const auto error = ApplyPaneFormula(pane, data))
      window_.workstation().prompts().ShowError(*error, kFormulaErrorCaption);
    return;
  }
  PaneTransformRequest request;
  request.code = pane.transformCode;
  request.filter = PaneChannelFilter(pane);
  PaneTransformTask task;
  Workstation& ws = window_.workstation();
  if (!PreparePaneTransform(pane, request, request.code >= 1000 ? &loader() : nullptr, task,
                            ResponseFileOf(ws, pane)))
    return;
  ComputePaneTransform(task);
  if (task.ok) ApplyPaneTransform(pane, task);
}

void SigprocPanes::RemoveFromActive() {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  for (CZoomWindow* p : active) {
    RemovePaneTransform(p->pane());
    p->RebuildPicture();
  }
}

void SigprocPanes::FilterCommand() {
  CZoomWindow* main = nullptr;
  if (!window_.RequireMain(main)) return;
  const TracePane& pane = main->pane();
  ChannelFilter filter = PaneChannelFilter(pane);
  if (filter.order == 0) filter = PresetToChannelFilter(FilterPreset{});
  // OK on a setting the pane does not run (the default on a pane never
  // filtered) applies it, rather than closing with nothing done.
  const bool inEffect = pane.HasTransformed() && !pane.formulaOn && pane.transformCode >= 0 &&
                        pane.transformCode < 1000;
  dialogs_->EditFilter(&window_, window_.workstation().store(), filter, inEffect, pane.SampleRate(),
                       [this](const ChannelFilter& typed) {
                         TransformActive({typed.type > kHighPass ? kBandPass : typed.type, typed});
                       });
}

void SigprocPanes::ApplyPreset(const std::string& name) {
  const ChannelFilter filter =
      PresetToChannelFilter(ReadFilterPreset(window_.workstation().store(), name));
  // An "SPWWSS" preset (type 4) filters as band-pass.
  TransformActive({filter.type > kHighPass ? kBandPass : filter.type, filter});
}

// ---------------------------------------------------------------- formulas

std::string SigprocPanes::GetFormula() const {
  CZoomWindow* main = window_.MainPane();
  return main ? main->pane().formula : std::string();
}

void SigprocPanes::SetFormula(const std::string& text) {
  for (CZoomWindow* p : window_.ActivePanes()) {
    p->pane().formula = text;
    p->pane().formulaOn = true;
    p->pane().filterOn = false;
  }
}

void SigprocPanes::ApplyFormula() {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  Workstation& ws = window_.workstation();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (CZoomWindow* p : active) {
    window_.ShowStatus(kComputing);
    const PaneFormulaData data(window_.PaneStates(), workspaceWindows_);
    const auto error = ApplyPaneFormula(p->pane(), data);
    window_.ShowStatus("");
    if (error) {
      QApplication::restoreOverrideCursor();
      ws.prompts().ShowError(*error, kFormulaErrorCaption);
      QApplication::setOverrideCursor(Qt::WaitCursor);
      continue;
    }
    p->pane().retransform = [this](TracePane& pane) { Retransform(pane); };
    p->RebuildPicture();
  }
  QApplication::restoreOverrideCursor();
}

void SigprocPanes::FormulaCommand() {
  dialogs_->EditFormula(&window_, window_.workstation(), *this);
}

void SigprocPanes::ApplySavedFormula(const std::string& formula) {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  SetFormula(formula);
  ApplyFormula();
}

// ---------------------------------------------------------------- detectors

DetectorParams& SigprocPanes::Params(CZoomWindow& pane, int page) {
  auto it = detectorParams_.find(&pane);
  if (it == detectorParams_.end()) {
    const DetectorParams stored = LoadDetectorDefaults(
        window_.workstation().store(), pane.pane().stationName, pane.pane().channelName);
    it = detectorParams_.emplace(&pane, std::array<DetectorParams, 2>{stored, stored}).first;
    connect(&pane, &QObject::destroyed, this, [this, key = &pane] { detectorParams_.erase(key); });
  }
  return it->second[page == 0 ? 0 : 1];
}

void SigprocPanes::DetectorCommand() {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  CZoomWindow* main = window_.MainPane();
  CZoomWindow& shown = main ? *main : *active.front();
  const auto choice = dialogs_->EditDetector(&window_, Params(shown, 0), Params(shown, 1));
  if (!choice) return;
  if (choice->action == DetectorChoice::kClear)
    ClearDetections();
  else
    RunDetector(choice->page, choice->params);
}

void SigprocPanes::RunDetector(int page, const DetectorParams& params) {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  Workstation& ws = window_.workstation();
  struct Run {
    std::vector<float> samples;
    double rate = 0;
    double start = 0;
    DetectParam marks;
    std::string error;
  };
  std::vector<Run> runs(active.size());
  for (size_t i = 0; i < active.size(); ++i) {
    TracePane& pane = active[i]->pane();
    Params(*active[i], page) = params;
    Run& run = runs[i];
    run.rate = pane.SampleRate();
    run.start = pane.WindowStart();
    if (page == 0 && params.useFilter) {
      if (!pane.HasTransformed()) {
        run.error = kNoFilteredData;
        continue;
      }
      run.samples = pane.transformed;
      if (pane.transRate > 0) run.rate = pane.transRate;
    } else if (run.rate > 0) {
      run.samples = pane.WindowSampleArray(run.rate);
    }
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunJobs(
      runs.size(),
      [&](size_t i) {
        Run& run = runs[i];
        if (!run.error.empty() || run.samples.empty()) return;
        try {
          if (page == 0)
            RunNUVDetector(run.samples, run.rate, run.start, params, run.marks);
          else
            RunVendrelDetector(run.samples, run.rate, run.start, params, run.marks);
        } catch (const DetectorError& e) {
          run.error = e.what();
        }
      },
      kComputing);
  QApplication::restoreOverrideCursor();
  std::string message;
  for (size_t i = 0; i < active.size(); ++i) {
    if (!runs[i].error.empty()) {
      if (message.empty()) message = runs[i].error;
      continue;
    }
    TracePane& pane = active[i]->pane();
    pane.detectionMarks.clear();
    for (size_t k = 0; k < runs[i].marks.size(); ++k)
      pane.detectionMarks.push_back(runs[i].marks.time(k));
    active[i]->RecordMarksLayer();
    active[i]->update();
  }
  if (!message.empty()) ws.prompts().ShowError(message);
}

void SigprocPanes::ClearDetections() {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  for (CZoomWindow* p : active) {
    p->pane().detectionMarks.clear();
    p->RecordMarksLayer();
    p->update();
  }
}

}  // namespace nuv
