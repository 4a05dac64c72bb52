#include "app/ui/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>

#include "app/ui/about_dialog.h"
#include "app/ui/font_settings.h"
#include "app/ui/nuv_status_bar.h"
#include "app/ui/nuv_toolbar.h"
#include "app/ui/splash_window.h"
#include "platform/user_prompts.h"
#include "waveview/ui/waveform_window.h"
#include "widgets/ui/command_ids.h"
#include "widgets/ui/command_target.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kChildTitles[] = {"Карта", "Волновые формы", "Список фаз",
                                        "Процессор обработки сигналов"};
constexpr int kChildShowCommands[] = {cmd::kShowMap, cmd::kShowWaveforms, cmd::kShowPhaseList,
                                      cmd::kShowWorkspace};
// Toolbars in creation order: name and the window that owns their buttons.
struct BarOwner {
  const char* name;
  MenuOwner owner;
};
constexpr BarOwner kBars[] = {{"WAVEFORMS", MenuOwner::Waveforms},
                              {"MAP", MenuOwner::Map},
                              {"PHASELIST", MenuOwner::PhaseList},
                              {"DSP", MenuOwner::Workspace}};

DocumentKind KindOf(MenuOwner owner) {
  switch (owner) {
    case MenuOwner::Map:
      return DocumentKind::Map;
    case MenuOwner::PhaseList:
      return DocumentKind::PhaseList;
    case MenuOwner::Workspace:
      return DocumentKind::Workspace;
    default:
      return DocumentKind::Waveforms;
  }
}

}  // namespace

CMainFrame::CMainFrame(Workstation& ws, FrameServices services, bool showSplash, QWidget* parent)
    : QMainWindow(parent), ws_(ws), services_(std::move(services)) {
  treeImages_ = ImageList::FromStrip(TreeImagesStrip(), kImageListSize, kImageListMask);
  checkImages_ = ImageList::FromStrip(CheckUncheckStrip(), kImageListSize, kImageListMask);
  // Construction: the connections and the inventory come first; their
  // failures are reported and the frame goes on.
  if (services_.openDatabases) services_.openDatabases(ws_);

  setWindowTitle(QString::fromUtf8(kAppTitle));
  setObjectName("CMainFrame");
  if (showSplash)
    splash_ = CSplashWnd::ShowSplash(QString::fromStdString(ws_.config().homeDir + "splash.bmp"));

  mdi_ = new QMdiArea(this);
  mdi_->setBackground(QColor(192, 192, 192));
  setCentralWidget(mdi_);

  RegisterFrameCommands();
  CreateMenus();
  CreateToolbars();
  RefreshNetworkList();
  CreateStatusBar();
  CreateChildren();
  if (services_.registerCommands) services_.registerCommands(*this);
  ActivateChild(DocumentKind::Waveforms, true);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    // The waveform window brings back its toolbar whenever it gets the focus.
    if (sub && sub == childWindow(DocumentKind::Waveforms))
      if (CNUVToolbar* bar = toolbar("WAVEFORMS")) bar->show();
    UpdateCommandStates();
  });
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  // The children go after this object's members: no more state updates from them.
  if (mdi_) mdi_->disconnect(this);
  if (services_.closeDatabases) services_.closeDatabases(ws_);
}

// ---------------------------------------------------------------------------
// Commands

void CMainFrame::RegisterFrameCommands() {
  using K = DocumentKind;
  const std::pair<int, std::function<void()>> frameCommands[] = {
      {cmd::kShowWaveforms, [this] { ActivateChild(K::Waveforms, true); }},
      {cmd::kShowPhaseList, [this] { ActivateChild(K::PhaseList, true); }},
      {cmd::kShowWorkspace, [this] { ActivateChild(K::Workspace, true); }},
      {cmd::kShowMap, [this] { ActivateChild(K::Map, true); }},
      {cmd::kCascade, [this] { CascadeChildren(); }},
      {cmd::kWindowCascade, [this] { CascadeChildren(); }},
      {cmd::kTileHorizontally, [this] { TileChildren(Qt::Horizontal); }},
      {cmd::kWindowTileHorizontally, [this] { TileChildren(Qt::Horizontal); }},
      {cmd::kTileVertically, [this] { TileChildren(Qt::Vertical); }},
      {cmd::kWindowTileVertically, [this] { TileChildren(Qt::Vertical); }},
      {cmd::kSettings, [this] { ShowSettingsSheet(); }},
      {cmd::kFont, [this] { ChooseFont(); }},
      {cmd::kReconnect, [this] { Reconnect(); }},
      {cmd::kAbout, [this] { CAboutDlg(this).exec(); }},
      {cmd::kExit, [this] { close(); }},
      {cmd::kCustomizeWaveformsBar, [this] { CustomizeToolbar("WAVEFORMS"); }},
      {cmd::kCustomizePhaseListBar, [this] { CustomizeToolbar("PHASELIST"); }},
  };
  for (const auto& [id, run] : frameCommands) frameCommands_.Add(id, run);
}

CommandTarget* CMainFrame::Target(DocumentKind kind) const {
  return dynamic_cast<CommandTarget*>(document(kind));
}

CommandTarget* CMainFrame::OwnerOf(int id) const {
  QMdiSubWindow* active = mdi_ ? mdi_->activeSubWindow() : nullptr;
  auto isActive = [&](DocumentKind kind) { return active && active == childWindow(kind); };
  if (id == cmd::kHypocentre) {
    // Whichever of the waveform window, the phase list and the map is active.
    for (DocumentKind kind : {DocumentKind::PhaseList, DocumentKind::Map})
      if (isActive(kind)) return Target(kind);
    return Target(DocumentKind::Waveforms);
  }
  if (id == cmd::kHypocentreParameters)
    return Target(isActive(DocumentKind::Map) ? DocumentKind::Map : DocumentKind::PhaseList);
  // Channel selection belongs to the waveform window, reached through the frame.
  if (id == cmd::kAddChannels) return Target(DocumentKind::Waveforms);
  auto it = owners_.find(id);
  if (it == owners_.end() || it->second == MenuOwner::Frame) return nullptr;
  return Target(KindOf(it->second));
}

bool CMainFrame::IsCommandEnabled(int id) const {
  if (frameCommands_.Has(id)) return frameCommands_.IsEnabled(id);
  CommandTarget* target = OwnerOf(id);
  return target && target->HandlesCommand(id) && target->IsCommandEnabled(id);
}

std::optional<bool> CMainFrame::IsCommandChecked(int id) const {
  if (frameCommands_.Has(id)) return frameCommands_.IsChecked(id);
  CommandTarget* target = OwnerOf(id);
  if (!target || !target->HandlesCommand(id)) return std::nullopt;
  return target->IsCommandChecked(id);
}

void CMainFrame::ExecuteCommand(int id) {
  if (frameCommands_.Has(id)) {
    frameCommands_.Run(id);
  } else if (CommandTarget* target = OwnerOf(id);
             target && target->HandlesCommand(id) && target->IsCommandEnabled(id)) {
    target->OnCommand(id);
  }
  UpdateCommandStates();
}

void CMainFrame::UpdateCommandStates() {
  std::map<int, std::pair<bool, std::optional<bool>>> states;
  for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
    const int id = it.key();
    auto state = states.find(id);
    if (state == states.end())
      state = states.emplace(id, std::make_pair(IsCommandEnabled(id), IsCommandChecked(id))).first;
    QAction* action = it.value();
    action->setEnabled(state->second.first);
    action->setCheckable(state->second.second.has_value());
    if (state->second.second) action->setChecked(*state->second.second);
  }
}

QAction* CMainFrame::NewCommandAction(int id, const QString& text, QObject* parent) {
  auto* action = new QAction(text, parent);
  action->setData(id);
  action->setStatusTip(text.trimmed());
  action->setToolTip(text.trimmed());
  // Checkable actions toggle themselves on trigger; the owner's state is
  // what counts, so it is read back after the command.
  connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
  actions_.insert(id, action);
  return action;
}

QAction* CMainFrame::ToolbarAction(int id) {
  if (auto it = toolbarActions_.find(id); it != toolbarActions_.end()) return it->second;
  QAction* action = NewCommandAction(id, QString::fromStdString(ToolbarCommandText(id)), this);
  action->setIcon(CommandIcon(id));
  toolbarActions_[id] = action;
  return action;
}

// ---------------------------------------------------------------------------
// Window creation

void CMainFrame::CreateMenus() {
  std::function<void(QMenu*, const std::vector<MenuEntry>&, MenuOwner)> fill =
      [&](QMenu* menu, const std::vector<MenuEntry>& entries, MenuOwner owner) {
        for (const MenuEntry& entry : entries) {
          if (entry.IsPopup()) {
            fill(menu->addMenu(QString::fromStdString(entry.text)), entry.children, owner);
            continue;
          }
          menu->addAction(NewCommandAction(entry.id, QString::fromStdString(entry.text), menu));
          owners_.emplace(entry.id, owner);  // the first popup that names a command owns it
        }
      };
  for (const MenuPopup& popup : MainMenuLayout()) {
    QMenu* menu = menuBar()->addMenu(QString::fromStdString(popup.title));
    fill(menu, popup.entries, popup.owner);
    popups_.push_back(menu);
    // Opening a popup first activates the window it belongs to.
    if (popup.owner != MenuOwner::Frame) {
      const DocumentKind kind = KindOf(popup.owner);
      connect(menu, &QMenu::aboutToShow, this, [this, kind] {
        ActivateChild(kind, false);
        UpdateCommandStates();
      });
    } else {
      connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    }
    // When the menus close the message pane gets its own text back.
    connect(menu, &QMenu::aboutToShow, this, [this] { ++openPopups_; });
    connect(menu, &QMenu::aboutToHide, this, [this] {
      if (openPopups_ > 0) --openPopups_;
      // Deferred: moving to the next popup of the bar opens it before this runs.
      QTimer::singleShot(0, this, [this] {
        if (openPopups_ == 0 && tipShown_) RestoreMessageText();
      });
    });
  }
}

void CMainFrame::CreateToolbars() {
  for (const BarOwner& bar : kBars) {
    for (int id : ToolbarResourceButtons(bar.name))
      if (id != kToolbarSeparator) owners_.emplace(id, bar.owner);
    auto* toolbar = new CNUVToolbar(
        QString(bar.name), ToolbarResourceButtons(bar.name),
        [this](int id) { return ToolbarAction(id); }, this);
    toolbar->setToolTip(ToolbarTitle(bar.name));
    // The waveform bar has a row of its own, the map and phase-list bars
    // share the next, the workspace bar takes the third: at 1600 pixels no
    // bar needs its overflow arrow. A right click on a bar shows or hides
    // each bar (its title with a check mark).
    if (toolbars_.size() == 1 || toolbars_.size() == 3) addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, toolbar);
    toolbars_.push_back(toolbar);
  }
  // Drop-down lists of the waveform bar come from the waveform window.
  CNUVToolbar* waveforms = toolbar("WAVEFORMS");
  for (int id : {cmd::kSortMenu, cmd::kFilter, cmd::kFormula, cmd::kAmplitudeDefault}) {
    waveforms->SetDropDown(id, [this](int command, QMenu& menu) {
      if (CommandTarget* target = Target(DocumentKind::Waveforms))
        target->FillDropDownMenu(command, menu);
    });
  }
  networks_ = new QComboBox(this);
  networks_->setObjectName(QString::number(cmd::kNetworkCombo));
  networks_->setFixedWidth(200);
  networks_->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
  networks_->setToolTip("Сеть станций");
  connect(networks_, &QComboBox::activated, this, [this] {
    if (CommandTarget* map = Target(DocumentKind::Map);
        map && map->HandlesCommand(cmd::kNetworkChosen))
      map->OnCommand(cmd::kNetworkChosen);
  });
  toolbar("MAP")->SetTrailingWidget(networks_);

  for (CNUVToolbar* bar : toolbars_) {
    if (auto state = ws_.store().GetString(kToolbarKey, bar->name())) bar->RestoreState(*state);
  }
  toolbar("DSP")->hide();
  toolbar("PHASELIST")->hide();
}

void CMainFrame::SetMessageText(const QString& text) {
  messageText_ = text;
  // The window's own text replaces a prompt at once (a command run from a
  // toolbar button reports while the pointer still rests on the button).
  RestoreMessageText();
}

void CMainFrame::RestoreMessageText() {
  tipShown_ = false;
  if (!statusBar_) return;
  if (messageText_.isEmpty())
    statusBar_->clearMessage();
  else
    statusBar_->showMessage(messageText_);
}

bool CMainFrame::event(QEvent* event) {
  // Prompts of menu entries and buttons lie over the message pane's own text.
  if (event->type() == QEvent::StatusTip && statusBar_) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    if (tip.isEmpty()) {
      RestoreMessageText();
    } else {
      tipShown_ = true;
      statusBar_->showMessage(tip);
    }
    return true;
  }
  return QMainWindow::event(event);
}

void CMainFrame::RefreshNetworkList() {
  if (!networks_) return;
  const QString chosen = networks_->currentText();
  networks_->clear();
  if (services_.networkNames)
    for (const std::string& name : services_.networkNames(ws_))
      networks_->addItem(QString::fromStdString(name));
  const int index = networks_->findText(chosen);
  if (index >= 0) networks_->setCurrentIndex(index);
}

QString CMainFrame::selectedNetwork() const {
  return networks_ ? networks_->currentText() : QString();
}

void CMainFrame::CreateStatusBar() {
  statusBar_ = new CNUVStatusBar(this);
  setStatusBar(statusBar_);
  connect(statusBar_, &CNUVStatusBar::commandRequested, this, &CMainFrame::ExecuteCommand);
}

void CMainFrame::CreateChildren() {
  for (int i = 0; i < 4; ++i) {
    const auto kind = static_cast<DocumentKind>(i);
    QWidget* doc =
        services_.createDocument ? services_.createDocument(kind, ws_, nullptr) : nullptr;
    if (!doc) doc = new QWidget;
    if (auto* window = qobject_cast<waveform*>(doc)) ConnectWaveformWindow(*window);
    doc->setWindowTitle(QString::fromUtf8(kChildTitles[i]));
    QMdiSubWindow* sub = mdi_->addSubWindow(doc);
    sub->setWindowTitle(QString::fromUtf8(kChildTitles[i]));
    sub->setWindowIcon(CommandIcon(kChildShowCommands[i]));
    sub->setObjectName(QString("child%1").arg(i));
    // The four windows live for the whole run: closing one only minimises it.
    sub->installEventFilter(this);
    sub->show();
    children_[i] = sub;
    documents_[i] = doc;
  }
  TileChildren(Qt::Horizontal);
  ApplyDisplayFont(FontFromRecord(ws_.config().font));
}

// The waveform window shares the switches of the settings page, reports on
// the status line and asks for the settings sheet with its own page.
void CMainFrame::ConnectWaveformWindow(waveform& window) {
  window.UseDisplaySettings(waveformSettings_);
  connect(&window, &waveform::statusMessage, statusBar_,
          [this](const QString& text) { SetMessageText(text); });
  connect(&window, &waveform::settingsRequested, this, [this] { ShowSettingsSheet(true); });
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close && !closing_) {
    for (QMdiSubWindow* sub : children_) {
      if (watched == sub) {
        event->ignore();
        sub->showMinimized();
        return true;
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ActivateChild(DocumentKind kind, bool maximise) {
  QMdiSubWindow* sub = childWindow(kind);
  if (!sub) return;
  if (maximise)
    sub->showMaximized();
  else if (sub->isMinimized())
    sub->showNormal();
  mdi_->setActiveSubWindow(sub);
}

void CMainFrame::TileChildren(Qt::Orientation orientation) {
  // Horizontal tiling stacks the windows one above another, each as wide as
  // the area; vertical tiling puts them side by side.
  std::vector<QMdiSubWindow*> shown;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (sub->isMinimized()) continue;
    sub->showNormal();
    shown.push_back(sub);
  }
  if (shown.empty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int n = static_cast<int>(shown.size());
  for (int i = 0; i < n; ++i) {
    QRect rect;
    if (orientation == Qt::Horizontal) {
      const int top = area.height() * i / n;
      const int bottom = area.height() * (i + 1) / n;
      rect = QRect(0, top, area.width(), bottom - top);
    } else {
      const int left = area.width() * i / n;
      const int right = area.width() * (i + 1) / n;
      rect = QRect(left, 0, right - left, area.height());
    }
    shown[i]->setGeometry(rect);
  }
}

void CMainFrame::CascadeChildren() {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) sub->showNormal();
  mdi_->cascadeSubWindows();
}

CNUVToolbar* CMainFrame::toolbar(const std::string& name) const {
  for (CNUVToolbar* bar : toolbars_)
    if (bar->name() == name) return bar;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Frame commands

void CMainFrame::SaveToolbarState(const CNUVToolbar& bar) {
  ws_.store().SetString(kToolbarKey, bar.name(), bar.SaveState());
}

void CMainFrame::CustomizeToolbar(const std::string& name) {
  CNUVToolbar* bar = toolbar(name);
  if (!bar) return;
  // The state at the start is kept in "TMP" for the dialog's reset button.
  const std::string start = bar->SaveState();
  ws_.store().SetString(kToolbarKey, "TMP", start);
  CToolbarCustomizeDialog dialog(*bar, start, this);
  dialog.exec();
  bar->adjustSize();
  SaveToolbarState(*bar);
}

SettingsContext CMainFrame::MakeSettingsContext() {
  SettingsContext context;
  context.cssConnected = services_.cssConnected && services_.cssConnected(ws_);
  context.phaseCount = services_.phaseCount ? services_.phaseCount(ws_) : 0;
  if (services_.mainConnectionString)
    context.mainConnectionString = services_.mainConnectionString(ws_);
  if (services_.cssConnectionString)
    context.cssConnectionString = services_.cssConnectionString(ws_);
  context.waveform = &waveformSettings_;
  if (services_.reloadTravelTimes)
    context.reloadTravelTimes = [this] { services_.reloadTravelTimes(ws_); };
  return context;
}

void CMainFrame::ShowSettingsSheet(bool waveformPageOnly) {
  CSettingsSheet sheet(ws_, MakeSettingsContext(), waveformPageOnly, this);
  if (sheet.exec() == QDialog::Accepted) {
    // The waveform window draws by the switches: let it redraw.
    if (CommandTarget* waveforms = Target(DocumentKind::Waveforms);
        waveforms && waveforms->HandlesCommand(33216))
      waveforms->OnCommand(33216);
  }
}

void CMainFrame::ChooseFont() {
  const QFont initial = FontFromRecord(ws_.config().font);
  std::optional<QFont> chosen =
      services_.chooseFont ? services_.chooseFont(initial, this) : std::nullopt;
  if (!chosen) return;
  FontRecord record = RecordFromFont(*chosen, ws_.config().font);
  ws_.config().font = record;
  WriteFontKeys(ws_.ini(), record);
  ApplyDisplayFont(FontFromRecord(record));
  emit displayFontChanged(*chosen);
}

void CMainFrame::ApplyDisplayFont(const QFont& font) {
  // The document windows pass it on to their panes, tables and readouts;
  // menus, bars and dialogs keep the desktop's font.
  for (QWidget* doc : documents_)
    if (doc) doc->setFont(font);
}

void CMainFrame::Reconnect() {
  // The reconnection asks its own questions ("Переподключиться к БД?", and
  // whether to repeat after a failure).
  if (services_.reconnect) services_.reconnect(ws_);
  RefreshNetworkList();
}

bool CMainFrame::ConfirmClose() {
  UserPrompts& prompts = ws_.prompts();
  const int phases = services_.phaseCount ? services_.phaseCount(ws_) : 0;
  if (phases > 0) {
    const PromptAnswer answer = prompts.Message("Список фаз не пуст. Сохранить?", kAppTitle,
                                                PromptIcon::Question, PromptButtons::YesNoCancel);
    if (answer == PromptAnswer::Cancel) return false;
    if (answer == PromptAnswer::Yes)
      return services_.savePhaseList ? services_.savePhaseList(ws_) : false;
    return true;
  }
  return prompts.AskYesNo("Вы согласны завершить работу программы NUV?", kAppTitle);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (!ConfirmClose()) {
    event->ignore();
    return;
  }
  closing_ = true;
  // The waveform window releases its traces before the frame goes.
  for (int i = 0; i < 4; ++i)
    if (auto* target = dynamic_cast<CommandTarget*>(documents_[i])) target->ReleaseBeforeClose();
  if (splash_) splash_->close();
  event->accept();
}

}  // namespace nuv
