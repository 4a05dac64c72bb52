// The map's line-file converter: every arc of an object, or only the arcs
// two different geometries share (borders, not coasts); bad input is refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "map/coastline.h"
#include "support/temp_dir.h"

namespace nuv::test {
namespace {

std::string Mapgen() {
  return std::string(NUV_BINARY_DIR) + "/tools/mapgen";
}

int RunMapgen(const std::string& args) {
  return std::system((Mapgen() + " " + args + " > /dev/null 2>&1").c_str());
}

// Two countries side by side along 0° from 0° to 1° N, and an island whose
// one geometry uses its arc twice.
constexpr const char* kCountries = R"({
  "type": "Topology",
  "objects": {"countries": {"type": "GeometryCollection", "geometries": [
    {"type": "Polygon", "arcs": [[0, 1]]},
    {"type": "Polygon", "arcs": [[-1, 2]]},
    {"type": "MultiPolygon", "arcs": [[[3]], [[-4]]]}]}},
  "arcs": [[[0, 0], [0, 1]],
           [[0, 1], [-1, 1], [-1, 0], [0, 0]],
           [[0, 0], [1, 0], [1, 1], [0, 1]],
           [[5, 5], [6, 5], [6, 6], [5, 5]]]})";

TEST(Mapgen, SharedArcsAreTheBordersBetweenDifferentGeometries) {
  TempDir dir;
  const auto topo = dir.WriteFile("countries.json", kCountries);
  const auto borders = dir / "borders.pnt", all = dir / "all.pnt";
  ASSERT_EQ(RunMapgen("--topojson '" + topo.string() + "' --object countries --shared --out '" +
                      borders.string() + "'"),
            0);
  const map::CoastlineLoad shared = map::ReadCoastline(borders.string());
  ASSERT_TRUE(shared.problem.empty()) << shared.problem;
  ASSERT_EQ(shared.coastline.polylines.size(), 1u);
  ASSERT_EQ(shared.coastline.polylines[0].size(), 2u);
  EXPECT_FLOAT_EQ(shared.coastline.polylines[0][0].lon, 0);
  EXPECT_FLOAT_EQ(shared.coastline.polylines[0][1].lat, 1);
  ASSERT_EQ(RunMapgen("--topojson '" + topo.string() + "' --object countries --out '" +
                      all.string() + "'"),
            0);
  EXPECT_EQ(map::ReadCoastline(all.string()).coastline.polylines.size(), 4u);

  // A missing object, a missing file and missing arguments are refused.
  EXPECT_NE(
      RunMapgen("--topojson '" + topo.string() + "' --object land --out '" + all.string() + "'"),
      0);
  EXPECT_NE(
      RunMapgen("--topojson '" + (dir / "none.json").string() + "' --out '" + all.string() + "'"),
      0);
  EXPECT_NE(RunMapgen("--shared"), 0);
}

}  // namespace
}  // namespace nuv::test
