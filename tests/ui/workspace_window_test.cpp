// The workspace window: the formula strip, activation by click, the menu's
// commands through the registry, the dialogs' refusals, files through the
// prompts, the clipboard, the panes of a waveform window in formulas, and a
// picture of the window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <filesystem>

#include "screenshot.h"
#include "sigproc/pane_transforms.h"
#include "sigproc/ui/sigproc_panes.h"
#include "waveview_fixture.h"
#include "workspace/dsp_files.h"
#include "workspace/ui/dsp_canvas.h"
#include "workspace/ui/dsp_dialogs.h"
#include "workspace/ui/dsp_wnd.h"
#include "workspace/ui/workspace_commands.h"

namespace nuv::test {
namespace {

class FakeDspDialogs : public DspDialogs {
 public:
  std::optional<DspScale> scale;
  std::optional<double> step;
  std::optional<std::array<std::string, kDspOverlaySlots>> overlays;
  int asked = 0;
  std::optional<DspScale> Scale(QWidget*, const DspScale&) override {
    ++asked;
    return scale;
  }
  std::optional<double> Properties(QWidget*, const DspWindow&) override {
    ++asked;
    return step;
  }
  std::optional<std::array<std::string, kDspOverlaySlots>> Overlays(
      QWidget*, const std::array<std::string, kDspOverlaySlots>&) override {
    ++asked;
    return overlays;
  }
};

class WorkspaceWindowTest : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    ws->config().homeDir = dir.path().string() + "/";
    dsp = std::make_unique<CDSP>(*ws);
    RegisterWorkspaceCommands(*dsp, window.get());
    auto fake = std::make_unique<FakeDspDialogs>();
    fakeDialogs = fake.get();
    dsp->SetDialogs(std::move(fake));
    dsp->resize(800, 520);
  }

  void Type(int index, const std::string& formula) {
    dsp->Activate(index);
    TypeText(formula);
    QTest::keyClick(dsp->formulaEdit(), Qt::Key_Return);
  }
  void TypeText(const std::string& text) {
    dsp->formulaEdit()->selectAll();
    QTest::keyClick(dsp->formulaEdit(), Qt::Key_Delete);
    QTest::keyClicks(dsp->formulaEdit(), QString::fromStdString(text));
  }
  bool Run(int id) { return dsp->commands().Run(id); }
  Workspace& space() { return dsp->workspace(); }

  std::unique_ptr<CDSP> dsp;
  FakeDspDialogs* fakeDialogs = nullptr;
};

TEST_F(WorkspaceWindowTest, EnterRecomputesDependentsAndClickStoresTheEditFirst) {
  EXPECT_EQ(dsp->indexLabel()->text(), "W0");
  Run(33082);  // W2
  EXPECT_EQ(dsp->indexLabel()->text(), "W2");
  Type(1, "w0*2");
  Type(2, "w1+1");
  Type(0, "gline(3,1)");
  EXPECT_EQ(space().window(2).data, (std::vector<double>{1, 3, 5}));
  // Typing without Enter and clicking another window keeps the text.
  TypeText("gline(4,1)");
  dsp->show();
  QCoreApplication::processEvents();
  const QRect frame = dsp->canvas()->frameOf(2);
  ASSERT_FALSE(frame.isEmpty());
  QTest::mouseClick(dsp->canvas(), Qt::LeftButton, {}, frame.center());
  EXPECT_EQ(space().active(), 2);
  EXPECT_EQ(space().window(0).formula, "gline(4,1)");
  EXPECT_EQ(dsp->formulaEdit()->text(), "w1+1");
  // The fixed flag makes the edit read-only and Enter does nothing.
  Run(33108);
  EXPECT_EQ(dsp->commands().IsChecked(33108), true);
  EXPECT_TRUE(dsp->formulaEdit()->isReadOnly());
  QTest::keyClicks(dsp->formulaEdit(), "99");
  dsp->Enter();
  EXPECT_EQ(space().window(2).formula, "w1+1");
}

TEST_F(WorkspaceWindowTest, WindowCountLimitsShowInTheCommandStates) {
  EXPECT_TRUE(dsp->commands().IsEnabled(33083));
  Run(33083);
  EXPECT_EQ(space().WindowCount(), 1);
  EXPECT_FALSE(dsp->commands().IsEnabled(33083));
  EXPECT_FALSE(Run(33083));
  while (space().WindowCount() < 32) ASSERT_TRUE(Run(33082));
  EXPECT_FALSE(dsp->commands().IsEnabled(33082));
  EXPECT_EQ(dsp->indexLabel()->text(), "W31");
  Run(33103);  // the next window wraps to W0
  EXPECT_EQ(dsp->indexLabel()->text(), "W0");
}

TEST_F(WorkspaceWindowTest, DialogsAnswersApplyOnlyWhenValid) {
  Type(0, "gline(100,0.5)");
  fakeDialogs->scale = DspScale{5, 10, -1, 1, true};
  Run(33227);
  EXPECT_EQ(space().window(0).first, 10);
  EXPECT_EQ(space().window(0).last, 20);
  EXPECT_TRUE(space().window(0).xLocked);
  fakeDialogs->step = 0.25;
  Run(33118);
  EXPECT_EQ(space().window(0).dx, 0.25);
  fakeDialogs->step = -3;  // refused by the dialog; never applied
  Run(33118);
  EXPECT_EQ(space().window(0).dx, 0.25);
  // With dx 0 the scale dialog does not open.
  fakeDialogs->step = 0;
  Run(33118);
  const int asked = fakeDialogs->asked;
  Run(33227);
  EXPECT_EQ(fakeDialogs->asked, asked);
  fakeDialogs->overlays = std::array<std::string, kDspOverlaySlots>{"w0*2", "w0+"};
  Run(33100);
  EXPECT_EQ(space().window(0).overlays[0].data.size(), 100u);
  EXPECT_TRUE(space().window(0).overlays[1].data.empty());
}

TEST_F(WorkspaceWindowTest, ScaleDialogBeepsAndFocusesTheWrongField) {
  CDspScaleDialog dialog({0, 10, -1, 1, false}, prompts);
  dialog.show();
  dialog.field(1)->setText("-5");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dialog.field(1)->setText("20");
  dialog.field(3)->setText("abc");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  dialog.field(3)->setText("2,5");
  dialog.lockX()->setChecked(true);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.value().yMax, 2.5);
  EXPECT_TRUE(dialog.value().lockX);
  dialog.show();
  SaveScreenshot(dialog, "workspace_scale_dialog");

  DspWindow w;
  CDspPropertiesDialog props(w, prompts);
  props.show();
  props.stepField()->setText("2e29");
  props.accept();
  EXPECT_TRUE(props.isVisible());
  EXPECT_EQ(prompts.MessageTexts().back(), "Введите число между 0 и 1e+29.");
  SaveScreenshot(props, "workspace_properties_dialog");

  CDspOverlayDialog overlays({"w0*2", "", "d3"});
  EXPECT_EQ(overlays.formulas()[2], "d3");
  overlays.field(1)->setText("  w1 ");
  EXPECT_EQ(overlays.formulas()[1], "  w1 ");
  SaveScreenshot(overlays, "workspace_overlay_dialog");
}

TEST_F(WorkspaceWindowTest, DataFilesAndWorksheetsThroughThePrompts) {
  Type(0, "gline(3,1,2,1)");
  const std::string data = (dir.path() / "out").string();
  prompts.paths.push_back(data);
  Run(33116);
  EXPECT_TRUE(std::filesystem::exists(data + ".dat"));
  Run(33103);  // W1, empty: saving says so
  prompts.paths.push_back((dir.path() / "empty.dat").string());
  Run(33116);
  EXPECT_EQ(prompts.MessageTexts().back(), kEmptyDataSet);
  prompts.paths.push_back(data + ".dat");
  Run(33117);
  EXPECT_EQ(space().window(1).data, (std::vector<double>{1, 3, 5}));
  EXPECT_TRUE(dsp->formulaEdit()->isReadOnly());
  prompts.paths.push_back((dir.path() / "empty.dat").string());
  Run(33117);
  EXPECT_NE(prompts.MessageTexts().back().find("пуст"), std::string::npos);
  EXPECT_EQ(space().window(1).count(), 3);  // kept

  const std::string sheet = (dir.path() / "sheet").string();
  prompts.paths.push_back(sheet);
  Run(33101);
  ASSERT_TRUE(std::filesystem::exists(sheet + ".wks"));
  Run(33082);
  prompts.paths.push_back(sheet + ".wks");
  Run(33102);
  EXPECT_EQ(space().WindowCount(), 2);
  EXPECT_EQ(space().window(0).formula, "gline(3,1,2,1)");
  EXPECT_EQ(space().window(0).count(), 0);
  // A loaded formula longer than the edit holds survives a click elsewhere.
  const std::string longFormula = "1" + std::string(300, '+') + "1";
  dir.WriteFile("long.wks", "[WORKSHEET]\nWINDOWS=2\n[W0]\nCOMMAND=" + longFormula + "\n");
  prompts.paths.push_back((dir.path() / "long.wks").string());
  Run(33102);
  dsp->Activate(1);
  dsp->Activate(0);
  EXPECT_EQ(space().window(0).formula, longFormula);
  dir.WriteFile("bad.wks", "[WORKSHEET]\nWINDOWS=99\n");
  prompts.paths.push_back((dir.path() / "bad.wks").string());
  Run(33102);
  EXPECT_NE(prompts.MessageTexts().back().find("Неверное число окон"), std::string::npos);
  EXPECT_EQ(space().WindowCount(), 2);
}

TEST_F(WorkspaceWindowTest, ClipboardCopyAndPaste) {
  QGuiApplication::clipboard()->setText("something else");
  EXPECT_FALSE(dsp->commands().IsEnabled(33179));
  Type(0, "gsin(50,0.02,2,0)");
  Run(33177);
  EXPECT_TRUE(dsp->commands().IsEnabled(33179));
  Run(33103);
  Run(33179);
  EXPECT_EQ(space().window(1).count(), 50);
  EXPECT_NEAR(space().window(1).dx, 0.02, 1e-12);
  EXPECT_TRUE(space().window(1).fixed);
  QGuiApplication::clipboard()->setText("DSP NUV\r\nSPS=0\r\nQTY=1\r\n5\r\n");
  Run(33179);  // a zero rate is not pasted
  EXPECT_EQ(space().window(1).count(), 50);
}

TEST_F(WorkspaceWindowTest, FormulasReachThePanesAndAPictureIsSaved) {
  AddChannels({{0, 0}});
  const PaneList states = window->PaneStates();
  const PaneFormulaData panes(states);
  ASSERT_FALSE(panes.Panes().empty());
  const int channel = panes.Panes()[0].channel;
  Type(0, "d" + std::to_string(channel));
  EXPECT_TRUE(space().window(0).error.empty()) << space().window(0).error;
  EXPECT_GT(space().window(0).count(), 100);
  EXPECT_NEAR(space().window(0).dx, 0.1, 1e-9);
  Type(1, "mean(gline(2,1))");
  // A pane's formula reads the workspace windows.
  window->MakeMain(*Pane(0));
  SigprocPanes::Of(*window).SetFormula("current*0+w1");
  SigprocPanes::Of(*window).ApplyFormula();
  const std::vector<float>& transformed = Pane(0)->pane().transformed;
  ASSERT_FALSE(transformed.empty()) << prompts.MessageTexts().back();
  EXPECT_EQ(transformed.front(), 0.5f);
  EXPECT_EQ(transformed.back(), 0.5f);
  Run(33082);
  Type(2, "spectrum(w0)");
  Run(33082);
  Type(3, "w0+");
  fakeDialogs->overlays = std::array<std::string, kDspOverlaySlots>{"", "", "", "w0*0.5"};
  dsp->Activate(0);
  Run(33100);
  QString status;
  dsp->statusText = [&status](const QString& text) { status = text; };
  dsp->show();
  QCoreApplication::processEvents();
  const QPointF centre = dsp->canvas()->frameOf(0).center();
  QMouseEvent move(QEvent::MouseMove, centre, dsp->canvas()->mapToGlobal(centre), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(dsp->canvas(), &move);
  EXPECT_TRUE(status.startsWith("Y=")) << status.toStdString();
  SaveScreenshot(*dsp, "workspace_window");
}

}  // namespace
}  // namespace nuv::test
