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
  ASSERT_EQ(r.phases.size(), 2u);  // the pseudo-phase is left out and named
  EXPECT_EQ(r.missing, std::vector<int>{pn_});
  EXPECT_EQ(TheoreticalSummary(types_, r, nullptr), "Нет данных годографа для фаз: tx.");
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

TEST_F(TheoreticalTest, PlacingMovesItsOwnPhasesAndNeverTheAnalystsPicks) {
  NUVPhases list;
  SEISMIC_PHASE pick;  // the analyst's P, measured and saved
  pick.station = 3, pick.channel = 0, pick.phaseType = 0;
  pick.SetTime(1);
  pick.amplitude = 12.5f, pick.hasAmplitude = 1, pick.arid = 77, pick.onset = 0;
  list.Add(pick);
  TheoreticalRequest request;
  request.mode = TheoreticalMode::FromOriginTime;
  request.depth = 25, request.distance = 5, request.originTime = 1000;
  request.types = {0, 1, pn_};
  TheoreticalPlacer placer;
  TheoreticalResult r = ComputeTheoretical(types_, request, -1);
  TheoreticalPlacement placed = placer.Place(list, 3, 0, r);
  EXPECT_EQ(placed.placed, std::vector<int>{1});
  EXPECT_EQ(placed.kept, std::vector<int>{0});
  EXPECT_EQ(TheoreticalSummary(types_, r, &placed),
            "Расставлено фаз: 1 (S).\nНе заменены фазы, отмеченные на канале аналитиком: P.\n"
            "Нет данных годографа для фаз: tx.");
  ASSERT_EQ(list.Count(), 2);
  const SEISMIC_PHASE* p = list.Find(3, 0, 0);
  EXPECT_DOUBLE_EQ(p->time, 1);
  EXPECT_EQ(p->arid, 77);
  EXPECT_FLOAT_EQ(p->amplitude, 12.5f);
  const SEISMIC_PHASE* s = list.Find(3, 0, 1);
  EXPECT_EQ(s->onset, 1);
  EXPECT_EQ(s->firstMotion, 4);
  EXPECT_EQ(s->weight, 3);
  const double firstS = s->time;

  // Placing again (another distance) moves the S it placed; one undo step.
  request.distance = 8;
  r = ComputeTheoretical(types_, request, -1);
  placer.Place(list, 3, 0, r);
  EXPECT_NEAR(list.Find(3, 0, 1)->time, r.phases[1].time, 1e-9);
  list.Undo();
  EXPECT_NEAR(list.Find(3, 0, 1)->time, firstS, 1e-9);
  // Once the analyst re-times it, the S is theirs.
  SEISMIC_PHASE moved = *list.Find(3, 0, 1);
  moved.SetTime(moved.time + 2);
  list.Add(moved);
  placed = placer.Place(list, 3, 0, r);
  EXPECT_EQ(placed.kept, (std::vector<int>{0, 1}));
  EXPECT_DOUBLE_EQ(list.Find(3, 0, 1)->time, moved.time);
  // Another placer (another window) does not know the phases of this one.
  list.Remove(3, 0, 1);
  placer.Place(list, 3, 0, r);
  EXPECT_EQ(TheoreticalPlacer().Place(list, 3, 0, r).kept, (std::vector<int>{0, 1}));
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
