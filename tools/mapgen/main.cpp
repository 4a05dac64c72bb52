// Converts the lines of a TopoJSON world atlas (Natural Earth through npm
// packages) into the map's polyline files (the format of map.pnt):
//
//   mapgen --topojson land-50m.json [--object land] --out map.pnt
//   mapgen --topojson countries-50m.json --object countries --shared --out borders.pnt
//   mapgen --topojson world_50m.json --object lakes --out lakes.pnt
//
// Every arc the object uses is written once as a polyline; with --shared only
// the arcs that two different geometries of the object use (the borders
// between countries, not their coasts). Consecutive points that fall on the
// same minute of arc are written once.

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "map/coastline.h"
#include "platform/file_write.h"

namespace {

using nlohmann::json;

// Collects the arc indices (negative = ~index, reversed) of any geometry.
void CollectArcs(const json& node, std::set<int>& arcs) {
  if (node.is_number_integer()) {
    const int i = node.get<int>();
    arcs.insert(i < 0 ? ~i : i);
  } else if (node.is_array()) {
    for (const json& child : node) CollectArcs(child, arcs);
  }
}

void CollectGeometryArcs(const json& geometry, std::set<int>& arcs) {
  if (geometry.contains("geometries"))
    for (const json& g : geometry["geometries"]) CollectGeometryArcs(g, arcs);
  if (geometry.contains("arcs")) CollectArcs(geometry["arcs"], arcs);
}

// The arcs of the object's geometries: all of them, or (`shared`) those
// that two or more different geometries use.
std::set<int> ObjectArcs(const json& object, bool shared) {
  std::set<int> used;
  if (!shared) {
    CollectGeometryArcs(object, used);
    return used;
  }
  std::map<int, int> users;  // arc -> geometries that use it
  for (const json& geometry : object.value("geometries", json::array())) {
    std::set<int> own;
    CollectGeometryArcs(geometry, own);
    for (int arc : own) ++users[arc];
  }
  for (const auto& [arc, count] : users)
    if (count >= 2) used.insert(arc);
  return used;
}

nuv::map::Coastline Convert(const json& topo, const std::string& object, bool shared) {
  const json& arcs = topo.at("arcs");
  double sx = 1, sy = 1, tx = 0, ty = 0;
  const bool quantized = topo.contains("transform");
  if (quantized) {
    sx = topo["transform"]["scale"][0];
    sy = topo["transform"]["scale"][1];
    tx = topo["transform"]["translate"][0];
    ty = topo["transform"]["translate"][1];
  }
  const std::set<int> used = ObjectArcs(topo.at("objects").at(object), shared);
  nuv::map::Coastline coast;
  for (int index : used) {
    if (index < 0 || index >= static_cast<int>(arcs.size())) continue;
    std::vector<nuv::map::GeoPoint> line;
    double x = 0, y = 0;
    long lastLat = 1 << 20, lastLon = 1 << 20;
    for (const json& pos : arcs[static_cast<size_t>(index)]) {
      if (quantized) {
        x += pos[0].get<double>();
        y += pos[1].get<double>();
      } else {
        x = pos[0].get<double>();
        y = pos[1].get<double>();
      }
      const double lon = quantized ? x * sx + tx : x, lat = quantized ? y * sy + ty : y;
      const long mLat = std::lround(std::clamp(lat, -90.0, 90.0) * 60);
      const long mLon = std::lround(std::clamp(lon, -180.0, 180.0) * 60);
      if (mLat == lastLat && mLon == lastLon) continue;
      lastLat = mLat;
      lastLon = mLon;
      line.push_back({static_cast<float>(mLat / 60.0), static_cast<float>(mLon / 60.0)});
    }
    if (line.size() >= 2) coast.polylines.push_back(std::move(line));
  }
  return coast;
}

}  // namespace

int main(int argc, char** argv) {
  std::string input, output, object = "land";
  bool shared = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--shared") {
      shared = true;
      continue;
    }
    if (i + 1 >= argc) break;
    if (arg == "--topojson")
      input = argv[i + 1];
    else if (arg == "--out")
      output = argv[i + 1];
    else if (arg == "--object")
      object = argv[i + 1];
    ++i;
  }
  if (input.empty() || output.empty()) {
    std::cerr << "usage: mapgen --topojson FILE.json [--object NAME] [--shared] --out FILE.pnt\n";
    return 2;
  }
  try {
    std::ifstream in(input);
    if (!in) throw std::runtime_error("cannot open " + input);
    const nuv::map::Coastline coast = Convert(json::parse(in), object, shared);
    if (!nuv::ReplaceFile(output, nuv::map::EncodeCoastline(coast)))
      throw std::runtime_error("cannot write " + output);
    std::cout << json{{"polylines", coast.polylines.size()}, {"points", coast.pointCount()}}.dump()
              << "\n";
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
