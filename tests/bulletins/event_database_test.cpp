// The bulletins on a workstation connected to a main database: the small
// event store (save and load of ORIGIN and ARRIVAL) and the CSS 3.0 export
// of a period.

#include <gtest/gtest.h>

#include "bulletins/bulletin_fixture.h"
#include "bulletins/css_export.h"
#include "bulletins/event_store.h"
#include "bulletins/fixed_columns.h"
#include "phases/event_store.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv {
namespace {

class BulletinDatabaseTest : public test::DatabaseTest {
 protected:
  Workstation& Prepared() {
    db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('DM01', 42, 75, 1, 1)");
    db().Exec(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LAT, LON, EDEPH) values "
        "('DM01', 'SHZ', 1, 0, 20, 42, 75, 0)");
    Workstation& ws = workstation();
    ws.phaseTypes().LoadNames((db().dir().path() / "none").string());  // the built-in table
    ws.phaseTypes().Data(0).hasTravelTimes = 1;                        // "P" may be defining
    return ws;
  }
  SEISMIC_PHASE Phase(int type, double time) {
    SEISMIC_PHASE p;
    p.phaseType = type;
    p.SetTime(time);
    return p;
  }
};

TEST_P(BulletinDatabaseTest, SavedEventLoadsBackAndAFailedLoadChangesNothing) {
  Workstation& ws = Prepared();
  CurrentEvent& e = ws.event();
  e.eventId = PadEventId("EV'1");
  e.eventComment = "Комментарий 'в кавычках'";
  e.originValid = 1;
  e.originLat = 42.5f;
  e.originLon = 74.25f;
  e.originDepth = 10;
  e.originTime = 1.7e9;
  e.eventMb = 4.5f;
  SEISMIC_PHASE p = Phase(0, 1.7e9 + 30);
  p.defining = 1;
  p.hasAmplitude = 1;
  p.amplitude = 0.5f;
  p.period = 1.0f;
  p.mb = 4.4f;
  p.distance = 3.5f;
  p.onset = 1;
  p.firstMotion = 6;
  ws.phases().Add(p);
  ws.phases().Add(Phase(1, 1.7e9 + 60));
  auto store = MakeSqlEventStore(ws);
  store->SaveEvent();
  ws.phases().RemoveAll();
  ws.event() = CurrentEvent();
  EXPECT_FALSE(store->LoadEvent("nothing"));
  EXPECT_EQ(ws.phases().Count(), 0);
  ASSERT_TRUE(store->LoadEvent("EV'1"));
  EXPECT_EQ(ws.event().eventComment, "Комментарий 'в кавычках'");
  EXPECT_FLOAT_EQ(ws.event().originLat, 42.5f);
  EXPECT_FLOAT_EQ(ws.event().eventMb, 4.5f);
  EXPECT_EQ(ws.event().originValid, 1);
  ASSERT_EQ(ws.phases().Count(), 2);
  const SEISMIC_PHASE* r = ws.phases().GetAt(0);
  EXPECT_DOUBLE_EQ(r->time, 1.7e9 + 30);
  EXPECT_EQ(r->onset, 1);
  EXPECT_EQ(r->firstMotion, 6);
  EXPECT_FLOAT_EQ(r->amplitude, 0.5f);
  EXPECT_FLOAT_EQ(r->mb, 4.4f);
  EXPECT_FLOAT_EQ(r->distance, 3.5f);
  EXPECT_EQ(r->defining, 1);
}

TEST_P(BulletinDatabaseTest, PeriodExportNumbersArrivalsOnAcrossEvents) {
  Workstation& ws = Prepared();
  auto store = MakeSqlEventStore(ws);
  for (int i = 0; i < 2; ++i) {
    ws.phases().RemoveAll();
    ws.event() = CurrentEvent();
    ws.event().eventId = PadEventId(StrFormat("E%d", i));
    ws.event().originValid = 1;
    ws.event().originDepth = 5;
    ws.event().originTime = 1.7e9 + i * 1000;
    SEISMIC_PHASE p = Phase(0, 1.7e9 + i * 1000 + 20);
    p.hasAmplitude = 1;
    p.amplitude = 0.25f;
    p.period = i == 0 ? 0.0f : 1.0f;  // without a period: no amplitude record
    ws.phases().Add(p);
    ws.phases().Add(Phase(1, 1.7e9 + i * 1000 + 40));
    store->SaveEvent();
  }
  const CssExportResult r =
      ExportFromDatabase(ws, *store, db().dir().path().string(), 1.7e9 - 10, 1.7e9 + 5000, 1.7e9);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.events, 2);
  EXPECT_EQ(r.arrivals, 4);
  const std::string base = (db().dir().path() / "20231114221310-20231114233640").string();
  const auto origins = test::Lines(test::TempDir::ReadFile(base + ".origin"));
  ASSERT_EQ(origins.size(), 2u);
  // Newest origin first; the event counter is the orid.
  EXPECT_EQ(SplitWords(origins[0])[3], "1700001000.00000");
  EXPECT_EQ(SplitWords(origins[0])[4], "1");
  EXPECT_EQ(SplitWords(origins[1])[4], "2");
  const auto arrivals = test::Lines(test::TempDir::ReadFile(base + ".arrival"));
  ASSERT_EQ(arrivals.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(SplitWords(arrivals[i])[2], std::to_string(i + 1));
  EXPECT_EQ(test::Lines(test::TempDir::ReadFile(base + ".amplitude")).size(), 1u);
}

// The bulletins and the phase list find each other's events: one padded
// identifier, one set of rows; a failed save is an error, not a success.
TEST_P(BulletinDatabaseTest, BulletinsAndPhaseListShareTheEvent) {
  Workstation& ws = Prepared();
  ws.event().eventId = "SHORT";  // as a bulletin reader names it
  ws.event().originValid = 1, ws.event().originDepth = 7, ws.event().originTime = 1.7e9;
  ws.phases().Add(Phase(0, 1.7e9 + 12));
  auto store = MakeSqlEventStore(ws);
  store->SaveEvent();
  EXPECT_EQ(ws.event().eventId, PadEventId("SHORT"));
  EXPECT_EQ(
      db().QueryValue("select count(*) from ORIGIN where EVENTID='" + PadEventId("SHORT") + "'"),
      "1");
  // The phase list loads it ...
  EventContext context = EventContextOf(ws);
  ws.phases().RemoveAll();
  ASSERT_TRUE(LoadEvent(context, "SHORT"));
  ASSERT_EQ(ws.phases().Count(), 1);
  // ... saves it again under the same identifier, and the bulletins read that.
  ws.phases().Add(Phase(1, 1.7e9 + 20));
  ASSERT_TRUE(SaveEvent(context).saved);
  EXPECT_EQ(db().QueryValue("select count(*) from ORIGIN"), "1");
  CurrentEvent read;
  std::vector<SEISMIC_PHASE> phases;
  ASSERT_TRUE(store->ReadEvent("SHORT", read, phases));
  EXPECT_EQ(phases.size(), 2u);
  EXPECT_EQ(read.eventId, PadEventId("SHORT"));
  EXPECT_FLOAT_EQ(read.originDepth, 7);
  EXPECT_EQ(store->LoadArrivals(store->EventsOfPeriod(1.7e9, 1.7e9 + 100).at(0)).size(), 2u);
  EXPECT_FALSE(store->ReadEvent("absent", read, phases));

  db().Exec("drop table ARRIVAL");
  EXPECT_THROW(store->SaveEvent(), odbc::Error);
  EXPECT_THROW(store->LoadArrivals("SHORT"), odbc::Error);
}

NUV_DATABASE_TEST_SUITE(BulletinDatabaseTest);

}  // namespace
}  // namespace nuv
