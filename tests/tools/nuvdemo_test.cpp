// The demo generator: the folder it builds, the database rows, the data
// files in both formats, and arrivals at the travel times of the event.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "fk/fk_search.h"
#include "platform/odbc.h"
#include "platform/profile_file.h"
#include "platform/settings_store.h"
#include "support/temp_dir.h"
#include "waveview/channel_list.h"

namespace nuv::test {
namespace {

struct Truth {
  double origin = 0, lat = 0, lon = 0, depth = 0;
  struct Station {
    std::string code;
    double lat, lon, distance, p, s;
  };
  std::vector<Station> stations;
};

Truth ReadTruth(const std::filesystem::path& path) {
  std::ifstream in(path);
  Truth truth;
  std::string line;
  bool haveOrigin = false;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    if (!haveOrigin) {
      fields >> truth.origin >> truth.lat >> truth.lon >> truth.depth;
      haveOrigin = true;
    } else {
      Truth::Station s;
      fields >> s.code >> s.lat >> s.lon >> s.distance >> s.p >> s.s;
      truth.stations.push_back(s);
    }
  }
  return truth;
}

std::string Binary() {
  return std::string(NUV_BINARY_DIR) + "/tools/nuvdemo";
}

class DemoTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const std::string command = Binary() + " --out " + (dir_->path() / "demo").string() +
                                " --calibration " + NUV_SOURCE_DIR + "/data/calibration" +
                                " --stations 4 --minutes 4 --rate 40 > /dev/null";
    status_ = std::system(command.c_str());
  }
  static void TearDownTestSuite() { delete dir_; }
  std::filesystem::path Demo() const { return dir_->path() / "demo"; }

  static TempDir* dir_;
  static int status_;
};
TempDir* DemoTest::dir_ = nullptr;
int DemoTest::status_ = -1;

TEST_F(DemoTest, BuildsTheWholeSetup) {
  ASSERT_EQ(status_, 0);
  for (const char* name :
       {"settings/NUV.INI", "odbc.ini", "nuv.sqlite", "EVENT.txt", "home/phases/iasp91/phaselist",
        "home/mb.txt", "home/ML.txt", "home/RESPONSE/DM01.BHZ.fap"})
    EXPECT_TRUE(std::filesystem::exists(Demo() / name)) << name;
  const ProfileFile ini(Demo() / "settings/NUV.INI");
  EXPECT_EQ(ini.GetString("DATABASE", "ODBC", "", 33), "NUV");
  EXPECT_EQ(ini.GetString("GODOGRAPH", "DIR0", "", 512), (Demo() / "home/phases/iasp91").string());
  EXPECT_EQ(ini.GetString("DATA", "DIR", "", 512), (Demo() / "data").string() + "/");
  // Every text file says how it was made.
  EXPECT_NE(TempDir::ReadFile(Demo() / "odbc.ini").find("nuvdemo"), std::string::npos);
  EXPECT_NE(TempDir::ReadFile(Demo() / "settings/NUV.INI").find("nuvdemo"), std::string::npos);

  // A FAP file: the count, then as many frequency-amplitude pairs.
  std::ifstream fap(Demo() / "home/RESPONSE/DM02.BHN.fap");
  int n = 0;
  fap >> n;
  ASSERT_GT(n, 10);
  double f = 0, a = 0, lastF = 0;
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE(fap >> f >> a);
    EXPECT_GT(f, lastF);
    EXPECT_GT(a, 0);
    lastF = f;
  }
}

TEST_F(DemoTest, DatabaseRowsDescribeTheNetworkAndTheFiles) {
  ASSERT_EQ(status_, 0);
  setenv("ODBCINI", (Demo() / "odbc.ini").c_str(), 1);
  odbc::Connection db;
  db.Open("DSN=NUV;UID=nuv;PWD=nuv;");
  auto count = [&](const std::string& sql) {
    odbc::Statement st = db.Query(sql);
    EXPECT_TRUE(st.Fetch());
    return st.GetInt(1).value_or(-1);
  };
  EXPECT_EQ(count("select count(*) from SITE"), 4);
  EXPECT_EQ(count("select count(*) from SITECHAN"), 12);
  EXPECT_EQ(count("select count(*) from CALIBRATION where SAC like 'ZEROS%'"), 12);
  EXPECT_EQ(count("select count(*) from FILELIST where DATATYPE=3 and FOFF=512"), 9);
  EXPECT_EQ(count("select count(*) from FILELIST where DATATYPE=7 and FOFF=256"), 3);
  odbc::Statement nets = db.Query("select NETNAME, NETLIST from NETWORKS");
  ASSERT_TRUE(nets.Fetch());
  EXPECT_EQ(nets.GetText(1), "DEMO");
  EXPECT_EQ(nets.GetText(2), "DM01;DM02;DM03;DM04;");

  // Every file named in FILELIST exists with its header and all its samples.
  odbc::Statement files = db.Query("select CPATH, DATATYPE, FOFF, SPS, TQTY from FILELIST");
  int rows = 0;
  while (files.Fetch()) {
    ++rows;
    const auto path = Demo() / "data" / *files.GetText(1);
    const std::string bytes = TempDir::ReadFile(path);
    const long long type = *files.GetInt(2), offset = *files.GetInt(3);
    const double samples = *files.GetDouble(4) * *files.GetDouble(5);
    EXPECT_EQ(static_cast<double>(bytes.size()), offset + samples * (type == 7 ? 3 : 4)) << path;
    if (type == 3) EXPECT_EQ(bytes.rfind("[NUV4.0]", 0), 0u) << path;
    if (type == 7) EXPECT_NE(bytes.substr(0, offset).find("nuvdemo"), std::string::npos);
  }
  EXPECT_EQ(rows, 12);
}

// The samples of a WFD file after its header.
std::vector<float> ReadWfd(const std::filesystem::path& path) {
  const std::string bytes = TempDir::ReadFile(path);
  std::vector<float> out((bytes.size() - 512) / 4);
  std::memcpy(out.data(), bytes.data() + 512, out.size() * 4);
  return out;
}

TEST_F(DemoTest, ArrivalsComeAtTheTravelTimesOfTheEvent) {
  ASSERT_EQ(status_, 0);
  const Truth truth = ReadTruth(Demo() / "EVENT.txt");
  ASSERT_EQ(truth.stations.size(), 4u);
  EXPECT_DOUBLE_EQ(truth.lat, 42.70);
  // The nearest station: a straight ray through the upper crust of IASP91
  // (5.8 km/s) from 15 km depth gives the P time within a few tenths.
  const auto& near = truth.stations[0];
  const double km = near.distance * 111.195;
  EXPECT_NEAR(near.p - truth.origin, std::hypot(km, 15.0) / 5.8, 0.4);
  EXPECT_NEAR(near.s - truth.origin, std::hypot(km, 15.0) / 3.36, 0.8);
  for (const auto& s : truth.stations) {
    EXPECT_GT(s.s, s.p) << s.code;
    EXPECT_GT(s.p, truth.origin) << s.code;
  }

  // On the vertical of a WFD station the signal starts at the P time: the
  // sample after it rises far above the noise before it.
  const double start = truth.origin - std::clamp(0.15 * 240, 10.0, 600.0) - 0.37;
  const double rate = 40;
  for (const auto& s : truth.stations) {
    if (s.code == "DM04") continue;  // the 24-bit station
    std::filesystem::path file;
    for (const auto& entry : std::filesystem::directory_iterator(Demo() / "data" / s.code))
      if (entry.path().extension() == ".BHZ") file = entry.path();
    const std::vector<float> z = ReadWfd(file);
    const size_t onset = static_cast<size_t>(std::ceil((s.p - start) * rate));
    ASSERT_LT(onset + 40, z.size());
    double before = 0, after = 0;
    for (size_t i = onset - 40; i < onset; ++i) before = std::max(before, std::fabs(z[i] * 1.0));
    for (size_t i = onset; i < onset + 40; ++i) after = std::max(after, std::fabs(z[i] * 1.0));
    EXPECT_GT(after, 5 * before) << s.code;
  }
}

TEST_F(DemoTest, ChannelListsOpenEveryChannelAroundTheEvent) {
  ASSERT_EQ(status_, 0);
  const SettingsStore store(Demo() / "settings/registry.txt");
  const Truth truth = ReadTruth(Demo() / "EVENT.txt");
  const auto vertical = LoadChannelList(store, "DEMO-Z");
  ASSERT_EQ(vertical.size(), truth.stations.size());
  for (size_t i = 0; i < vertical.size(); ++i) {
    EXPECT_EQ(vertical[i].sta, truth.stations[i].code);
    EXPECT_EQ(vertical[i].chan, "BHZ");
    EXPECT_EQ(vertical[i].IsMain(), i == 0);  // one main pane, the nearest station
  }
  // The three nearest stations with their three components.
  const auto threeComponent = LoadChannelList(store, "DEMO-3C");
  ASSERT_EQ(threeComponent.size(), 9u);
  EXPECT_EQ(threeComponent[8].sta, truth.stations[2].code);
  EXPECT_EQ(threeComponent[8].chan, "BHE");
  // Every channel's window starts before the origin and holds every arrival.
  for (const auto& station : truth.stations)
    for (const char* chan : {"BHZ", "BHN", "BHE"}) {
      const auto window = LoadTimeWindow(store, station.code, chan);
      ASSERT_TRUE(window) << station.code << chan;
      EXPECT_LT(window->start, truth.origin);
      EXPECT_GT(window->start + window->length, station.s > 0 ? station.s : station.p);
    }
}

TEST(DemoArguments, BadArgumentsAreRefused) {
  TempDir dir;
  const std::string out = " --out " + (dir.path() / "x").string();
  EXPECT_NE(std::system((Binary() + " --stations 2" + out + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((Binary() + " --minutes abc" + out + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((Binary() + " 2>/dev/null").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x"));
}

// The demo with its small array: the elements carry their offsets, form a
// network and a channel list of their own, and their recordings hold the P
// wave as a plane wave that the F-K search finds again.
class DemoArrayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    const std::string command = Binary() + " --out " + (dir_->path() / "demo").string() +
                                " --stations 3 --minutes 4 --rate 40 --array 9 > /dev/null";
    status_ = std::system(command.c_str());
  }
  static void TearDownTestSuite() { delete dir_; }
  static TempDir* dir_;
  static int status_;
};
TempDir* DemoArrayTest::dir_ = nullptr;
int DemoArrayTest::status_ = -1;

TEST_F(DemoArrayTest, ArrayRecordsAPlaneWaveFromTheEpicentre) {
  ASSERT_EQ(status_, 0);
  const std::filesystem::path demo = dir_->path() / "demo";
  EXPECT_NE(
      std::system((Binary() + " --out " + (dir_->path() / "x").string() + " --array 3 2> /dev/null")
                      .c_str()),
      0);
  setenv("ODBCINI", (demo / "odbc.ini").c_str(), 1);
  odbc::Connection db;
  db.Open("DSN=NUV;UID=nuv;PWD=nuv;");
  odbc::Statement nets = db.Query("select NETLIST from NETWORKS where NETNAME='DEMO-AR'");
  ASSERT_TRUE(nets.Fetch());
  EXPECT_EQ(nets.GetText(1), "AR01;AR02;AR03;AR04;AR05;AR06;AR07;AR08;AR09;");

  const Truth truth = ReadTruth(demo / "EVENT.txt");
  std::map<std::string, double> pTime;
  for (const Truth::Station& s : truth.stations) pTime[s.code] = s.p;
  std::vector<FkPane> panes;
  odbc::Statement rows = db.Query(
      "select s.STA, s.DNORTH, s.DEAST, f.CPATH, f.TBEGIN from SITE s, FILELIST f where "
      "s.STATYPE='AR' and f.STA=s.STA and f.CH='BHZ' order by s.STA");
  double centreP = 0;
  while (rows.Fetch()) {
    FkPane pane;
    pane.station = *rows.GetText(1);
    pane.channel = "BHZ";
    pane.dnorth = static_cast<float>(*rows.GetDouble(2));
    pane.deast = static_cast<float>(*rows.GetDouble(3));
    pane.samples = ReadWfd(demo / "data" / *rows.GetText(4));
    pane.rate = 40;
    pane.start = *rows.GetDouble(5);
    pane.windowLength = pane.samples.size() / pane.rate;
    if (pane.dnorth == 0 && pane.deast == 0) centreP = pTime[pane.station];
    panes.push_back(std::move(pane));
  }
  ASSERT_EQ(panes.size(), 9u);
  ASSERT_GT(centreP, 0);
  // The plane wave of the P times themselves: least squares on the grid.
  double px = 0, py = 0, ee = 0, nn = 0;
  for (FkPane& pane : panes) {
    const double dt = pTime[pane.station] - centreP;
    px += dt * pane.deast;
    py += dt * pane.dnorth;
    ee += pane.deast * pane.deast;
    nn += pane.dnorth * pane.dnorth;
    pane.intervalStart = centreP - 0.5;
    pane.intervalEnd = centreP + 2.5;
    pane.hasInterval = true;
  }
  px /= ee;
  py /= nn;
  // P at three degrees: about 0.12 s/km, arriving from the epicentre to the
  // south-west (the array lies north-east of it).
  EXPECT_NEAR(std::hypot(px, py), 0.12, 0.02);
  FkSearchResult result;
  ASSERT_EQ(FkSearch(panes, 40, FkGrid{}, result), "");
  EXPECT_NEAR(result.slowness, std::hypot(px, py), 0.02);
  // The wave travels along (px, py); F-K gives the azimuth towards the source.
  EXPECT_NEAR(result.azimuth, FkAzimuth(-px, -py), 8);
  EXPECT_GT(result.azimuth, 180);
  EXPECT_LT(result.azimuth, 270);
}

}  // namespace
}  // namespace nuv::test
