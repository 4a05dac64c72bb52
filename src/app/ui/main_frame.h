#pragma once
// The main frame of the workstation: one menu bar for the four permanent
// document windows (map, waveforms, phase list, workspace), four toolbars
// that keep their state in the per-user store, the status bar with its
// clock and window buttons, and the commands the frame carries out itself.

#include <QMainWindow>
#include <QMultiMap>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/ui/image_lists.h"
#include "app/ui/menu_layout.h"
#include "app/ui/settings_sheet.h"
#include "app/ui/splash_window.h"
#include "platform/config.h"
#include "widgets/ui/command_registry.h"

class QComboBox;
class QMdiArea;
class QMdiSubWindow;

namespace nuv {

class CMainFrame;
class CNUVStatusBar;
class waveform;
class CNUVToolbar;
class CommandTarget;
class Workstation;

// The services of other subsystems the frame calls. Each has a working
// default (DefaultFrameServices); tests replace those that would open a dialog.
struct FrameServices {
  // Connections and inventory, while the frame is constructed.
  std::function<void(Workstation&)> openDatabases;
  // The reconnect command with its questions; false when it did not reconnect.
  std::function<bool(Workstation&)> reconnect;
  // At destruction.
  std::function<void(Workstation&)> closeDatabases;
  std::function<bool(Workstation&)> cssConnected;
  std::function<std::string(Workstation&)> mainConnectionString;
  std::function<std::string(Workstation&)> cssConnectionString;
  std::function<std::vector<std::string>(Workstation&)> networkNames;
  // Phases in the current phase list.
  std::function<int(Workstation&)> phaseCount;
  // "Yes" of the close question: asks for the event group and saves the list;
  // false keeps the frame open.
  std::function<bool(Workstation&)> savePhaseList;
  // After another travel-time set was chosen in the settings sheet.
  std::function<void(Workstation&)> reloadTravelTimes;
  // The font dialog; nullopt when cancelled.
  std::function<std::optional<QFont>(const QFont& initial, QWidget* parent)> chooseFont;
  // The document windows; a widget that is also a CommandTarget carries out
  // the commands of its menus.
  std::function<QWidget*(DocumentKind, Workstation&, QWidget* parent)> createDocument;
  // After the document windows exist: every subsystem adds its commands to
  // the frame's registry and to the document windows' registries.
  std::function<void(CMainFrame&)> registerCommands;
};

FrameServices DefaultFrameServices();

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  CMainFrame(Workstation& ws, FrameServices services, bool showSplash = false,
             QWidget* parent = nullptr);
  ~CMainFrame() override;

  Workstation& workstation() { return ws_; }

  // Carries out a command as its menu entry or toolbar button would.
  void ExecuteCommand(int id);
  bool IsCommandEnabled(int id) const;
  std::optional<bool> IsCommandChecked(int id) const;
  // Enables, disables and checks every menu entry and button.
  void UpdateCommandStates();
  // The commands the frame carries out itself, before any document window
  // is asked; subsystems register their frame-level commands here.
  CommandRegistry& commands() { return frameCommands_; }

  QMdiArea* mdiArea() const { return mdi_; }
  QMdiSubWindow* childWindow(DocumentKind kind) const { return children_[static_cast<int>(kind)]; }
  QWidget* document(DocumentKind kind) const { return documents_[static_cast<int>(kind)]; }
  CNUVToolbar* toolbar(const std::string& name) const;
  const std::vector<CNUVToolbar*>& toolbars() const { return toolbars_; }
  CNUVStatusBar* nuvStatusBar() const { return statusBar_; }
  QComboBox* networkList() const { return networks_; }
  // Every menu entry and toolbar button of a command.
  QList<QAction*> commandActions(int id) const { return actions_.values(id); }
  // The popups of the menu bar, left to right.
  const std::vector<QMenu*>& popups() const { return popups_; }
  CSplashWnd* splash() const { return splash_; }
  // Images for the tree and check-list controls of the dialogs.
  const ImageList& treeImages() const { return treeImages_; }
  const ImageList& checkImages() const { return checkImages_; }
  WaveformDisplaySettings& waveformSettings() { return waveformSettings_; }
  // The network chosen in the "MAP" bar's list (command 140 to the map).
  QString selectedNetwork() const;

  // The settings sheet with its six pages (command 19), or with the waveform
  // window's page alone.
  void ShowSettingsSheet(bool waveformPageOnly = false);
  // Opens the customisation of a bar and saves its state afterwards.
  void CustomizeToolbar(const std::string& name);
  // Saves a bar's state under "NUV\TOOLBAR", value named after the bar.
  void SaveToolbarState(const CNUVToolbar& bar);
  // Fills the "MAP" bar's list with the network names.
  void RefreshNetworkList();
  // The text of the message pane (pane 0), shown at once; menu and button
  // prompts lie over it while they are shown and it comes back when they go.
  void SetMessageText(const QString& text);
  QString messageText() const { return messageText_; }

  static constexpr const char* kToolbarKey = "NUV\\TOOLBAR";

 signals:
  // The display font was changed with the font command.
  void displayFontChanged(const QFont& font);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenus();
  void CreateToolbars();
  void CreateStatusBar();
  void CreateChildren();
  void RegisterFrameCommands();
  QAction* ToolbarAction(int id);
  QAction* NewCommandAction(int id, const QString& text, QObject* parent);
  CommandTarget* OwnerOf(int id) const;
  CommandTarget* Target(DocumentKind kind) const;
  void ConnectWaveformWindow(waveform& window);
  void ActivateChild(DocumentKind kind, bool maximise);
  void TileChildren(Qt::Orientation orientation);
  void CascadeChildren();
  bool ConfirmClose();
  void Reconnect();
  void ChooseFont();
  void ApplyDisplayFont(const QFont& font);
  void RestoreMessageText();
  SettingsContext MakeSettingsContext();

  Workstation& ws_;
  FrameServices services_;
  QMdiArea* mdi_ = nullptr;
  std::array<QMdiSubWindow*, 4> children_{};
  std::array<QWidget*, 4> documents_{};
  std::vector<CNUVToolbar*> toolbars_;
  CNUVStatusBar* statusBar_ = nullptr;
  QComboBox* networks_ = nullptr;
  QPointer<CSplashWnd> splash_;
  ImageList treeImages_, checkImages_;
  std::vector<QMenu*> popups_;
  QMultiMap<int, QAction*> actions_;
  std::map<int, QAction*> toolbarActions_;
  std::map<int, MenuOwner> owners_;
  CommandRegistry frameCommands_;
  WaveformDisplaySettings waveformSettings_;
  bool closing_ = false;
  // The message pane's own text, whether a prompt lies over it, and the
  // popups of the menu bar now open.
  QString messageText_;
  bool tipShown_ = false;
  int openPopups_ = 0;
};

}  // namespace nuv
