// The texts of the hypocentre result and the acceptance of a result as the
// current origin.

#include "seismo/hypocentre_report.h"

#include <gtest/gtest.h>

#include "db/station_table.h"
#include "phases/nuv_phases.h"
#include "platform/time_base.h"
#include "tables.h"
#include "traveltime/dist_az.h"
#include "traveltime/travel_time.h"

namespace nuv {
namespace {

TEST(HypocentreText, OriginTimeAndResidualLines) {
  EXPECT_EQ(OriginTimeText(CalendarToEpoch(2024, 3, 15, 6, 9, 5.257)), "15/3/2024 - 6:9:5.26");
  EXPECT_EQ(ResidualLine("DM01", "P", 0.25), "DM01P +00:00:0.25");
  EXPECT_EQ(ResidualLine("DM01", "Sg", -1.5), "DM01Sg -00:00:1.50");
  EXPECT_EQ(ResidualLine("KUR", "P", 0), "KURP +00:00:0.00");
  // A residual of more than an hour (a wrong day) is split, not wrapped.
  EXPECT_EQ(ResidualLine("A", "P", -(2 * 3600 + 3 * 60 + 4.5)), "AP -02:03:4.50");
}

TEST(HypocentreText, AcceptingSetsTheOriginAndRecomputesThePhases) {
  test::TempDir dir;
  test::WriteStraightRaySet(dir);
  PhaseTypeTable types;
  types.Load(dir.path().string());
  StationTable stations;
  CScreenFields s;
  s.code = "ST";
  s.lat = 43;
  s.lon = 75;
  s.channels[0].name = "SHZ";
  s.channels[0].lat = 43;
  s.channels[0].lon = 75;
  stations.records().push_back(s);
  NUVPhases phases;
  SEISMIC_PHASE p;
  p.SetTime(1000);
  phases.Add(p);
  CurrentEvent event;
  HypocentreValues v{42.5, 74.5, 20, 980, std::string(200, 'x')};
  AcceptHypocentre(v, event, phases, types, stations);
  EXPECT_EQ(event.originValid, 1);
  EXPECT_FLOAT_EQ(event.originLat, 42.5f);
  EXPECT_FLOAT_EQ(event.originDepth, 20);
  EXPECT_EQ(event.originTime, 980);
  EXPECT_EQ(event.eventComment.size(), 127u);
  DistAzResult r;
  ASSERT_TRUE(DistAz(42.5f, 74.5f, 43, 75, r));
  const SEISMIC_PHASE* got = phases.GetAt(0);
  EXPECT_FLOAT_EQ(got->distance, r.distance);
  EXPECT_EQ(got->hasResidual, 1);
  EXPECT_NEAR(got->residual, 1000 - 980 - TravelTime(types.Data(0), 20, r.distance), 1e-3);
}

TEST(HypocentreText, UpdateStatementQuotesItsTexts) {
  const std::string sql = OriginUpdateSql({1.5, -2.25, 10, 100.5, "it's"}, "ev'1", 12, "COMMENTS");
  EXPECT_NE(sql.find("COMMENTS='it''s'"), std::string::npos) << sql;
  EXPECT_NE(sql.find("where EVENTID='ev''1'"), std::string::npos) << sql;
  EXPECT_NE(sql.find("ORID=12"), std::string::npos) << sql;
  EXPECT_NE(sql.find("LON=-2.250000"), std::string::npos) << sql;
}

}  // namespace
}  // namespace nuv
