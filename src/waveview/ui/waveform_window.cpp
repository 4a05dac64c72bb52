#include "waveview/ui/waveform_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

#include "archive/archive_import.h"
#include "archive/segment_assembly.h"
#include "archive/wfdisc_writer.h"
#include "platform/settings_store.h"
#include "platform/strformat.h"
#include "waveview/channel_list.h"
#include "waveview/phase_view.h"
#include "waveview/ui/pane_placement.h"
#include "waveview/ui/zoom_window.h"
#include "waveview/waveform_commands.h"
#include "workstation/workstation.h"

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
                    db.cssOpen() ? &db.css() : nullptr, ws_.config(), sta, chan, lcode, t1, t2, out,
                    &readProblems_);
  };
  selection_.Resize(stations().size());
  RegisterViewCommands();
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
  // Whatever changed the layout, the stack fills the client area and the
  // scroll bar's range ends where the last pane meets the bottom.
  const PaneList panes = PaneStates();
  KeepStackInView(panes, client_->height());
  ApplyRects();
  scrollPos_ = ScrollPositionOf(panes);
  const QSignalBlocker block(scrollBar_);
  scrollBar_->setRange(0, std::max(MaxScrollPosition(panes, client_->height()), scrollPos_));
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
  scrollPos_ =
      ScrollPanesTo(PaneStates(), position, MaxScrollPosition(PaneStates(), client_->height()));
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
  pane.FinishPyramids();  // a build still reading the old blocks ends first
  // Only what the pane does not hold yet is read; what lies far outside the
  // window goes when the pane holds more than its budget.
  using Result = PaneSampleCache::Result;
  Result result = Result::kReplaced;
  try {
    if (loader_) {
      result =
          pane.sampleCache.Cover(loader_, {pane.stationName, pane.channelName, pane.locationCode},
                                 pane.WindowStart(), pane.WindowEnd(), pane.blocks);
      if (pane.sampleCache.KeepBudget(pane.WindowStart(), pane.WindowEnd(), pane.SampleRate(),
                                      pane.blocks) &&
          result == Result::kUnchanged)
        result = Result::kExtended;
    } else {
      pane.blocks.Clear();
      pane.sampleCache.Clear();
    }
  } catch (const std::exception& e) {
    // The pane keeps whatever blocks arrived before the failure.
    ws_.prompts().ShowError(e.what());
  }
  ShowReadProblems();
  // The pyramids of new or changed blocks are built in a worker thread; the
  // first drawing waits for them.
  if (result != Result::kUnchanged ||
      pane.pyramids.size() != static_cast<size_t>(pane.blocks.size()))
    pane.StartPyramids(result == Result::kExtended);
  // The transformed signal follows the new samples.
  if (pane.retransform) pane.retransform(pane);
  ShowStatus("");
  if (pane.isMain && mainWindowLoaded) mainWindowLoaded(pane.WindowStart(), pane.windowLength);
}

void waveform::ShowReadProblems() {
  // Taken out first: a message box runs the event loop, which may load panes.
  std::vector<std::string> problems;
  problems.swap(readProblems_);
  for (const std::string& problem : problems)
    if (shownReadProblems_.insert(problem).second)
      ws_.prompts().Message(problem, kAppTitle, PromptIcon::Warning, PromptButtons::Ok);
}

void waveform::ReloadAndRebuild(CZoomWindow& pane) {
  pane.LoadData();
  pane.RebuildPicture();
}

void waveform::RebuildPanes(const std::vector<CZoomWindow*>& panes) {
  if (settings_->drawWaveforms) {
    std::vector<std::pair<TracePane*, PaneGeometry>> work;
    for (CZoomWindow* p : panes) work.emplace_back(&p->pane(), p->Geometry());
    PrepareSourceColumns(work);
  }
  for (CZoomWindow* p : panes) p->RebuildPicture();
}

void waveform::AddPanesFromSelection() {
  selection_.Resize(stations().size());
  const auto cells = selection_.SetCells();
  if (cells.empty()) return;
  const size_t firstNew = panes_.size();
  // The windows of all new panes are remembered with one write of the store.
  std::optional<SettingsStore::Batch> batch(std::in_place, ws_.store());
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
  }
  // Every pane's pyramids are built while the next panes read their
  // samples; the pictures follow once all are loaded. Events processed to
  // show the progress may delete panes, so each is watched.
  batch.reset();
  std::vector<QPointer<CZoomWindow>> added(panes_.begin() + static_cast<std::ptrdiff_t>(firstNew),
                                           panes_.end());
  for (size_t k = 0; k < added.size(); ++k) {
    ShowStatus(StrFormat("Строятся обзоры трасс: %d из %d", static_cast<int>(k + 1),
                         static_cast<int>(added.size())));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (added[k]) added[k]->RebuildPicture();
  }
  CompactAndScroll();
  // The analyst sees what was added.
  ScrollPaneIntoView(PaneStates(), firstNew, client_->height());
  UpdateScrollBar();
  ShowStatus("");
  update();
}

CZoomWindow* waveform::NewPane(int station, int channel, double start, double length) {
  CZoomWindow* view = CreatePane(NextPaneNumber(PaneStates()));
  TracePane& pane = view->pane();
  PlaceBelowPanes(*this, *view);
  view->show();
  view->SetChannel(station, channel);
  pane.SetWindowStart(start);
  pane.windowLength = length;
  view->LoadData();
  view->RebuildPicture();
  panes_.push_back(view);
  ScrollPaneIntoView(PaneStates(), panes_.size() - 1, client_->height());
  UpdateScrollBar();
  return view;
}

void waveform::DeleteAllPanes() {
  for (CZoomWindow* p : panes_) delete p;
  panes_.clear();
  UpdateScrollBar();
}

void waveform::RedrawAllPanes() {
  RebuildPanes(panes_);
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
    RebuildPanes(panes_);
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

void waveform::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  const int minHeight = MinPaneHeight();
  for (CZoomWindow* p : panes_) {
    p->setFont(font());
    p->pane().rect.height = std::max(p->pane().rect.height, minHeight - 1);
  }
  CompactAndScroll();
  RebuildPanes(panes_);
}

void waveform::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) ScrollTo(scrollPos_ - notches * kScrollPage);
  event->accept();
}

void waveform::keyPressEvent(QKeyEvent* event) {
  EraseCommonCursor();
  if (event->key() == Qt::Key_Escape && pickMode_) SetPickMode(false);
  QWidget::keyPressEvent(event);
}

void waveform::SetPickMode(bool on) {
  pickMode_ = on;
  for (CZoomWindow* p : panes_) p->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
  emit commandStatesChanged();
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

}  // namespace nuv
