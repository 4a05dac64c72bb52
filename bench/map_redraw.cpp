// A full redraw of the map window at 1600 × 1000 with 500 stations and the
// shipped coastline: the window's own redraw through QPainter into an image,
// and the command line's redraw (scene and software rasteriser), each with
// the scene building alone for comparison.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "map/coastline.h"
#include "map/map_raster.h"
#include "map/map_scene.h"
#include "map/map_state.h"
#include "map/ui/map_window.h"
#include "offscreen_waveform.h"
#include "platform/scripted_prompts.h"
#include "workstation/workstation.h"

namespace {

using namespace nuv;

constexpr int kStations = 500;
const std::string kCoastFile = std::string(NUV_SOURCE_DIR) + "/data/map/map.pnt";

// 500 stations spread over the globe (a fixed pseudo-random pattern).
void AddStations(StationTable& table) {
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<double>((seed >> 8) & 0xffff) / 65535.0;
  };
  for (int i = 0; i < kStations; ++i) {
    CScreenFields s;
    s.code = "S" + std::to_string(i);
    s.lat = static_cast<float>(next() * 160 - 80);
    s.lon = static_cast<float>(next() * 360 - 180);
    table.records().push_back(s);
  }
}

map::MapSceneInput CoreInput(const map::Coastline& coast, const StationTable& table) {
  map::MapSceneInput input;
  input.width = 1600;
  input.height = 1000;
  input.mode = map::DrawMode::Coastline;
  input.coastline = &coast;
  input.stations = map::MapStations(table, {}, {}, -1);
  return input;
}

void BM_MapSceneBuild(benchmark::State& state) {
  const map::Coastline coast = map::ReadCoastline(kCoastFile).coastline;
  StationTable table;
  AddStations(table);
  const map::MapSceneInput input = CoreInput(coast, table);
  for (auto _ : state) benchmark::DoNotOptimize(map::BuildMapScene(input));
}
BENCHMARK(BM_MapSceneBuild)->Unit(benchmark::kMillisecond);

void BM_MapRedrawSoftware(benchmark::State& state) {
  const map::Coastline coast = map::ReadCoastline(kCoastFile).coastline;
  StationTable table;
  AddStations(table);
  const map::MapSceneInput input = CoreInput(coast, table);
  for (auto _ : state) benchmark::DoNotOptimize(map::Rasterise(map::BuildMapScene(input)));
}
BENCHMARK(BM_MapRedrawSoftware)->Unit(benchmark::kMillisecond);

// The window's redraw: the scene from the workstation and QPainter.
void BM_MapRedrawWindow(benchmark::State& state) {
  bench::OffscreenApp();
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("bench_map_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "settings");
  ScriptedPrompts prompts;
  Config config;
  config.settingsDir = dir / "settings";
  config.homeDir = dir.string() + "/";
  std::filesystem::copy_file(kCoastFile, dir / "map.pnt",
                             std::filesystem::copy_options::overwrite_existing);
  {
    Workstation ws(config, prompts);
    AddStations(ws.stations());
    map::CMapWnd window(ws);
    window.OnCommand(map::cmd::kCoastlineMap);
    for (auto _ : state) benchmark::DoNotOptimize(window.Render(QSize(1600, 1000)));
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MapRedrawWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
