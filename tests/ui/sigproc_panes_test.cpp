// Signal processing on the panes of the waveform window: filters, their
// removal, simulations, formulas and detector marks, driven through the
// window's commands with scripted dialog answers.

#include "sigproc/ui/sigproc_panes.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "screenshot.h"
#include "sigproc/ui/filter_dialogs.h"
#include "sigproc/ui/sigproc_commands.h"
#include "waveview/waveform_commands.h"
#include "waveview_fixture.h"
#include "when_shown.h"

namespace nuv::test {
namespace {

class FakeSigprocDialogs : public SigprocDialogs {
 public:
  std::optional<ChannelFilter> filter;  // applied when set
  ChannelFilter shown;
  double shownRate = 0;
  std::optional<std::string> formula;  // set and applied when set
  std::optional<DetectorChoice> detector;

  void EditFilter(QWidget*, SettingsStore&, const ChannelFilter& current, bool, double rate,
                  const std::function<void(const ChannelFilter&)>& apply) override {
    shown = current;
    shownRate = rate;
    if (filter) apply(*filter);
  }
  std::optional<std::string> FilterWizard(QWidget*) override { return std::nullopt; }
  void EditFormula(QWidget*, Workstation&, FormulaInterface& target) override {
    if (!formula) return;
    target.SetFormula(*formula);
    target.ApplyFormula();
  }
  std::optional<DetectorChoice> EditDetector(QWidget*, const DetectorParams&,
                                             const DetectorParams&) override {
    return detector;
  }
};

class FakeResponses : public ResponseLoader {
 public:
  std::optional<PoleZeroResponse> LoadPoleZero(const ResponseChannel&,
                                               std::optional<double>) override {
    return PoleZeroResponse{1e9, {}, {{-1.0, 0.0}}};
  }
  std::optional<CAPResponse> LoadFapFromDatabase(const ResponseChannel&,
                                                 std::optional<double>) override {
    return std::nullopt;
  }
  std::optional<CAPResponse> LoadFapFile(const ResponseChannel&) override { return std::nullopt; }
};

ChannelFilter LowPass(float cut) {
  ChannelFilter f;
  f.type = kLowPass;
  f.order = 3;
  f.highCut = cut;
  f.highText = "1";
  f.zeroPhase = 1;
  return f;
}

class SigprocPanesTest : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    RegisterSigprocCommands(*window);
    SigprocPanes& panes = SigprocPanes::Of(*window);
    auto fake = std::make_unique<FakeSigprocDialogs>();
    dialogs = fake.get();
    panes.SetDialogs(std::move(fake));
    panes.SetResponseLoader(std::make_unique<FakeResponses>());
  }

  // The window sample array of a pane as doubles.
  static std::vector<float> Source(CZoomWindow* p) {
    return p->pane().WindowSampleArray(p->pane().SampleRate());
  }

  FakeSigprocDialogs* dialogs = nullptr;
};

TEST_F(SigprocPanesTest, FilterFollowsShiftsAndIsRemovedBackToTheOriginal) {
  AddChannels({{0, 0}, {1, 0}, {1, 1}});
  window->MakeMain(*Pane(0));
  window->TogglePaneActive(*Pane(2));
  dialogs->filter = LowPass(1.0f);
  window->ExecuteCommand(kCmdFilter);
  EXPECT_DOUBLE_EQ(dialogs->shownRate, 10.0);
  for (int i : {0, 1}) {
    const TracePane& p = Pane(i)->pane();
    ASSERT_EQ(p.transformed.size(), Source(Pane(i)).size()) << i;
    EXPECT_EQ(p.TransformName(), "0.0000 1.0000 3 L 0");
    EXPECT_EQ(Pane(i)->headerButton(kCmdSignalButton)->toolTip().toStdString(),
              "Фильтрованные/Исходные данные: 0.0000 1.0000 3 L 0");
    // The source swings by 100 at 0.48 Hz; the low-pass keeps most of it.
    EXPECT_GT(p.transMax, 20);
  }
  EXPECT_FALSE(Pane(2)->pane().HasTransformed());
  // Zooming in reloads and filters again; the picture shows 75 s.
  for (int i = 0; i < 3; ++i) window->ExecuteCommand(kCmdStretchHorizontal);
  EXPECT_EQ(Pane(0)->pane().transformed.size(), Source(Pane(0)).size());
  SaveScreenshot(*window, "sigproc_filtered_panes");

  // A shift inside the samples the panes hold reads nothing and filters again.
  const int loadsBefore = loads;
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_EQ(loads, loadsBefore);
  const TracePane& shifted = Pane(0)->pane();
  ASSERT_EQ(shifted.transformed.size(), Source(Pane(0)).size());
  std::vector<float> expected = Source(Pane(0));
  ASSERT_TRUE(FilterPaneSamples(expected, 10.0, LowPass(1.0f)));
  EXPECT_EQ(shifted.transformed, expected);

  // The sheet opens on the main pane's filter; removing restores the original.
  window->ExecuteCommand(kCmdFilter);
  EXPECT_EQ(dialogs->shown.highCut, 1.0f);
  EXPECT_EQ(dialogs->shown.type, kLowPass);
  window->ExecuteCommand(kCmdRemoveFilter);
  for (int i : {0, 1}) {
    EXPECT_FALSE(Pane(i)->pane().HasTransformed());
    EXPECT_EQ(Pane(i)->TransformName(), "unfilter");  // as records keep it
    EXPECT_EQ(Pane(i)->headerButton(kCmdSignalButton)->toolTip().toStdString(),
              "Фильтрованные/Исходные данные: без фильтра");
  }
  window->ExecuteCommand(kCmdShiftLeft);
  EXPECT_FALSE(Pane(0)->pane().HasTransformed());
  EXPECT_TRUE(prompts.MessageTexts().empty());
}

TEST_F(SigprocPanesTest, RefusedFilterLeavesThePanesAndSaysWhy) {
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  ChannelFilter high;
  high.type = kHighPass;
  high.order = 2;
  high.lowCut = 5.0f;  // the Nyquist frequency at 10 samples/s
  dialogs->filter = high;
  window->ExecuteCommand(kCmdFilter);
  EXPECT_FALSE(Pane(0)->pane().HasTransformed());
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_NE(prompts.MessageTexts()[0].find("Найквиста"), std::string::npos);
}

// The sheet as the analyst meets it on a pane never filtered: OK applies the
// default band shown; on one sample a second that band lies above Nyquist,
// and OK says so, keeps the sheet open and leaves the pane as it was.
TEST_F(SigprocPanesTest, FilterSheetOkAppliesTheShownBandOrSaysWhyNot) {
  SigprocPanes::Of(*window).SetDialogs(MakeQtSigprocDialogs());
  const auto ok = [](CFilterSheet& sheet) {
    sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  };
  AddChannels({{0, 0}});
  window->MakeMain(*Pane(0));
  WhenShown<CFilterSheet>(ok);
  window->ExecuteCommand(kCmdFilter);
  EXPECT_EQ(Pane(0)->TransformName(), "0.7000 1.4000 3 B 0");
  EXPECT_TRUE(prompts.records.empty());

  rate = 1;
  ws->stations().records()[1].channels[0].rate = 1;
  AddChannels({{1, 0}});
  ASSERT_DOUBLE_EQ(Pane(1)->pane().SampleRate(), 1.0);
  window->MakeMain(*Pane(1));
  std::vector<std::string> said;
  WhenShown<CFilterSheet>([&](CFilterSheet& sheet) {
    ok(sheet);
    said = prompts.MessageTexts();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_FALSE(Pane(1)->pane().HasTransformed());
    sheet.lowEdit()->setText("0.1");
    sheet.highEdit()->setText("0.3");
    ok(sheet);
  });
  window->ExecuteCommand(kCmdFilter);
  EXPECT_EQ(said, std::vector<std::string>{"Полоса фильтра 0.7–1.4 Гц лежит выше частоты Найквиста "
                                           "0.5 Гц (половины частоты дискретизации 1 отсч./с): "
                                           "фильтр не применён"});
  EXPECT_EQ(Pane(1)->TransformName(), "0.1000 0.3000 3 B 0");
}

TEST_F(SigprocPanesTest, SimulationsOnActivePanesAndTheirMessagesWithoutOne) {
  AddChannels({{0, 0}, {1, 0}});
  window->ExecuteCommand(33140);  // Wood-Anderson
  for (int i : {0, 1}) {
    EXPECT_EQ(Pane(i)->TransformName(), "WA");
    EXPECT_FALSE(Pane(i)->pane().transformed.empty());
  }
  window->ExecuteCommand(33176);  // through the amplitude table: none, a beep
  ASSERT_FALSE(prompts.records.empty());
  EXPECT_EQ(prompts.records.back().kind, "beep");
  EXPECT_EQ(Pane(0)->TransformName(), "WA");

  window->ExecuteCommand(kCmdDeactivateAll);
  prompts.records.clear();
  window->ExecuteCommand(33214);  // SKM: silent without panes
  window->ExecuteCommand(33171);
  EXPECT_TRUE(prompts.records.empty());
  window->ExecuteCommand(33137);
  EXPECT_EQ(prompts.MessageTexts(), std::vector<std::string>{"Не выбрано главное окно"});
}

TEST_F(SigprocPanesTest, FormulaOverPanesUsesOtherPanesAndKeepsTheResultOnFailure) {
  AddChannels({{0, 0}, {1, 0}});
  window->MakeMain(*Pane(0));
  const int other = Pane(1)->pane().number;
  dialogs->formula = "current*2-d" + std::to_string(other);
  window->ExecuteCommand(kCmdFormula);
  const std::vector<float> source = Source(Pane(0));
  for (int i : {0, 1}) {
    const TracePane& p = Pane(i)->pane();
    ASSERT_EQ(p.transformed.size(), source.size());
    EXPECT_TRUE(p.formulaOn);
    EXPECT_FLOAT_EQ(p.transformed[7], source[7]);  // both panes hold the same samples
  }
  EXPECT_EQ(SigprocPanes::Of(*window).GetFormula(), *dialogs->formula);
  // A shift evaluates the formula again on the new samples.
  window->ExecuteCommand(kCmdShiftRight);
  EXPECT_EQ(Pane(0)->pane().transformed.size(), Source(Pane(0)).size());

  dialogs->formula = "(current";
  window->ExecuteCommand(kCmdFormula);
  ASSERT_EQ(prompts.records.size(), 2u);  // once per active pane
  EXPECT_EQ(prompts.records[0].text, "Отсутствует )");
  EXPECT_EQ(prompts.records[0].caption, "Ошибка интерпретатора формул");
  EXPECT_EQ(Pane(0)->pane().transformed.size(), source.size());
}

TEST_F(SigprocPanesTest, DetectorMarksAreDrawnPerPaneAndCleared) {
  // Quiet noise with a strong burst 300 s into each window.
  window->SetSegmentLoader([](const std::string&, const std::string&, const std::string&, double t1,
                              double t2, NUVDataBlockArray& out) {
    out.Clear();
    NUVDataBlock b;
    b.rate = 10;
    b.start = t1;
    b.Allocate(static_cast<int>((t2 - t1) * 10));
    unsigned state = 5;
    for (int i = 0; i < b.count; ++i) {
      state = state * 1103515245u + 12345u;
      const float noise = static_cast<float>((state >> 8) % 2001) / 1000.0f - 1.0f;
      const bool burst = i >= 3000 && i < 3050;
      b.samples[static_cast<size_t>(i)] = 7.0f + (burst ? 40.0f : 1.0f) * noise;
    }
    out.Append(std::move(b));
  });
  AddChannels({{0, 0}, {1, 0}});
  window->MakeMain(*Pane(0));
  const int recorded = Pane(0)->RecordCount(CZoomWindow::kMarksLayer);
  DetectorChoice run;
  run.page = 0;
  run.params = {10.0, 1.0, 4.0, 0};
  dialogs->detector = run;
  window->ExecuteCommand(kCmdRunDetector);
  for (int i : {0, 1}) {
    const TracePane& p = Pane(i)->pane();
    ASSERT_EQ(p.detectionMarks.size(), 2u) << i;
    EXPECT_NEAR(p.detectionMarks[0], p.WindowStart() + 300.0 - 0.5, 0.3);
  }
  EXPECT_GT(Pane(0)->RecordCount(CZoomWindow::kMarksLayer), recorded);
  EXPECT_EQ(SigprocPanes::Of(*window).Params(*Pane(1), 0).k, 4.0);
  SaveScreenshot(*window, "sigproc_detector_marks");

  // The filtered samples are wanted but there are none.
  run.params.useFilter = 1;
  dialogs->detector = run;
  window->ExecuteCommand(kCmdRunDetector);
  EXPECT_EQ(prompts.MessageTexts().back(), "Нет фильтрованных данных");
  EXPECT_EQ(Pane(0)->pane().detectionMarks.size(), 2u);

  window->ExecuteCommand(kCmdClearDetections);
  EXPECT_TRUE(Pane(0)->pane().detectionMarks.empty());
  EXPECT_TRUE(Pane(1)->pane().detectionMarks.empty());
}

}  // namespace
}  // namespace nuv::test
