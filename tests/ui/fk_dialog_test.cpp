// F-K analysis from the waveform window: the pane list with its
// announcements, the dialog's search, map, external program, beam panes and
// the association with a phase.

#include <QComboBox>
#include <QLineEdit>

#include "fk/fk_array.h"
#include "fk/ui/fk_commands.h"
#include "fk/ui/fk_pictures.h"
#include "screenshot.h"
#include "waveview_fixture.h"

namespace nuv::test {
namespace {

const std::string kFakeProgram = std::string(NUV_TEST_DATA_DIR) + "/fk/fake_fk.sh";

class FkDialogTest : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    ws->phaseTypes().LoadNames("/nonexistent/");
    AddStation("AR4", 10, {"SHZ"});
    AddStation("AR5", 10, {"SHZ"});
    // Five stations 4 km apart: a cross around the first.
    const std::pair<float, float> offsets[] = {{0, 0}, {4, 0}, {0, 4}, {-4, 0}, {0, -4}};
    for (int s = 0; s < 5; ++s) {
      ws->stations()[s].deast = offsets[s].first;
      ws->stations()[s].dnorth = offsets[s].second;
    }
    AddChannels({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}});
    // The wave's samples as each pane's transformed signal over its window.
    std::vector<std::pair<float, float>> xy(std::begin(offsets), std::end(offsets));
    PlaneWave wave{kAzimuth, kSlowness, 300, 0.02};
    const auto traces = PlaneWaveArray(xy, wave, 10, 600);
    for (int i = 0; i < 5; ++i) {
      TracePane& p = Pane(i)->pane();
      p.SetWindowStart(kT0);
      p.windowLength = 600;
      p.transformed = traces[static_cast<size_t>(i)].samples;
      p.transRate = 10;
      p.isActive = true;
      p.hasInterval = true;
      p.intervalStart = kT0 + 306;
      p.intervalEnd = kT0 + 294;
    }
    window->MakeMain(*Pane(0));
  }
  static constexpr double kAzimuth = 120, kSlowness = 0.1;

  std::unique_ptr<CFKResultsDlg> Dialog() {
    std::optional<FkDialogInput> input = CollectFkInput(*window);
    if (!input) return nullptr;
    return std::make_unique<CFKResultsDlg>(*ws, std::move(*input), window.get());
  }
  int BeamPanes() {
    int n = 0;
    for (CZoomWindow* p : window->panes()) n += p->IsBeam();
    return n;
  }
};

TEST_F(FkDialogTest, PanesWithoutSignalOrIntervalAreAnnounced) {
  Pane(1)->pane().transformed.clear();
  Pane(2)->pane().intervalEnd = kT0 + 601;  // one second after the window's end
  Pane(3)->pane().isActive = false;         // not asked about
  prompts.answers = {PromptAnswer::Ok, PromptAnswer::Ok};
  std::optional<FkDialogInput> input = CollectFkInput(*window);
  ASSERT_TRUE(input);
  ASSERT_EQ(input->panes.size(), 2u);
  EXPECT_EQ(input->panes[1].station, "AR5");
  EXPECT_EQ(input->mainStation, 0);
  EXPECT_EQ(input->reference.rate, 10);
  const auto texts = prompts.MessageTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Окно D" + std::to_string(Pane(1)->pane().number) +
                          " не содержит данных преобразованного сигнала и будет исключено из "
                          "расчета.");
  EXPECT_EQ(texts[1], "Выбранный временной интервал находится вне пределов окна волновых форм T" +
                          std::to_string(Pane(2)->pane().number) +
                          " станции 'OBN' канала 'SHZ' или отсутствует\n Канал будет исключен "
                          "из расчета\n");
  EXPECT_EQ(prompts.records[0].buttons, PromptButtons::OkCancel);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Warning);

  // Cancel in the box ends the command.
  prompts.records.clear();
  prompts.answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(CollectFkInput(*window));
  EXPECT_EQ(prompts.records.size(), 1u);

  // No pane left: the empty list is said.
  prompts.records.clear();
  for (int i = 0; i < 5; ++i) Pane(i)->pane().hasInterval = false;
  prompts.defaultAnswer = PromptAnswer::Ok;
  EXPECT_FALSE(CollectFkInput(*window));
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Список отобраных каналов пуст. Модуль F-K анализа запущен не будет.");
  EXPECT_EQ(prompts.records.back().icon, PromptIcon::Error);
}

TEST_F(FkDialogTest, SearchShowsTheDirectionAndDrawsTheMap) {
  auto dialog = Dialog();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->minEdit->text(), "-0.5");
  EXPECT_EQ(dialog->intervalsEdit->text(), "200");
  ASSERT_TRUE(dialog->Compute());
  EXPECT_NEAR(dialog->azimuthEdit->text().toDouble(), kAzimuth, 6);
  EXPECT_NEAR(dialog->slownessEdit->text().toDouble(), kSlowness, 0.015);
  EXPECT_EQ(dialog->slownessEdit->text().size(), 6);  // "%.4f"
  dialog->show();
  SaveScreenshot(*dialog, "fk_dialog");

  // A coarse grid: the cell of the best point is drawn in the top colour,
  // the legend's bottom band in the lowest.
  dialog->intervalsEdit->setText("10");
  ASSERT_TRUE(dialog->Compute());
  const FkSearchResult& r = *dialog->searchResult();
  const QImage map = dialog->map->image();
  const double max = r.max, step = r.step;
  const auto px = [&](double v) { return static_cast<int>(map.width() * (v + max) / (2 * max)); };
  const auto py = [&](double v) {
    return static_cast<int>(map.height() - map.height() * (v + max) / (2 * max));
  };
  EXPECT_EQ(map.pixel(px(r.bestPx + step / 2), py(r.bestPy + step / 2)) & 0xffffff, kFkColours[9]);
  const QImage legend = dialog->legend->image();
  EXPECT_EQ(legend.pixel(legend.width() - 2, legend.height() - 3) & 0xffffff, kFkColours[0]);
  EXPECT_EQ(legend.pixel(legend.width() - 2, 2) & 0xffffff, kFkColours[9]);
  SaveScreenshot(*dialog, "fk_dialog_coarse");
}

TEST_F(FkDialogTest, ParametersOutOfRangeComputeNothing) {
  auto dialog = Dialog();
  ASSERT_TRUE(dialog->Compute());
  const QString azimuth = dialog->azimuthEdit->text();
  const FkSearchResult* before = dialog->searchResult();
  for (const char* min : {"-25", "abc", "0.7"}) {
    dialog->minEdit->setText(min);
    prompts.records.clear();
    EXPECT_FALSE(dialog->Compute()) << min;
    ASSERT_EQ(prompts.records.size(), 1u);
    EXPECT_EQ(dialog->searchResult(), before);
    EXPECT_EQ(dialog->azimuthEdit->text(), azimuth);
  }
  EXPECT_EQ(prompts.records.back().text, "Минимум Px и Py должен быть меньше максимума.");
  dialog->minEdit->setText("-0.5");
  dialog->intervalsEdit->setText("2.5");
  EXPECT_FALSE(dialog->Compute());
  EXPECT_EQ(prompts.MessageTexts().back(), "Введите целое число от 2 до 1000.");
  // The values accepted last stay for the next dialog.
  dialog->intervalsEdit->setText("50");
  ASSERT_TRUE(dialog->Compute());
  EXPECT_EQ(Dialog()->intervalsEdit->text(), "50");
  FkSessionGrid() = FkGrid{};
}

TEST_F(FkDialogTest, BeamPaneIsAddedOnceAndRecomputed) {
  auto dialog = Dialog();
  const size_t panes = window->panes().size();
  EXPECT_FALSE(dialog->BuildBeam());  // empty fields
  EXPECT_EQ(prompts.records.back().kind, "beep");
  dialog->azimuthEdit->setText("120.0");
  dialog->slownessEdit->setText("0.1000");
  ASSERT_TRUE(dialog->BuildBeam());
  ASSERT_EQ(window->panes().size(), panes + 1);
  CZoomWindow* beam = window->panes().back();
  EXPECT_TRUE(beam->IsBeam());
  EXPECT_EQ(beam->pane().station, 0);
  EXPECT_EQ(beam->pane().blocks.size(), 1);
  EXPECT_EQ(beam->pane().blocks[0].count, 6000);  // 600 s at 10 samples/s
  EXPECT_DOUBLE_EQ(beam->pane().windowLength, 600);
  const std::vector<float> first = beam->pane().blocks[0].samples;
  // Aligned, the beam keeps the wave's peak; a wrong direction smears it.
  const auto peak = [](const std::vector<float>& v) {
    float m = 0;
    for (float x : v) m = std::max(m, std::fabs(x));
    return m;
  };
  dialog->azimuthEdit->setText("300");
  ASSERT_TRUE(dialog->BuildBeam());
  EXPECT_EQ(window->panes().size(), panes + 1);
  EXPECT_EQ(BeamPanes(), 1);
  EXPECT_GT(peak(first), 1.5 * peak(window->panes().back()->pane().blocks[0].samples));
  SaveScreenshot(*window, "fk_beam_pane");
}

TEST_F(FkDialogTest, OkWritesTheResultIntoThePhase) {
  const int p = ws->phaseTypes().IndexOf("P");
  ASSERT_GE(p, 0);
  {
    // Without phases of the main channel the combo is empty: OK beeps.
    auto dialog = Dialog();
    EXPECT_EQ(dialog->phaseCombo->count(), 0);
    dialog->accept();
    EXPECT_EQ(prompts.records.back().kind, "beep");
    EXPECT_NE(dialog->QDialog::result(), QDialog::Accepted);
  }
  SEISMIC_PHASE phase;
  phase.station = 0;
  phase.channel = 0;
  phase.phaseType = p;
  phase.time = kT0 + 300;
  ws->phases().Add(phase);
  auto dialog = Dialog();
  ASSERT_EQ(dialog->phaseCombo->count(), 1);
  EXPECT_EQ(dialog->phaseCombo->currentText(), "P");
  dialog->azimuthEdit->setText("45.5");
  dialog->slownessEdit->setText("");
  dialog->accept();  // an empty field: the dialog stays
  EXPECT_NE(dialog->QDialog::result(), QDialog::Accepted);
  EXPECT_EQ(ws->phases().Find(0, 0, p)->hasSlowness, 0);
  dialog->slownessEdit->setText("0.1");
  dialog->accept();
  EXPECT_EQ(dialog->QDialog::result(), QDialog::Accepted);
  const SEISMIC_PHASE* stored = ws->phases().Find(0, 0, p);
  EXPECT_NEAR(stored->slowness, 11.1195, 1e-4);
  EXPECT_FLOAT_EQ(stored->azimuth, 45.5f);
  EXPECT_EQ(stored->hasSlowness, 1);
  EXPECT_EQ(stored->hasPolarization, 1);

  // The phase removed meanwhile: warned, nothing stored.
  auto again = Dialog();
  ws->phases().Remove(0, 0, p);
  again->azimuthEdit->setText("10");
  again->slownessEdit->setText("0.2");
  again->accept();
  EXPECT_NE(again->QDialog::result(), QDialog::Accepted);
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Отметка фазы 'P' отсутствует.\n Ассоциация не может быть выполнена.\nРезультат "
            "расчета не будет запомнен");
  EXPECT_EQ(ws->phases().Find(0, 0, p), nullptr);
}

TEST_F(FkDialogTest, ExternalProgramAnswersInTheFields) {
  ws->ini().WriteString("FKEXT", "MODULE", kFakeProgram);
  ws->ini().WriteString("FKEXT", "WFD", dir.path().string() + "/");
  auto dialog = Dialog();
  ASSERT_TRUE(dialog->ComputeExternal());
  EXPECT_EQ(dialog->azimuthEdit->text(), "45.5");
  EXPECT_EQ(dialog->slownessEdit->text(), "0.0823");
  EXPECT_EQ(dialog->searchResult(), nullptr) << "the map is not changed";
  // A program that cannot be started leaves the fields.
  ws->ini().WriteString("FKEXT", "MODULE", "/nonexistent/fk");
  EXPECT_FALSE(dialog->ComputeExternal());
  EXPECT_EQ(prompts.MessageTexts().back(), "Ошибка запуска модуля \n'/nonexistent/fk'");
  EXPECT_EQ(dialog->azimuthEdit->text(), "45.5");
}

}  // namespace
}  // namespace nuv::test
