// The map window's picture drawn offscreen: stations, the current event's
// epicentre and ellipse, distance circles, azimuths, country borders, lakes
// and the coastline, as a PNG file, with what was drawn on standard output.

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "cli.h"
#include "map/coastline.h"
#include "map/map_raster.h"
#include "map/map_state.h"
#include "platform/file_write.h"

namespace nuv::cli {
namespace {

constexpr const char* kRenderUsage =
    "--out FILE.png [--width W] [--height H] [--mode simple|coast|relief] "
    "[--view W E S N] [--event ID] [--coast FILE] [--borders FILE] [--lakes FILE] [--azimuth]";

map::DrawMode ParseMode(const std::string& text) {
  if (text == "simple") return map::DrawMode::Simple;
  if (text == "coast") return map::DrawMode::Coastline;
  if (text == "relief") return map::DrawMode::Relief;
  throw CliError("--mode must be simple, coast or relief: " + text);
}

int ParseSize(const std::optional<std::string>& text, int fallback, const char* what) {
  if (!text) return fallback;
  const long long v = ParseInteger(*text, what);
  if (v < 64 || v > 10000) throw CliError(std::string(what) + " must be 64..10000");
  return static_cast<int>(v);
}

// "--view W E S N": the view from its edges; the east edge may lie west of
// the west edge (a view across 180°). Without it: nullopt.
std::optional<map::MapView> ParseView(Args& args) {
  map::MapView view;
  auto it = std::find(args.begin(), args.end(), "--view");
  if (it == args.end()) return std::nullopt;
  if (args.end() - it < 5) throw CliError("usage: --view WEST EAST SOUTH NORTH");
  const double west = ParseDouble(it[1], "west"), east = ParseDouble(it[2], "east");
  const double south = ParseDouble(it[3], "south"), north = ParseDouble(it[4], "north");
  args.erase(it, it + 5);
  if (std::fabs(west) > 180 || std::fabs(east) > 180 || std::fabs(south) > 90 ||
      std::fabs(north) > 90 || south >= north)
    throw CliError("--view: longitudes -180..180, latitudes -90..90, south below north");
  double span = east - west;
  if (span <= 0) span += 360;
  view.SetRectangle(west, span, south, north);
  return view;
}

// A line file as read for the picture.
struct Layer {
  std::string file;
  map::Coastline lines;
  nlohmann::json Json(size_t drawnPoints) const {
    return {{"file", file}, {"points", drawnPoints}, {"polylines", lines.polylines.size()}};
  }
};

Layer ReadLayer(Session& session, const std::string& homeDir,
                const std::optional<std::string>& named, const char* name, bool wanted) {
  Layer layer{named.value_or(homeDir + name), {}};
  if (!wanted) return layer;
  map::CoastlineLoad load = map::ReadCoastline(layer.file, name);
  if (!load.problem.empty()) session.prompts().ShowError(load.problem);
  layer.lines = std::move(load.coastline);
  return layer;
}

nlohmann::json RunMapRender(Session& session, const Args& input) {
  Args args = input;
  const std::optional<std::string> out = TakeOption(args, "--out");
  const int width = ParseSize(TakeOption(args, "--width"), 1600, "--width");
  const int height = ParseSize(TakeOption(args, "--height"), 1000, "--height");
  const std::optional<std::string> mode = TakeOption(args, "--mode");
  const std::optional<std::string> event = TakeOption(args, "--event");
  const std::optional<std::string> coastFile = TakeOption(args, "--coast");
  const std::optional<std::string> bordersFile = TakeOption(args, "--borders");
  const std::optional<std::string> lakesFile = TakeOption(args, "--lakes");
  map::MapState state;
  const std::optional<map::MapView> view = ParseView(args);
  if (view) state.view = *view;
  state.mode = mode ? ParseMode(*mode) : map::DrawMode::Coastline;
  state.drawAzimuth = TakeFlag(args, "--azimuth");
  if (!out || !args.empty()) throw CliError(std::string("usage: map render ") + kRenderUsage);

  Workstation& ws = event ? LoadStoredEvent(session, *event) : session.workstation();
  // The line files of the home directory (or those named); a missing or
  // damaged file leaves its layer empty and says why on standard error.
  const std::string& home = ws.config().homeDir;
  const Layer coast =
      ReadLayer(session, home, coastFile, map::kCoastFile, state.mode == map::DrawMode::Coastline);
  const bool lines = state.mode != map::DrawMode::Relief;
  const Layer borders = ReadLayer(session, home, bordersFile, map::kBordersFile, lines);
  const Layer lakes = ReadLayer(session, home, lakesFile, map::kLakesFile, lines);
  map::MapSceneInput sceneInput;
  // Without --view the picture shows what the window first shows: the
  // stations, and the event's origin when it lies outside them.
  if (!view) {
    const map::MapRect rect =
        map::MapRectangle(width, height, sceneInput.marginX, sceneInput.marginY);
    map::PrepareView(ws, state, static_cast<double>(rect.width()) / rect.height());
  }
  sceneInput = map::SceneInput(ws, state, &coast.lines, &borders.lines, &lakes.lines);
  sceneInput.width = width;
  sceneInput.height = height;
  const map::MapScene scene = map::BuildMapScene(sceneInput);
  const std::string png = map::EncodePng(map::Rasterise(scene));
  if (!ReplaceFile(*out, png)) throw CliError("Ошибка записи файла " + *out);
  return {{"out", *out},
          {"width", width},
          {"height", height},
          {"drawn", scene.drawn},
          {"coastline", coast.Json(scene.coastPoints)},
          {"borders", borders.Json(scene.borderPoints)},
          {"lakes", lakes.Json(scene.lakePoints)},
          {"stations", scene.stations},
          {"hiddenLabels", scene.hiddenLabels},
          {"events", scene.events},
          {"circles", scene.circles},
          {"azimuths", scene.azimuths},
          // Relief bitmaps are drawn by the window only; the count says
          // how many band parts the view would take.
          {"reliefPatches", scene.relief.size()},
          {"view", {state.view.west, state.view.east, state.view.south, state.view.north}}};
}

}  // namespace

std::vector<Command> MapCommands() {
  return {{"map render", kRenderUsage, RunMapRender}};
}

}  // namespace nuv::cli
