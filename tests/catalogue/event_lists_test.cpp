// The event lists of the main and secondary databases, the detections
// offered as phases and the load of a secondary-database event.

#include "catalogue/event_lists.h"

#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/arrival_import.h"
#include "catalogue/catalogue_fixture.h"
#include "catalogue/secondary_event_load.h"
#include "db/dialect.h"

namespace nuv {
namespace {

constexpr double kT0 = 1.7e9;  // 2023-11-14 22:13:20 UTC

class EventListsTest : public test::CatalogueTest {};

TEST_P(EventListsTest, ProcessedEventsSkipNullTextsAndKeepOtherCells) {
  Workstation& ws = Prepared();
  MainEvent("E1", "Первое", "NULL", kT0, kT0 + 30);  // no latitude: an empty cell
  MainEvent("E2", nullptr, "42", kT0, kT0 + 40);     // no comment: not listed
  MainEvent("E3", "Третье", "42.5", kT0 + 100, kT0 + 130);
  MainEvent("E4", "Вне", "42", kT0 - 1e6, kT0 - 1e6);  // outside the range
  const auto rows = ReadProcessedEvents(ws, kT0, kT0 + 1000);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].eventId, "E3");  // latest arrival first
  EXPECT_EQ(rows[1].eventId, "E1");
  EXPECT_EQ(rows[1].lat, "");
  EXPECT_EQ(rows[1].lon, "74.250");
  EXPECT_EQ(rows[1].originTime, "14/11/2023 22:13:20");
  EXPECT_EQ(rows[1].lddate, "15/03/2024 10:20:30");
  EXPECT_EQ(rows[1].orid, "7");
  EXPECT_EQ(RowOfEvent(rows, "e1   "), 1);
  EXPECT_EQ(RowOfEvent(rows, "   "), -1);
  EXPECT_EQ(RowOfEvent(rows, "E9"), -1);
  // A broken database is the caller's to show.
  db().Exec("drop table ARRIVAL");
  EXPECT_THROW(ReadProcessedEvents(ws, kT0, kT0 + 1000), odbc::Error);
}

TEST_P(EventListsTest, SecondaryOriginsHonourTheCountAndSkipIncompleteRows) {
  Workstation& ws = Prepared();
  for (long orid = 1; orid <= 5; ++orid)
    CssOrigin("origin", orid, "3", "4.5", kT0 + static_cast<double>(orid));
  OriginChoice choice{false, 2};
  auto rows = ReadCssOrigins(ws, choice);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].orid, "5");  // newest time among equal change dates
  EXPECT_EQ(rows[0].lat, "1.500");
  EXPECT_EQ(rows[0].lddate, "10:20:30 15/03/2024");
  EXPECT_EQ(ReadCssOrigins(ws, {true, 2}).size(), 5u);

  CssOrigin("origin_alert", 11, "4", "-12", kT0);   // mb below -10: blank
  CssOrigin("origin_alert", 12, "NULL", "4", kT0);  // no nass: skipped
  CssOrigin("origin_alert", 13, "6", "4.25", kT0 + 60);
  const auto alerts = ReadAlertOrigins(ws, {true, 20});
  ASSERT_EQ(alerts.size(), 2u);
  EXPECT_EQ(alerts[0].orid, "13");
  EXPECT_EQ(alerts[0].mb, "4.2");
  EXPECT_EQ(alerts[1].mb, " ");
  EXPECT_EQ(ReadAlertOrigins(ws, {false, 1}).size(), 1u);
  db().ExecCss("drop table origin_alert");
  EXPECT_THROW(ReadAlertOrigins(ws, {true, 20}), odbc::Error);
}

TEST_P(EventListsTest, DetectionsGetResidualsAndOnlyKnownOnesBecomePhases) {
  Workstation& ws = Prepared();
  db().ExecCss(
      "create table ALERT (NET varchar(8), STA varchar(6), TIME float, PHASE varchar(8), AMP "
      "float, PER float)");
  // KUR is 10 degrees away: P at +150 s, PKiKP at +1000 s.
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'KUR', %.3f, 'N', 250, 0.5)", kT0 + 154));
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'KUR', %.3f, 'N', 0, 0)", kT0 + 500));
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'XXX', %.3f, 'P', 0, 0)", kT0 + 10));
  db().ExecCss(StrFormat("insert into ALERT values ('KZ', 'ARU', %.3f, 'S', 0, 0)", kT0 + 20));
  db().ExecCss("insert into ALERT values ('KZ', 'KUR', NULL, 'P', 0, 0)");
  Origin(ws, kT0);
  auto rows = ReadAlertArrivals(ws, kT0, kT0 + 3600);
  ASSERT_EQ(rows.size(), 4u);     // the row without a time is left out
  EXPECT_EQ(rows[0].phase, "N");  // 346 s from P, 500 s from PKiKP: stays N
  EXPECT_FALSE(rows[0].checked);
  EXPECT_EQ(rows[1].phase, "P");
  EXPECT_NEAR(rows[1].residual, 4.0, 1e-3);
  EXPECT_TRUE(rows[1].checked);
  EXPECT_FALSE(ResidualShown(rows[2].residual));  // S has no table
  EXPECT_EQ(rows[3].residual, kNoResidual);       // unknown station

  // Every row checked by hand: XXX and ARU (no channel in 0..14) add nothing.
  for (ImportRow& r : rows) r.checked = true;
  rows[0].phase = "PKiKP";
  EXPECT_EQ(AddImportedPhases(ws, rows), 2);
  ASSERT_EQ(ws.phases().Count(), 2);
  const SEISMIC_PHASE* p = ws.phases().GetAt(0);
  ASSERT_NE(p, nullptr);
  EXPECT_DOUBLE_EQ(p->time, kT0 + 154);
  EXPECT_FLOAT_EQ(p->amplitude, 0.25f);
  EXPECT_DOUBLE_EQ(p->ampTime, kT0 + 154.5);
  EXPECT_EQ(p->deltim, 2.0);
  EXPECT_EQ(ws.phases().GetAt(1)->hasAmplitude, 0);

  // Without a valid origin every residual is -1: ALERT keeps PKiKP on the tie,
  // EVENTLIST takes P.
  ws.event().originValid = 0;
  rows = ReadAlertArrivals(ws, kT0, kT0 + 3600);
  EXPECT_EQ(rows[0].phase, "PKiKP");
  EXPECT_TRUE(rows[0].checked);
  db().Exec(StrFormat("insert into EVENTLIST (STA, TBEGIN) values ('KUR', %.3f)", kT0 + 5));
  db().Exec(StrFormat("insert into EVENTLIST (STA, TBEGIN) values ('KUR', %.3f)", kT0 + 60));
  const auto detections = ReadEventListDetections(ws, kT0, kT0 + 60);  // end excluded
  ASSERT_EQ(detections.size(), 1u);
  EXPECT_EQ(detections[0].phase, "P");
  EXPECT_EQ(detections[0].residual, -1);
  db().ExecCss("drop table ALERT");
  EXPECT_THROW(ReadAlertArrivals(ws, kT0, kT0 + 3600), odbc::Error);
}

TEST_P(EventListsTest, SecondaryEventLoadsWholeOrNotAtAll) {
  Workstation& ws = Prepared();
  CssOrigin("origin", 21, "2", "4.5", kT0);
  db().ExecCss(StrFormat(
      "insert into arrival (sta, chan, iphase, time, deltim, arid, azimuth, amp, per, fm, qual) "
      "values ('KUR', 'shz', 'P', %.3f, 0.5, 1, 270, 250, 0.5, 'c', 'i')",
      kT0 + 150));
  db().ExecCss(StrFormat(
      "insert into arrival (sta, chan, iphase, time, arid) values ('XXX', 'SHZ', 'P', %.3f, 2)",
      kT0 + 160));
  db().ExecCss("insert into assoc (arid, orid) values (1, 21)");
  db().ExecCss("insert into assoc (arid, orid) values (2, 21)");
  SEISMIC_PHASE old;
  old.phaseType = 2;
  old.SetTime(kT0);
  ws.phases().Add(old);
  EXPECT_EQ(LoadSecondaryEvent(ws, SecondaryTables::Css, 21), 1);
  ASSERT_EQ(ws.phases().Count(), 1);
  const SEISMIC_PHASE& p = *ws.phases().GetAt(0);
  EXPECT_EQ(p.phaseType, 0);
  EXPECT_FLOAT_EQ(p.azimuth, -90);
  EXPECT_EQ(p.firstMotion, 5);
  EXPECT_EQ(p.onset, 1);
  EXPECT_FLOAT_EQ(p.amplitude, 0.25f);
  EXPECT_EQ(ws.event().originValid, 1);
  EXPECT_FLOAT_EQ(ws.event().originDepth, 33);
  EXPECT_FLOAT_EQ(ws.event().eventMb, 4.5f);
  EXPECT_EQ(ws.event().orid, 21);

  // The automatic tables: a failing statement leaves the event as it was.
  db().ExecCss("drop table stamag_alert");
  EXPECT_THROW(LoadSecondaryEvent(ws, SecondaryTables::Alert, 21), odbc::Error);
  EXPECT_EQ(ws.phases().Count(), 1);
  EXPECT_EQ(ws.event().orid, 21);
}

NUV_DATABASE_TEST_SUITE(EventListsTest);

TEST(EventListQueries, RangesAndDialectForms) {
  // 10:00 UTC: from 00:00 today to 10:00 tomorrow.
  const double ten = 1710496800;  // 2024-03-15 10:00:00 UTC
  const TimeRange day = LastDayRange(ten + 0.75);
  EXPECT_DOUBLE_EQ(day.from, ten - 36000);
  EXPECT_DOUBLE_EQ(day.to, ten + 86400);
  const TimeRange week = LastWeekRange(ten);
  EXPECT_DOUBLE_EQ(std::fmod(week.from, 604800.0), 0);
  EXPECT_LE(week.from, ten);
  EXPECT_NE(AlertOriginsQuery(kDialectPostgres, 5).find("limit 5"), std::string::npos);
  EXPECT_EQ(AlertOriginsQuery(kDialectPostgres, 5).find("top"), std::string::npos);
  EXPECT_NE(AlertOriginsQuery(kDialectMySql, 5).find("limit 0,5"), std::string::npos);
  EXPECT_NE(AlertOriginsQuery(kDialectOracle, 5).find("rownum<=5"), std::string::npos);
  EXPECT_EQ(AlertOriginsQuery(kDialectAccess, 5).rfind("select top 5 ", 0), 0u);
  EXPECT_EQ(AlertOriginsQuery(kDialectOracle, 0).find("rownum"), std::string::npos);
  const std::string mysql = ProcessedEventsQuery(kDialectMySql, "ORIGIN.COMMENTS", 1, 2);
  EXPECT_NE(mysql.find("group by ORIGIN.ORID, ORIGIN.EVENTID"), std::string::npos);
  const std::string oracle = ProcessedEventsQuery(kDialectOracle, "ORIGIN.COMMENTS", 1, 2);
  EXPECT_NE(oracle.find("group by ORIGIN.ORID, ORIGIN.COMMENTS, ORIGIN.EVENTID"),
            std::string::npos);
  EXPECT_NE(SecondaryArrivalsQuery(SecondaryTables::Alert, 3, kDialectOracle).find("(+)"),
            std::string::npos);
  EXPECT_EQ(SecondaryArrivalsQuery(SecondaryTables::Alert, 3, kDialectSqlite).find("(+)"),
            std::string::npos);
}

TEST(EventListQueries, StampsAndDatesAreReadSafely) {
  EXPECT_EQ(StampText("2024-03-15 10:20:30.250"), "15/03/2024 10:20:30");
  EXPECT_EQ(StampText("2024-03-15 10:20:30", true), "10:20:30 15/03/2024");
  EXPECT_EQ(StampText("2024-03-15"), "15/03/2024 00:00:00");
  EXPECT_EQ(StampText("вчера"), "вчера");
  EXPECT_EQ(StampText("2024-13-15 10:20:30"), "2024-13-15 10:20:30");
  EXPECT_EQ(StampText(""), "");
  EXPECT_EQ(ListDateText(59.7), "01/01/1970 00:01:00");  // never "00:00:60"
  EXPECT_EQ(ListDateText(-86400), "31/12/1969 00:00:00");
}

TEST(EventListQueries, OriginChoiceSurvivesBadProfileValues) {
  test::TempDir dir;
  ProfileFile ini(dir.path() / "NUV.INI");
  OriginChoice choice = ReadOriginChoice(ini);
  EXPECT_TRUE(choice.loadAll);
  EXPECT_EQ(choice.maxEvents, 20);
  ini.WriteString("SelectOridGroup", "MaxEvents", "5000");
  ini.WriteString("SelectOridGroup", "SELECT ALL", "0");
  choice = ReadOriginChoice(ini);
  EXPECT_FALSE(choice.loadAll);
  EXPECT_EQ(choice.maxEvents, 20);
  WriteOriginChoice(ini, {false, 7});
  EXPECT_EQ(ReadOriginChoice(ini).maxEvents, 7);
  EXPECT_EQ(ini.GetString("SelectOridGroup", "SELECT ALL", "", 16), "0");
}

}  // namespace
}  // namespace nuv

namespace nuv {
namespace {

TEST(ImportWindow, FollowsTheOriginThenThePhasesThenTheClock) {
  test::TempDir dir;
  ScriptedPrompts prompts;
  Config config;
  config.settingsDir = dir.path();
  Workstation ws(config, prompts);
  ImportWindow w = DefaultImportWindow(ws, 5000);
  EXPECT_DOUBLE_EQ(w.from, 1400);
  EXPECT_DOUBLE_EQ(w.to, 5000);
  SEISMIC_PHASE late, early;
  late.phaseType = 1, early.phaseType = 2;
  late.SetTime(kT0 + 60);
  early.SetTime(kT0 - 30);
  ws.phases().Add(late);
  ws.phases().Add(early);
  w = DefaultImportWindow(ws, 5000);
  EXPECT_DOUBLE_EQ(w.from, kT0 - 1830);
  EXPECT_DOUBLE_EQ(w.to, kT0 + 1770);
  ws.event().originValid = 1;
  ws.event().originTime = kT0;
  w = DefaultImportWindow(ws, 5000);
  EXPECT_DOUBLE_EQ(w.from, kT0);
  EXPECT_DOUBLE_EQ(w.to, kT0 + 3600);
  // Residuals without any table or station never pass as fitting.
  EXPECT_EQ(ImportResidual(ws, "KUR", "P", kT0), kNoResidual);
  std::vector<ImportRow> rows(3);
  rows[0].station = "B", rows[0].residual = -20;
  rows[1].station = "A", rows[1].residual = 3;
  rows[2].station = "C", rows[2].residual = -1;
  SortImportRows(rows, 0);
  EXPECT_EQ(rows[0].station, "A");
  SortImportRows(rows, 3);  // by the size of the residual
  EXPECT_EQ(rows[0].station, "C");
  EXPECT_EQ(rows[2].station, "B");
}

}  // namespace
}  // namespace nuv
