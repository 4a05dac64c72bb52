// The main frame: menus in order with their identifiers, command states and
// routing, popups activating their windows, toolbars and their saved state,
// the status bar, the close question and the font command.

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "app/ui/about_dialog.h"
#include "app/ui/menu_layout.h"
#include "app/ui/nuv_status_bar.h"
#include "app/ui/nuv_toolbar.h"
#include "app/ui/splash_window.h"
#include "frame_fixture.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "widgets/ui/command_registry.h"
#include "widgets/ui/command_target.h"

namespace nuv::test {
namespace {

struct Item {
  int id;
  std::string text;
};

// Every command entry of a menu in order, nested popups flattened.
void Collect(QMenu* menu, std::vector<Item>& items) {
  for (QAction* action : menu->actions()) {
    if (action->menu())
      Collect(action->menu(), items);
    else if (!action->isSeparator())
      items.push_back({action->data().toInt(), action->text().toStdString()});
  }
}

std::vector<Item> PopupItems(CMainFrame& frame, int popup) {
  std::vector<Item> items;
  Collect(frame.popups().at(popup), items);
  return items;
}

TEST_F(FrameTest, MenuBarHoldsThePopupsAndCommandsInOrder) {
  CMainFrame& f = frame();
  QStringList titles;
  for (QAction* action : f.menuBar()->actions()) titles << action->text();
  EXPECT_EQ(titles,
            QStringList({"Функции", "Волновые формы", "Список фаз", "ПОС", "Карта", "Окна"}));

  const auto functions = PopupItems(f, 0);
  ASSERT_EQ(functions.size(), 47u);
  EXPECT_EQ(functions.front().id, 33110);
  EXPECT_EQ(functions.front().text, "Начать обработку нового землетрясения");
  // The nested "Преобразовать входной сигнал" follows, its commands in order.
  EXPECT_EQ(functions[1].id, 33145);
  EXPECT_EQ(functions[9].id, 33188);
  EXPECT_EQ(functions[9].text, "Симуляция ВЭГИК с использованием АЧХ");
  EXPECT_EQ(functions[10].id, 32737);
  EXPECT_EQ(functions.back().id, 57665);
  EXPECT_EQ(functions.back().text, "Выход");
  auto find = [](const std::vector<Item>& items, int id) {
    for (const Item& item : items)
      if (item.id == id) return item.text;
    return std::string("<missing>");
  };
  EXPECT_EQ(find(functions, 33132), "Запустить детектор STA\\LTA");
  EXPECT_EQ(find(functions, 33167), "Сохранить данные в формате CSS 3.0 ...");
  EXPECT_EQ(find(functions, 33240), "Импорт файлов miniSEED...");

  const auto waveforms = PopupItems(f, 1);
  ASSERT_EQ(waveforms.size(), 43u);
  EXPECT_EQ(waveforms.front().id, 606);
  EXPECT_EQ(find(waveforms, 33213), "Рассчитать энергетический класс \"Раутиан по CKM\"");
  EXPECT_EQ(find(waveforms, 33220), "по амплитуде ");  // the trailing blank is kept
  EXPECT_EQ(waveforms.back().id, 33183);

  const auto phases = PopupItems(f, 2);
  ASSERT_EQ(phases.size(), 28u);
  EXPECT_EQ(find(phases, 32719), "Загрузить список  фаз из файла");  // two blanks
  EXPECT_EQ(phases.back().id, 33186);
  EXPECT_EQ(PopupItems(f, 3).size(), 12u);
  const auto map = PopupItems(f, 4);
  ASSERT_EQ(map.size(), 13u);
  EXPECT_EQ(map[3].id, 118);
  EXPECT_EQ(map.back().text, "Редактировать параметры гипоцентра");
  const auto windows = PopupItems(f, 5);
  ASSERT_EQ(windows.size(), 5u);
  EXPECT_EQ(windows[1].id, 57652);
  EXPECT_EQ(windows[1].text, "вертикальная");
  EXPECT_EQ(windows[2].id, 57651);

  // The menu bar shows exactly the layout table.
  std::vector<int> shown;
  for (int i = 0; i < 6; ++i)
    for (const Item& item : PopupItems(f, i)) shown.push_back(item.id);
  EXPECT_EQ(shown, MenuCommandIds());
}

TEST_F(FrameTest, CommandsWithoutAHandlerAreDisabledAndFrameCommandsEnabled) {
  CMainFrame& f = frame();
  f.UpdateCommandStates();
  for (int id : {33123, 32773, 32776, 32777, 33025, 32779, 32780, 113, 32727, 32728}) {
    EXPECT_FALSE(f.IsCommandEnabled(id)) << id;
    for (QAction* action : f.commandActions(id)) EXPECT_FALSE(action->isEnabled()) << id;
  }
  for (int id : {19, 32769, 33155, 33136, 57650, 57651, 57652, 32705, 32708, 33105, 32707, 57665,
                 33183, 33186}) {
    EXPECT_TRUE(f.IsCommandEnabled(id)) << id;
    for (QAction* action : f.commandActions(id)) EXPECT_TRUE(action->isEnabled()) << id;
  }
}

// A document window that carries out two commands and records them.
class RecordingWindow : public QWidget, public CommandTarget {
 public:
  bool HandlesCommand(int id) const override { return id == 606 || id == 32723 || id == 33209; }
  std::optional<bool> IsCommandChecked(int id) const override {
    if (id == 606) return drawOn;
    return std::nullopt;
  }
  void OnCommand(int id) override {
    received.push_back(id);
    if (id == 606) drawOn = !drawOn;
  }
  void FillDropDownMenu(int id, QMenu& menu) override {
    if (id == 33209) menu.addAction("по алфавиту");
  }
  void ReleaseBeforeClose() override { released = true; }
  bool drawOn = true;
  bool released = false;
  std::vector<int> received;
};

TEST_F(FrameTest, CommandsGoToTheWindowThatOwnsThem) {
  RecordingWindow* waveforms = nullptr;
  RecordingWindow* map = nullptr;
  services.createDocument = [&](DocumentKind kind, Workstation&, QWidget*) -> QWidget* {
    auto* window = new RecordingWindow;
    if (kind == DocumentKind::Waveforms) waveforms = window;
    if (kind == DocumentKind::Map) map = window;
    return window;
  };
  CMainFrame& f = frame();
  ASSERT_TRUE(waveforms && map);
  EXPECT_TRUE(f.IsCommandEnabled(606));
  EXPECT_EQ(f.IsCommandChecked(606), std::optional<bool>(true));
  f.commandActions(606).front()->trigger();
  EXPECT_EQ(waveforms->received, std::vector<int>{606});
  for (QAction* action : f.commandActions(606)) EXPECT_FALSE(action->isChecked());

  // 32723 goes to the map while the map is active, else to the waveform window.
  f.ExecuteCommand(32707);
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Map));
  EXPECT_TRUE(f.childWindow(DocumentKind::Map)->isMaximized());
  f.ExecuteCommand(32723);
  EXPECT_EQ(map->received, std::vector<int>{32723});
  f.ExecuteCommand(32705);
  f.ExecuteCommand(32723);
  EXPECT_EQ(waveforms->received, (std::vector<int>{606, 32723}));

  // The sort button's drop-down list comes from the waveform window.
  auto* button = qobject_cast<QToolButton*>(
      f.toolbar("WAVEFORMS")->widgetForAction(f.commandActions(33209).back()));
  ASSERT_NE(button, nullptr);
  ASSERT_NE(button->menu(), nullptr);
  emit button->menu()->aboutToShow();
  ASSERT_EQ(button->menu()->actions().size(), 1);
  EXPECT_EQ(button->menu()->actions()[0]->text(), "по алфавиту");

  prompts.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(waveforms->released);
}

TEST_F(FrameTest, SubsystemsAddCommandsToTheFrameAndTheWaveformWindow) {
  int frameRuns = 0;
  bool detectorOn = false;
  services.registerCommands = [&](CMainFrame& f) {
    f.commands().Add(33109, [&] { ++frameRuns; });
    CommandHandler disabled;
    disabled.run = [&] { ++frameRuns; };
    disabled.enabled = [] { return false; };
    f.commands().Add(33111, std::move(disabled));
    auto* window = qobject_cast<waveform*>(f.document(DocumentKind::Waveforms));
    ASSERT_NE(window, nullptr);
    window->commands().AddToggle(
        33132, [&] { detectorOn = !detectorOn; }, [&] { return detectorOn; });
  };
  CMainFrame& f = frame();
  f.UpdateCommandStates();
  EXPECT_TRUE(f.IsCommandEnabled(33109));
  f.commandActions(33109).front()->trigger();
  EXPECT_EQ(frameRuns, 1);
  // A disabled handler shows a disabled entry and never runs.
  EXPECT_FALSE(f.IsCommandEnabled(33111));
  for (QAction* action : f.commandActions(33111)) EXPECT_FALSE(action->isEnabled());
  f.ExecuteCommand(33111);
  EXPECT_EQ(frameRuns, 1);
  // A window command from another subsystem: enabled, checked by its state.
  EXPECT_EQ(f.IsCommandChecked(33132), std::optional<bool>(false));
  f.commandActions(33132).front()->trigger();
  EXPECT_TRUE(detectorOn);
  for (QAction* action : f.commandActions(33132)) EXPECT_TRUE(action->isChecked());
}

TEST_F(FrameTest, OpeningAPopupActivatesItsWindow) {
  CMainFrame& f = frame();
  f.ExecuteCommand(32707);  // the map is active
  emit f.popups()[2]->aboutToShow();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::PhaseList));
  emit f.popups()[3]->aboutToShow();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Workspace));
  emit f.popups()[0]->aboutToShow();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Waveforms));
  emit f.popups()[4]->aboutToShow();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Map));
}

TEST_F(FrameTest, ChildWindowsHaveTheirTitlesAndSurviveClosing) {
  CMainFrame& f = frame();
  const char* titles[] = {"Карта", "Волновые формы", "Список фаз", "Процессор обработки сигналов"};
  const auto list = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(list.size(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list[i]->windowTitle(), QString::fromUtf8(titles[i]));
  // The waveform window is active and maximised at start.
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Waveforms));
  EXPECT_TRUE(f.childWindow(DocumentKind::Waveforms)->isMaximized());

  f.childWindow(DocumentKind::PhaseList)->close();
  EXPECT_EQ(f.mdiArea()->subWindowList().size(), 4);
  f.ExecuteCommand(32708);
  EXPECT_TRUE(f.childWindow(DocumentKind::PhaseList)->isVisible());

  // Horizontal tiling stacks the windows at full width; vertical puts them side by side.
  f.ExecuteCommand(57651);
  const int width = f.mdiArea()->viewport()->width();
  for (QMdiSubWindow* sub : f.mdiArea()->subWindowList()) EXPECT_EQ(sub->width(), width);
  f.ExecuteCommand(57652);
  const int height = f.mdiArea()->viewport()->height();
  for (QMdiSubWindow* sub : f.mdiArea()->subWindowList()) EXPECT_EQ(sub->height(), height);
}

TEST_F(FrameTest, ToolbarsStartWithTheirStateAndHideTwoBars) {
  // A saved state of the waveform bar that drops buttons and holds an
  // unknown id and a repeat (both ignored), and a broken state of the map bar.
  ws->store().SetString(CMainFrame::kToolbarKey, "WAVEFORMS",
                        "BUTTONS=606,0,32701,99999,606;VISIBLE=1");
  ws->store().SetString(CMainFrame::kToolbarKey, "MAP", "garbage");
  CMainFrame& f = frame();
  ASSERT_EQ(f.toolbars().size(), 4u);
  EXPECT_TRUE(f.toolbar("WAVEFORMS")->isVisible());
  EXPECT_TRUE(f.toolbar("MAP")->isVisible());
  EXPECT_FALSE(f.toolbar("PHASELIST")->isVisible());
  EXPECT_FALSE(f.toolbar("DSP")->isVisible());
  EXPECT_EQ(f.toolbar("WAVEFORMS")->currentButtons(), (std::vector<int>{606, 0, 32701}));
  EXPECT_EQ(f.toolbar("MAP")->currentButtons(), ToolbarResourceButtons("MAP"));

  // The map bar ends with the network list, 200 pixels wide.
  QComboBox* networks = f.networkList();
  EXPECT_EQ(networks->objectName(), "33180");
  EXPECT_EQ(networks->width(), 200);
  ASSERT_EQ(networks->count(), 2);
  EXPECT_EQ(networks->itemText(0), "KNET");
  EXPECT_EQ(f.toolbar("MAP")->widgetForAction(f.toolbar("MAP")->actions().back()), networks);
}

TEST_F(FrameTest, TheWaveformWindowBringsBackItsToolbar) {
  CMainFrame& f = frame();
  CNUVToolbar* bar = f.toolbar("WAVEFORMS");
  bar->hide();
  f.ExecuteCommand(32707);  // the map: the bar stays hidden
  EXPECT_FALSE(bar->isVisible());
  f.ExecuteCommand(32705);
  EXPECT_TRUE(bar->isVisible());
  // The other bars keep their state.
  EXPECT_FALSE(f.toolbar("PHASELIST")->isVisible());
  EXPECT_FALSE(f.toolbar("DSP")->isVisible());
}

TEST_F(FrameTest, CustomisationEditsTheBarAndResetRestoresTheStart) {
  CMainFrame& f = frame();
  CNUVToolbar& bar = *f.toolbar("PHASELIST");
  const std::string start = bar.SaveState();
  CToolbarCustomizeDialog dialog(bar, start, &f);
  QListWidget* current = dialog.currentList();
  ASSERT_EQ(current->count(), static_cast<int>(ToolbarResourceButtons("PHASELIST").size()));
  // Nothing is offered but a separator while every button is shown.
  EXPECT_EQ(dialog.availableList()->count(), 1);

  current->setCurrentRow(0);
  dialog.RemoveSelected();
  EXPECT_EQ(bar.currentButtons().front(), 32731);
  EXPECT_EQ(dialog.availableList()->count(), 2);
  current->setCurrentRow(1);
  dialog.MoveSelected(-1);
  EXPECT_EQ(bar.currentButtons().front(), 0);
  // Offered buttons are inserted before the selected one.
  dialog.availableList()->setCurrentRow(1);
  current->setCurrentRow(0);
  dialog.AddSelected();
  EXPECT_EQ(bar.currentButtons().front(), 32732);

  f.SaveToolbarState(bar);
  EXPECT_EQ(ws->store().GetString("NUV\\TOOLBAR", "PHASELIST"), bar.SaveState());

  dialog.Reset();
  EXPECT_EQ(bar.SaveState(), start);
}

TEST_F(FrameTest, StatusBarClockAndWindowButtonsFollowTheWidth) {
  CMainFrame& f = frame();
  CNUVStatusBar* bar = f.nuvStatusBar();
  EXPECT_GE(bar->minimumHeight(), 25);
  EXPECT_EQ(bar->clockTimer().interval(), 1000);
  EXPECT_TRUE(bar->clockTimer().isActive());
  EXPECT_FALSE(bar->clockPane()->text().isEmpty());

  f.resize(1000, 600);
  ASSERT_TRUE(WaitFor([&] { return bar->button(0)->isVisible(); }));
  const int paneStart = bar->clockPane()->x();
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(bar->button(i)->x(), paneStart - 163 + 23 * i) << i;
    EXPECT_EQ(bar->button(i)->width(), 23);
  }
  // Too narrow: the buttons disappear, and come back when the frame widens.
  f.setMinimumWidth(0);
  f.resize(200 + bar->clockPane()->width(), 600);
  ASSERT_TRUE(WaitFor([&] { return bar->clockPane()->x() - 163 < 70; }));
  EXPECT_TRUE(WaitFor([&] { return !bar->button(0)->isVisible(); }));
  f.resize(1000, 600);
  EXPECT_TRUE(WaitFor([&] { return bar->button(6)->isVisible(); }));

  // A button carries out its window command.
  bar->button(6)->click();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Map));
  bar->button(3)->click();
  EXPECT_EQ(f.mdiArea()->activeSubWindow(), f.childWindow(DocumentKind::Waveforms));
}

TEST_F(FrameTest, MenuPromptsLeaveTheMessagePaneAsItWas) {
  CMainFrame& f = frame();
  QApplication::setActiveWindow(&f);
  CNUVStatusBar* bar = f.nuvStatusBar();
  f.SetMessageText("Загружено 3 канала");
  QMenu* windows = f.popups()[5];
  f.menuBar()->setActiveAction(windows->menuAction());
  ASSERT_TRUE(WaitFor([&] { return windows->isVisible(); }));
  // Pointing at an entry shows its prompt.
  windows->setActiveAction(f.commandActions(57650).front());
  EXPECT_TRUE(WaitFor([&] { return bar->currentMessage() == "Каскад"; }));
  windows->hide();
  EXPECT_TRUE(WaitFor([&] { return bar->currentMessage() == "Загружено 3 канала"; }))
      << bar->currentMessage().toStdString();

  // Moving from one popup of the bar to the next keeps the text to restore.
  f.SetMessageText("");
  QMenu* functions = f.popups()[0];
  f.menuBar()->setActiveAction(functions->menuAction());
  ASSERT_TRUE(WaitFor([&] { return functions->isVisible(); }));
  functions->setActiveAction(f.commandActions(33136).front());
  EXPECT_TRUE(WaitFor([&] { return bar->currentMessage() == "Версия NUV"; }));
  f.menuBar()->setActiveAction(windows->menuAction());
  ASSERT_TRUE(WaitFor([&] { return windows->isVisible() && !functions->isVisible(); }));
  windows->hide();
  EXPECT_TRUE(WaitFor([&] { return !windows->isVisible() && bar->currentMessage().isEmpty(); }));

  // A window's message replaces a prompt at once and stays when the menu goes.
  f.menuBar()->setActiveAction(windows->menuAction());
  ASSERT_TRUE(WaitFor([&] { return windows->isVisible(); }));
  windows->setActiveAction(f.commandActions(57650).front());
  ASSERT_TRUE(WaitFor([&] { return bar->currentMessage() == "Каскад"; }));
  f.SetMessageText("D0 загружен");
  EXPECT_EQ(bar->currentMessage(), "D0 загружен");
  windows->hide();
  QCoreApplication::processEvents();
  EXPECT_TRUE(WaitFor([&] { return !windows->isVisible(); }));
  EXPECT_EQ(bar->currentMessage(), "D0 загружен");
}

TEST_F(FrameTest, EnterClosesTheCustomisationDialog) {
  CMainFrame& f = frame();
  CToolbarCustomizeDialog dialog(*f.toolbar("WAVEFORMS"), f.toolbar("WAVEFORMS")->SaveState(), &f);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.availableList()->setFocus();
  QTest::keyClick(dialog.availableList(), Qt::Key_Return);
  EXPECT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  // Nothing was added on the way.
  EXPECT_EQ(f.toolbar("WAVEFORMS")->currentButtons(), ToolbarResourceButtons("WAVEFORMS"));
}

TEST_F(FrameTest, CloseAsksAndNoKeepsTheWorkstationRunning) {
  CMainFrame& f = frame();
  prompts.answers = {PromptAnswer::No};
  EXPECT_FALSE(f.close());
  EXPECT_TRUE(f.isVisible());
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0], "Вы согласны завершить работу программы NUV?");
  EXPECT_EQ(prompts.records[0].buttons, PromptButtons::YesNo);
  // "Выход" asks the same question.
  prompts.answers = {PromptAnswer::Yes};
  f.ExecuteCommand(57665);
  EXPECT_FALSE(f.isVisible());
}

TEST_F(FrameTest, CloseWithPhasesOffersToSave) {
  int saves = 0;
  bool saveSucceeds = false;
  services.phaseCount = [](Workstation&) { return 3; };
  services.savePhaseList = [&](Workstation&) {
    ++saves;
    return saveSucceeds;
  };
  CMainFrame& f = frame();
  prompts.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(f.close());
  EXPECT_EQ(prompts.records.back().text, "Список фаз не пуст. Сохранить?");
  EXPECT_EQ(prompts.records.back().buttons, PromptButtons::YesNoCancel);
  // A save that fails keeps the frame and its phases.
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_FALSE(f.close());
  EXPECT_EQ(saves, 1);
  saveSucceeds = true;
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(f.close());
  EXPECT_EQ(saves, 2);
}

TEST_F(FrameTest, ReconnectRefreshesTheNetworkList) {
  int reconnects = 0;
  std::vector<std::string> names = {"A"};
  services.networkNames = [&](Workstation&) { return names; };
  services.reconnect = [&](Workstation&) {
    ++reconnects;
    return true;
  };
  CMainFrame& f = frame();
  EXPECT_EQ(f.networkList()->count(), 1);
  names = {"A", "B", "C"};
  f.ExecuteCommand(33155);
  EXPECT_EQ(reconnects, 1);
  EXPECT_EQ(f.networkList()->count(), 3);
}

TEST_F(FrameTest, FontCommandShowsAFailedWrite) {
  services.chooseFont = [](const QFont&, QWidget*) -> std::optional<QFont> {
    return QFont("DejaVu Sans");
  };
  CMainFrame& f = frame();
  std::filesystem::create_directories(ws->ini().path().string() + ".tmp");
  f.ExecuteCommand(32769);
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].text, SettingsNotSavedMessage(ws->ini().path()));
  EXPECT_FALSE(ws->ini().Find("FONT", "lfHeight").has_value());
}

TEST_F(FrameTest, FontCommandWritesTheFifteenKeys) {
  QFont chosen("DejaVu Sans");
  chosen.setPixelSize(17);
  chosen.setBold(true);
  chosen.setItalic(true);
  int calls = 0;
  services.chooseFont = [&](const QFont&, QWidget*) -> std::optional<QFont> {
    ++calls;
    return calls == 1 ? std::optional<QFont>() : std::optional<QFont>(chosen);
  };
  CScreenFields station;
  station.code = "ABC";
  station.channels[0].name = "BHZ";
  station.channels[0].rate = 20;
  ws->stations().records().push_back(station);
  CMainFrame& f = frame();
  f.ExecuteCommand(32769);  // cancelled: nothing written
  EXPECT_FALSE(ws->ini().Find("FONT", "lfHeight").has_value());
  f.ExecuteCommand(32769);
  const char* keys[] = {"lfHeight",         "lfWidth",        "lfEscapement",    "lfOrientation",
                        "lfWeight",         "lfItalic",       "lfUnderline",     "lfStrikeOut",
                        "lfCharSet",        "lfOutPrecision", "lfClipPrecision", "lfQuality",
                        "lfPitchAndFamily", "lfFaceName"};
  for (const char* key : keys) EXPECT_TRUE(ws->ini().Find("FONT", key).has_value()) << key;
  EXPECT_EQ(ws->ini().GetString("FONT", "lfHeight", "", 99), "-17");
  EXPECT_EQ(ws->ini().GetString("FONT", "lfWeight", "", 99), "700");
  EXPECT_EQ(ws->ini().GetString("FONT", "lfItalic", "", 99), "1");
  EXPECT_EQ(ws->ini().GetString("FONT", "lfUnderline", "", 99), "0");
  EXPECT_FALSE(ws->ini().GetString("FONT", "lfFaceName", "", 99).empty());
  // The next start reads the same font back.
  Config again;
  LoadStartupSettings(ws->ini(), "/", again);
  EXPECT_EQ(again.font.height, -17);
  EXPECT_EQ(again.font.weight, 700);
  EXPECT_EQ(again.font.italic, 1);

  // The font reaches the windows at once: the waveform window, its panes
  // (whose minimum height follows it) and the other document windows.
  auto* waveforms = qobject_cast<waveform*>(f.document(DocumentKind::Waveforms));
  ASSERT_NE(waveforms, nullptr);
  EXPECT_EQ(waveforms->font().pixelSize(), 17);
  EXPECT_TRUE(waveforms->font().italic());
  EXPECT_EQ(f.document(DocumentKind::PhaseList)->font().pixelSize(), 17);
  const int smallMinimum = waveforms->MinPaneHeight();
  CZoomWindow* pane = waveforms->NewPane(0, 0, 0, 60);
  chosen.setPixelSize(34);
  f.ExecuteCommand(32769);
  EXPECT_GT(waveforms->MinPaneHeight(), smallMinimum);
  EXPECT_EQ(pane->font().pixelSize(), 34);
  EXPECT_GE(pane->height(), waveforms->MinPaneHeight() - 1);
}

TEST(AboutBox, VersionAndBuildDateTexts) {
  EXPECT_EQ(VersionLine(), "Версия 5.200");
  const std::string date = BuildDateLine();
  const std::string prefix = "Дата последнего изменения ";
  ASSERT_EQ(date.rfind(prefix, 0), 0u);
  const std::string rest = date.substr(prefix.size());
  // "Mmm dd yyyy hh:mm:ss": month, day padded to two places, year, time.
  ASSERT_EQ(rest.size(), 20u) << rest;
  EXPECT_EQ(rest[3], ' ');
  EXPECT_EQ(rest[6], ' ');
  EXPECT_EQ(rest[11], ' ');
  EXPECT_EQ(rest[14], ':');
  EXPECT_EQ(rest[17], ':');
}

TEST_F(FrameTest, SplashShowsOnlyWithItsBitmapAndAKeyHidesIt) {
  // No bitmap in the home directory: no splash.
  CMainFrame first(*ws, services, true);
  EXPECT_EQ(first.splash(), nullptr);

  QPixmap bitmap(500, 200);
  bitmap.fill(Qt::darkBlue);
  ASSERT_TRUE(bitmap.save(QString::fromStdString(ws->config().homeDir + "splash.bmp"), "BMP"));
  CMainFrame second(*ws, services, true);
  QPointer<CSplashWnd> splash = second.splash();
  ASSERT_FALSE(splash.isNull());
  EXPECT_EQ(splash->size(), QSize(500, 200));
  EXPECT_EQ(splash->timer().interval(), 10750);
  EXPECT_TRUE(splash->timer().isActive());
  const QImage picture = splash->grab().toImage();
  EXPECT_EQ(picture.pixelColor(420, 160), QColor(192, 192, 192));
  EXPECT_EQ(picture.pixelColor(10, 10), QColor(Qt::darkBlue));

  QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&second, &press);
  EXPECT_TRUE(WaitFor([&] { return splash.isNull() || !splash->isVisible(); }));
  prompts.defaultAnswer = PromptAnswer::Yes;
}

}  // namespace
}  // namespace nuv::test

namespace nuv::test {
namespace {

// Pixels of the image that are drawn (not masked out).
int OpaquePixels(const QPixmap& pixmap) {
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  int opaque = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) ++opaque;
  return opaque;
}

TEST_F(FrameTest, ImageListsHoldTheTreeAndCheckImagesWithRedTransparent) {
  CMainFrame& f = frame();
  ASSERT_EQ(f.treeImages().count(), 3);
  ASSERT_EQ(f.checkImages().count(), 2);
  for (const ImageList* list : {&f.treeImages(), &f.checkImages()})
    for (int i = 0; i < list->count(); ++i) {
      EXPECT_EQ(list->pixmap(i).size(), QSize(16, 16));
      // Drawn, yet with the red background gone around the picture.
      const int opaque = OpaquePixels(list->pixmap(i));
      EXPECT_GT(opaque, 40) << i;
      EXPECT_LT(opaque, 16 * 16) << i;
    }
  // The checked box differs from the empty one.
  EXPECT_NE(f.checkImages().pixmap(kCheckChecked).toImage(),
            f.checkImages().pixmap(kCheckUnchecked).toImage());
}

TEST(ImageListStrip, CutsWholeImagesAndMasksOnlyTheMaskColour) {
  FrameTestApp();
  QImage strip(40, 16, QImage::Format_RGB32);  // two whole images and a partial one
  strip.fill(QColor(255, 0, 0));
  strip.setPixel(3, 3, qRgb(254, 0, 0));  // near red is not the mask
  strip.setPixel(20, 5, qRgb(0, 0, 0));
  const ImageList list = ImageList::FromStrip(strip, 16, QColor(255, 0, 0));
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(OpaquePixels(list.pixmap(0)), 1);
  EXPECT_EQ(OpaquePixels(list.pixmap(1)), 1);
  EXPECT_EQ(ImageList::FromStrip(QImage(15, 15, QImage::Format_RGB32), 16, Qt::red).count(), 0);
  EXPECT_EQ(ImageList::FromStrip(strip, 0, Qt::red).count(), 0);
}

}  // namespace
}  // namespace nuv::test
