// Saving the current event to ORIGIN and ARRIVAL and loading it back, the
// NULL rules of both directions, a save that fails half-way, starting,
// listing and deleting events.

#include <gtest/gtest.h>

#include "event_fixture.h"
#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"

namespace nuv::test {
namespace {

class EventStoreTest : public EventTest {
 protected:
  void SetUp() override {
    EventTest::SetUp();
    if (IsSkipped()) return;
    Ready();
    workstation().config().localLastId = true;
  }
  CurrentEvent& Event() { return workstation().event(); }
  NUVPhases& Phases() { return workstation().phases(); }
};

TEST_P(EventStoreTest, SaveClearLoadGivesTheSamePhasesAndOrigin) {
  Event().eventId = PadEventId("EV-1");
  Event().eventComment = "first try";
  Event().originValid = 1;
  Event().originLat = 42.7f;
  Event().originLon = 74.6f;
  Event().originDepth = 15;
  Event().originTime = 1710483540.5;
  Event().eventMb = 4.4f;
  Event().eventMbUnc = 0.2f;
  AddRichAndBarePhases();
  SEISMIC_PHASE pn = Phase(0, 1, 2, 1710483550);
  pn.defining = 1;  // Pn has no table here: it cannot stay defining
  Phases().Add(pn);
  const std::vector<SEISMIC_PHASE> saved(Phases().begin(), Phases().end());
  EventContext context = Context();
  const SaveOutcome outcome = SaveEvent(context);
  ASSERT_TRUE(outcome.saved) << outcome.error;
  EXPECT_EQ(outcome.css, SaveOutcome::Css::NotTried);
  EXPECT_GE(Event().orid, 1);
  EXPECT_EQ(Count("select count(*) from ARRIVAL"), 3);

  Phases().RemoveAll();
  Event() = CurrentEvent{};
  ASSERT_TRUE(LoadEvent(context, "EV-1"));
  EXPECT_EQ(Event().eventId, PadEventId("EV-1"));
  EXPECT_EQ(Event().eventComment, "first try");
  EXPECT_EQ(Event().originValid, 1);
  EXPECT_FLOAT_EQ(Event().originLat, 42.7f);
  EXPECT_DOUBLE_EQ(Event().originTime, 1710483540.5);
  EXPECT_FLOAT_EQ(Event().eventMb, 4.4f);
  EXPECT_FLOAT_EQ(Event().eventMs, kNoMagnitude);
  ASSERT_EQ(Phases().Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const SEISMIC_PHASE& a = saved[static_cast<size_t>(i)];
    const SEISMIC_PHASE& b = *Phases().GetAt(i);
    SCOPED_TRACE(i);
    EXPECT_TRUE(a.SameTriple(b));
    EXPECT_DOUBLE_EQ(a.time, b.time);
    EXPECT_EQ(a.hundredths, b.hundredths);
    EXPECT_EQ(a.onset, b.onset);
    EXPECT_EQ(a.firstMotion, b.firstMotion);
    EXPECT_EQ(a.weight, b.weight);
    EXPECT_EQ(a.arid, b.arid);
    EXPECT_EQ(a.hasAmplitude, b.hasAmplitude);
    EXPECT_FLOAT_EQ(a.amplitude * a.hasAmplitude, b.amplitude * b.hasAmplitude);
    EXPECT_EQ(a.hasResidual, b.hasResidual);
    EXPECT_EQ(a.hasPolarization, b.hasPolarization);
    EXPECT_FLOAT_EQ(a.distance, b.distance);
    EXPECT_FLOAT_EQ(a.mb, b.mb);
    EXPECT_FLOAT_EQ(a.ml, b.ml);
    EXPECT_DOUBLE_EQ(a.coda, b.coda);
    EXPECT_EQ(a.remark, b.remark);
    EXPECT_EQ(a.pFilType, b.pFilType);
    EXPECT_EQ(a.defining && a.phaseType != 2, b.defining != 0);
  }
  const SEISMIC_PHASE& rich = *Phases().Find(0, 0, 0);
  EXPECT_DOUBLE_EQ(rich.ampTime, 1710483556.5);
  EXPECT_FLOAT_EQ(rich.rectilinearity, 0.8f);
  EXPECT_EQ(rich.chanType, "SP");
  // A load starts a new history: nothing of the earlier event comes back.
  EXPECT_FALSE(Phases().CanUndo());
}

TEST_P(EventStoreTest, NullRulesOfSaveAndLoad) {
  Event().eventId = PadEventId("EV-NULL");
  Event().originDepth = -1;
  Event().eventMb = Event().eventMs = kNoMagnitude;
  Phases().Add(Phase(0, 0, 0, 1000.0));
  SEISMIC_PHASE idle = Phase(1, 0, 1, 1010.0);
  idle.active = 0;  // never written
  Phases().Add(idle);
  EventContext context = Context();
  ASSERT_TRUE(SaveEvent(context).saved);
  EXPECT_EQ(Count("select count(*) from ORIGIN where LAT is null and LON is null and DEPTH is "
                  "null and ORIGINTIME is null and MB is null and MBUNC is null and MS is null"),
            1);
  EXPECT_EQ(Count("select count(*) from ARRIVAL where AMPL is null and PER is null and DIST is "
                  "null and MB is null and RESIDUALS is null and AZIMUTH is null and CODA is null"),
            1);
  // Rows the station table or the phase vocabulary cannot place are
  // skipped; the old null marker of DIST reads as no distance.
  db().Exec("insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, FLAG, WGT) values ('" +
            Event().eventId + "', 'ZZZ', 'BHZ', 'P', 1001, 0, 1)");
  db().Exec("insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, FLAG, WGT) values ('" +
            Event().eventId + "', 'AAA', 'BHZ', 'PKPxx', 1002, 0, 1)");
  db().Exec("insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, FLAG, WGT, DIST) values ('" +
            Event().eventId + "', 'BBB  ', 'SHZ', 'Pn', 1003, 0, 1, 1246576928.0)");
  ASSERT_TRUE(LoadEvent(context, "EV-NULL"));
  ASSERT_EQ(Phases().Count(), 2);
  EXPECT_EQ(Event().originValid, 0);
  EXPECT_FLOAT_EQ(Event().originLat, 45.0f);
  EXPECT_FLOAT_EQ(Event().originDepth, -1);
  EXPECT_FLOAT_EQ(Phases().Find(1, 0, 2)->distance, -1);
  EXPECT_EQ(Phases().Find(0, 0, 0)->hasAmplitude, 0);
}

// Refuses every ARRIVAL row of phase S, so a save dies after it has
// already deleted the event's old rows.
void InstallRefusingTrigger(TestDatabase& db) {
  if (db.backend() == DbBackend::Sqlite) {
    db.Exec(
        "CREATE TRIGGER refuse_s BEFORE INSERT ON ARRIVAL WHEN NEW.IPHASE = 'S' BEGIN "
        "SELECT RAISE(ABORT, 'refused by trigger'); END");
    return;
  }
  db.Exec(
      "CREATE FUNCTION refuse_s() RETURNS trigger AS $$ BEGIN IF NEW.iphase = 'S' THEN "
      "RAISE EXCEPTION 'refused by trigger'; END IF; RETURN NEW; END $$ LANGUAGE plpgsql");
  db.Exec(
      "CREATE TRIGGER refuse_s BEFORE INSERT ON arrival FOR EACH ROW EXECUTE PROCEDURE "
      "refuse_s()");
}

TEST_P(EventStoreTest, FailedSaveLeavesThePreviousSaveWhole) {
  Event().eventId = PadEventId("EV-FAIL");
  Event().eventComment = "good";
  Phases().Add(Phase(0, 0, 0, 2000.0));
  EventContext context = Context();
  ASSERT_TRUE(SaveEvent(context).saved);
  InstallRefusingTrigger(db());
  Event().eventComment = "bad";
  Phases().Add(Phase(1, 0, 1, 2010.0));
  prompts.records.clear();
  const SaveOutcome outcome = SaveEvent(context);
  EXPECT_FALSE(outcome.saved);
  EXPECT_NE(outcome.error.find("refused by trigger"), std::string::npos) << outcome.error;
  ASSERT_EQ(prompts.MessageTexts().size(), 1u);
  EXPECT_EQ(prompts.MessageTexts()[0], outcome.error);
  EXPECT_EQ(db().QueryValue("select COMMENTS from ORIGIN"), "good");
  EXPECT_EQ(Count("select count(*) from ORIGIN"), 1);
  EXPECT_EQ(Count("select count(*) from ARRIVAL where IPHASE='P'"), 1);
  // The connection is back in auto-commit and usable: a later save works.
  Phases().Remove(1, 0, 1);
  EXPECT_TRUE(SaveEvent(context).saved);
  EXPECT_EQ(db().QueryValue("select COMMENTS from ORIGIN"), "bad");
}

TEST_P(EventStoreTest, NewEventRefusesATakenIdentifierAndListDeleteWork) {
  EventContext context = Context();
  Phases().Add(Phase(0, 0, 0, 10.0));
  ASSERT_EQ(NewEvent(context, "20240315061900", "quarry?"), NewEventResult::Created);
  EXPECT_EQ(Event().eventId, "20240315061900      ");
  EXPECT_EQ(Event().eventComment, "quarry?");
  EXPECT_GE(Event().orid, 1);
  EXPECT_EQ(Phases().Count(), 0);
  EXPECT_FALSE(Phases().CanUndo());
  EXPECT_EQ(NewEvent(context, "20240315061900", "again"), NewEventResult::Exists);
  EXPECT_EQ(prompts.MessageTexts().back(), kEventExists);
  EXPECT_EQ(NewEvent(context, "O'Brien", "", false), NewEventResult::Created);
  EXPECT_EQ(Event().eventId, "20240315061900      ");  // not made current

  std::vector<StoredEvent> all = ListEvents(context, 0);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(ListEvents(context, 1).size(), 1u);
  Phases().Add(Phase(0, 0, 0, 10.0));
  ASSERT_TRUE(SaveEvent(context).saved);
  EXPECT_EQ(Count("select count(*) from ORIGIN"), 2);  // the save replaced the new row
  ASSERT_TRUE(DeleteEvent(context, "20240315061900", Event().orid));
  all = ListEvents(context, 0);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].eventId.substr(0, 7), "O'Brien");
  EXPECT_EQ(Count("select count(*) from ARRIVAL"), 0);
}

TEST(EventListQuery, OneFormPerDialect) {
  EXPECT_EQ(EventListQuery(4, "COMMENTS", 5),
            "select EVENTID, LAT, LON, DEPTH, ORIGINTIME, LDDATE, COMMENTS,ORID from ORIGIN order "
            "by LDDATE desc, ORIGINTIME desc LIMIT 5");
  EXPECT_EQ(EventListQuery(1, "COMMENT", 3).substr(0, 13), "select TOP 3 ");
  EXPECT_NE(EventListQuery(2, "COMMENTS", 7).find("where rownum <=7"), std::string::npos);
  EXPECT_EQ(EventListQuery(5, "COMMENTS", 0).find("LIMIT"), std::string::npos);
}

NUV_DATABASE_TEST_SUITE(EventStoreTest);

}  // namespace
}  // namespace nuv::test
