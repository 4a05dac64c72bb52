#include "map/map_state.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "db/inventory.h"
#include "db/station_table.h"
#include "platform/number_field.h"
#include "traveltime/dist_az.h"
#include "workstation/workstation.h"

namespace nuv::map {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A number that fills the whole text (a decimal comma is taken too).
bool ParseNumber(const std::string& text, double& value) {
  const std::optional<double> typed = ParseNumberField(text);
  if (typed) value = *typed;
  return typed.has_value();
}

// The first `count` characters of a UTF-8 text (never half a character).
std::string CutCharacters(const std::string& text, size_t count) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (chars++ == count) return text.substr(0, i);
  }
  return text;
}

}  // namespace

StartEpicentre ApplyStartEpicentreFields(const StartEpicentreFields& fields, std::string& error) {
  error.clear();
  StartEpicentre start;
  start.comment = CutCharacters(fields.comment, kCommentLength);
  double lat = 0, lon = 0, depth = 0;
  const bool haveLat = ParseNumber(fields.lat, lat), haveLon = ParseNumber(fields.lon, lon);
  if (!Trim(fields.lat).empty() && !haveLat) error = "Широта";
  if (!Trim(fields.lon).empty() && !haveLon) error = "Долгота";
  if (haveLat && haveLon && std::fabs(lat) <= 90 && std::fabs(lon) <= 180) {
    start.set = true;
    start.lat = static_cast<float>(lat);
    start.lon = static_cast<float>(lon);
  } else if (haveLat && haveLon) {
    error = std::fabs(lat) > 90 ? "Широта" : "Долгота";
  }
  if (ParseNumber(fields.depth, depth) && depth >= 0)
    start.depth = static_cast<float>(depth);
  else if (!Trim(fields.depth).empty())
    error = "Глубина(км.)";
  start.originTime = fields.originTime > 0 ? fields.originTime : -1;
  return start;
}

std::string CursorText(double lat, double lon) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f%s %.3f%s", std::fabs(lat), lat > 0 ? "N" : "S",
                std::fabs(lon), lon > 0 ? "E" : "W");
  return text;
}

std::string MeasureText(const DistAzResult& result) {
  char text[128];
  std::snprintf(text, sizeof text, "Аз.=%.2f° Обр.аз.=%.2f° Рас.=%.2f°", result.azimuth,
                result.backAzimuth, result.distance);
  return text;
}

std::vector<MapStation> MapStations(const StationTable& stations,
                                    const std::vector<float>& distances,
                                    const std::vector<SeismoNetwork>& networks, int filter) {
  const std::string* members = nullptr;
  if (filter >= 0 && filter < static_cast<int>(networks.size()))
    members = &networks[static_cast<size_t>(filter)].list;
  std::vector<MapStation> out;
  for (int i = 0; i < stations.size(); ++i) {
    const CScreenFields& s = stations[i];
    if (members && members->find(s.code + ";") != 0 &&
        members->find(";" + s.code + ";") == std::string::npos)
      continue;
    MapStation m;
    m.code = s.code;
    m.lat = s.lat;
    m.lon = s.lon;
    if (i < static_cast<int>(distances.size())) m.distance = distances[static_cast<size_t>(i)];
    out.push_back(std::move(m));
  }
  return out;
}

MapSceneInput SceneInput(Workstation& ws, const MapState& state, const Coastline* coastline,
                         const Coastline* borders, const Coastline* lakes) {
  MapSceneInput input;
  input.view = state.view;
  input.mode = state.mode;
  input.coastline = coastline;
  input.borders = borders;
  input.lakes = lakes;
  input.stations =
      MapStations(ws.stations(), ws.event().stationDistance, ws.networks(), state.stationFilter);
  input.drawAzimuth = state.drawAzimuth;
  const NUVPhases& phases = ws.phases();
  for (int i = 0; i < phases.Count(); ++i) {
    const SEISMIC_PHASE* p = phases.GetAt(i);
    if (!p || !p->hasPolarization || p->station < 0 || p->station >= ws.stations().size()) continue;
    const CScreenFields& s = ws.stations()[p->station];
    input.azimuths.push_back({s.lat, s.lon, p->azimuth});
  }
  if (state.start.set) input.startEpicentre = GeoPoint{state.start.lat, state.start.lon};
  const CurrentEvent& event = ws.event();
  if (event.originValid) {
    MapOrigin origin{event.originLat, event.originLon};
    if (event.ellipse.valid()) {
      origin.major = event.ellipse.major;
      origin.minor = event.ellipse.minor;
      origin.direction = event.ellipse.direction;
    }
    input.origin = origin;
  }
  return input;
}

bool PrepareView(Workstation& ws, MapState& state, double aspect) {
  bool changed = false;
  if (!state.viewChosen) {
    // A station at exactly 0° N 0° E is one whose coordinates were never filled.
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < ws.stations().size(); ++i) {
      const CScreenFields& s = ws.stations()[i];
      if (s.lat != 0 || s.lon != 0) points.emplace_back(s.lat, s.lon);
    }
    if (!points.empty()) {
      state.view = FitView(points, aspect);
      state.viewChosen = true;
      changed = true;
    }
  }
  const CurrentEvent& event = ws.event();
  const SeenOrigin now =
      event.originValid ? SeenOrigin{true, event.originLat, event.originLon} : SeenOrigin{};
  if (now != state.seenOrigin) {
    state.seenOrigin = now;
    if (now.valid && !state.view.Contains(now.lat, now.lon)) {
      state.view.CentreOn(now.lat, now.lon);
      changed = true;
    }
  }
  return changed;
}

}  // namespace nuv::map
