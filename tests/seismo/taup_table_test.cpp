// Travel-time set files: their layout, the phase list, and what the workstation's own
// reader makes of them.

#include "traveltime/taup_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "phases/phase_types.h"
#include "support/temp_dir.h"
#include "traveltime/travel_time.h"

namespace nuv::taup {
namespace {

TEST(TravelTimeFile, LayoutIsTitleCountsNodesAndRowsOfTen) {
  TableGrid grid;
  grid.depths = {0, 12.5};
  for (int i = 0; i < 12; ++i) grid.distances.push_back(i * 0.5);
  std::vector<double> values;
  for (int j = 0; j < 2; ++j)
    for (int i = 0; i < 12; ++i) values.push_back(i == 11 && j == 1 ? -1 : 100 * j + i + 0.0004);
  std::ostringstream out;
  WriteTable(out, "T title", grid, values);
  EXPECT_EQ(out.str(),
            "T title\n"
            "2\n"
            "0 12.5\n"
            "12\n"
            "0 0.5 1 1.5 2 2.5 3 3.5 4 4.5\n"
            "5 5.5\n"
            "0.000 1.000 2.000 3.000 4.000 5.000 6.000 7.000 8.000 9.000\n"
            "10.000 11.000\n"
            "100.000 101.000 102.000 103.000 104.000 105.000 106.000 107.000 108.000 109.000\n"
            "110.000 -1\n");
  values.pop_back();
  EXPECT_THROW(WriteTable(out, "x", grid, values), std::invalid_argument);
}

TEST(TravelTimeFile, TitleNamesPhaseModelAndMethodWithinALineOfNumbers) {
  const PhaseDef& p = *FindPhase("PKKPab");
  std::string title = TableTitle(p, EarthModel::Iasp91());
  EXPECT_EQ(title.rfind("PKKPab travel times (s), IASP91 (Kennett and Engdahl, 1991); tau-p", 0),
            0u);
  EXPECT_LE(title.size(), 127u);
  EarthModel longName =
      EarthModel::Parse("name " + std::string(200, 'x') + "\n0 6 3.5\n30 6 3.5\n");
  EXPECT_LE(TableTitle(p, longName).size(), 127u);
}

// A small set written to disk and read back by the workstation's reader.
TEST(TravelTimeSet, GeneratedFilesLoadAndHoldTheComputedTimes) {
  test::TempDir dir;
  TableGrid grid;
  grid.depths = {0, 35, 300};
  for (int d = 0; d <= 180; d += 5) grid.distances.push_back(d);
  const std::string out = (dir / "set" / "iasp91").string();
  EarthModel model = EarthModel::Iasp91();
  GenerationReport report = GenerateTravelTimeSet(model, out, grid);
  EXPECT_GT(report.rays, 1000u);

  RaySet rays(model, grid.depths);
  PhaseSolver solver(rays);
  size_t tables = 0;
  for (const PhaseDef& phase : StandardPhases()) {
    const std::string path = out + "/" + phase.file;
    if (phase.branches.empty()) {
      EXPECT_FALSE(std::filesystem::exists(path)) << path;
      continue;
    }
    ++tables;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, TableTitle(phase, model));
    while (std::getline(in, line)) ASSERT_LE(line.size(), 127u) << path;

    PHASEDATA data;
    ASSERT_TRUE(ReadTravelTimeFile(path, data)) << path;
    ASSERT_EQ(data.nd, 3);
    // The table keeps the distances from the first to the last where the phase exists.
    std::vector<std::vector<double>> expect;
    for (double depth : grid.depths) expect.push_back(solver.Times(phase, depth, grid.distances));
    size_t first = grid.distances.size(), last = 0;
    for (const auto& row : expect)
      for (size_t i = 0; i < row.size(); ++i)
        if (row[i] >= 0) first = std::min(first, i), last = std::max(last, i);
    ASSERT_EQ(data.nx, static_cast<int>(last - first + 1)) << phase.name;
    EXPECT_EQ(data.distances.front(), grid.distances[first]);
    EXPECT_EQ(data.distances.back(), grid.distances[last]);
    for (size_t j = 0; j < grid.depths.size(); ++j) {
      for (size_t i = first; i <= last; ++i) {
        // The node values themselves: a lookup next to a -1 node answers -1 by design.
        double got = data.T[j * data.nx + (i - first)];
        if (expect[j][i] < 0)
          EXPECT_EQ(got, -1) << phase.name << " " << grid.depths[j] << " " << grid.distances[i];
        else
          EXPECT_NEAR(got, expect[j][i], 1e-3) << phase.name;
      }
    }
  }
  EXPECT_EQ(report.files.size(), tables + 2);  // + phaselist and README

  // The workstation's phase-type table built from the set: its own vocabulary in its own
  // order (P first), then SKS, then the pseudo-phases; every computed phase has a table.
  PhaseTypeTable types;
  types.Load(out);
  const auto& builtIn = BuiltInPhaseTypes();
  ASSERT_EQ(types.Count(), static_cast<int>(builtIn.size() + 1 + PseudoPhaseTypes().size()));
  for (size_t i = 0; i < builtIn.size(); ++i) {
    EXPECT_EQ(types.Name(i), builtIn[i].first);
    EXPECT_EQ(types.TtFile(i), builtIn[i].second);
  }
  const int sks = static_cast<int>(builtIn.size());
  EXPECT_EQ(types.Name(sks), "SKS");
  for (int i = 0; i <= sks; ++i) {
    const PhaseDef* def = FindPhase(types.Name(i));
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(types.HasTravelTimes(i), !def->branches.empty()) << types.Name(i);
  }
  EXPECT_FALSE(types.HasTravelTimes(types.IndexOf("Lg")));
  EXPECT_TRUE(types.CanBeDefining(types.IndexOf("Pn")));

  // The workstation's inverse searches run over the whole table and find their answers:
  // P and S end where they end (120 degrees), not in a run of -1 up to 180.
  const PHASEDATA& p = types.Data(types.IndexOf("P"));
  const PHASEDATA& sw = types.Data(types.IndexOf("S"));
  EXPECT_EQ(p.distances.back(), kDiffractionLimit);
  double d = DistanceForTimeDifference(sw, p, TravelTime(sw, 35, 40) - TravelTime(p, 35, 40), 35);
  EXPECT_NEAR(d, 40, 0.01);
  EXPECT_NEAR(DistanceForTime(p, TravelTime(p, 300, 85), 300), 85, 0.01);
  std::string readme = test::TempDir::ReadFile(out + "/README");
  EXPECT_NE(readme.find("IASP91 (Kennett and Engdahl, 1991)"), std::string::npos);
  EXPECT_NE(readme.find("ttgen [--model FILE] --out DIR"), std::string::npos);
}

TEST(TravelTimeSet, AnUnwritableDirectoryIsAnError) {
  test::TempDir dir;
  auto file = dir.WriteFile("taken", "not a directory");
  TableGrid grid{{0}, {0, 10}};
  EXPECT_THROW(GenerateTravelTimeSet(EarthModel::Iasp91(), file.string(), grid),
               std::runtime_error);
}

// The standard grid read through the workstation's spline (distance) and linear (depth)
// interpolation, compared with direct computation between the nodes.
TEST(TravelTimeSet, StandardGridInterpolatesPAndSBetweenNodes) {
  test::TempDir dir;
  const TableGrid grid = StandardGrid();
  EXPECT_EQ(grid.depths.front(), 0);
  EXPECT_EQ(grid.depths.back(), 800);  // the deepest known events lie below 700 km
  EXPECT_EQ(grid.distances.front(), 0);
  EXPECT_EQ(grid.distances.back(), 180);
  EarthModel model = EarthModel::Iasp91();
  RaySet nodes(model, grid.depths);
  PhaseSolver atNodes(nodes);
  const std::vector<double> between = {2.5, 12.5, 45, 135, 255, 415, 575, 695, 735, 795};
  RaySet offNodes(model, between);
  PhaseSolver direct(offNodes);
  std::vector<double> distances;
  for (double d = 1.03; d <= 100; d += 0.37) distances.push_back(d);

  for (const char* name : {"P", "S"}) {
    const PhaseDef& phase = *FindPhase(name);
    std::vector<double> values;
    for (double depth : grid.depths) {
      auto row = atNodes.Times(phase, depth, grid.distances);
      values.insert(values.end(), row.begin(), row.end());
    }
    std::ofstream(dir / name) << [&] {
      std::ostringstream o;
      WriteTable(o, TableTitle(phase, model), grid, values);
      return o.str();
    }();
    PHASEDATA data;
    ASSERT_TRUE(ReadTravelTimeFile((dir / name).string(), data));
    double worst = 0;
    for (double depth : between) {
      auto expect = direct.Times(phase, depth, distances);
      for (size_t i = 0; i < distances.size(); ++i) {
        ASSERT_GT(expect[i], 0);
        double got = TravelTime(data, depth, distances[i]);
        ASSERT_GT(got, 0);
        worst = std::max(worst, std::fabs(got - expect[i]));
      }
    }
    EXPECT_LT(worst, name[0] == 'P' ? 0.2 : 0.3) << name;
  }
}

}  // namespace
}  // namespace nuv::taup
