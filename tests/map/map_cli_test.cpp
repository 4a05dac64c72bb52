// `nuvcli map render` on the demo setup: the picture and what was drawn,
// the country borders and lakes, a saved event with its origin, and refused
// arguments and outputs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "map/coastline.h"
#include "map/map_scene.h"
#include "support/nuvcli_in_folder.h"
#include "support/png_read.h"
#include "support/temp_dir.h"

namespace nuv::test {
namespace {

using CliResult = FolderCliRun;

// The demo set up straight in the test folder, so that its "settings" are
// the ones the runner passes on.
class MapCli : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const std::string command = std::string(NUV_BINARY_DIR) + "/tools/nuvdemo --out '" +
                                dir_->path().string() + "' --stations 5 --minutes 2 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* lines : {"map.pnt", "borders.pnt", "lakes.pnt"})
      std::filesystem::copy_file(std::string(NUV_SOURCE_DIR) + "/data/map/" + lines,
                                 *dir_ / "home" / lines);
    // The demo's data source, for every nuvcli run of the suite.
    if (const char* old = std::getenv("ODBCINI")) oldOdbcIni_ = new std::string(old);
    setenv("ODBCINI", (*dir_ / "odbc.ini").c_str(), 1);
  }
  static void TearDownTestSuite() {
    if (oldOdbcIni_)
      setenv("ODBCINI", oldOdbcIni_->c_str(), 1);
    else
      unsetenv("ODBCINI");
    delete oldOdbcIni_;
    oldOdbcIni_ = nullptr;
    delete dir_;
    dir_ = nullptr;
  }

  static CliResult Nuvcli(const std::string& args) {
    return RunNuvcli(*dir_, NuvcliProgram(), args);
  }

  static TempDir* dir_;
  static std::string* oldOdbcIni_;
};

TempDir* MapCli::dir_ = nullptr;
std::string* MapCli::oldOdbcIni_ = nullptr;

TEST_F(MapCli, RendersTheDemoStationsOverTheCoastline) {
  const auto out = dir_->path() / "world.png";
  const CliResult run =
      Nuvcli("map render --out '" + out.string() + "' --width 1600 --height 1000");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["stations"], 5);
  EXPECT_EQ(json["events"], 0);
  EXPECT_GT(json["coastline"]["points"].get<int>(), 20000);
  // Without --view the picture shows what the window first shows: the
  // region of the stations, not the world.
  EXPECT_GT(json["view"][0].get<double>(), 40);
  EXPECT_LT(json["view"][1].get<double>(), 110);
  EXPECT_LT(json["view"][3].get<double>() - json["view"][2].get<double>(), 90);
  const std::string png = TempDir::ReadFile(out);
  ASSERT_GT(png.size(), 1000u);
  EXPECT_EQ(png.substr(1, 3), "PNG");

  // A narrow view over the demo network in simple mode: no coastline read.
  const CliResult simple = Nuvcli("map render --out '" + (dir_->path() / "net.png").string() +
                                  "' --mode simple --view 60 90 30 55 --width 400 --height 300");
  ASSERT_EQ(simple.status, 0) << simple.err;
  const auto net = nlohmann::json::parse(simple.out);
  EXPECT_EQ(net["stations"], 5);
  EXPECT_EQ(net["coastline"]["points"], 0);
  // A view across 180° that holds none of the stations.
  const CliResult pacific = Nuvcli("map render --out '" + (dir_->path() / "pacific.png").string() +
                                   "' --view 170 -170 -10 10");
  ASSERT_EQ(pacific.status, 0) << pacific.err;
  EXPECT_EQ(nlohmann::json::parse(pacific.out)["stations"], 0);
}

TEST_F(MapCli, BordersAndLakesAreDrawnOverCentralAsia) {
  const std::string size = " --width 900 --height 600";
  const std::string view = " --view 60 90 33 52" + size;
  const auto with = dir_->path() / "borders.png", without = dir_->path() / "bare.png";
  const CliResult drawn = Nuvcli("map render --mode simple --out '" + with.string() + "'" + view);
  ASSERT_EQ(drawn.status, 0) << drawn.err;
  const auto json = nlohmann::json::parse(drawn.out);
  EXPECT_GT(json["borders"]["points"].get<int>(), 10000);
  EXPECT_GT(json["lakes"]["points"].get<int>(), 1000);
  EXPECT_EQ(json["coastline"]["points"], 0);  // the simple mode draws no coast
  const CliResult bare = Nuvcli("map render --mode simple --out '" + without.string() +
                                "' --borders '" + (dir_->path() / "none.pnt").string() +
                                "' --lakes '" + (dir_->path() / "none.pnt").string() + "'" + view);
  ASSERT_EQ(bare.status, 0) << bare.err;
  EXPECT_EQ(nlohmann::json::parse(bare.out)["borders"]["points"], 0);
  EXPECT_NE(bare.err.find("none.pnt"), std::string::npos) << bare.err;

  // The pictures differ only in border grey and lake blue...
  const test::PngPixels a = test::ReadPng(TempDir::ReadFile(with));
  const test::PngPixels b = test::ReadPng(TempDir::ReadFile(without));
  ASSERT_EQ(a.width, 900);
  ASSERT_EQ(b.height, 600);
  const auto rgb = [](map::Colour c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; };
  int grey = 0, blue = 0, other = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      if (a.Rgb(x, y) == b.Rgb(x, y)) continue;
      const uint32_t p = a.Rgb(x, y);
      grey += p == rgb(map::kBorderColour);
      blue += p == rgb(map::kLakeColour);
      other += p != rgb(map::kBorderColour) && p != rgb(map::kLakeColour);
    }
  EXPECT_GT(grey, 1000);
  EXPECT_GT(blue, 100);  // Balkhash, Issyk-Kul and more
  EXPECT_EQ(other, 0);
  // ...and the grey lies where the borders of the file lie.
  map::MapView v;
  v.SetRectangle(60, 30, 33, 52);
  const map::Projection projection(v, map::MapRectangle(900, 600, 40, 16));
  const map::CoastlineLoad borders =
      map::ReadCoastline(std::string(NUV_SOURCE_DIR) + "/data/map/borders.pnt");
  int inside = 0, onGrey = 0;
  for (const auto& line : borders.coastline.polylines)
    for (const map::GeoPoint& p : line) {
      if (!v.Contains(p.lat, p.lon)) continue;
      ++inside;
      const map::PixelPoint px = projection.ToPixel(p.lat, p.lon);
      onGrey += a.Rgb(px.x, 600 - px.y) == rgb(map::kBorderColour);
    }
  EXPECT_GT(inside, 500);
  EXPECT_GT(onGrey, inside * 8 / 10);
}

TEST_F(MapCli, SavedEventShowsItsEpicentreAndAzimuths) {
  ASSERT_EQ(Nuvcli("event new MAPEV").status, 0);
  nlohmann::json event = {
      {"eventId", "MAPEV"},
      {"origin", {{"valid", true}, {"lat", 42.7}, {"lon", 74.6}, {"depth", 15}, {"time", 1.7e9}}},
      {"phases",
       {{{"station", "DM01"},
         {"channel", "BHZ"},
         {"phase", "P"},
         {"time", 1.7e9 + 20},
         {"hasPolarization", 1},
         {"azimuth", 200}}}}};
  const auto file = dir_->WriteFile("event.json", event.dump());
  const CliResult save = Nuvcli("event save '" + file.string() + "'");
  ASSERT_EQ(save.status, 0) << save.err << save.out;
  const CliResult run = Nuvcli("map render --out '" + (dir_->path() / "ev.png").string() +
                               "' --event MAPEV --azimuth --mode simple");
  ASSERT_EQ(run.status, 0) << run.err;
  const auto json = nlohmann::json::parse(run.out);
  EXPECT_EQ(json["events"], 1);
  EXPECT_EQ(json["azimuths"], 1);
  // Without the event the origin is not drawn.
  const CliResult plain =
      Nuvcli("map render --out '" + (dir_->path() / "plain.png").string() + "'");
  EXPECT_EQ(nlohmann::json::parse(plain.out)["events"], 0);
}

TEST_F(MapCli, DamagedOrMissingCoastlineLeavesTheLayerEmpty) {
  // One record and a stray byte.
  const auto bad = dir_->WriteFile("bad.pnt", std::string("\xe9\x03\x10\x00\x20\x00\x01", 7));
  const CliResult damaged = Nuvcli("map render --out '" + (dir_->path() / "d.png").string() +
                                   "' --coast '" + bad.string() + "'");
  ASSERT_EQ(damaged.status, 0) << damaged.err;
  EXPECT_EQ(nlohmann::json::parse(damaged.out)["coastline"]["points"], 1);
  EXPECT_NE(damaged.err.find("map.pnt"), std::string::npos) << damaged.err;
  const CliResult missing = Nuvcli("map render --out '" + (dir_->path() / "m.png").string() +
                                   "' --coast '" + (dir_->path() / "none.pnt").string() + "'");
  ASSERT_EQ(missing.status, 0) << missing.err;
  EXPECT_EQ(nlohmann::json::parse(missing.out)["coastline"]["points"], 0);
}

TEST_F(MapCli, RefusesBadArgumentsAndUnwritableOutput) {
  for (const char* args :
       {"map render", "map render --out x.png --mode relief3", "map render --out x.png --width 5",
        "map render --out x.png --view 0 10 50 40", "map render --out x.png --view 0 10",
        "map render --out x.png extra"}) {
    const CliResult run = Nuvcli(args);
    EXPECT_NE(run.status, 0) << args;
    EXPECT_FALSE(run.err.empty()) << args;
    EXPECT_TRUE(run.out.empty()) << args;
  }
  const CliResult unwritable = Nuvcli("map render --out /proc/none/x.png");
  EXPECT_NE(unwritable.status, 0);
  EXPECT_NE(unwritable.err.find("Ошибка записи файла"), std::string::npos) << unwritable.err;
  const CliResult noEvent =
      Nuvcli("map render --out '" + (dir_->path() / "e.png").string() + "' --event NOSUCHEVENT");
  EXPECT_NE(noEvent.status, 0);
  EXPECT_NE(noEvent.err.find("no such event"), std::string::npos) << noEvent.err;
}

}  // namespace
}  // namespace nuv::test
