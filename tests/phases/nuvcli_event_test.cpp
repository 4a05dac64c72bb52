// The event commands of nuvcli: new, save, load, list and delete on both
// databases, the CSS rows of repeated saves, the travel-time calculator and
// the theoretical phases of a station.

#include <gtest/gtest.h>

#include <filesystem>

#include "event_fixture.h"
#include "seismo/tables.h"
#include "support/nuvcli_run.h"

namespace nuv::test {
namespace {

class NuvcliEventTest : public CssEventTest {
 protected:
  void SetUp() override {
    EventTest::SetUp();
    if (IsSkipped()) return;
    // Stations in the database and the straight-ray P and S as the travel-time
    // set of the home directory (nuvcli lives elsewhere).
    db().Ini().WriteString("NUV", "DIR", db().homeDir());
    Ready();
    WriteStraightRaySet(db().dir());
    std::filesystem::create_directories(db().homeDir() + "phases");
    for (const char* name : {"phaselist", "P", "S"})
      std::filesystem::copy_file(db().dir().path() / name, db().homeDir() + "phases/" + name,
                                 std::filesystem::copy_options::overwrite_existing);
  }
  CliRun Run(const std::string& args) { return Nuvcli(db(), Keys(db()) + args); }
  std::string WriteEvent(const nlohmann::json& event) {
    db().dir().WriteFile("event.json", event.dump());
    return "'" + (db().dir().path() / "event.json").string() + "'";
  }
};

TEST_P(NuvcliEventTest, NewSaveLoadListDelete) {
  CliRun run = Run("event new EV7 --comment 'first look'");
  ASSERT_EQ(run.status, 0) << run.out;
  const int orid = Json(run)["orid"];
  EXPECT_GE(orid, 1);
  EXPECT_EQ(Run("event new EV7").status, 1);
  EXPECT_NE(ErrorText(Run("event new EV7")).find("Даннный идентификатор уже существует"),
            std::string::npos);

  nlohmann::json s = {
      {"station", "BBB"}, {"channel", "SHZ"}, {"phase", "S"}, {"time", 1e9 + 60.25}};
  nlohmann::json p = {{"station", "AAA"},   {"channel", "BHZ"}, {"phase", "P"},
                      {"time", 1e9 + 30.5}, {"onset", "I"},     {"firstMotion", "D"},
                      {"weight", 1},        {"defining", 1},    {"hasAmplitude", 1},
                      {"amplitude", 3.5},   {"period", 0.5},    {"mb", 4.2},
                      {"remark", "clear"}};
  nlohmann::json origin = {
      {"valid", true}, {"lat", 42.7}, {"lon", 74.6}, {"depth", 15}, {"time", 1e9}};
  nlohmann::json event = {{"eventId", "EV7"}, {"comment", "two phases"}, {"origin", origin}};
  event["phases"] = nlohmann::json::array({s, p});
  const std::string file = WriteEvent(event);
  for (int save = 0; save < 2; ++save) {
    run = Run("event save " + file);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Json(run)["css"], "saved");
    EXPECT_EQ(Json(run)["orid"], orid);  // the stored event keeps its orid
  }
  EXPECT_EQ(CountCss("select count(*) from origin"), 1);
  EXPECT_EQ(CountCss("select count(*) from arrival"), 2);
  EXPECT_EQ(CountCss("select count(*) from assoc"), 2);
  EXPECT_EQ(Count("select count(*) from ORIGIN"), 1);

  run = Run("event load EV7");
  ASSERT_EQ(run.status, 0) << run.out;
  const nlohmann::json loaded = Json(run);
  EXPECT_EQ(loaded["eventId"], "EV7");
  EXPECT_EQ(loaded["comment"], "two phases");
  EXPECT_EQ(loaded["origin"]["valid"], true);
  ASSERT_EQ(loaded["phases"].size(), 2u);
  const nlohmann::json& first = loaded["phases"][0];  // list order: P is earlier
  EXPECT_EQ(first["phase"], "P");
  EXPECT_DOUBLE_EQ(first["time"].get<double>(), 1e9 + 30.5);
  EXPECT_EQ(first["onset"], "I");
  EXPECT_EQ(first["firstMotion"], "D");
  EXPECT_EQ(first["defining"], 1);
  EXPECT_FLOAT_EQ(first["amplitude"].get<float>(), 3.5f);
  EXPECT_EQ(first["remark"], "clear");
  EXPECT_GE(first["arid"].get<int>(), 1);
  EXPECT_EQ(loaded["phases"][1]["station"], "BBB");

  ASSERT_EQ(Run("event new EV8").status, 0);
  run = Run("event list --last 1");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Json(run).size(), 1u);
  EXPECT_EQ(Json(Run("event list")).size(), 2u);
  EXPECT_EQ(Run("event list --last 0").status, 1);

  EXPECT_EQ(Run("event delete EV7").status, 1);  // without --yes nothing happens
  EXPECT_EQ(Run("event delete NOPE --yes").status, 1);
  ASSERT_EQ(Run("event delete EV7 --yes").status, 0);
  EXPECT_EQ(Count("select count(*) from ARRIVAL"), 0);
  EXPECT_EQ(CountCss("select count(*) from origin"), 0);
  EXPECT_EQ(Run("event load EV7").status, 1);
}

TEST_P(NuvcliEventTest, BadEventFilesAreRefused) {
  const nlohmann::json cases[] = {
      {{"comment", "no identifier"}},
      {{"eventId", "E"}, {"phases", {{{"station", "QQQ"}, {"channel", "SHZ"}, {"phase", "P"}}}}},
      {{"eventId", "E"}, {"phases", {{{"station", "AAA"}, {"channel", "XXX"}, {"phase", "P"}}}}},
      {{"eventId", "E"}, {"phases", {{{"station", "AAA"}, {"channel", "BHZ"}, {"phase", "Q"}}}}},
      {{"eventId", "E"},
       {"phases", {{{"station", "AAA"}, {"channel", "BHZ"}, {"phase", "P"}, {"weight", 9}}}}},
      {{"eventId", "E"}, {"phases", {{{"station", "AAA"}, {"channel", "BHZ"}, {"time", "x"}}}}},
  };
  for (const nlohmann::json& c : cases) {
    const CliRun run = Run("event save " + WriteEvent(c));
    EXPECT_EQ(run.status, 1) << c.dump() << run.out;
  }
  EXPECT_EQ(Count("select count(*) from ORIGIN"), 0);
}

TEST_P(NuvcliEventTest, CalculatorAndTheoreticalPhases) {
  CliRun run = Run("tt-calc P 0 10");
  ASSERT_EQ(run.status, 0) << run.out;
  const double t = StraightRayTime(0, 10, kVp);
  const std::string expected =
      "Время пробега=00:" + std::string(t < 600 ? "0" : "") + std::to_string(int(t) / 60) + ":";
  EXPECT_EQ(Json(run)["text"].get<std::string>().substr(0, expected.size()), expected);
  run = Run("tt-calc PKP 0 10");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(ErrorText(run).find("В системе отсутствует годограф PKP"), std::string::npos);

  run = Run("theoretical --origin 42.5 76.5 25 1000 --station AAA --phases P,S");
  ASSERT_EQ(run.status, 0) << run.out;
  const nlohmann::json out = Json(run);
  ASSERT_EQ(out["phases"].size(), 2u);
  const double d = out["distance"];
  EXPECT_NEAR(d, 1.47, 0.05);
  // Depth 25 km is a node of the table: only the distance spline interpolates.
  EXPECT_NEAR(out["phases"][0]["time"].get<double>(), 1000 + StraightRayTime(25, d, kVp), 0.05);
  EXPECT_NEAR(out["phases"][1]["time"].get<double>(), 1000 + StraightRayTime(25, d, kVs), 0.05);
  // A phase without travel times is named; the others are given all the same.
  run = Run("theoretical --origin 42.5 76.5 25 1000 --station AAA --phases P,tx,S");
  ASSERT_EQ(run.status, 0) << ErrorText(run);
  EXPECT_EQ(Json(run)["phases"].size(), 2u);
  EXPECT_EQ(Json(run)["missing"], nlohmann::json::array({"tx"}));
  EXPECT_EQ(Json(run)["message"], "Нет данных годографа для фаз: tx.");
  run = Run("theoretical --origin 42.5 76.5 25 1000 --station AAA --phases tx");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(ErrorText(run).find("Нет данных годографа для фаз: tx."), std::string::npos);
  EXPECT_EQ(Run("theoretical --origin 42.5 76.5 10 1000 --station ZZZ").status, 1);
  EXPECT_EQ(Run("theoretical --origin 95 76.5 10 1000 --station AAA").status, 1);
  EXPECT_EQ(Run("theoretical --station AAA").status, 1);
}

NUV_DATABASE_TEST_SUITE(NuvcliEventTest);

}  // namespace
}  // namespace nuv::test
