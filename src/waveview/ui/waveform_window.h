#pragma once
// The waveform window "Волновые формы": the vertically stacked trace panes
// of the chosen channels, scrolled as a whole, with the window commands that
// act on the active panes. The main frame hosts it as a document window and
// routes command ids to ExecuteCommand (or uses the QActions of Action()).
// The commands live in a registry: the window registers its own, and every
// analysis that works on panes adds its commands through commands().

#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "archive/data_block.h"
#include "phases/seismic_phase.h"
#include "waveview/channel_selection.h"
#include "waveview/display_settings.h"
#include "waveview/pane_list.h"
#include "waveview/segment_loader.h"
#include "waveview/trace_pane.h"
#include "waveview/ui/pane_frame.h"
#include "widgets/ui/command_registry.h"
#include "widgets/ui/command_target.h"

class QAction;
class QScrollBar;

namespace nuv {

class CBeamWindow;
class CZoomWindow;
class Workstation;
class waveform;

// The result of the station/channel dialog.
struct StationChannelChoice {
  int station = -1;
  int channel = -1;
  double start = 0;
  double length = 60;
};

// The dialogs the window opens. The desktop program shows the real ones;
// tests hand in their own answers.
class WaveformDialogs {
 public:
  virtual ~WaveformDialogs() = default;
  // "Выбор трасс ": edits the window's selection matrix and the stations'
  // default windows; true when closed with "Ok".
  virtual bool SelectChannels(waveform& window) = 0;
  // "Выбор станции и канала", preset with `preset` when given.
  virtual std::optional<StationChannelChoice> SelectStationChannel(
      waveform& window, const std::optional<StationChannelChoice>& preset) = 0;
  // The name chosen in "Сохранить список выбранных каналов и станций".
  virtual std::optional<std::string> SaveChannelListName(waveform& window) = 0;
  // The list chosen in "Загрузить список станций".
  virtual std::optional<std::string> LoadChannelListName(waveform& window) = 0;
  // "Масштаб": source max, source min, transformed max, transformed min.
  virtual bool EditScale(QWidget* parent, double& ampMax, double& ampMin, double& transMax,
                         double& transMin) = 0;
  // The pop-up list of sort commands; the chosen command id.
  virtual std::optional<int> ChooseSort(waveform& window) = 0;
};

// Every dialog shown for real.
std::unique_ptr<WaveformDialogs> MakeQtWaveformDialogs();

class waveform : public QWidget, public CommandTarget {
  Q_OBJECT

 public:
  explicit waveform(Workstation& workstation, QWidget* parent = nullptr);
  ~waveform() override;

  Workstation& workstation() { return ws_; }
  StationTable& stations();

  // Switches.
  WaveformDisplaySettings& settings() { return *settings_; }
  // The switches are shared by the whole program: the frame hands in the
  // instance its settings page edits.
  void UseDisplaySettings(WaveformDisplaySettings& shared) { settings_ = &shared; }
  // Redraws every pane after the settings page changed the switches.
  void ApplyDisplaySettings();
  bool dasMarks() const { return dasMarks_; }
  bool commonCursor() const { return commonCursor_; }
  int sortOrder() const { return sortOrder_; }
  bool pickMode() const { return pickMode_; }
  // Pick mode: every pane's pointer becomes the pick cursor while it is on.
  void SetPickMode(bool on);
  bool busy() const { return busy_; }

  SelectionMatrix& selection() { return selection_; }
  // The time window last accepted in a channel selection dialog during this
  // session; the next dialog starts from it instead of its first default.
  std::optional<ArchiveSegment>& sessionWindow() { return sessionWindow_; }
  ChannelViewTable& views() { return views_; }
  // Where panes get their samples (the archive by default).
  void SetSegmentLoader(SegmentLoader loader) { loader_ = std::move(loader); }
  // Told the start and length of every window the main pane loads.
  std::function<void(double start, double length)> mainWindowLoaded;
  void SetDialogs(std::unique_ptr<WaveformDialogs> dialogs);
  WaveformDialogs& dialogs() { return *dialogs_; }

  // Panes in their vertical order.
  const std::vector<CZoomWindow*>& panes() const { return panes_; }
  PaneList PaneStates() const;
  CZoomWindow* MainPane() const;
  std::vector<CZoomWindow*> ActivePanes() const;
  QWidget* client() const { return client_; }
  int AxisHeight() const;
  int MinPaneHeight() const;
  // Frames of the panes, shared by panes that look alike.
  PaneFrameCache& frameCache() { return frameCache_; }
  int scrollPosition() const { return scrollPos_; }

  // Operations used by other windows.
  void AddPanesFromSelection();
  CZoomWindow* NewPane(int station, int channel, double start, double length);
  // A new beam pane bound to the channel (samples set by its builder),
  // appended below the others with NewPane's height.
  CBeamWindow* NewBeamPane(int station, int channel);
  // Lays the panes out again and scrolls so that the bottom of `pane` meets
  // the bottom of the client area.
  void ScrollPaneToBottom(CZoomWindow& pane);
  void RedrawAllPanes();
  void RelayoutInOrder();
  void RedrawAllPhaseMarks();
  void ShowPhaseListSpan();
  // Adds a phase to the current list; with `copyToOtherChannels` every other
  // channel of its station shown here gets a non-defining copy.
  void AddPhase(const SEISMIC_PHASE& phase, bool copyToOtherChannels);
  void DeleteAllPanes();
  // Channel lists.
  bool SaveChannelList(const std::string& name);
  void LoadChannelList(const std::string& name);
  // CSS 3.0 file sets.
  void LoadCssFolder(const std::string& folder);
  // Replaces the panes by one per imported channel span that the station
  // table knows, each showing its span.
  void ShowSpans(const CXChanArray& spans);
  bool SaveCssFile(const std::string& path);
  // Saves every pane's time window (the window is closing).
  void SaveAllTimeWindows();

  // The commands this window carries out; other subsystems' ui/ folders add
  // theirs here.
  CommandRegistry& commands() { return commands_; }
  // Commands (the frame reaches them through CommandTarget).
  bool HandlesCommand(int id) const override;
  bool IsCommandEnabled(int id) const override;
  // The check mark of the switches (606, 33148, 33080, 32772, 33057, 33184).
  std::optional<bool> IsCommandChecked(int id) const override;
  bool Checked(int id) const;
  void OnCommand(int id) override { ExecuteCommand(id); }
  // The drop-down list of a toolbar button ("Сортировать..." 33209).
  void FillDropDownMenu(int id, QMenu& menu) override;
  // The frame is closing: every pane saves its time window, then the panes go.
  void ReleaseBeforeClose() override;
  // A QAction per command id with the menu text (checkable for switches).
  QAction* Action(int id);

  // Shows "Не выбрано главное окно" and returns false when no pane is the
  // main pane (or no pane is active).
  bool RequireMain(CZoomWindow*& main);
  bool RequireActive(std::vector<CZoomWindow*>& active);

  // Used by the panes.
  void ShowStatus(const std::string& text);
  void LoadPane(CZoomWindow& pane);
  void TogglePaneActive(CZoomWindow& pane);
  void ActivatePane(CZoomWindow& pane);
  void MakeMain(CZoomWindow& pane);
  void FinishZoomBox(CZoomWindow& pane, QPoint a, QPoint b);
  void PaneResized(CZoomWindow& pane, bool equalHeights);
  void ToggleMaximize(CZoomWindow& pane);
  void RequestClose(CZoomWindow& pane);
  void MoveCommonCursor(int x);
  void EraseCommonCursor();
  void RebindPane(CZoomWindow& pane);
  void EditPaneScale(CZoomWindow& pane);
  // Layout helpers.
  void CompactAndScroll();
  void ScrollTo(int position);

 public slots:
  void ExecuteCommand(int id);

 signals:
  // Text for the main frame's status line ("" clears it).
  void statusMessage(const QString& text);
  // 33168: the frame opens the settings sheet with the page of this window.
  void settingsRequested();
  // Check marks changed (606, 33148, 33080, 32772, 33057, 33184).
  void commandStatesChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // A new display font reaches every pane; panes grow to the new minimum.
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  CZoomWindow* CreatePane(int number, bool beam = false);
  void DestroyPane(CZoomWindow* pane);
  void ApplyRects();
  void UpdateScrollBar();
  void RegisterViewCommands();
  void ReloadAndRebuild(CZoomWindow& pane);
  // Redraws the panes, their traces' columns taken on all cores first.
  void RebuildPanes(const std::vector<CZoomWindow*>& panes);
  void AlignActiveToMain(bool reload);
  void TimeCommand(int id);
  void AmplitudeCommand(int id);
  void Sort(int id);
  void ClosePanes();
  void DeleteFirstActive();
  void AlignAmplitude();
  void AlignMarks();
  void LoadCssCommand();
  void SaveCssCommand();
  void NewPaneCommand();
  void ClientResized();

  Workstation& ws_;
  WaveformDisplaySettings ownSettings_;
  PaneFrameCache frameCache_;
  WaveformDisplaySettings* settings_ = &ownSettings_;
  bool dasMarks_ = false;
  bool commonCursor_ = false;
  int sortOrder_ = 0;
  bool pickMode_ = false;
  bool busy_ = false;
  bool scrolling_ = false;
  int scrollPos_ = 0;
  SelectionMatrix selection_;
  std::optional<ArchiveSegment> sessionWindow_;
  ChannelViewTable views_;
  SegmentLoader loader_;
  // Index rows whose files could not be read while panes loaded (they gave
  // zeros); each message is shown once a session.
  std::vector<std::string> readProblems_;
  std::set<std::string> shownReadProblems_;
  void ShowReadProblems();
  std::unique_ptr<WaveformDialogs> dialogs_;
  std::vector<CZoomWindow*> panes_;
  QWidget* client_ = nullptr;
  QScrollBar* scrollBar_ = nullptr;
  std::map<int, QAction*> actions_;
  CommandRegistry commands_;
};

}  // namespace nuv
