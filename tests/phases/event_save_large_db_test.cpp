// An event with more phases than one multi-row statement holds: every row
// reaches the main and the CSS databases with its own values, identifiers
// come as one block, and repeated saves keep one set.

#include <gtest/gtest.h>

#include <set>

#include "event_fixture.h"
#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "platform/strformat.h"

namespace nuv::test {
namespace {

constexpr int kStations = 62;  // 2 of the fixture and 60 more: 248 phases of 4 types

class LargeEventSaveTest : public CssEventTest {
 protected:
  void SetUp() override {
    EventTest::SetUp();
    if (IsSkipped()) return;
    for (int s = 0; s < kStations - 2; ++s) {
      db().Exec(
          StrFormat("insert into SITE (STA, LAT, LON, ELEV, NGROUPS, NINDEX) values "
                    "('L%02d', %.2f, 75, 1, 1, %d)",
                    s, 40.0 + s * 0.05, s + 3));
      db().Exec(
          StrFormat("insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS) values "
                    "('L%02d', 'SHZ', 1, 0, 20)",
                    s));
    }
    Ready();
    CurrentEvent& e = workstation().event();
    e.eventId = PadEventId("EV-LARGE");
    e.originValid = 1, e.originLat = 42, e.originLon = 75, e.originDepth = 10;
    e.originTime = 1.7e9;
    for (int s = 0; s < workstation().stations().size(); ++s)
      for (int type = 0; type < 4; ++type) {
        SEISMIC_PHASE p = Phase(s, 0, type, 1.7e9 + 10 + s + type * 0.25);
        p.defining = 1;
        p.weight = static_cast<uint8_t>(type);
        if (type == 0) p.hasAmplitude = 1, p.amplitude = 0.5f + s, p.period = 0.8f, p.mb = 4.0f;
        workstation().phases().Add(p);
      }
  }
};

TEST_P(LargeEventSaveTest, EveryRowArrivesOnceWithItsValues) {
  const int phases = workstation().phases().Count();
  ASSERT_EQ(phases, kStations * 4);
  EventContext context = Context();
  for (int save = 0; save < 2; ++save) {
    const SaveOutcome outcome = SaveEvent(context);
    ASSERT_TRUE(outcome.saved) << outcome.error;
    ASSERT_EQ(outcome.css, SaveOutcome::Css::Saved);
  }
  EXPECT_EQ(Count("select count(*) from ARRIVAL"), phases);
  EXPECT_EQ(Count("select count(distinct ARID) from ARRIVAL"), phases);
  EXPECT_EQ(CountCss("select count(*) from arrival"), phases);
  EXPECT_EQ(CountCss("select count(*) from assoc"), phases);
  EXPECT_EQ(CountCss("select count(*) from amplitude"), kStations);
  EXPECT_EQ(CountCss("select count(*) from stamag s, amplitude a where s.ampid=a.ampid"),
            kStations);
  // The arids of the first save are one block of consecutive identifiers.
  std::set<int> arids;
  for (const SEISMIC_PHASE& p : workstation().phases()) arids.insert(p.arid);
  ASSERT_EQ(static_cast<int>(arids.size()), phases);
  EXPECT_EQ(*arids.rbegin() - *arids.begin() + 1, phases);

  // Loaded back: the same phases in the same order with their values.
  std::vector<SEISMIC_PHASE> saved(workstation().phases().begin(), workstation().phases().end());
  workstation().phases().RemoveAll();
  ASSERT_TRUE(LoadEvent(context, "EV-LARGE"));
  ASSERT_EQ(workstation().phases().Count(), phases);
  int i = 0;
  for (const SEISMIC_PHASE& p : workstation().phases()) {
    const SEISMIC_PHASE& before = saved[static_cast<size_t>(i++)];
    EXPECT_EQ(p.arid, before.arid);
    EXPECT_EQ(p.station, before.station);
    EXPECT_EQ(p.phaseType, before.phaseType);
    EXPECT_DOUBLE_EQ(p.time, before.time);
    EXPECT_EQ(p.weight, before.weight);
    EXPECT_EQ(p.hasAmplitude, before.hasAmplitude);
    if (p.hasAmplitude) {
      EXPECT_FLOAT_EQ(p.amplitude, before.amplitude);
    }
  }
  // The CSS amplitude of the last station (in the last statement) is its own.
  const SEISMIC_PHASE& last = saved.back().phaseType == 0 ? saved.back() : saved[saved.size() - 4];
  const auto amp =
      db().QueryCssValue(StrFormat("select amp from amplitude where arid=%d", last.arid));
  ASSERT_TRUE(amp.has_value());
  EXPECT_NEAR(std::stod(*amp), last.amplitude * 1000.0, 0.01);
}

NUV_DATABASE_TEST_SUITE(LargeEventSaveTest);

}  // namespace
}  // namespace nuv::test
