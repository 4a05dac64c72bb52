#include "waveview/ui/waveform_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/workstation.h"
#include "archive/archive_import.h"
#include "archive/segment_assembly.h"
#include "archive/wfdisc_writer.h"
#include "platform/strformat.h"
#include "waveview/channel_list.h"
#include "waveview/phase_view.h"
#include "waveview/ui/zoom_window.h"
#include "waveview/waveform_commands.h"

namespace nuv {

namespace {

constexpr const char* kNoMainPane = "Не выбрано главное окно";

}  // namespace

waveform::waveform(Workstation& workstation, QWidget* parent) : QWidget(parent), ws_(workstation) {
  setWindowTitle(QString::fromUtf8("Волновые формы"));
  setFocusPolicy(Qt::StrongFocus);
  client_ = new QWidget(this);
  client_->setFocusPolicy(Qt::NoFocus);
  scrollBar_ = new QScrollBar(Qt::Vertical, this);
  scrollBar_->setRange(0, kScrollRange);
  scrollBar_->setSingleStep(kScrollLine);
  scrollBar_->setPageStep(kScrollPage);
  connect(scrollBar_, &QScrollBar::actionTriggered, this, [this] { EraseCommonCursor(); });
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (value != scrollPos_) ScrollTo(value);
  });
  sortOrder_ = ws_.ini().GetInt("WAVEFORMS", "SORTODER", 0);
  dialogs_ = MakeQtWaveformDialogs();
  // Panes read their samples from the archive through the open connections.
  loader_ = [this](const std::string& sta, const std::string& chan, const std::string& lcode,
                   double t1, double t2, NUVDataBlockArray& out) {
    Databases& db = ws_.databases();
    AssembleSegment(db.mainOpen() ? &db.main() : nullptr, db.dialect(),
                    db.cssOpen() ? &db.css() : nullptr, ws_.config(), sta, chan, lcode, t1, t2,
                    out);
  };
  selection_.Resize(stations().size());
  resize(800, 600);
}

waveform::~waveform() {
  for (CZoomWindow* p : panes_) delete p;
  panes_.clear();
}

StationTable& waveform::stations() {
  return ws_.stations();
}

void waveform::SetDialogs(std::unique_ptr<WaveformDialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

PaneList waveform::PaneStates() const {
  PaneList list;
  list.reserve(panes_.size());
  for (CZoomWindow* p : panes_) list.push_back(&p->pane());
  return list;
}

CZoomWindow* waveform::MainPane() const {
  for (CZoomWindow* p : panes_)
    if (p->pane().isMain) return p;
  return nullptr;
}

std::vector<CZoomWindow*> waveform::ActivePanes() const {
  std::vector<CZoomWindow*> out;
  for (CZoomWindow* p : panes_)
    if (p->pane().isActive) out.push_back(p);
  return out;
}

int waveform::AxisHeight() const {
  return QFontMetrics(font()).height() + 7;
}

int waveform::MinPaneHeight() const {
  return 5 * QFontMetrics(font()).height();
}

void waveform::ShowStatus(const std::string& text) {
  emit statusMessage(QString::fromStdString(text));
}

void waveform::ApplyDisplaySettings() {
  RedrawAllPanes();
}

// ---------------------------------------------------------------- panes

CZoomWindow* waveform::CreatePane(int number, bool beam) {
  CZoomWindow* pane = beam ? new CBeamWindow(*this, client_) : new CZoomWindow(*this, client_);
  pane->pane().number = number;
  pane->pane().isBeam = beam;
  pane->setObjectName(QString::fromStdString(StrFormat("D%d", number)));
  pane->setFont(font());
  return pane;
}

void waveform::DestroyPane(CZoomWindow* pane) {
  panes_.erase(std::remove(panes_.begin(), panes_.end(), pane), panes_.end());
  delete pane;
}

void waveform::ApplyRects() {
  for (CZoomWindow* p : panes_) p->ApplyRect();
}

void waveform::UpdateScrollBar() {
  scrollPos_ = ScrollPositionOf(PaneStates());
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setValue(scrollPos_);
}

void waveform::CompactAndScroll() {
  // A first pane left below the top (its predecessor was deleted) moves up,
  // so no empty band stays above the stack.
  if (!panes_.empty() && panes_.front()->pane().rect.y > 0) panes_.front()->pane().rect.y = 0;
  CompactLayout(PaneStates());
  ApplyRects();
  UpdateScrollBar();
}

void waveform::ScrollTo(int position) {
  if (scrolling_) {
    ws_.prompts().Beep();
    return;
  }
  scrolling_ = true;
  scrollPos_ = ScrollPanesTo(PaneStates(), position);
  ApplyRects();
  {
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setValue(scrollPos_);
  }
  scrolling_ = false;
}

void waveform::LoadPane(CZoomWindow& view) {
  TracePane& pane = view.pane();
  ShowStatus("Читаются данные...");
  SaveTimeWindow(ws_.store(), pane.stationName, pane.channelName, pane.WindowStart(),
                 pane.windowLength);
  pane.transformed.clear();
  try {
    if (loader_)
      loader_(pane.stationName, pane.channelName, pane.locationCode, pane.WindowStart(),
              pane.WindowEnd(), pane.blocks);
    else
      pane.blocks.Clear();
  } catch (const std::exception& e) {
    // The pane keeps whatever blocks arrived before the failure.
    ws_.prompts().ShowError(e.what());
  }
  ShowStatus("");
}

void waveform::ReloadAndRebuild(CZoomWindow& pane) {
  pane.LoadData();
  pane.RebuildPicture();
}

void waveform::AddPanesFromSelection() {
  selection_.Resize(stations().size());
  const auto cells = selection_.SetCells();
  if (cells.empty()) return;
  const int clientWidth = client_->width();
  const int h = SelectionPaneHeight(client_->height(), static_cast<int>(panes_.size()),
                                    static_cast<int>(cells.size()), MinPaneHeight());
  int y = 0;
  for (const auto& [station, channel] : cells) {
    CZoomWindow* view = CreatePane(NextPaneNumber(PaneStates()));
    TracePane& pane = view->pane();
    pane.isActive = true;
    pane.selectionNumber = NextSelectionNumber(PaneStates());
    panes_.push_back(view);
    pane.rect = {0, y, clientWidth, std::max(1, h - 1)};
    y += h;
    view->ApplyRect();
    view->show();
    view->SetChannel(station, channel);
    view->LoadData();
    view->RebuildPicture();
  }
  CompactAndScroll();
  ShowStatus("");
  update();
}

CZoomWindow* waveform::NewPane(int station, int channel, double start, double length) {
  CZoomWindow* view = CreatePane(NextPaneNumber(PaneStates()));
  TracePane& pane = view->pane();
  int h = panes_.empty() ? client_->height() : client_->height() / static_cast<int>(panes_.size());
  h = std::max(h, MinPaneHeight());
  int top = 0;
  for (CZoomWindow* p : panes_) top = std::max(top, p->pane().rect.Bottom() + 1);
  pane.rect = {0, top, client_->width(), h};
  view->ApplyRect();
  view->show();
  view->SetChannel(station, channel);
  pane.SetWindowStart(start);
  pane.windowLength = length;
  view->LoadData();
  view->RebuildPicture();
  panes_.push_back(view);
  UpdateScrollBar();
  return view;
}

void waveform::DeleteAllPanes() {
  for (CZoomWindow* p : panes_) delete p;
  panes_.clear();
  UpdateScrollBar();
}

void waveform::RedrawAllPanes() {
  for (CZoomWindow* p : panes_) p->RebuildPicture();
  update();
}

void waveform::RelayoutInOrder() {
  nuv::RelayoutInOrder(PaneStates(), client_->width());
  ApplyRects();
  UpdateScrollBar();
  for (CZoomWindow* p : panes_) p->update();
  update();
}

void waveform::RedrawAllPhaseMarks() {
  for (CZoomWindow* p : panes_) p->RedrawPhaseMarks();
}

void waveform::ShowPhaseListSpan() {
  const std::optional<PhaseSpanWindow> span = PhaseListSpan(ws_.phases());
  if (!span) return;
  for (CZoomWindow* p : panes_) {
    TracePane& pane = p->pane();
    pane.SetWindowStart(span->start);
    pane.windowLength = span->length;
    p->LoadData();
    if (!pane.RecomputeLimits()) ws_.prompts().ShowError("Не хватает памяти");
    p->RebuildPicture();
  }
}

void waveform::AddPhase(const SEISMIC_PHASE& phase, bool copyToOtherChannels) {
  ws_.phases().Add(phase);
  if (!copyToOtherChannels) return;
  for (CZoomWindow* p : panes_) {
    const TracePane& pane = p->pane();
    if (pane.station != phase.station || pane.channel == phase.channel) continue;
    SEISMIC_PHASE copy = phase;
    copy.channel = pane.channel;
    copy.active = 1;
    copy.defining = 0;
    copy.arid = -1;
    ws_.phases().Add(copy);
    p->RedrawPhaseMarks();
  }
}

void waveform::SaveAllTimeWindows() {
  for (CZoomWindow* p : panes_) {
    const TracePane& pane = p->pane();
    SaveTimeWindow(ws_.store(), pane.stationName, pane.channelName, pane.WindowStart(),
                   pane.windowLength);
  }
}

// ---------------------------------------------------------------- activation

void waveform::ActivatePane(CZoomWindow& view) {
  if (view.pane().isActive) return;
  nuv::ActivatePane(PaneStates(), view.pane());
  view.RecordHeaderLayer();
}

void waveform::MakeMain(CZoomWindow& view) {
  MakeMainPane(PaneStates(), view.pane());
  for (CZoomWindow* p : panes_) p->RefreshButtons();
}

void waveform::TogglePaneActive(CZoomWindow& view) {
  TracePane& pane = view.pane();
  if (!pane.isActive) {
    ActivatePane(view);
    MakeMain(view);
    return;
  }
  const bool wasMain = pane.isMain;
  nuv::DeactivatePane(PaneStates(), pane);
  if (wasMain) {
    PassMainRole(PaneStates());
    for (CZoomWindow* p : panes_) p->RefreshButtons();
  }
  for (CZoomWindow* p : panes_) p->RecordHeaderLayer();
}

// ---------------------------------------------------------------- pane geometry

void waveform::PaneResized(CZoomWindow& view, bool equalHeights) {
  if (equalHeights) {
    EqualHeights(PaneStates(), view.pane().rect.height);
    ApplyRects();
    for (CZoomWindow* p : panes_) p->RebuildPicture();
    UpdateScrollBar();
    return;
  }
  view.ApplyRect();
  CompactAndScroll();
}

void waveform::ToggleMaximize(CZoomWindow& view) {
  TracePane& pane = view.pane();
  if (!pane.maximized) {
    pane.savedRect = pane.rect;
    pane.rect = {0, pane.rect.y, client_->width(), client_->height()};
    pane.maximized = true;
    view.ApplyRect();
    CompactAndScroll();
    // Scroll so that the pane's top is the top of the client area.
    const int delta = -pane.rect.y;
    for (CZoomWindow* p : panes_) p->pane().rect.y += delta;
    ApplyRects();
    UpdateScrollBar();
  } else {
    pane.rect.width = pane.savedRect.width;
    pane.rect.height = pane.savedRect.height;
    pane.maximized = false;
    view.ApplyRect();
    CompactAndScroll();
  }
  view.RebuildPicture();
}

void waveform::RequestClose(CZoomWindow& view) {
  view.pane().closeRequested = true;
  QMetaObject::invokeMethod(this, "ExecuteCommand", Qt::QueuedConnection,
                            Q_ARG(int, kCmdClosePanes));
}

void waveform::ClosePanes() {
  for (int i = static_cast<int>(panes_.size()) - 1; i >= 0; --i)
    if (panes_[static_cast<size_t>(i)]->pane().closeRequested)
      DestroyPane(panes_[static_cast<size_t>(i)]);
  CompactAndScroll();
}

void waveform::DeleteFirstActive() {
  for (CZoomWindow* p : panes_)
    if (p->pane().isActive) {
      DestroyPane(p);
      CompactAndScroll();
      return;
    }
}

void waveform::ClientResized() {
  for (CZoomWindow* p : panes_) p->pane().rect.width = client_->width();
  ApplyRects();
}

void waveform::resizeEvent(QResizeEvent*) {
  const int bar = scrollBar_->sizeHint().width();
  scrollBar_->setGeometry(width() - bar, 0, bar, height());
  client_->setGeometry(0, 0, std::max(0, width() - bar), height());
  ClientResized();
}

void waveform::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) ScrollTo(scrollPos_ - notches * kScrollPage);
  event->accept();
}

void waveform::keyPressEvent(QKeyEvent* event) {
  EraseCommonCursor();
  if (event->key() == Qt::Key_Escape && pickMode_) {
    pickMode_ = false;
    for (CZoomWindow* p : panes_) p->setCursor(Qt::ArrowCursor);
  }
  QWidget::keyPressEvent(event);
}

// A click beside the panes (the window's own area or its scroll bar).
void waveform::mousePressEvent(QMouseEvent* event) {
  EraseCommonCursor();
  QWidget::mousePressEvent(event);
}

void waveform::focusOutEvent(QFocusEvent* event) {
  EraseCommonCursor();
  QWidget::focusOutEvent(event);
}

void waveform::closeEvent(QCloseEvent* event) {
  SaveAllTimeWindows();
  QWidget::closeEvent(event);
}

void waveform::MoveCommonCursor(int x) {
  for (CZoomWindow* p : panes_) {
    const PaneGeometry g = p->Geometry();
    p->SetCursorLine(x >= g.xL() && x <= g.xR() ? x : -1);
  }
}

void waveform::EraseCommonCursor() {
  for (CZoomWindow* p : panes_) p->SetCursorLine(-1);
}

// ---------------------------------------------------------------- commands

bool waveform::HandlesCommand(int id) const {
  if (id == kCmdClosePanes || id == kCmdPaneSelectStationChannel || id == kCmdPaneRedraw ||
      id == kCmdPaneScale)
    return true;
  for (const WaveformCommand& c : WaveformCommands())
    if (c.id == id) return true;
  return false;
}

bool waveform::IsCommandEnabled(int id) const {
  switch (id) {
    case kCmdPrint:
    case kCmdMenuStretchVertical:
    case kCmdMenuStretchHorizontal:
    case kCmdMenuCompressVertical:
    case kCmdMenuCompressHorizontal:
    case kCmdMenuCentre:
      return false;
    default:
      return HandlesCommand(id);
  }
}

bool waveform::Checked(int id) const {
  switch (id) {
    case kCmdDrawWaveforms:
      return settings_->drawWaveforms;
    case kCmdCommonCursor:
      return commonCursor_;
    case kCmdDasMarks:
      return dasMarks_;
    case kCmdDbPhaseMarks:
      return settings_->dbPhaseMarks;
    case kCmdAlignTime:
      return settings_->alignTime;
    case kCmdNormalizeAmplitude:
      return settings_->normalizeAmplitude;
    default:
      return false;
  }
}

std::optional<bool> waveform::IsCommandChecked(int id) const {
  switch (id) {
    case kCmdDrawWaveforms:
    case kCmdCommonCursor:
    case kCmdDasMarks:
    case kCmdDbPhaseMarks:
    case kCmdAlignTime:
    case kCmdNormalizeAmplitude:
      return Checked(id);
    default:
      return std::nullopt;
  }
}

void waveform::FillDropDownMenu(int id, QMenu& menu) {
  if (id != kCmdSortMenu) return;
  for (int sort : {kCmdSortDbNumber, kCmdSortPhaseTime, kCmdSortAlphabet, kCmdSortScreenNumber,
                   kCmdSortDistance, kCmdSortAmplitude, kCmdSortMb})
    menu.addAction(QString::fromUtf8(WaveformCommandText(sort)), this,
                   [this, sort] { ExecuteCommand(sort); });
}

void waveform::ReleaseBeforeClose() {
  SaveAllTimeWindows();
  DeleteAllPanes();
}

QAction* waveform::Action(int id) {
  auto it = actions_.find(id);
  if (it != actions_.end()) return it->second;
  bool checkable = false;
  for (const WaveformCommand& c : WaveformCommands())
    if (c.id == id) checkable = c.checkable;
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
    ReloadAndRebuild(*p);
  }
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

bool waveform::SaveChannelList(const std::string& name) {
  std::vector<ChannelListEntry> entries;
  for (CZoomWindow* p : panes_) {
    const TracePane& pane = p->pane();
    ChannelListEntry e;
    e.sta = pane.stationName;
    e.chan = pane.channelName;
    e.activeWindow = pane.isActive ? "1" : "0";
    e.beam = p->IsBeam() ? "1" : "0";
    e.mainWindow = pane.isMain ? "1" : "0";
    e.lcode = pane.locationCode;
    entries.push_back(std::move(e));
  }
  return nuv::SaveChannelList(ws_.store(), name, entries);
}

void waveform::LoadChannelList(const std::string& name) {
  DeleteAllPanes();
  for (const ChannelListEntry& e : nuv::LoadChannelList(ws_.store(), name)) {
    const std::optional<ChannelRef> ref = ResolveChannelListEntry(stations(), e);
    if (!ref) continue;
    CZoomWindow* view = CreatePane(static_cast<int>(LeadingInteger(e.key)), e.IsBeam());
    TracePane& pane = view->pane();
    if (auto* beam = dynamic_cast<CBeamWindow*>(view))
      beam->BindBeam(ref->station, ref->channel);
    else
      view->SetChannel(ref->station, ref->channel);
    const TimeWindow window =
        LoadTimeWindow(ws_.store(), pane.stationName, pane.channelName).value_or(TimeWindow{});
    pane.SetWindowStart(window.start);
    pane.windowLength = window.length;
    view->LoadData();
    if (e.IsActive()) nuv::ActivatePane(PaneStates(), pane);
    if (e.IsMain()) pane.isMain = true;
    panes_.push_back(view);
  }
  FitAll(PaneStates(), client_->width(), client_->height(), MinPaneHeight(), true);
  bool mainSeen = false;
  for (CZoomWindow* p : panes_) {
    if (p->pane().isMain) {
      if (mainSeen) p->pane().isMain = false;
      mainSeen = true;
    }
  }
  for (CZoomWindow* p : panes_) {
    p->ApplyRect();
    p->RebuildPicture();
    p->show();
  }
  Sort(kSortScreenNumber);
}

void waveform::LoadCssFolder(const std::string& folder) {
  CXChanArray spans;
  try {
    const ImportTarget target{ws_.databases().main(), stations(), ws_.config().dataDir,
                              ws_.config().useTend, ws_.prompts()};
    ImportWfdiscFolder(target, folder, spans);
  } catch (const std::exception& e) {
    // What was imported before the error still gets its panes.
    ws_.prompts().ShowError(e.what());
  }
  DeleteAllPanes();
  if (spans.size() == 0) return;
  const int h = std::max(client_->height() / spans.size(), MinPaneHeight());
  int y = 0;
  int number = 0;
  for (const ChannelSpan& span : spans) {
    const int station = stations().FindStation(span.station);
    const int channel = stations().FindChannel(station, span.channel);
    if (station < 0 || channel < 0) continue;
    CZoomWindow* view = CreatePane(number++);
    panes_.push_back(view);
    view->pane().rect = {0, y, client_->width(), std::max(1, h - 1)};
    y += h;
    view->ApplyRect();
    view->SetChannel(station, channel);
    view->pane().SetWindowStart(span.first);
    view->pane().windowLength = span.last - span.first;
    view->LoadData();
    view->show();
    view->RebuildPicture();
  }
  UpdateScrollBar();
  update();
}

bool waveform::SaveCssFile(const std::string& path) {
  XNUVDataBlockArrays arrays;
  for (CZoomWindow* p : ActivePanes()) {
    if (p->pane().blocks.empty()) continue;
    NUVDataBlockArray array = p->pane().blocks;
    array.station = p->pane().stationName;
    array.channel = p->pane().channelName;
    arrays.Append(std::move(array));
  }
  try {
    SaveWfdisc(path, arrays, static_cast<WfdiscOutputFormat>(ws_.config().cssOutFormat));
  } catch (const std::exception& e) {
    ws_.prompts().ShowError(e.what());
    return false;
  }
  return true;
}

void waveform::LoadCssCommand() {
  const std::optional<std::string> folder =
      ws_.prompts().ChooseFolder("Выбрать каталог c файлами (*.wfdisc)", ws_.config().cssDataPath);
  if (folder) LoadCssFolder(*folder);
}

void waveform::SaveCssCommand() {
  // The save writes the active panes: without one there is nothing to save.
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  std::optional<std::string> path = ws_.prompts().ChooseSaveFile(
      "Select .wfdisc file name", "wfdisc files|*.wfdisc||", ws_.config().cssOutDir);
  if (!path) return;
  // A name typed without an extension gets ".wfdisc".
  if (std::filesystem::path(*path).extension().empty()) *path += ".wfdisc";
  SaveCssFile(*path);
}

void waveform::ExecuteCommand(int id) {
  switch (id) {
    case kCmdDrawWaveforms:
      settings_->drawWaveforms = !settings_->drawWaveforms;
      RedrawAllPanes();
      break;
    case kCmdCommonCursor:
      commonCursor_ = !commonCursor_;
      if (!commonCursor_) EraseCommonCursor();
      break;
    case kCmdDasMarks:
      dasMarks_ = !dasMarks_;
      RedrawAllPanes();
      break;
    case kCmdDbPhaseMarks:
      settings_->dbPhaseMarks = !settings_->dbPhaseMarks;
      RedrawAllPanes();
      break;
    case kCmdAddChannels: {
      selection_.Resize(stations().size());
      selection_.Clear();
      busy_ = true;
      const bool ok = dialogs_->SelectChannels(*this);
      busy_ = false;
      if (ok) AddPanesFromSelection();
      break;
    }
    case kCmdSelectStationChannel: {
      CZoomWindow* main = nullptr;
      if (RequireMain(main)) RebindPane(*main);
      break;
    }
    case kCmdNewPane:
      NewPaneCommand();
      break;
    case kCmdDeleteActive:
      DeleteFirstActive();
      break;
    case kCmdClosePanes:
      ClosePanes();
      break;
    case kCmdActivateAll:
      for (CZoomWindow* p : panes_)
        if (!p->pane().isActive) {
          nuv::ActivatePane(PaneStates(), p->pane());
          p->RecordHeaderLayer();
        }
      break;
    case kCmdDeactivateAll:
      for (CZoomWindow* p : panes_)
        if (p->pane().isActive) {
          p->pane().isActive = false;
          p->pane().selectionNumber = -1;
          p->RecordHeaderLayer();
        }
      break;
    case kCmdShowTransformed:
    case kCmdShowSource:
      for (CZoomWindow* p : ActivePanes()) {
        p->pane().showTransformed = id == kCmdShowTransformed;
        p->RefreshButtons();
      }
      break;
    case kCmdRedraw:
      RedrawAllPanes();
      break;
    case kCmdFitAll:
      FitAll(PaneStates(), client_->width(), client_->height(), MinPaneHeight());
      ApplyRects();
      for (CZoomWindow* p : panes_) {
        p->RebuildPicture();
        p->show();
      }
      UpdateScrollBar();
      break;
    case kCmdSortDbNumber:
    case kCmdSortPhaseTime:
    case kCmdSortAlphabet:
    case kCmdSortScreenNumber:
    case kCmdSortDistance:
    case kCmdSortAmplitude:
    case kCmdSortMb:
      Sort(id);
      break;
    case kCmdSortMenu:
      if (const std::optional<int> chosen = dialogs_->ChooseSort(*this)) Sort(*chosen);
      break;
    case kCmdNormalizeAmplitude:
      settings_->normalizeAmplitude = !settings_->normalizeAmplitude;
      break;
    case kCmdSettings:
      emit settingsRequested();
      break;
    case kCmdClearIntervals: {
      std::vector<CZoomWindow*> active;
      if (!RequireActive(active)) break;
      for (CZoomWindow* p : active) {
        p->pane().ClearInterval();
        p->RecordIntervalLayer();
      }
      break;
    }
    case kCmdShiftLeft:
    case kCmdShiftRight:
    case kCmdStretchHorizontal:
    case kCmdCompressHorizontal:
    case kCmdBack:
      TimeCommand(id);
      break;
    case kCmdStretchVertical:
    case kCmdCompressVertical:
    case kCmdMoveUp:
    case kCmdMoveDown:
    case kCmdCentre:
      AmplitudeCommand(id);
      break;
    case kCmdSameScale: {
      std::vector<CZoomWindow*> active;
      if (!RequireActive(active)) break;
      for (CZoomWindow* p : active)
        if (p->pane().SameScale()) p->RebuildPicture();
      break;
    }
    case kCmdAlignAmplitude:
      AlignAmplitude();
      break;
    case kCmdAlignTime:
      settings_->alignTime = !settings_->alignTime;
      if (settings_->alignTime) {
        CZoomWindow* main = nullptr;
        if (RequireMain(main)) AlignActiveToMain(true);
      }
      break;
    case kCmdAlignMarks:
      AlignMarks();
      break;
    case kCmdSaveChannelList:
      if (const std::optional<std::string> name = dialogs_->SaveChannelListName(*this))
        SaveChannelList(*name);
      break;
    case kCmdLoadChannelList:
      if (const std::optional<std::string> name = dialogs_->LoadChannelListName(*this))
        LoadChannelList(*name);
      break;
    case kCmdLoadCss:
      LoadCssCommand();
      break;
    case kCmdSaveCss:
      SaveCssCommand();
      break;
    case kCmdPaneSelectStationChannel:
    case kCmdPaneRedraw:
    case kCmdPaneScale:
      if (CZoomWindow* main = MainPane()) main->OnPaneCommand(id);
      break;
    default:
      break;
  }
  emit commandStatesChanged();
}

}  // namespace nuv
