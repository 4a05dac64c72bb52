// The seismological computations on a workstation connected to a database:
// the station table from SITE and SITECHAN feeds the location, and the
// region tables name the epicentre.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/strformat.h"
#include "seismo/hypocentre_report.h"
#include "seismo/location.h"
#include "seismo/region.h"
#include "support/nuvcli_run.h"
#include "support/test_database.h"
#include "tables.h"
#include "traveltime/travel_time.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

class SeismoDatabaseTest : public test::DatabaseTest {
 protected:
  // Six stations whose vertical sensors stand 0.01° north of the station,
  // and straight-ray P and S tables in the home directory's "phases".
  void AddStationsAndTables();
  // P and S at every station from an event at (lat, lon, depth, t0); the
  // time at station s is shifted by noise(s) seconds.
  void AddPhases(Workstation& ws, double lat, double lon, double depth, double t0,
                 double (*noise)(int));
};

void SeismoDatabaseTest::AddStationsAndTables() {
  const float positions[][2] = {{43.1f, 79.0f}, {41.0f, 80.5f}, {44.9f, 76.0f},
                                {39.8f, 74.2f}, {42.0f, 84.5f}, {46.5f, 81.3f}};
  for (int i = 0; i < 6; ++i) {
    db().Exec(StrFormat(
        "insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('S%d', %.2f, %.2f, 1, 1)", i,
        positions[i][0], positions[i][1]));
    // The vertical sensor stands a little apart from the station's reference point.
    db().Exec(StrFormat(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LAT, LON, EDEPH) values "
        "('S%d', 'SHZ', 1, 0, 40, %.2f, %.2f, 0)",
        i, positions[i][0] + 0.01, positions[i][1]));
  }
  // The default travel-time directory: "phases" of the home directory.
  const test::TempDir& dir = db().dir();
  test::WriteStraightRaySet(dir);
  std::filesystem::create_directories(db().homeDir() + "phases");
  for (const char* name : {"phaselist", "P", "S"})
    std::filesystem::copy_file(dir.path() / name, db().homeDir() + "phases/" + name,
                               std::filesystem::copy_options::overwrite_existing);
}

void SeismoDatabaseTest::AddPhases(Workstation& ws, double lat, double lon, double depth, double t0,
                                   double (*noise)(int)) {
  for (int s = 0; s < 6; ++s) {
    const int chan = ws.stations().FindChannel(s, "shz");
    ASSERT_EQ(chan, 0);
    for (int type = 0; type < 2; ++type) {
      DistAzResult r;
      ASSERT_TRUE(DistAz(static_cast<float>(lat), static_cast<float>(lon),
                         ws.stations()[s].channels[0].lat, ws.stations()[s].channels[0].lon, r));
      SEISMIC_PHASE p;
      p.station = s;
      p.channel = chan;
      p.phaseType = type;
      p.defining = 1;
      p.SetTime(t0 + TravelTime(ws.phaseTypes().Data(type), depth, r.distance) + noise(s));
      ws.phases().Add(p);
    }
  }
}

TEST_P(SeismoDatabaseTest, LocatesFromTheLoadedStationTable) {
  AddStationsAndTables();
  Workstation& ws = workstation();
  ASSERT_EQ(ws.stations().size(), 6);
  LoadTravelTimeTables(ws);
  ASSERT_TRUE(ws.phaseTypes().HasTravelTimes(ws.phaseTypes().IndexOf("S")));

  const double lat = 42.3, lon = 77.1, depth = 20, t0 = 1.6e9;
  AddPhases(ws, lat, lon, depth, t0, [](int) { return 0.0; });
  CArrivalList list = BuildArrivalList(ws.phases(), ws.phaseTypes(), ws.stations());
  ASSERT_EQ(list.Count(), 12);
  // The sensor position, not the station's, enters the observation.
  EXPECT_NEAR(list[0].lat - ws.stations()[list[0].station].lat, 0.01, 1e-4);
  const LocationResult r =
      LocateSearch(list, ws.phaseTypes(), {41, 78, 10, t0 + 30}, LocateOptions{});
  ASSERT_TRUE(r.ok) << r.message;
  // The search ends at the minimum, not at the iteration limit.
  EXPECT_LT(r.iterations, 100);
  EXPECT_NEAR(r.lat, lat, 0.03);
  EXPECT_NEAR(r.lon, lon, 0.03);
  EXPECT_NEAR(r.t0, t0, 0.5);
}

// nuvcli locate prints the confidence ellipse the location computes, in km
// with the azimuth of its major axis (null for the grid search).
TEST_P(SeismoDatabaseTest, LocateCommandGivesTheEllipse) {
  AddStationsAndTables();
  Workstation& ws = workstation();
  LoadTravelTimeTables(ws);
  const double t0 = 1.6e9;
  // Picking errors of a few tenths of a second, so that there is an ellipse.
  AddPhases(ws, 42.3, 77.1, 20, t0, [](int s) { return 0.175 * ((s * 7) % 5 - 2); });
  // nuvcli finds the tables in the same home directory.
  db().Ini().WriteString("NUV", "DIR", db().homeDir());
  nlohmann::json observations = nlohmann::json::array();
  for (const SEISMIC_PHASE& p : ws.phases())
    observations.push_back({{"station", ws.stations()[p.station].code},
                            {"channel", "SHZ"},
                            {"phase", ws.phaseTypes().Name(p.phaseType)},
                            {"time", p.time}});
  const std::string file = db().dir().WriteFile("obs.json", observations.dump()).string();

  for (const bool linear : {false, true}) {
    const test::CliRun run =
        test::Nuvcli(db(), test::Keys(db()) + " locate '" + file + "' --start 42 77.4 15 " +
                               StrFormat("%.3f", t0 + 2) + (linear ? " --linear" : ""));
    ASSERT_EQ(run.status, 0) << run.out;
    const nlohmann::json out = test::Json(run);
    // The same location in this process gives the same ellipse.
    CArrivalList list = BuildArrivalList(ws.phases(), ws.phaseTypes(), ws.stations());
    const LocationStart start{42, 77.4, 15, t0 + 2};
    const LocationResult r = linear ? LocateLinear(list, ws.phaseTypes(), start, LocateOptions{})
                                    : LocateSearch(list, ws.phaseTypes(), start, LocateOptions{});
    ASSERT_TRUE(r.ok) << r.message;
    // Only the least-squares method has a covariance, so an ellipse.
    if (!linear) {
      EXPECT_FALSE(r.ellipse.valid());
      EXPECT_TRUE(out["ellipse"].is_null()) << out.dump();
      continue;
    }
    ASSERT_TRUE(r.ellipse.valid());
    const nlohmann::json& e = out["ellipse"];
    ASSERT_TRUE(e.is_object()) << out.dump();
    EXPECT_NEAR(e["majorKm"].get<double>(), r.ellipse.major, 1e-3 * r.ellipse.major);
    EXPECT_NEAR(e["minorKm"].get<double>(), r.ellipse.minor, 1e-3 * r.ellipse.major);
    EXPECT_NEAR(e["azimuth"].get<double>(), r.ellipse.direction, 0.1);
    EXPECT_GE(e["majorKm"].get<double>(), e["minorKm"].get<double>());
    EXPECT_GT(e["minorKm"].get<double>(), 0);
    EXPECT_GE(e["azimuth"].get<double>(), 0);
    EXPECT_LT(e["azimuth"].get<double>(), 180);
    // A few tenths of a second of picking error: kilometres, not hundreds.
    EXPECT_LT(e["majorKm"].get<double>(), 100);
  }
}

TEST_P(SeismoDatabaseTest, RegionOfAnEpicentre) {
  db().Exec("insert into GREGION (GRN, GRNAME, GRNAME_R) values (5, 'Kyrgyzstan', 'Киргизия')");
  db().Exec(
      "insert into SREGION (SRN, SRNAME, SRNAME_R) values (48, 'Central Asia', 'Средняя Азия')");
  db().Exec("insert into GREGION (GRN, GRNAME, GRNAME_R) values (7, 'Argentina', 'Аргентина')");
  db().Exec(
      "insert into SREGION (SRN, SRNAME, SRNAME_R) values (9, 'South America', 'Южная Америка')");
  db().Exec("insert into REGION_MAP (LAT, LON1, LON2, GRN, SRN) values (42, 70, 80, 5, 48)");
  db().Exec("insert into REGION_MAP (LAT, LON1, LON2, GRN, SRN) values (-30, -60, -70, 7, 9)");
  Workstation& ws = workstation();
  odbc::Connection& main = ws.databases().main();

  RegionInfo region = RegionOf(main, 42.3, 77.1);
  ASSERT_TRUE(region.found) << region.error;
  EXPECT_EQ(region.seismicNumber, 48);
  EXPECT_EQ(region.seismicName, "Central Asia");
  EXPECT_EQ(region.seismicNameRu, "Средняя Азия");
  EXPECT_EQ(region.geographicNumber, 5);
  EXPECT_EQ(region.geographicNameRu, "Киргизия");
  // West of Greenwich the band runs the other way.
  region = RegionOf(main, -29.8, -65.4);
  ASSERT_TRUE(region.found) << region.error;
  EXPECT_EQ(region.geographicName, "Argentina");
  // The upper bound of a band is open.
  EXPECT_FALSE(RegionOf(main, 42, 80).found);
  EXPECT_FALSE(RegionOf(main, 10, 10).found);

  db().Exec("drop table REGION_MAP");
  region = RegionOf(main, 42.3, 77.1);
  EXPECT_FALSE(region.found);
  EXPECT_FALSE(region.error.empty());
  EXPECT_TRUE(region.seismicName.empty());
}

TEST_P(SeismoDatabaseTest, RememberedHypocentreUpdatesOnlyAnExistingOrigin) {
  db().Exec(
      "insert into ORIGIN (EVENTID, LAT, LON, DEPTH, ORIGINTIME, ORID) values "
      "('20240315061900        ', 1, 2, 3, 4, -1)");
  db().Exec(
      "insert into ORIGIN (EVENTID, LAT, LON, DEPTH, ORIGINTIME, ORID) values "
      "('other', 9, 9, 9, 9, 5)");
  Workstation& ws = workstation();
  HypocentreValues v{42.7, 74.6, 15.25, 1710483540.5, "ложный 'толчок'"};
  ASSERT_TRUE(UpdateOriginRow(ws.databases(), v, "20240315061900        ", 77));
  const std::string where = " from ORIGIN where EVENTID='20240315061900        '";
  EXPECT_NEAR(std::stod(*db().QueryValue("select LAT" + where)), 42.7, 1e-9);
  EXPECT_NEAR(std::stod(*db().QueryValue("select DEPTH" + where)), 15.25, 1e-9);
  EXPECT_NEAR(std::stod(*db().QueryValue("select ORIGINTIME" + where)), 1710483540.5, 1e-3);
  EXPECT_EQ(*db().QueryValue("select ORID" + where), "77");
  EXPECT_EQ(*db().QueryValue(std::string("select ") + ws.databases().CommentColumn() + where),
            "ложный 'толчок'");
  EXPECT_TRUE(db().QueryValue("select LDDATE" + where).has_value());
  // The other event is untouched; an event without a row writes nothing.
  EXPECT_EQ(*db().QueryValue("select ORID from ORIGIN where EVENTID='other'"), "5");
  EXPECT_FALSE(UpdateOriginRow(ws.databases(), v, "missing", 3));
  EXPECT_FALSE(UpdateOriginRow(ws.databases(), v, "x' or '1'='1", 3));
  EXPECT_EQ(*db().QueryValue("select count(*) from ORIGIN where ORID=3"), "0");
  db().Exec("drop table ORIGIN");
  EXPECT_THROW(UpdateOriginRow(ws.databases(), v, "other", 3), odbc::Error);
}

NUV_DATABASE_TEST_SUITE(SeismoDatabaseTest);

}  // namespace
}  // namespace nuv
