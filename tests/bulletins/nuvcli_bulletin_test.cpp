// The bulletin commands of nuvcli on a main database: an event written in
// every format, a bulletin listed, read and saved back, the period exports
// and the report.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "bulletins/event_store.h"
#include "bulletins/ims_writer.h"
#include "phases/current_event.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv {
namespace {

class NuvcliBulletinTest : public test::DatabaseTest {
 protected:
  // Runs nuvcli on the test database; the exit status, and standard output.
  int Run(const std::string& arguments, std::string& out) {
    std::string keys;
    for (const std::string& key : db().Keys()) keys += "'" + key + "' ";
    const auto outFile = db().dir().path() / "out.json";
    const std::string command = "NUV_CONFIG_DIR='" + db().settingsDir().string() + "' '" +
                                std::string(NUV_BINARY_DIR) + "/app/nuvcli' " + keys + arguments +
                                " >'" + outFile.string() + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    out = test::TempDir::ReadFile(outFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  nlohmann::json Json(const std::string& arguments) {
    std::string out;
    EXPECT_EQ(Run(arguments, out), 0) << arguments;
    return nlohmann::json::parse(out.empty() ? "null" : out);
  }
  std::string Path(const std::string& name) { return (db().dir().path() / name).string(); }

  // The station DM01 with one vertical channel.
  void AddDemoStation() {
    db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('DM01', 42, 75, 1, 1)");
    db().Exec(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LAT, LON, EDEPH) values "
        "('DM01', 'SHZ', 1, 0, 20, 42, 75, 0)");
  }

  void SaveDemoEvent() {
    AddDemoStation();
    Workstation& ws = workstation();
    ws.phaseTypes().LoadNames(Path("none"));
    ws.event().eventId = PadEventId("DEMO1");
    ws.event().eventComment = "Демо";
    ws.event().orid = 5;
    ws.event().originValid = 1;
    ws.event().originLat = 42.7f;
    ws.event().originLon = 74.6f;
    ws.event().originDepth = 15;
    ws.event().originTime = 1710483540.0;
    SEISMIC_PHASE p;
    p.SetTime(1710483600.5);
    p.hasAmplitude = 1;
    p.amplitude = 0.5f;
    p.period = 1;
    p.arid = 9;
    ws.phases().Add(p);
    MakeSqlEventStore(ws)->SaveEvent();
  }
};

TEST_P(NuvcliBulletinTest, WritesReadsAndReports) {
  SaveDemoEvent();
  for (const char* format : {"ims", "ims1", "arr", "hypo71", "kedro", "odr2", "quakeml", "css"}) {
    const auto j = Json(StrFormat("bulletin write %s --event DEMO1 --out '%s'", format,
                                  Path(std::string("out.") + format).c_str()));
    EXPECT_EQ(j["phases"], 1) << format;
    EXPECT_FALSE(test::TempDir::ReadFile(j["files"][0].get<std::string>()).empty()) << format;
  }
  EXPECT_TRUE(std::ifstream(Path("out.css.Arrival")).good())
      << test::TempDir::ReadFile(Path("out.json"));
  const auto events = Json("bulletin events ims '" + Path("out.ims") + "'");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0]["event"], "DEMO1");
  EXPECT_EQ(events[0]["comment"], "Демо");
  // Read back under another identifier and stored in the database.
  std::string text = test::TempDir::ReadFile(Path("out.ims"));
  text.replace(text.find("EVENT DEMO1"), 11, "EVENT DEMO2");
  std::ofstream(Path("copy.ims")) << text;
  const auto read = Json("bulletin read ims '" + Path("copy.ims") + "' --event DEMO2 --save");
  EXPECT_EQ(read["event"]["eventId"], "DEMO2");
  ASSERT_EQ(read["phases"].size(), 1u);
  EXPECT_EQ(read["phases"][0]["station"], "DM01");
  // Stored under the padded identifier, as the phase list stores and finds it.
  const std::string where = "EVENTID='" + PadEventId("DEMO2") + "'";
  EXPECT_EQ(db().QueryValue("select count(*) from ARRIVAL where " + where), "1");
  EXPECT_EQ(db().QueryValue("select count(*) from ORIGIN where " + where), "1");
  EXPECT_EQ(db().QueryValue("select count(*) from ARRIVAL where EVENTID='DEMO2'"), "0");
  const auto arr = Json("bulletin read arr '" + Path("out.arr") + "'");
  EXPECT_EQ(arr["phases"].size(), 1u);
  // The standard bulletin (event number = origin id) and the QuakeML export
  // come back under the event's own identifier; the QuakeML one is stored.
  const auto ims1 = Json("bulletin read ims '" + Path("out.ims1") + "' --event 5");
  EXPECT_EQ(ims1["event"]["eventId"], "DEMO1");
  EXPECT_EQ(ims1["phases"].size(), 1u);
  EXPECT_EQ(Json("bulletin events quakeml '" + Path("out.quakeml") + "'")[0]["event"], "DEMO1");
  const auto qml = Json("bulletin read quakeml '" + Path("out.quakeml") + "' --event DEMO1 --save");
  EXPECT_EQ(qml["event"]["comment"], "Демо");
  ASSERT_EQ(qml["phases"].size(), 1u);
  EXPECT_EQ(qml["phases"][0]["station"], "DM01");
  EXPECT_EQ(
      db().QueryValue("select count(*) from ARRIVAL where EVENTID='" + PadEventId("DEMO1") + "'"),
      "1");
  const auto period = Json("bulletin write quakeml --from 2024-03-15 --to 2024-03-16 --out '" +
                           Path("period.xml") + "'");
  EXPECT_EQ(period["events"], 2);
  const auto css = Json("bulletin write css --from 2024-03-15T00:00:00 --to 2024-03-16 --out '" +
                        db().dir().path().string() + "'");
  EXPECT_EQ(css["events"], 2);
  EXPECT_EQ(css["arrivals"], 2);
  const auto report =
      Json("report --from 2024-03-15 --to 2024-03-16 --phases --out '" + Path("r.html") + "'");
  EXPECT_EQ(report["events"], 2);
  std::string out;
  EXPECT_NE(Run("bulletin write ims --event NOPE --out '" + Path("x") + "'", out), 0);
  EXPECT_NE(Run("bulletin read ims '" + Path("missing") + "' --event 1", out), 0);
  EXPECT_NE(Run("bulletin write tiff --event DEMO1 --out '" + Path("x") + "'", out), 0);
  EXPECT_NE(Run("bulletin read quakeml '" + Path("out.ims") + "'", out), 0);  // not XML
}

// Two events of one day, each with a full-length identifier, go out as IMS
// bulletins and come back into an empty database as two events again.
TEST_P(NuvcliBulletinTest, BulletinsOfOneDayKeepTheirEventsApart) {
  AddDemoStation();
  Workstation& ws = workstation();
  ws.phaseTypes().LoadNames(Path("none"));
  const struct {
    const char* id;
    const char* comment;
    double time;
  } events[] = {{"20240315061900", "Кыргызстан, утро", 1710483540.0},
                {"20240315181205", "Кыргызстан, вечер", 1710526325.0}};
  for (const auto& e : events) {
    ws.phases().RemoveAll();
    ws.event().eventId = PadEventId(e.id);
    ws.event().eventComment = e.comment;
    ws.event().orid = 7;  // the same origin id in both files
    ws.event().originValid = 1;
    ws.event().originLat = 42.7f;
    ws.event().originLon = 74.6f;
    ws.event().originDepth = 10;
    ws.event().originTime = e.time;
    SEISMIC_PHASE p;
    p.SetTime(e.time + 30.5);
    p.arid = -2;  // no arrival id in the file
    ws.phases().Add(p);
    ASSERT_TRUE(WriteRebFile(SourceOf(ws), Path(std::string(e.id) + ".txt"), prompts));
  }
  for (const auto& e : events) {
    const auto listed = Json("bulletin events ims '" + Path(std::string(e.id) + ".txt") + "'");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0]["event"], e.id);
    EXPECT_EQ(listed[0]["comment"], e.comment);
    const auto read = Json("bulletin read ims '" + Path(std::string(e.id) + ".txt") + "' --save");
    EXPECT_EQ(read["event"]["eventId"], e.id);
  }
  EXPECT_EQ(db().QueryValue("select count(*) from ORIGIN"), "2");
  for (const auto& e : events) {
    const std::string where = "EVENTID='" + PadEventId(e.id) + "'";
    EXPECT_EQ(db().QueryValue("select count(*) from ARRIVAL where " + where), "1") << e.id;
    EXPECT_EQ(db().QueryValue("select COMMENTS from ORIGIN where " + where), e.comment) << e.id;
  }
}

NUV_DATABASE_TEST_SUITE(NuvcliBulletinTest);

}  // namespace
}  // namespace nuv
