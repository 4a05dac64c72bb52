#include "seismo/magnitudes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

// A calibration table with Q = 3.0 everywhere between 0..100 km and 1..100 degrees.
PHASEDATA FlatCalibration(const test::TempDir& dir, float q = 3.0f) {
  const std::string v = std::to_string(q);
  const auto path =
      dir.WriteFile("mb.txt", "Q(h, delta) # test values\n2 # depths\n0 100\n2\n1 100 # degrees\n" +
                                  v + " " + v + "\n" + v + " " + v + "\n");
  PHASEDATA table;
  EXPECT_TRUE(LoadCalibrationTable(path.string(), table));
  return table;
}

TEST(Magnitudes, BodyWaveWithCalibrationTable) {
  test::TempDir dir;
  const PHASEDATA q = FlatCalibration(dir);
  MagnitudeResult mb = MagnitudeMb(10, 1, 50, 10, q);
  ASSERT_TRUE(mb.ok);
  EXPECT_NEAR(mb.value, std::log10(20.0) + 3, 1e-6);  // shown as 4.30
  // A negative depth counts as the surface.
  EXPECT_NEAR(MagnitudeMb(10, 1, 50, -5, q).value, mb.value, 1e-12);
  // MPLP and MPSP have no factor 2.
  EXPECT_NEAR(MagnitudeMplp(10, 1, 50, 10, q).value, 4.0, 1e-6);
  EXPECT_NEAR(MagnitudeMpsp(10, 2, 50, 10, q).value, std::log10(5.0) + 3, 1e-6);

  // Checks in order: period, then amplitude, then the table.
  EXPECT_EQ(MagnitudeMb(0, 0, 50, 10, q).message, "Период = 0");
  EXPECT_EQ(MagnitudeMb(0, 1, 50, 10, q).message, "Амплитуда = 0");
  EXPECT_EQ(MagnitudeMb(-3, 1, 50, 10, q).message, "Амплитуда = 0");
  PHASEDATA missing;
  EXPECT_FALSE(LoadCalibrationTable((dir / "nothing.txt").string(), missing));
  EXPECT_EQ(MagnitudeMb(10, 1, 50, 10, missing).message, "Ошибка загрузки файла калибровки для Mb");
  EXPECT_EQ(MagnitudeMplp(10, 1, 50, 10, missing).message,
            "Ошибка загрузки файла калибровки для MPLP");
  EXPECT_EQ(MagnitudeMpsp(10, 1, 50, 10, missing).message,
            "Ошибка загрузки файла калибровки для MPSP");
  // Outside the table (distance 0 becomes 0.001, below the first degree).
  const MagnitudeResult outside = MagnitudeMb(10, 1, 0, 10, q);
  EXPECT_FALSE(outside.ok);
  EXPECT_EQ(outside.message, OutsideCalibrationMessage("Mb"));
  EXPECT_FALSE(MagnitudeMb(10, 1, 50, 300, q).ok);
  EXPECT_EQ(MagnitudeMb(10, 1, 190, 10, q).message, kMsgDistanceRange);
}

TEST(Magnitudes, SurfaceWave) {
  EXPECT_NEAR(MagnitudeMs(5, 20, 50).value, std::log10(0.25) + 1.66 * std::log10(50.0) + 3.3,
              1e-12);
  // At D = 0 the distance 0.001 degree enters: 1.66 log10(0.001) = -4.98.
  EXPECT_NEAR(MagnitudeMs(20, 20, 0).value, -4.98 + 3.3, 1e-12);
  EXPECT_EQ(MagnitudeMs(20, 0, 10).message, "Период = 0");
  EXPECT_EQ(MagnitudeMs(20, 20, -1).message, kMsgDistanceRange);
}

TEST(Magnitudes, CodaDurationRanges) {
  EXPECT_EQ(CodaMagnitudeFormula(1, 9.99), -1);
  EXPECT_EQ(CodaMagnitudeFormula(1, 1000.1), -1);
  EXPECT_EQ(CodaMagnitudeFormula(0.001, 50), -1);
  EXPECT_EQ(CodaMagnitudeFormula(3001, 50), -1);
  EXPECT_NEAR(CodaMagnitudeFormula(1, 10), 1.25309 + 1.28256, 1e-12);
  EXPECT_NEAR(CodaMagnitudeFormula(2, 25), 2.46267 * std::log10(25.0) + std::log10(2.0) - 0.36967,
              1e-12);
  EXPECT_NEAR(CodaMagnitudeFormula(1, 100), 1.62996 * 2 + 1.1321, 1e-12);
  EXPECT_NEAR(CodaMagnitudeFormula(1, 200), 2.57025 * std::log10(200.0) - 1.0938, 1e-12);
  EXPECT_EQ(CodaMagnitudeFormula(1, 1000), 0);
  EXPECT_EQ(MagnitudeCoda(1, 0).message, "Период = 0");
  EXPECT_EQ(MagnitudeCoda(1, 5).value, -1);
}

TEST(Magnitudes, LocalMagnitudeFormulasAndCalibrationFiles) {
  // Without calibration files: R = 206 km uses the second formula.
  const double d206 = 206 / 111.1953;
  EXPECT_NEAR(MagnitudeMl(10, d206, 0, nullptr).value, 1 + 2.51 * std::log10(206.0) - 1.89, 1e-9);
  EXPECT_NEAR(MagnitudeMl(-10, 1, 30, nullptr).value,
              1 + 1.43 * std::log10(std::hypot(111.1953, 30.0)) + 0.61, 1e-9);
  EXPECT_EQ(MagnitudeMl(10, 0, 4, nullptr).message, kMsgMlRange);
  EXPECT_EQ(MagnitudeMl(10, 8, 0, nullptr).message, kMsgMlRange);
  EXPECT_EQ(MagnitudeMl(0, 1, 10, nullptr).message, "Амплитуда = 0");

  test::TempDir dir;
  dir.WriteFile("ML.txt", "0 -1.4\n100 -3.0\n200 -3.5\n");
  dir.WriteFile("ML.ABC.txt", "100 -2.0\n10 -1.0\n");  // out of order: still usable
  auto common = MlCalib(dir.path().string(), "XYZ");
  auto own = MlCalib(dir.path().string(), "ABC");
  ASSERT_TRUE(common && own);
  EXPECT_EQ(common->points.size(), 3u);
  EXPECT_DOUBLE_EQ(common->Lookup(100), -3.0);
  EXPECT_NEAR(common->Lookup(150), -3.25, 1e-6);
  EXPECT_EQ(common->Lookup(200.5), std::numeric_limits<float>::max());
  EXPECT_NEAR(own->Lookup(55), -1.5, 1e-6);
  const double d = 150 / 111.1953;
  EXPECT_NEAR(MagnitudeMl(10, d, 5, &*common).value, 1 + 3.25 + std::log10(2080.0) - 3, 1e-5);
  EXPECT_EQ(MagnitudeMl(10, 3, 5, &*own).message, kMsgMlNoCalibrationData);
  test::TempDir empty;
  EXPECT_FALSE(MlCalib(empty.path().string(), "ABC"));
}

TEST(EnergyClass, RautianNomogram) {
  EXPECT_EQ(RautianClass(1, 1, 4.9), -1);
  EXPECT_EQ(RautianClass(1, 1, 3000.1), -1);
  EXPECT_EQ(RautianClass(0.004, 1, 100), -1);
  EXPECT_EQ(RautianClass(1, 1001, 100), -1);
  const double m100 = 3.33425e-9 * 1e6 - 2.48002e-5 * 1e4 + 0.0699801 * 100 + 53.30075;
  EXPECT_NEAR(RautianClass(1, 2, 100), 0.074 * m100 + 1.847 * std::log10(3.0) + 5.23, 1e-9);
  const double m50 = 1.63797e-7 * std::pow(50, 5) - 4.03237e-5 * std::pow(50, 4) +
                     0.003838 * std::pow(50, 3) - 0.181708 * 2500 + 4.86942 * 50 - 19.0383;
  EXPECT_NEAR(RautianClass(0.5, 0.5, 50), 0.074 * m50 + 5.23, 1e-9);
}

TEST(EnergyClass, FormulaVariants) {
  // R = 800.5 km: outside VEGIK, inside SKM.
  EXPECT_FALSE(EnergyClassFormula(EnergyClassVariant::Vegik, 1, 1, 800.5, 0));
  const auto skm = EnergyClassFormula(EnergyClassVariant::Skm, 1, 1, 800.5, 0);
  ASSERT_TRUE(skm);
  EXPECT_NEAR(*skm, 1.84 * (2.4 * std::log10(800.5) - 0.28 + std::log10(2.0)), 1e-9);
  const auto vegik = EnergyClassFormula(EnergyClassVariant::Vegik, 2, 3, 60, 80);  // R = 100
  ASSERT_TRUE(vegik);
  EXPECT_NEAR(*vegik, 1.84 * (1.1 * 2 + 3.21 + std::log10(5.0)), 1e-9);
  EXPECT_FALSE(EnergyClassFormula(EnergyClassVariant::Skm, 0, 1, 100, 0));
  EXPECT_FALSE(EnergyClassFormula(EnergyClassVariant::Skm, 1, 1, 3, 0));
  EXPECT_FALSE(EnergyClassFormula(EnergyClassVariant::Skm, 1, 1, 1000.1, 0));
}

class ChannelCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    types_.LoadNames("/nonexistent");
    CScreenFields s;
    s.code = "ABC";
    s.lat = 43;
    s.lon = 77;
    s.channels[0].name = "SHZ";
    s.channels[1].name = "SHN";
    s.channels[2].name = "SHE";
    for (int c = 0; c < 3; ++c) {
      s.channels[c].lat = 43;
      s.channels[c].lon = 77;
    }
    stations_.records().push_back(s);
  }
  SEISMIC_PHASE* Add(const char* name, int channel, float amplitude, float distance = -1) {
    SEISMIC_PHASE p;
    p.channel = channel;
    p.phaseType = types_.IndexOf(name);
    p.amplitude = amplitude;
    p.hasAmplitude = amplitude > 0;
    p.distance = distance;
    return phases_.Add(p);
  }
  PhaseTypeTable types_;
  StationTable stations_;
  NUVPhases phases_;
  CurrentEvent event_;
};

TEST_F(ChannelCommands, RautianRefusalsAndResult) {
  EXPECT_EQ(RautianForChannel(phases_, types_, stations_, event_, 0, 0).message,
            "Нет отметки фазы Pg");
  Add("Pg", 0, 0);
  Add("Sg", 1, 2);
  // A measured Sg does not help an unmeasured Pg.
  EXPECT_EQ(RautianForChannel(phases_, types_, stations_, event_, 0, 0).message,
            "Нет замера амплитуды для фазы Pg");
  Add("Pg", 0, 1, 1.0f);
  phases_.Remove(0, 1, types_.IndexOf("Sg"));
  EXPECT_EQ(RautianForChannel(phases_, types_, stations_, event_, 0, 0).message,
            "Нет отметки фазы Sg");
  Add("Sg", 2, 0);
  EXPECT_EQ(RautianForChannel(phases_, types_, stations_, event_, 0, 0).message,
            "Нет замера амплитуды для фазы Sg");
  Add("Sg", 1, 2);  // the first measured Sg of the station
  const RautianOutcome k = RautianForChannel(phases_, types_, stations_, event_, 0, 0);
  ASSERT_TRUE(k.ok);
  EXPECT_NEAR(k.value, RautianClass(1, 2, 111.1953), 1e-12);
  EXPECT_EQ(k.message, StrFormat("Класс для станции ABC = %0.3f", k.value));
  EXPECT_GE(k.pgIndex, 0);
  // Without any distance the class cannot be computed.
  Add("Pg", 0, 1);
  const RautianOutcome none = RautianForChannel(phases_, types_, stations_, event_, 0, 0);
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(none.message, kMsgClassOutOfRange);
}

TEST_F(ChannelCommands, EnergyClassInputs) {
  EXPECT_EQ(EnergyClassInputsFor(phases_, types_, stations_, event_, 0, 0).message,
            "Отсутствуют замеры амплитуды для фаз группы P");
  Add("Pn", 1, 3);
  Add("P", 0, 2);
  EXPECT_EQ(EnergyClassInputsFor(phases_, types_, stations_, event_, 0, 0).message,
            "Отсутствуют замеры амплитуды для фаз группы S");
  Add("Sn", 2, 4);
  EXPECT_EQ(EnergyClassInputsFor(phases_, types_, stations_, event_, 0, 0).message,
            "Нет оценки расстояния от станции ABC  до эпицентра");
  Add("Sg", 0, 1, 2.0f);
  EnergyClassInputs in = EnergyClassInputsFor(phases_, types_, stations_, event_, 0, 0);
  ASSERT_TRUE(in.ok);
  EXPECT_EQ(in.ap, 3);
  EXPECT_EQ(in.as, 4);
  EXPECT_EQ(in.distanceKm, 222);
  EXPECT_EQ(in.depthKm, 15);
  event_.originValid = 1;
  event_.originLat = 44;
  event_.originLon = 77;
  event_.originDepth = 12.4f;
  in = EnergyClassInputsFor(phases_, types_, stations_, event_, 0, 0);
  EXPECT_NEAR(in.distanceKm, 111, 1);
  EXPECT_EQ(in.depthKm, 12);
}

TEST(NetworkMagnitudes, MeansAndDeviations) {
  NUVPhases phases;
  CurrentEvent event;
  event.eventMbUnc = 0.7f;
  SEISMIC_PHASE p;
  p.ms = 4;
  phases.Add(p);
  NetworkMagnitudes(phases, event);
  EXPECT_EQ(event.eventMb, kNoMagnitude);   // no station mb
  EXPECT_FLOAT_EQ(event.eventMbUnc, 0.7f);  // keeps its value
  EXPECT_FLOAT_EQ(event.eventMs, 4);
  EXPECT_FLOAT_EQ(event.eventMsUnc, 0);
  for (float mb : {4.0f, 5.0f, -1.0f, 6.0f}) {
    SEISMIC_PHASE q;
    q.station = static_cast<int>(mb * 10);
    q.mb = mb;
    phases.Add(q);
  }
  NetworkMagnitudes(phases, event);
  EXPECT_FLOAT_EQ(event.eventMb, 5);
  EXPECT_FLOAT_EQ(event.eventMbUnc, 2.0f / 3);
}

}  // namespace
}  // namespace nuv
