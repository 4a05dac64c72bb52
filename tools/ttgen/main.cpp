// ttgen: writes a travel-time set (one table per phase, "phaselist" and a README) computed
// by tau-p integration from the built-in IASP91 model or from a model file.
//
//   ttgen [--model FILE] --out DIR
//
// The model file holds "depth vp vs" lines (see EarthModel::Parse); below its last depth
// IASP91 continues.

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "traveltime/taup_model.h"
#include "traveltime/taup_table.h"

namespace {

int Usage(const char* why) {
  if (why) std::fprintf(stderr, "ttgen: %s\n", why);
  std::fprintf(stderr,
               "usage: ttgen [--model FILE] --out DIR\n"
               "  --model FILE  velocity model (\"depth vp vs\" lines; IASP91 below its end);\n"
               "                without it the built-in IASP91 model is used\n"
               "  --out DIR     directory that receives the tables, \"phaselist\" and README\n");
  return why ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string modelPath, outDir;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return Usage(nullptr);
    if ((arg == "--model" || arg == "--out") && i + 1 < argc) {
      (arg == "--model" ? modelPath : outDir) = argv[++i];
    } else if (arg.rfind("--model=", 0) == 0) {
      modelPath = arg.substr(8);
    } else if (arg.rfind("--out=", 0) == 0) {
      outDir = arg.substr(6);
    } else {
      return Usage(("unexpected argument " + arg).c_str());
    }
  }
  if (outDir.empty()) return Usage("--out DIR is required");
  try {
    auto start = std::chrono::steady_clock::now();
    nuv::taup::EarthModel model = modelPath.empty() ? nuv::taup::EarthModel::Iasp91()
                                                    : nuv::taup::EarthModel::Load(modelPath);
    nuv::taup::GenerationReport report = nuv::taup::GenerateTravelTimeSet(model, outDir);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("ttgen: %zu files written to %s (model %s, %zu shells, %zu rays, %.1f s)\n",
                report.files.size(), outDir.c_str(), model.Name().c_str(), report.shells,
                report.rays, seconds);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ttgen: %s\n", e.what());
    return 1;
  }
}
