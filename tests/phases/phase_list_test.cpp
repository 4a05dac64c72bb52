#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_sets.h"
#include "phases/phase_types.h"
#include "platform/config.h"
#include "platform/profile_file.h"
#include "support/phase_at.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

TEST(SeismicPhase, NewRecordAndBrokenDownTime) {
  SEISMIC_PHASE p;
  EXPECT_EQ(p.weight, 4);
  EXPECT_EQ(p.arid, -1);
  EXPECT_FLOAT_EQ(p.residual, 1.0f);
  EXPECT_FLOAT_EQ(p.mb, -1);
  EXPECT_EQ(p.active, 1);
  // 2024-02-29 23:59:58.987 UTC: hundredths are truncated, not rounded.
  p.SetTime(1709251198.987);
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.minute, 59);
  EXPECT_EQ(p.second, 58);
  EXPECT_EQ(p.hundredths, 98);
  // Before 1970 the calendar still holds (proleptic Gregorian).
  p.SetTime(-86400.5);
  EXPECT_EQ(p.year, 1969);
  EXPECT_EQ(p.month, 12);
  EXPECT_EQ(p.day, 30);
  EXPECT_EQ(p.hour, 23);
  EXPECT_EQ(p.second, 59);
  EXPECT_EQ(p.hundredths, 50);
}

TEST(SeismicPhase, TextCodes) {
  EXPECT_EQ(OnsetCode(1), 'I');
  EXPECT_EQ(OnsetCode(3), '-');
  EXPECT_EQ(OnsetFromText("i"), 1);
  EXPECT_EQ(OnsetFromText("w"), 2);
  EXPECT_EQ(OnsetFromText("X"), 0);
  EXPECT_EQ(OnsetFromText(""), 0);
  EXPECT_EQ(FirstMotionCode(0), 'U');
  EXPECT_EQ(FirstMotionCode(8), 'r');
  EXPECT_EQ(FirstMotionCode(42), '?');
  // First motion is read case-sensitively: "u" is 7, "U" is 0.
  EXPECT_EQ(FirstMotionFromText("u"), 7);
  EXPECT_EQ(FirstMotionFromText("U"), 0);
  EXPECT_EQ(FirstMotionFromText("x"), 4);
  EXPECT_EQ(FirstMotionFromText(""), 4);
  EXPECT_EQ(WeightCode(0), '0');
}

TEST(NUVPhases, AddReplacesSameTripleAndAllocatesArrivalIds) {
  NUVPhases list;
  int next = 100;
  list.SetIdAllocator([&] { return next++; });
  SEISMIC_PHASE p = test::PhaseAt(1, 2, 0, 50);
  p.amplitude = 7;
  p.hasAmplitude = 1;
  SEISMIC_PHASE* stored = list.Add(p);
  EXPECT_EQ(stored->arid, 100);
  EXPECT_EQ(p.arid, -1);  // the caller's record is untouched
  EXPECT_NE(stored, &p);

  SEISMIC_PHASE replacement = test::PhaseAt(1, 2, 0, 40);
  replacement.arid = 7;
  list.Add(replacement);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetAt(0)->arid, 7);          // kept, not re-allocated
  EXPECT_EQ(list.GetAt(0)->hasAmplitude, 0);  // the old measurement is gone
  EXPECT_EQ(list.Contains(replacement), 1);
  EXPECT_EQ(list.Contains(test::PhaseAt(1, 2, 1, 0)), 0);

  // Without an allocator (no database) the id stays -1.
  NUVPhases offline;
  EXPECT_EQ(offline.Add(test::PhaseAt(0, 0, 0, 1))->arid, -1);
}

TEST(NUVPhases, TimeOrderAndEqualTimesKeepInsertionOrder) {
  NUVPhases list;
  list.Add(test::PhaseAt(0, 0, 0, 10));
  list.Add(test::PhaseAt(1, 0, 0, 10));
  list.Add(test::PhaseAt(2, 0, 0, 5));  // earlier than all: to the head
  list.Add(test::PhaseAt(3, 0, 0, 10));
  list.Add(test::PhaseAt(4, 0, 0, 20));
  ASSERT_EQ(list.Count(), 5);
  const int expected[] = {2, 0, 1, 3, 4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list.GetAt(i)->station, expected[i]) << i;
  EXPECT_EQ(list.GetAt(-1), nullptr);
  EXPECT_EQ(list.GetAt(5), nullptr);
  // Replacing moves the record to its new time.
  list.Add(test::PhaseAt(2, 0, 0, 30));
  EXPECT_EQ(list.GetAt(4)->station, 2);
  list.Remove(0, 0, 0);
  list.Remove(9, 9, 9);  // absent: nothing happens
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Find(0, 0, 0), nullptr);
  list.RemoveAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetAt(0), nullptr);
}

TEST(NUVPhases, Queries) {
  PhaseTypeTable types;
  types.LoadNames("/nonexistent");  // built-in: P=0, Pn=4, Pg=5, PKP=17
  const int kP = types.IndexOf("P"), kPn = types.IndexOf("Pn"), kPKP = types.IndexOf("PKP");
  NUVPhases list;
  EXPECT_EQ(list.EarliestDefiningTime(0), std::numeric_limits<double>::max());
  EXPECT_EQ(list.MaxPAmplitude(0, 0, types), std::numeric_limits<double>::min());
  EXPECT_EQ(list.MaxMb(0, 0), std::numeric_limits<double>::min());

  SEISMIC_PHASE a = test::PhaseAt(0, 0, kP, 100);
  a.amplitude = 3;
  a.mb = 4.5f;
  SEISMIC_PHASE b = test::PhaseAt(0, 0, kPn, 90);
  b.amplitude = 50;  // Pn does not count as "P"
  b.defining = 1;
  SEISMIC_PHASE c = test::PhaseAt(0, 1, kPKP, 80);
  c.amplitude = 60;
  list.Add(a);
  list.Add(b);
  list.Add(c);
  EXPECT_DOUBLE_EQ(list.MaxPAmplitude(0, 0, types), 3);
  EXPECT_DOUBLE_EQ(list.MaxMb(0, 0), 4.5);
  EXPECT_DOUBLE_EQ(list.EarliestDefiningTime(0), 90);
  EXPECT_EQ(list.EarliestDefiningTime(1), std::numeric_limits<double>::max());
  EXPECT_DOUBLE_EQ(list.EarliestTime(0, 1), 80);
  EXPECT_DOUBLE_EQ(list.EarliestTime(0, 0), 90);
}

TEST(PhaseTypeTable, BuiltInTableWhenPhaselistIsMissing) {
  PhaseTypeTable types;
  types.Load("/nonexistent/dir/");
  ASSERT_EQ(types.Count(), 64);
  EXPECT_EQ(types.Name(0), "P");
  EXPECT_EQ(types.TtFile(3), "PKP(df)");
  EXPECT_EQ(types.Name(51), "sPKKPdf");
  EXPECT_EQ(types.TtFile(51), "_sPKKP(df)");
  EXPECT_EQ(types.Name(52), "tx");
  EXPECT_EQ(types.Name(63), "AMS");
  EXPECT_EQ(types.IndexOf("pP"), 43);
  EXPECT_EQ(types.IndexOf("pp"), -1);  // case-sensitive
  EXPECT_FALSE(types.HasTravelTimes(0));
  EXPECT_EQ(types.Name(64), "");
  EXPECT_FALSE(types.Data(99).hasTravelTimes);
}

TEST(PhaseTypeTable, UnreadablePhaselistIsReportedNotTakenAsEmpty) {
  test::TempDir dir;
  // A folder named phaselist exists but cannot be read as a file.
  std::filesystem::create_directory(dir / "phaselist");
  PhaseTypeTable types;
  std::string error;
  EXPECT_FALSE(types.Load(dir.path().string(), &error));
  EXPECT_EQ(error, "Ошибка чтения файла " + (dir / "phaselist").string() + ": это каталог");
  // The built-in phases stand in for the list, as for a missing one.
  EXPECT_EQ(types.Count(), 64);
  EXPECT_EQ(types.Name(0), "P");

  error.clear();
  EXPECT_TRUE(types.LoadNames("/nonexistent/dir/", &error));
  EXPECT_EQ(error, "");
}

TEST(PhaseTypeTable, PhaselistFileWithBadLinesAndMissingTables) {
  test::TempDir dir;
  dir.WriteFile("phaselist", "P P\nlonely\n\nS  S extra\nPn P_n\nP dup\n");
  dir.WriteFile("P", "title\n1\n0\n2\n0 10\n0 100\n");
  dir.WriteFile("S", "title\n1\n0\n2\n0 10\n0 180\n");
  dir.WriteFile("P_n", "broken\nx\n");
  PhaseTypeTable types;
  types.Load(dir.path().string());
  // P, S, Pn, P(dup) and the twelve pseudo-phases.
  ASSERT_EQ(types.Count(), 4 + 12);
  EXPECT_EQ(types.Name(1), "S");
  EXPECT_EQ(types.Name(4), "tx");
  EXPECT_EQ(types.IndexOf("lonely"), -1);
  // A later duplicate takes over the name.
  EXPECT_EQ(types.IndexOf("P"), 3);
  EXPECT_TRUE(types.HasTravelTimes(0));
  EXPECT_TRUE(types.HasTravelTimes(1));
  EXPECT_FALSE(types.HasTravelTimes(2));  // malformed file
  EXPECT_FALSE(types.HasTravelTimes(3));  // missing file
  // Pseudo-phases never have tables and can never be defining.
  for (int i = 4; i < types.Count(); ++i) EXPECT_FALSE(types.CanBeDefining(i));
  EXPECT_TRUE(types.CanBeDefining(0));
  EXPECT_EQ(types.LoadTravelTimes("S", dir.path().string()), 1);
  EXPECT_EQ(types.LoadTravelTimes("tx", dir.path().string()), 0);
  EXPECT_EQ(types.LoadTravelTimes("nothing", dir.path().string()), 0);
}

TEST(PhaseTypeTable, TravelTimeDirectory) {
  Config config;
  config.homeDir = "/opt/nuv/";
  config.travelTimeDir = "";
  EXPECT_EQ(TravelTimeDirectory(config), "/opt/nuv/phases/");
  config.travelTimeDir = "/";  // the default "\" names no set
  EXPECT_EQ(TravelTimeDirectory(config), "/opt/nuv/phases/");
  config.travelTimeDir = "tables\\iasp91";
  EXPECT_EQ(TravelTimeDirectory(config), "/opt/nuv/tables/iasp91/");
  config.travelTimeDir = "/data/tt/";
  EXPECT_EQ(TravelTimeDirectory(config), "/data/tt/");
}

TEST(PhaseSets, ParsingAndActiveSet) {
  PhaseTypeTable types;
  types.LoadNames("/nonexistent");
  const std::vector<int> parsed = ParseSet("P; S,,Pn;", types);
  EXPECT_EQ(parsed,
            (std::vector<int>{types.IndexOf("P"), types.IndexOf("S"), types.IndexOf("Pn")}));
  EXPECT_TRUE(ParseSet("", types).empty());
  EXPECT_EQ(ParseSet("Xyz;Pg", types), std::vector<int>{types.IndexOf("Pg")});

  test::TempDir dir;
  ProfileFile ini(dir / "NUV.INI");
  PhaseSets sets(ini);
  EXPECT_EQ(sets.ActiveSet(), 3);
  EXPECT_EQ(sets.OfferedTypes(types).size(), 64u);
  sets.SetActiveSet("Regional");
  EXPECT_EQ(sets.ActiveSet(), 1);
  // An active set with an empty text offers every name.
  EXPECT_EQ(sets.OfferedTypes(types).size(), 64u);
  sets.WriteSet("Regional", {"Pn", "Sn"});
  EXPECT_EQ(sets.ReadSet("Regional"), "Pn;Sn;");
  EXPECT_EQ(sets.OfferedTypes(types), (std::vector<int>{types.IndexOf("Pn"), types.IndexOf("Sn")}));
  sets.SetActiveSet("Full");
  EXPECT_EQ(sets.ActiveSet(), 3);
  sets.SetActiveSet("Whatever");
  EXPECT_EQ(sets.ActiveSet(), 3);
}

TEST(CurrentEvent, IdentifiersAndDistanceEstimates) {
  EXPECT_EQ(PadEventId("20240101120000"), "20240101120000      ");
  EXPECT_EQ(PadEventId("20240101120000").size(), 20u);
  EXPECT_EQ(NewEventId(0).size(), 14u);
  CurrentEvent event;
  EXPECT_FLOAT_EQ(event.eventMb, -999.0f);
  EXPECT_FLOAT_EQ(event.StationDistance(3), -1);
  event.SetStationDistance(3, 12.5f);
  EXPECT_FLOAT_EQ(event.StationDistance(3), 12.5f);
  EXPECT_FLOAT_EQ(event.StationDistance(1), -1);
  event.ResetStationDistances();
  EXPECT_FLOAT_EQ(event.StationDistance(3), -1);
}

}  // namespace
}  // namespace nuv
