// The frame started on a generated demo setup, the way run-demo.sh starts
// it, and closed again through its close question.

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "app/ui/nuv_app.h"
#include "app/ui/nuv_status_bar.h"
#include "app/ui/qt_prompts.h"
#include "archive/wfdisc_format.h"
#include "demo_fixture.h"
#include "platform/strformat.h"
#include "screenshot.h"
#include "support/mseed_writer.h"
#include "waveview/ui/pick_dialog.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "waveview/waveform_commands.h"
#include "when_shown.h"
#include "widgets/ui/command_ids.h"

namespace nuv::test {
namespace {

double PeakAbs(const NUVDataBlockArray& blocks, double from, double to) {
  double peak = 0;
  for (const NUVDataBlock& b : blocks)
    for (int i = 0; i < b.count; ++i)
      if (b.TimeOf(i) >= from && b.TimeOf(i) < to)
        peak = std::max(peak, std::fabs(static_cast<double>(b.samples[i])));
  return peak;
}

int CountFiles(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    count += entry.is_regular_file() ? 1 : 0;
  return count;
}

// Pixels of `image` inside `rect` that differ from the rectangle's first pixel.
int DrawnPixels(const QImage& image, const QRect& rect) {
  const QRgb background = image.pixel(rect.topLeft());
  int drawn = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (image.pixel(x, y) != background) ++drawn;
  return drawn;
}

// Shows a message the scripted prompts recorded in the desktop's own box,
// for a picture (only when pictures are asked for).
void ShowForReview(const ScriptedPrompts::Record& message, const std::string& name) {
  if (!std::getenv("NUV_SCREENSHOT_DIR")) return;
  WhenShown<QMessageBox>([name](QMessageBox& box) {
    SaveScreenshot(box, name);
    box.accept();
  });
  QtPrompts(nullptr).Message(message.text, message.caption, message.icon, message.buttons);
}

TEST_F(DemoFrame, StartsOnTheDemoAndClosesCleanly) {
  {
    CNuvApp app;
    ASSERT_TRUE(Start(app));
    CMainFrame* frame = app.mainFrame();
    ASSERT_NE(frame, nullptr);
    Workstation& ws = *app.workstation();
    // Connected without a message, the inventory and the travel-time set loaded.
    EXPECT_TRUE(prompts.MessageTexts().empty());
    EXPECT_TRUE(ws.databases().mainOpen());
    EXPECT_EQ(ws.stations().size(), 3u);
    EXPECT_GT(ws.phaseTypes().Count(), 12);
    EXPECT_TRUE(ws.phaseTypes().HasTravelTimes(ws.phaseTypes().IndexOf("P")));
    ASSERT_EQ(frame->networkList()->count(), 1);
    EXPECT_EQ(frame->networkList()->itemText(0), "DEMO");
    EXPECT_TRUE(WaitFor([&] { return frame->isVisible(); }));

    // The waveform document is the real window, sharing the settings page's
    // switches and reporting on the frame's status line.
    auto* window = qobject_cast<waveform*>(frame->document(DocumentKind::Waveforms));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(&window->settings(), &frame->waveformSettings());
    emit window->statusMessage("D0 BHZ");
    EXPECT_EQ(frame->nuvStatusBar()->currentMessage(), "D0 BHZ");

    // The analyst can browse at once: the demo's list of vertical channels opens
    // panes at the event, read through the window's own archive loader (WFD files
    // and, for the last station, 24-bit big-endian files), and draws it.
    const auto arrivals = DemoPArrivals(demo);
    ASSERT_EQ(arrivals.size(), 3u);
    frame->resize(1280, 800);
    frame->childWindow(DocumentKind::Waveforms)->showMaximized();
    WaitFor([&] { return false; }, 200);  // the maximised size reaches the window
    window->LoadChannelList("DEMO-Z");
    WaitFor([&] { return false; }, 300);  // let the layout and painting settle
    const auto views = window->findChildren<CZoomWindow*>();
    ASSERT_EQ(views.size(), 3);
    const QImage shot = window->grab().toImage();
    for (const CZoomWindow* view : views) {
      const TracePane& pane = view->pane();
      SCOPED_TRACE(pane.stationName);
      ASSERT_EQ(arrivals.count(pane.stationName), 1u);
      EXPECT_EQ(pane.channelName, "BHZ");
      ASSERT_FALSE(pane.blocks.empty());
      const double p = arrivals.at(pane.stationName);
      EXPECT_GT(pane.WindowStart(), p - 200);
      EXPECT_LT(pane.WindowStart(), p - 10);
      EXPECT_GT(PeakAbs(pane.blocks, p, p + 20), 4 * PeakAbs(pane.blocks, p - 20, p - 1));
      const QRect rect(view->mapTo(window, QPoint(0, 0)), view->size());
      EXPECT_TRUE(shot.rect().contains(rect));
      EXPECT_GT(DrawnPixels(shot, rect), 200);
    }
    EXPECT_TRUE(prompts.MessageTexts().empty());
    SaveScreenshot(*frame, "demo-frame");

    // The close question answered No keeps it, Yes closes it.
    prompts.answers = {PromptAnswer::No};
    EXPECT_FALSE(frame->close());
    prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(prompts.MessageTexts().size(), 2u);
  }
  // The lock is released with the program: a new start may run.
  SingleInstanceLock again(demo / "settings");
  EXPECT_TRUE(again.Acquire());
}

TEST_F(DemoFrame, PanesAreSimulatedThroughTheDatabaseResponsesAndFiltered) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  auto* window = qobject_cast<waveform*>(app.mainFrame()->document(DocumentKind::Waveforms));
  ASSERT_NE(window, nullptr);
  window->LoadChannelList("DEMO-Z");
  ASSERT_EQ(window->panes().size(), 3u);
  window->ExecuteCommand(kCmdActivateAll);
  // Wood-Anderson through the poles and zeros of CALIBRATION, on every pane.
  window->ExecuteCommand(33140);
  EXPECT_TRUE(prompts.MessageTexts().empty());
  for (const CZoomWindow* view : window->panes()) {
    const TracePane& pane = view->pane();
    SCOPED_TRACE(pane.stationName);
    EXPECT_EQ(pane.TransformName(), "WA");
    ASSERT_FALSE(pane.transformed.empty());
    // Nanometres of a small local event: the demo's response is a displacement
    // response in counts per metre (a velocity one gave metres of motion).
    const float peak = *std::max_element(pane.transformed.begin(), pane.transformed.end());
    EXPECT_GT(peak, 1.0f);
    EXPECT_LT(peak, 1.0e4f);
  }
  // "Убрать фильтр" gives the original back.
  window->ExecuteCommand(32737);
  for (const CZoomWindow* view : window->panes())
    EXPECT_EQ(view->pane().TransformName(), "unfilter");
}

TEST_F(DemoFrame, CssSetSavedFromAPaneLoadsBackIntoTheArchive) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  auto* window = qobject_cast<waveform*>(app.mainFrame()->document(DocumentKind::Waveforms));
  ASSERT_NE(window, nullptr);

  // The three-component list of the three stations: DM01 BHZ is the active main pane.
  window->LoadChannelList("DEMO-3C");
  ASSERT_EQ(window->panes().size(), 9u);
  const TracePane& source = window->panes().front()->pane();
  ASSERT_EQ(source.stationName + source.channelName, "DM01BHZ");
  ASSERT_TRUE(source.isActive);
  ASSERT_FALSE(source.blocks.empty());
  const double start = source.WindowStart();
  const double firstSample = source.blocks[0].start;
  const double peak = PeakAbs(source.blocks, start, start + 1e6);
  ASSERT_GT(peak, 0);
  const int archiveFiles = CountFiles(demo / "data" / "DM01");

  const auto css = dir.path() / "css";
  std::filesystem::create_directories(css);
  prompts.paths.push_back((css / "event").string());  // ".wfdisc" is added
  window->ExecuteCommand(kCmdSaveCss);
  ASSERT_TRUE(std::filesystem::exists(css / "event.wfdisc"));

  // Loading the folder registers the segment in the archive and shows it alone.
  prompts.paths.push_back(css.string());
  window->ExecuteCommand(kCmdLoadCss);
  EXPECT_TRUE(prompts.MessageTexts().empty());
  ASSERT_EQ(window->panes().size(), 1u);
  const TracePane& loaded = window->panes().front()->pane();
  EXPECT_EQ(loaded.stationName + loaded.channelName, "DM01BHZ");
  EXPECT_NEAR(loaded.WindowStart(), firstSample, 1e-3);
  EXPECT_FLOAT_EQ(PeakAbs(loaded.blocks, start, start + 1e6), peak);
  EXPECT_EQ(CountFiles(demo / "data" / "DM01"), archiveFiles + 1);
}

TEST_F(DemoFrame, MiniSeedFolderImportedFromTheFrameMenuIsShown) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  CMainFrame* frame = app.mainFrame();
  auto* window = qobject_cast<waveform*>(frame->document(DocumentKind::Waveforms));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(frame->IsCommandEnabled(cmd::kImportMseed));

  // Two minutes of DM02 BHN and a channel the station table lacks.
  const double start = 1710483600;  // 2024-03-15 06:20:00
  std::vector<int32_t> samples(2400);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(i % 50) * 40 - 900;
  MseedChannel known;
  known.station = "DM02";
  known.channel = "BHN";
  known.start = start;
  known.rate = 20;
  MseedChannel unknown = known;
  unknown.station = "ZZ99";
  const auto folder = dir.path() / "mseed";
  dir.WriteFile("mseed/day.mseed", PackMseed(known, samples) + PackMseed(unknown, samples));

  prompts.paths.push_back(folder.string());
  frame->ExecuteCommand(cmd::kImportMseed);
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0],
            "Прочитано файлов miniSEED: 1\nЗаписано файлов архива: 1\nНе импортировано:\n  "
            "XX.ZZ99..BHN: станции нет в списке станций");
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Information);
  ASSERT_EQ(window->panes().size(), 1u);
  const TracePane& pane = window->panes().front()->pane();
  EXPECT_EQ(pane.stationName + pane.channelName, "DM02BHN");
  EXPECT_NEAR(pane.WindowStart(), start, 1e-3);
  ASSERT_FALSE(pane.blocks.empty());
  EXPECT_EQ(pane.blocks[0].samples[1], -860);

  // A cancelled folder choice imports nothing and says nothing.
  frame->ExecuteCommand(cmd::kImportMseed);
  EXPECT_EQ(prompts.MessageTexts().size(), 1u);

  // A folder of unknown channels only: a failure that says why, and the
  // window keeps what it showed.
  dir.WriteFile("strangers/day.mseed", PackMseed(unknown, samples));
  prompts.paths.push_back((dir.path() / "strangers").string());
  frame->ExecuteCommand(cmd::kImportMseed);
  ASSERT_EQ(prompts.MessageTexts().size(), 2u);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_EQ(prompts.records.back().text,
            "Ничего не импортировано.\nПрочитано файлов miniSEED: 1\nЗаписано файлов архива: 0\n"
            "Не импортировано:\n  XX.ZZ99..BHN: станции нет в списке станций");
  ASSERT_EQ(window->panes().size(), 1u);
  ShowForReview(prompts.records.back(), "mseed-import-nothing-imported");

  // The CSS 3.0 load alike: a wfdisc set of an unknown station names it.
  WfdiscRecord stranger;
  stranger.sta = "ZZ99";
  stranger.chan = "bhn";
  stranger.time = start;
  stranger.nsamp = 4;
  stranger.samprate = 20;
  stranger.endtime = start + 0.15;
  stranger.datatype = "f4";
  stranger.dir = ".";
  stranger.dfile = "a.f4";
  dir.WriteFile("css/a.f4", std::string(16, '\0'));
  dir.WriteFile("css/set.wfdisc", FormatWfdiscLine(stranger));
  prompts.paths.push_back((dir.path() / "css").string());
  window->ExecuteCommand(kCmdLoadCss);
  ASSERT_EQ(prompts.MessageTexts().size(), 3u);
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
  EXPECT_EQ(prompts.records.back().text,
            "Ничего не импортировано.\nПрочитано файлов wfdisc: 1\nЗаписано файлов архива: 0\n"
            "Не импортировано:\n  ZZ99 bhn: станции нет в списке станций");
  EXPECT_EQ(window->panes().size(), 1u);
  ShowForReview(prompts.records.back(), "css-load-nothing-imported");
}

TEST_F(DemoFrame, AnArchiveRowWithoutAReadableFileIsNamedOnceAndThePaneKeepsItsData) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  CMainFrame* frame = app.mainFrame();
  auto* window = qobject_cast<waveform*>(frame->document(DocumentKind::Waveforms));
  ASSERT_NE(window, nullptr);
  window->LoadChannelList("DEMO-Z");
  ASSERT_FALSE(window->panes().empty());
  const TracePane& first = window->panes().front()->pane();
  ASSERT_EQ(first.stationName + first.channelName, "DM01BHZ");
  const double peak = PeakAbs(first.blocks, first.WindowStart(), first.WindowEnd());
  ASSERT_GT(peak, 0);
  // A row another system wrote, naming the station's folder instead of a file.
  const double t = first.WindowStart() + 5;
  app.workstation()->databases().main().Execute(StrFormat(
      "insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, DATATYPE, FOFF) values ('DM01', "
      "'BHZ', 'DM01', %.3f, 2, 20, 3, 512)",
      t));
  prompts.records.clear();
  window->LoadChannelList("DEMO-Z");
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Warning);
  EXPECT_EQ(prompts.records[0].text.rfind("DM01 BHZ, файл с началом ", 0), 0u);
  EXPECT_NE(prompts.records[0].text.find("/DM01: это каталог. Вместо его отсчетов нули."),
            std::string::npos);
  ShowForReview(prompts.records[0], "archive-row-unreadable");
  // The channel's own files are still read, the row adds its zeros.
  const TracePane& pane = window->panes().front()->pane();
  EXPECT_EQ(PeakAbs(pane.blocks, pane.WindowStart(), pane.WindowEnd()), peak);
  EXPECT_TRUE(std::any_of(pane.blocks.begin(), pane.blocks.end(), [&](const NUVDataBlock& b) {
    return std::fabs(b.start - t) < 1e-3 && b.count == 40;
  }));
  // Once told, the analyst is not told again at every reload.
  window->LoadChannelList("DEMO-Z");
  EXPECT_EQ(prompts.records.size(), 1u);
}

TEST_F(DemoFrame, PicksWithTheMouseAndTheKeyboardAndMeasuresAnAmplitude) {
  CNuvApp app;
  ASSERT_TRUE(Start(app));
  CMainFrame* frame = app.mainFrame();
  Workstation& ws = *app.workstation();
  auto* window = qobject_cast<waveform*>(frame->document(DocumentKind::Waveforms));
  ASSERT_NE(window, nullptr);
  frame->resize(1280, 800);
  frame->childWindow(DocumentKind::Waveforms)->showMaximized();
  WaitFor([&] { return false; }, 200);
  window->LoadChannelList("DEMO-3C");
  ASSERT_EQ(window->panes().size(), 9u);
  CZoomWindow* bhz = window->panes().front();
  const TracePane& pane = bhz->pane();
  ASSERT_EQ(pane.stationName + pane.channelName, "DM01BHZ");
  const double p = DemoPArrivals(demo).at("DM01");
  const PaneGeometry g = bhz->Geometry();
  const int x = TimeToPixel(g, pane.WindowStart(), pane.windowLength, p);
  const int y = (g.traceTop() + g.traceBottom()) / 2;
  auto mouse = [&](QEvent::Type type, int at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at, y), bhz->mapToGlobal(QPointF(at, y)), Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(bhz, &e);
  };
  // "Отметить фазу" from the frame, a click at the P onset, the real dialog
  // answered with P copied to the other channels of the station.
  ASSERT_TRUE(window->HandlesCommand(32712));
  window->ExecuteCommand(32712);
  ASSERT_TRUE(window->pickMode());
  bool dialogSeen = false;
  QTimer::singleShot(50, [&] {
    auto* dialog = qobject_cast<CPickDlg*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialogSeen = true;
    EXPECT_EQ(dialog->filterEdit()->text().toStdString(), "без фильтра");
    dialog->phaseCombo()->setEditText("P");  // the demo's active set may start elsewhere
    dialog->copyBox()->setChecked(true);
    SaveScreenshot(*dialog, "demo-pick-dialog");
    dialog->accept();
  });
  mouse(QEvent::MouseButtonPress, x, Qt::LeftButton);
  mouse(QEvent::MouseButtonRelease, x, Qt::NoButton);
  ASSERT_TRUE(dialogSeen);
  const int typeP = ws.phaseTypes().IndexOf("P");
  ASSERT_NE(ws.phases().Find(pane.station, pane.channel, typeP), nullptr);
  EXPECT_NEAR(ws.phases().Find(pane.station, pane.channel, typeP)->time, p,
              2 * pane.windowLength / (g.xR() - g.xL()));
  EXPECT_EQ(ws.phases().Count(), 3);  // BHZ, BHN, BHE of DM01
  EXPECT_EQ(ws.phases().Find(pane.station, pane.channel, typeP)->pFilType, "unfilter");
  // S by the keyboard, 30 pixels later.
  mouse(QEvent::MouseMove, x + 30, Qt::NoButton);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, "2");
  QApplication::sendEvent(window, &key);
  ASSERT_NE(ws.phases().Find(pane.station, pane.channel, ws.phaseTypes().IndexOf("S")), nullptr);
  SaveScreenshot(*frame, "demo-picks");
  // Wood-Anderson on the main pane, then the amplitude after the P onset;
  // the amplitude dialog is closed by Cancel.
  window->ExecuteCommand(33140);
  ASSERT_FALSE(pane.transformed.empty());
  bhz->pane().intervalStart = p;
  bhz->pane().intervalEnd = p + 5;
  bhz->pane().hasInterval = true;
  bool amplitudeSeen = false;
  QTimer::singleShot(50, [&] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      amplitudeSeen = true;
      SaveScreenshot(*w, "demo-amplitude");
      w->close();
    }
  });
  window->ExecuteCommand(32733);
  EXPECT_TRUE(amplitudeSeen);
  EXPECT_LT(pane.intervalEnd - pane.intervalStart, 5);  // one period around the largest swing
  EXPECT_TRUE(prompts.MessageTexts().empty()) << prompts.MessageTexts().front();
  // Undo takes back the keyboard pick, then the pick with its copies.
  ASSERT_TRUE(ws.phases().Undo());
  ASSERT_TRUE(ws.phases().Undo());
  EXPECT_EQ(ws.phases().Count(), 0);
  prompts.answers = {PromptAnswer::Yes};
  frame->close();
}

}  // namespace
}  // namespace nuv::test
