// nuvdemo: builds the workstation's demo setup in a folder.
//
//   nuvdemo --out DIR [--calibration DIR] [--stations N] [--minutes M] [--rate SPS] [--array N]

#include <cstdio>
#include <exception>
#include <string>

#include "demo_setup.h"

namespace {

int Usage(const char* why) {
  if (why) std::fprintf(stderr, "nuvdemo: %s\n", why);
  std::fprintf(stderr,
               "usage: nuvdemo --out DIR [--calibration DIR] [--stations N] [--minutes M] "
               "[--rate SPS] [--array N]\n"
               "  --out DIR          folder that receives the demo (settings, database, data)\n"
               "  --calibration DIR  magnitude calibration tables to copy (mb.txt, ML.txt ...)\n"
               "  --stations N       three-component stations, 3..20 (default 12)\n"
               "  --minutes M        length of every recording (default 60)\n"
               "  --rate SPS         sampling rate (default 20)\n"
               "  --array N          add a small array of N stations, 0 or 4..25 (default 0)\n");
  return why ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  nuv::demo::DemoOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return Usage(nullptr);
    if (i + 1 >= argc) return Usage(("missing value of " + arg).c_str());
    const std::string value = argv[++i];
    try {
      if (arg == "--out")
        options.outDir = value;
      else if (arg == "--calibration")
        options.calibrationDir = value;
      else if (arg == "--stations")
        options.stations = std::stoi(value);
      else if (arg == "--minutes")
        options.minutes = std::stod(value);
      else if (arg == "--rate")
        options.rate = std::stod(value);
      else if (arg == "--array")
        options.arrayElements = std::stoi(value);
      else
        return Usage(("unexpected argument " + arg).c_str());
    } catch (const std::exception&) {
      return Usage(("not a number for " + arg + ": " + value).c_str());
    }
  }
  if (options.outDir.empty()) return Usage("--out DIR is required");
  if (options.stations < 3 || options.stations > 20) return Usage("--stations must be 3..20");
  if (!(options.minutes > 0 && options.minutes <= 24 * 60))
    return Usage("--minutes must be 0..1440");
  if (!(options.rate >= 1 && options.rate <= 1000)) return Usage("--rate must be 1..1000");
  if (options.arrayElements != 0 && (options.arrayElements < 4 || options.arrayElements > 25))
    return Usage("--array must be 0 or 4..25");
  try {
    const nuv::demo::DemoReport report = nuv::demo::BuildDemo(options);
    std::printf("nuvdemo: %zu stations, %d data files, event %.2f %.2f %.0f km in %s\n",
                report.stations.size(), report.files, report.event.lat, report.event.lon,
                report.event.depth, options.outDir.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nuvdemo: %s\n", e.what());
    return 1;
  }
}
