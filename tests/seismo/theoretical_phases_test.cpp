// Theoretical phases in the three modes, with their refusals, and placing
// them on a channel as one change of the list.

#include "seismo/theoretical_phases.h"

#include <gtest/gtest.h>

#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "seismo/tables.h"
#include "seismo/tt_calculator.h"

namespace nuv {
namespace {

class TheoreticalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteStraightRaySet(dir_);
    types_.Load(dir_.path().string() + "/");
    ASSERT_TRUE(types_.HasTravelTimes(0));
    ASSERT_TRUE(types_.HasTravelTimes(1));
    pn_ = types_.IndexOf("tx");  // a pseudo-phase: never a table
  }
  test::TempDir dir_;
  PhaseTypeTable types_;
  int pn_ = -1;
};

TEST_F(TheoreticalTest, ThreeModesAgreeOnOneEvent) {
  const double depth = 25, distance = 12, t0 = 5000;
  const double tp = test::StraightRayTime(depth, distance, test::kVp);
  TheoreticalRequest request;
  request.depth = depth;
  request.distance = distance;
  request.types = {0, 1, pn_};

  request.mode = TheoreticalMode::FromOriginTime;
  request.originTime = t0;
  TheoreticalResult r = ComputeTheoretical(types_, request, -1);
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_EQ(r.phases.size(), 2u);  // the pseudo-phase is left out
  EXPECT_NEAR(r.phases[0].time, t0 + tp, 0.05);

  request.mode = TheoreticalMode::FromReference;  // t0 from the picked P
  request.originTime = 0;
  r = ComputeTheoretical(types_, request, t0 + tp);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_NEAR(r.originTime, t0, 0.05);
  EXPECT_NEAR(r.phases[1].time, t0 + test::StraightRayTime(depth, distance, test::kVs), 0.05);

  request.mode = TheoreticalMode::FromReferenceAndT0;  // the distance from P and t0
  request.originTime = t0;
  request.distance = 99;
  r = ComputeTheoretical(types_, request, t0 + tp);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_NEAR(r.distance, distance, 0.01);
}

TEST_F(TheoreticalTest, Refusals) {
  TheoreticalRequest request;
  request.types = {0, 1};
  request.depth = 25;
  TheoreticalResult r = ComputeTheoretical(types_, request, -1);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Нет отметки фазы P");
  request.referenceType = pn_;
  r = ComputeTheoretical(types_, request, 100);
  EXPECT_EQ(r.message, "Нет данных годографа для фазы tx");
  request.referenceType = 0;
  request.distance = 45;  // beyond the table
  r = ComputeTheoretical(types_, request, 100);
  EXPECT_EQ(r.message, "Нет данных годографа для фазы P");
  request.mode = TheoreticalMode::FromReferenceAndT0;
  request.originTime = 200;  // the reference before the origin: no distance
  r = ComputeTheoretical(types_, request, 100);
  EXPECT_FALSE(r.ok);
  EXPECT_TRUE(r.beep);
  EXPECT_TRUE(r.message.empty());
}

TEST_F(TheoreticalTest, PlacingIsOneUndoStep) {
  NUVPhases list;
  list.Add([] {
    SEISMIC_PHASE p;
    p.station = 3, p.channel = 0, p.phaseType = 0;
    p.SetTime(1);
    return p;
  }());
  TheoreticalRequest request;
  request.mode = TheoreticalMode::FromOriginTime;
  request.depth = 25, request.distance = 5, request.originTime = 1000;
  request.types = {0, 1};
  PlaceTheoretical(list, 3, 0, ComputeTheoretical(types_, request, -1));
  ASSERT_EQ(list.Count(), 2);  // the picked P was replaced
  EXPECT_EQ(list.GetAt(0)->onset, 1);
  EXPECT_EQ(list.GetAt(0)->firstMotion, 4);
  EXPECT_EQ(list.GetAt(0)->weight, 3);
  list.Undo();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_DOUBLE_EQ(list.GetAt(0)->time, 1);
}

TEST_F(TheoreticalTest, CalculatorText) {
  EXPECT_EQ(TravelTimeCalculator(types_, "Q", 0, 1).text, "В системе отсутствует годограф Q");
  EXPECT_EQ(TravelTimeCalculator(types_, "tx", 0, 1).text, "Ошибка загрузки файла годографа tx");
  const CalculatorAnswer a = TravelTimeCalculator(types_, "S", 0, 10);
  EXPECT_TRUE(a.ok);
  EXPECT_EQ(a.text.rfind("Время пробега=00:04:", 0), 0u) << a.text;  // 241.7 s
}

}  // namespace
}  // namespace nuv
