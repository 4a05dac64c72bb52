#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cmath>

#include "platform/settings_store.h"
#include "platform/strformat.h"
#include "waveview/phase_view.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "waveview/waveform_commands.h"
#include "workstation/workstation.h"

// The window's own commands: switches, pane management, sorting, time and
// amplitude steps, alignment, channel lists and CSS 3.0 sets. Other
// subsystems add theirs to the same registry through commands().

namespace nuv {

namespace {

constexpr const char* kNoMainPane = "Не выбрано главное окно";

}  // namespace

// ---------------------------------------------------------------- commands

bool waveform::HandlesCommand(int id) const {
  return commands_.Has(id);
}

bool waveform::IsCommandEnabled(int id) const {
  return commands_.IsEnabled(id);
}

bool waveform::Checked(int id) const {
  return commands_.IsChecked(id).value_or(false);
}

std::optional<bool> waveform::IsCommandChecked(int id) const {
  return commands_.IsChecked(id);
}

void waveform::FillDropDownMenu(int id, QMenu& menu) {
  commands_.FillDropDown(id, menu);
}

void waveform::ExecuteCommand(int id) {
  commands_.Run(id);
  emit commandStatesChanged();
}

void waveform::ReleaseBeforeClose() {
  SaveAllTimeWindows();
  DeleteAllPanes();
}

QAction* waveform::Action(int id) {
  auto it = actions_.find(id);
  if (it != actions_.end()) return it->second;
  const bool checkable = commands_.IsChecked(id).has_value();
  auto* action = new QAction(QString::fromUtf8(WaveformCommandText(id)), this);
  action->setCheckable(checkable);
  action->setChecked(Checked(id));
  action->setEnabled(IsCommandEnabled(id));
  connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
  connect(this, &waveform::commandStatesChanged, action,
          [this, action, id] { action->setChecked(Checked(id)); });
  actions_[id] = action;
  return action;
}

bool waveform::RequireMain(CZoomWindow*& main) {
  main = MainPane();
  if (main) return true;
  ws_.prompts().ShowError(kNoMainPane, kAppTitle);
  return false;
}

bool waveform::RequireActive(std::vector<CZoomWindow*>& active) {
  active = ActivePanes();
  if (!active.empty()) return true;
  ws_.prompts().ShowError(kNoMainPane, kAppTitle);
  return false;
}

void waveform::AlignActiveToMain(bool reload) {
  CZoomWindow* main = MainPane();
  if (!main) return;
  for (CZoomWindow* p : ActivePanes()) {
    if (p == main) continue;
    p->pane().TakeWindowOf(main->pane());
    if (reload) ReloadAndRebuild(*p);
  }
}

void waveform::TimeCommand(int id) {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  // The shifts and zooms start from the main pane's window; going back
  // restores each pane's own previous window.
  if (settings_->alignTime && id != kCmdBack) AlignActiveToMain(false);
  // Every pane's new window is remembered with one write of the store.
  const SettingsStore::Batch batch(ws_.store());
  for (CZoomWindow* p : active) {
    TracePane& pane = p->pane();
    switch (id) {
      case kCmdShiftLeft:
        pane.ShiftLeft();
        break;
      case kCmdShiftRight:
        pane.ShiftRight();
        break;
      case kCmdStretchHorizontal:
        pane.ZoomInTime();
        break;
      case kCmdCompressHorizontal:
        pane.ZoomOutTime();
        break;
      case kCmdBack:
        pane.Back();
        break;
      default:
        break;
    }
    p->LoadData();
  }
  RebuildPanes(active);
}

void waveform::AmplitudeCommand(int id) {
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  for (CZoomWindow* p : active) {
    TracePane& pane = p->pane();
    switch (id) {
      case kCmdStretchVertical:
        pane.StretchVertical();
        break;
      case kCmdCompressVertical:
        pane.CompressVertical();
        break;
      case kCmdMoveUp:
        pane.MoveUp();
        break;
      case kCmdMoveDown:
        pane.MoveDown();
        break;
      case kCmdCentre:
        if (!pane.Centre()) {
          ws_.prompts().ShowError("Не хватает памяти");
          continue;
        }
        break;
      default:
        break;
    }
    p->RecordTraceLayer();
  }
}

void waveform::FinishZoomBox(CZoomWindow& view, QPoint a, QPoint b) {
  view.pane().ZoomBox(view.Geometry(), a.x(), a.y(), b.x(), b.y());
  if (settings_->alignTime) {
    AlignActiveToMain(false);
    for (CZoomWindow* p : ActivePanes()) ReloadAndRebuild(*p);
    if (!view.pane().isActive) ReloadAndRebuild(view);
  } else {
    ReloadAndRebuild(view);
  }
}

void waveform::AlignAmplitude() {
  CZoomWindow* main = nullptr;
  if (!RequireMain(main)) return;
  const bool transformed = main->pane().showTransformed;
  TracePane& m = main->pane();
  const double mainLo = transformed ? m.transMin : m.ampMin;
  const double mainHi = transformed ? m.transMax : m.ampMax;
  const float r = static_cast<float>(mainHi - mainLo) / 2.0f;
  for (CZoomWindow* p : ActivePanes()) {
    TracePane& pane = p->pane();
    double& lo = transformed ? pane.transMin : pane.ampMin;
    double& hi = transformed ? pane.transMax : pane.ampMax;
    const double c = (lo + hi) / 2;
    lo = c - r;
    hi = c + r;
    if (transformed)
      p->RecordTransformedLayer();
    else {
      pane.PrepareDisplayLimits();
      p->RecordSourceLayer();
    }
    p->update();
  }
}

void waveform::AlignMarks() {
  CZoomWindow* main = nullptr;
  if (!RequireMain(main)) return;
  const TracePane& m = main->pane();
  if (!m.hasInterval) return;
  for (CZoomWindow* p : panes_) {
    if (p == main) continue;
    p->pane().intervalStart = m.intervalStart;
    p->pane().intervalEnd = m.intervalEnd;
    p->pane().hasInterval = true;
    p->RecordIntervalLayer();
  }
}

void waveform::Sort(int id) {
  PaneList list = PaneStates();
  switch (id) {
    case kSortDbNumber:
      SortPanesByDbNumber(list, stations());
      break;
    case kSortAlphabet:
      SortPanesByAlphabet(list);
      break;
    case kSortScreenNumber:
      SortPanesByScreenNumber(list);
      break;
    default:
      if (!SortPanesByPhases(list, id, ws_.phases(), ws_.phaseTypes(), ws_.event(), stations()))
        return;
      break;
  }
  std::vector<CZoomWindow*> ordered;
  for (TracePane* state : list)
    for (CZoomWindow* p : panes_)
      if (&p->pane() == state) ordered.push_back(p);
  panes_ = ordered;
  const std::string text = SortOrderText(id);
  if (!text.empty()) {
    ws_.ini().WriteString("WAVEFORMS", "SORTODER", text);
    sortOrder_ = static_cast<int>(LeadingInteger(text));
  }
  RelayoutInOrder();
}

void waveform::RebindPane(CZoomWindow& view) {
  TracePane& pane = view.pane();
  const StationChannelChoice preset{pane.station, pane.channel, pane.WindowStart(),
                                    pane.windowLength};
  const std::optional<StationChannelChoice> choice = dialogs_->SelectStationChannel(*this, preset);
  if (!choice) return;
  view.SetChannel(choice->station, choice->channel);
  pane.SetWindowStart(choice->start);
  pane.windowLength = choice->length;
  ReloadAndRebuild(view);
  if (pane.isMain && settings_->alignTime) AlignActiveToMain(true);
}

void waveform::EditPaneScale(CZoomWindow& view) {
  TracePane& pane = view.pane();
  double ampMax = pane.ampMax, ampMin = pane.ampMin, transMax = pane.transMax,
         transMin = pane.transMin;
  if (!dialogs_->EditScale(&view, ampMax, ampMin, transMax, transMin)) return;
  pane.ampMax = ampMax;
  pane.ampMin = ampMin;
  pane.transMax = transMax;
  pane.transMin = transMin;
  pane.PrepareDisplayLimits();
  view.RecordSourceLayer();
  view.RecordTransformedLayer();
  view.update();
}

void waveform::NewPaneCommand() {
  const std::optional<StationChannelChoice> choice =
      dialogs_->SelectStationChannel(*this, std::nullopt);
  if (choice) NewPane(choice->station, choice->channel, choice->start, choice->length);
}

void waveform::RegisterViewCommands() {
  CommandRegistry& c = commands_;
  c.AddToggle(
      kCmdDrawWaveforms,
      [this] {
        settings_->drawWaveforms = !settings_->drawWaveforms;
        RedrawAllPanes();
      },
      [this] { return settings_->drawWaveforms; });
  c.AddToggle(
      kCmdCommonCursor,
      [this] {
        commonCursor_ = !commonCursor_;
        if (!commonCursor_) EraseCommonCursor();
      },
      [this] { return commonCursor_; });
  c.AddToggle(
      kCmdDasMarks,
      [this] {
        dasMarks_ = !dasMarks_;
        RedrawAllPanes();
      },
      [this] { return dasMarks_; });
  c.AddToggle(
      kCmdDbPhaseMarks,
      [this] {
        settings_->dbPhaseMarks = !settings_->dbPhaseMarks;
        RedrawAllPanes();
      },
      [this] { return settings_->dbPhaseMarks; });
  c.AddToggle(
      kCmdNormalizeAmplitude,
      [this] { settings_->normalizeAmplitude = !settings_->normalizeAmplitude; },
      [this] { return settings_->normalizeAmplitude; });
  c.AddToggle(
      kCmdAlignTime,
      [this] {
        settings_->alignTime = !settings_->alignTime;
        CZoomWindow* main = nullptr;
        if (settings_->alignTime && RequireMain(main)) AlignActiveToMain(true);
      },
      [this] { return settings_->alignTime; });

  c.Add(kCmdAddChannels, [this] {
    selection_.Resize(stations().size());
    selection_.Clear();
    busy_ = true;
    const bool ok = dialogs_->SelectChannels(*this);
    busy_ = false;
    if (ok) AddPanesFromSelection();
  });
  c.Add(kCmdSelectStationChannel, [this] {
    CZoomWindow* main = nullptr;
    if (RequireMain(main)) RebindPane(*main);
  });
  c.Add(kCmdNewPane, [this] { NewPaneCommand(); });
  c.Add(kCmdDeleteActive, [this] { DeleteFirstActive(); });
  c.Add(kCmdClosePanes, [this] { ClosePanes(); });
  c.Add(kCmdActivateAll, [this] {
    for (CZoomWindow* p : panes_)
      if (!p->pane().isActive) {
        nuv::ActivatePane(PaneStates(), p->pane());
        p->RecordHeaderLayer();
      }
  });
  c.Add(kCmdDeactivateAll, [this] {
    for (CZoomWindow* p : panes_)
      if (p->pane().isActive) {
        p->pane().isActive = false;
        p->pane().selectionNumber = -1;
        p->RecordHeaderLayer();
      }
  });
  for (int id : {kCmdShowTransformed, kCmdShowSource})
    c.Add(id, [this, id] {
      for (CZoomWindow* p : ActivePanes()) {
        p->pane().showTransformed = id == kCmdShowTransformed;
        p->RefreshButtons();
      }
    });
  c.Add(kCmdRedraw, [this] { RedrawAllPanes(); });
  c.Add(kCmdFitAll, [this] {
    FitAll(PaneStates(), client_->width(), client_->height(), MinPaneHeight());
    ApplyRects();
    for (CZoomWindow* p : panes_) {
      p->RebuildPicture();
      p->show();
    }
    UpdateScrollBar();
  });

  static constexpr int kSorts[] = {
      kCmdSortDbNumber, kCmdSortPhaseTime, kCmdSortAlphabet, kCmdSortScreenNumber,
      kCmdSortDistance, kCmdSortAmplitude, kCmdSortMb};
  for (int id : kSorts) c.Add(id, [this, id] { Sort(id); });
  CommandHandler sortMenu;
  sortMenu.run = [this] {
    if (const std::optional<int> chosen = dialogs_->ChooseSort(*this)) Sort(*chosen);
  };
  sortMenu.dropDown = [this](QMenu& menu) {
    for (int sort : kSorts)
      menu.addAction(QString::fromUtf8(WaveformCommandText(sort)), this,
                     [this, sort] { ExecuteCommand(sort); });
  };
  c.Add(kCmdSortMenu, std::move(sortMenu));

  c.Add(kCmdSettings, [this] { emit settingsRequested(); });
  c.Add(kCmdClearIntervals, [this] {
    std::vector<CZoomWindow*> active;
    if (!RequireActive(active)) return;
    for (CZoomWindow* p : active) {
      p->pane().ClearInterval();
      p->RecordIntervalLayer();
    }
  });
  for (int id :
       {kCmdShiftLeft, kCmdShiftRight, kCmdStretchHorizontal, kCmdCompressHorizontal, kCmdBack})
    c.Add(id, [this, id] { TimeCommand(id); });
  for (int id : {kCmdStretchVertical, kCmdCompressVertical, kCmdMoveUp, kCmdMoveDown, kCmdCentre})
    c.Add(id, [this, id] { AmplitudeCommand(id); });
  c.Add(kCmdSameScale, [this] {
    std::vector<CZoomWindow*> active;
    if (!RequireActive(active)) return;
    for (CZoomWindow* p : active)
      if (p->pane().SameScale()) p->RebuildPicture();
  });
  c.Add(kCmdAlignAmplitude, [this] { AlignAmplitude(); });
  c.Add(kCmdAlignMarks, [this] { AlignMarks(); });
  c.Add(kCmdSaveChannelList, [this] {
    if (const std::optional<std::string> name = dialogs_->SaveChannelListName(*this))
      SaveChannelList(*name);
  });
  c.Add(kCmdLoadChannelList, [this] {
    if (const std::optional<std::string> name = dialogs_->LoadChannelListName(*this))
      LoadChannelList(*name);
  });
  c.Add(kCmdLoadCss, [this] { LoadCssCommand(); });
  c.Add(kCmdSaveCss, [this] { SaveCssCommand(); });
  for (int id : {kCmdPaneSelectStationChannel, kCmdPaneRedraw, kCmdPaneScale})
    c.Add(id, [this, id] {
      if (CZoomWindow* main = MainPane()) main->OnPaneCommand(id);
    });
  // Menu items without an action in this system stay disabled.
  for (int id : {kCmdPrint, kCmdMenuStretchVertical, kCmdMenuStretchHorizontal,
                 kCmdMenuCompressVertical, kCmdMenuCompressHorizontal, kCmdMenuCentre}) {
    CommandHandler disabled;
    disabled.run = [] {};
    disabled.enabled = [] { return false; };
    c.Add(id, std::move(disabled));
  }
}

}  // namespace nuv
