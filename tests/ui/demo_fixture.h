#pragma once
// The program started on a small generated demo setup (three stations, five
// minutes), the way run-demo.sh starts it, with the real frame services and
// scripted answers to its messages.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/nuv_app.h"
#include "frame_fixture.h"

namespace nuv::test {

// Theoretical P and S arrivals (epoch s) of a station in the demo's EVENT.txt.
struct DemoArrival {
  double p = 0, s = 0;
};

// Station code -> its arrivals, from the demo's EVENT.txt.
inline std::map<std::string, DemoArrival> DemoArrivals(const std::filesystem::path& demo) {
  std::map<std::string, DemoArrival> arrivals;
  std::ifstream in(demo / "EVENT.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string code;
    double lat, lon, distance, p, s;
    if (fields >> code >> lat >> lon >> distance >> p >> s && p > 0) arrivals[code] = {p, s};
  }
  return arrivals;
}

// Station code -> theoretical P arrival.
inline std::map<std::string, double> DemoPArrivals(const std::filesystem::path& demo) {
  std::map<std::string, double> arrivals;
  for (const auto& [code, a] : DemoArrivals(demo)) arrivals[code] = a.p;
  return arrivals;
}

// A small demo (three stations, five minutes) in a temporary folder, with the
// ODBC data sources pointing at it.
class DemoFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameTestApp();
    const std::string command = std::string(NUV_BINARY_DIR) + "/tools/nuvdemo --out " +
                                demo.string() + " --stations 3 --minutes 5 > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    if (const char* previous = std::getenv("ODBCINI")) previousOdbcIni = previous;
    setenv("ODBCINI", (demo / "odbc.ini").c_str(), 1);
  }
  // The other suites' data sources live in the file ODBCINI named before.
  void TearDown() override {
    if (previousOdbcIni)
      setenv("ODBCINI", previousOdbcIni->c_str(), 1);
    else
      unsetenv("ODBCINI");
  }
  // Starts the program on the demo the way run-demo.sh does, with `args`
  // after the program's name.
  bool Start(CNuvApp& app, const std::vector<std::string>& args = {}) {
    StartupOptions options;
    options.args = {"nuv"};
    options.args.insert(options.args.end(), args.begin(), args.end());
    options.settingsDir = demo / "settings";
    options.executableDir = dir.path().string() + "/";
    FrameServices services = DefaultFrameServices();
    return app.InitInstance(options, services, &prompts);
  }

  TempDir dir;
  const std::filesystem::path demo = dir.path() / "demo";
  ScriptedPrompts prompts;
  std::optional<std::string> previousOdbcIni;
};

}  // namespace nuv::test
