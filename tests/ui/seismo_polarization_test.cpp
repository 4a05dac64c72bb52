// The azimuth commands and the particle-motion window on screen.

#include <QCheckBox>
#include <QComboBox>

#include "screenshot.h"
#include "seismo/ui/particle_motion_window.h"
#include "seismo/ui/polarization_dialogs.h"
#include "seismo/ui/sliding_polarization.h"
#include "seismo_fixture.h"

namespace nuv::test {
namespace {

constexpr double kBackAzimuth = 250, kIncidence = 35;

class SeismoPolarizationTest : public SeismoFixture {
 protected:
  void SetUp() override {
    SeismoFixture::SetUp();
    // Station ABC records a P wave from the back azimuth above on BHZ, BHN, BHE.
    window->SetSegmentLoader([](const std::string& sta, const std::string& chan, const std::string&,
                                double t1, double t2, NUVDataBlockArray& out) {
      out.Clear();
      NUVDataBlock b;
      b.rate = 10;
      b.start = std::ceil(t1 * 10) / 10;
      const int n = static_cast<int>((t2 - b.start) * 10);
      if (n <= 0) return;
      b.Allocate(n);
      const double a = kBackAzimuth * M_PI / 180, i = kIncidence * M_PI / 180;
      for (int k = 0; k < n; ++k) {
        const double s = std::sin(0.35 * k), t = 0.02 * std::cos(1.3 * k);
        double v = s * std::cos(i);
        if (chan == "BHN") v = -s * std::sin(i) * std::cos(a) - t * std::sin(a);
        if (chan == "BHE") v = -s * std::sin(i) * std::sin(a) + t * std::cos(a);
        if (sta != "ABC") v = std::sin(0.1 * k);
        b.samples[static_cast<size_t>(k)] = static_cast<float>(v);
      }
      out.Append(std::move(b));
    });
    AddChannels({{1, 0}, {1, 1}, {1, 2}});
    window->MakeMain(*Pane(0));
    // Activated in the order Z, N, E.
    for (int k = 0; k < 3; ++k) {
      Pane(k)->pane().isActive = true;
      Pane(k)->pane().selectionNumber = k + 1;
    }
  }

  void SetInterval(double from, double to) {
    TracePane& p = Pane(0)->pane();
    p.hasInterval = true;
    p.intervalStart = from;
    p.intervalEnd = to;
  }
};

TEST_F(SeismoPolarizationTest, ThreeComponentAzimuthIntoThePhase) {
  window->ExecuteCommand(32711);
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбран временной интервал в главном окне");
  SetInterval(kT0 + 20, kT0 + 40);
  const int p = ws->phaseTypes().IndexOf("P");
  AddPhase(1, 0, p, kT0 + 20);
  bool shown = false;
  WhenShown<CAzimuthParamsDialog>([&](CAzimuthParamsDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Параметры");
    EXPECT_EQ(d.nameField(0)->text().toStdString(), "d" + std::to_string(Pane(0)->pane().number));
    d.transformedBox()->setChecked(true);
    EXPECT_EQ(d.nameField(1)->text().toStdString(), "t" + std::to_string(Pane(1)->pane().number));
    d.transformedBox()->setChecked(false);
    SaveScreenshot(d, "seismo_azimuth_parameters");
    // A name that denotes no window.
    d.nameField(2)->setText("d77");
    Click(d, "Рассчитать");
    EXPECT_EQ(prompts.MessageTexts().back(), "Неправильное имя окна: 'd77'");
    d.nameField(2)->setText(QString::fromStdString("d" + std::to_string(Pane(2)->pane().number)));
    WhenShown<CAzimuthResultDialog>([&](CAzimuthResultDialog& r) {
      shown = true;
      EXPECT_EQ(r.windowTitle().toStdString(), "Азимут");
      EXPECT_NEAR(Find(r, "azimuthZNE")->text().toDouble(), kBackAzimuth, 1.0);
      SaveScreenshot(r, "seismo_azimuth_result");
      r.accept();
      d.reject();
    });
    Click(d, "Рассчитать");
  });
  window->ExecuteCommand(32711);
  ASSERT_TRUE(shown);
  const SEISMIC_PHASE* phase = ws->phases().Find(1, 0, p);
  EXPECT_EQ(phase->hasPolarization, 1);
  EXPECT_NEAR(phase->azimuth, kBackAzimuth, 1.0);
  EXPECT_NEAR(phase->emergence, kIncidence, 1.0);
  EXPECT_GT(phase->rectilinearity, 0.9);
  EXPECT_EQ(changes, 1);

  // The third pane leaves the group.
  Pane(2)->pane().selectionNumber = -1;
  window->ExecuteCommand(32711);
  EXPECT_EQ(prompts.MessageTexts().back(), "Не выбраны три окна для вычисления азимута.");
}

TEST_F(SeismoPolarizationTest, SlidingAzimuthIsDrawnOverTheMainPane) {
  WhenShown<CSlidingWindowSheet>([&](CSlidingWindowSheet& d) {
    EXPECT_EQ(d.field("length")->text().toStdString(), "40");
    d.field("length")->setText("1");  // below 2: refused, nothing drawn
    Click(d, "Применить");
    EXPECT_EQ(Pane(0)->findChild<CPolarizationCurve*>("polarizationCurve"), nullptr);
    d.field("length")->setText("50");
    d.field("shift")->setText("25");
    Click(d, "Применить");
    SaveScreenshot(d, "seismo_sliding_parameters");
    d.reject();
  });
  window->ExecuteCommand(37);
  auto* curve = Pane(0)->findChild<CPolarizationCurve*>("polarizationCurve");
  ASSERT_NE(curve, nullptr);
  ASSERT_FALSE(curve->values().empty());
  // The curve is the sliding analysis of the three traces (a window where
  // the covariance is singular gives 0); the others show the back azimuth.
  size_t near = 0;
  for (float v : curve->values()) near += std::fabs(v - kBackAzimuth) < 2.0;
  EXPECT_GE(near + 1, curve->values().size());
  SaveScreenshot(*window, "seismo_sliding_azimuth");
  // The length and shift are kept for the station.
  WhenShown<CSlidingWindowSheet>([&](CSlidingWindowSheet& d) {
    EXPECT_EQ(d.field("length")->text().toStdString(), "50");
    EXPECT_EQ(d.field("shift")->text().toStdString(), "25");
    d.reject();
  });
  window->ExecuteCommand(22);
}

TEST_F(SeismoPolarizationTest, PlaneWaveFitNeedsThreePhases) {
  const int p = ws->phaseTypes().IndexOf("P");
  for (int s = 0; s < 2; ++s) AddPhase(s, 0, p, kT0 + s)->defining = 1;
  dialogs->stationChannel = {StationChannelChoice{0, 0, kT0, 60}};
  window->ExecuteCommand(32768);
  EXPECT_EQ(prompts.MessageTexts().back(), "Необходимо > 2 P-фаз");
  AddPhase(2, 0, p, kT0 + 3)->defining = 1;
  dialogs->stationChannel = {StationChannelChoice{0, 0, kT0, 60}};
  WhenShown<CPlaneWaveResultDialog>([&](CPlaneWaveResultDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Результат расчета");
    EXPECT_EQ(Find(d, "rms")->text().toStdString(), "-");  // three stations: no RMS
    SaveScreenshot(d, "seismo_plane_wave");
    d.accept();
  });
  window->ExecuteCommand(32768);
  const SEISMIC_PHASE* ref = ws->phases().Find(0, 0, p);
  EXPECT_EQ(ref->hasPolarization, 1);
  EXPECT_EQ(ref->hasSlowness, 1);
  EXPECT_EQ(ws->phases().Find(1, 0, p)->hasSlowness, 0);
}

TEST_F(SeismoPolarizationTest, ParticleMotionFollowsTheInterval) {
  CGet3WindowNames motion(*window, prompts);
  motion.resize(420, 520);
  motion.show();
  const std::string n0 = std::to_string(Pane(0)->pane().number),
                    n1 = std::to_string(Pane(1)->pane().number),
                    n2 = std::to_string(Pane(2)->pane().number);
  motion.nameField(0)->setText(QString::fromStdString("d" + n0));
  motion.nameField(1)->setText(QString::fromStdString("d" + n1));
  motion.nameField(2)->setText("w3");  // workspace windows are not reachable here
  SetInterval(kT0 + 20, kT0 + 30);
  EXPECT_FALSE(motion.Redraw(Pane(0)->pane()));
  motion.nameField(2)->setText(QString::fromStdString("d" + n2));
  ASSERT_TRUE(motion.Redraw(Pane(0)->pane()));
  const QImage& picture = motion.area()->picture();
  ASSERT_FALSE(picture.isNull());
  int red = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) red += picture.pixel(x, y) == qRgb(255, 0, 0);
  EXPECT_GT(red, 50);
  SaveScreenshot(motion, "seismo_particle_motion");
  // An interval beyond the traces: a beep and the old picture stays.
  SetInterval(kT0 + 590, kT0 + 700);
  EXPECT_FALSE(motion.Redraw(Pane(0)->pane()));
  EXPECT_EQ(prompts.records.back().kind, "beep");
  // Moving the interval redraws by itself while the window is shown.
  SetInterval(kT0 + 100, kT0 + 110);
  const QImage before = motion.area()->picture();
  motion.FollowIntervals();
  EXPECT_NE(motion.area()->picture(), before);
}

}  // namespace
}  // namespace nuv::test
