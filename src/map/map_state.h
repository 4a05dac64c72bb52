#pragma once
// The map window's state apart from its widgets, and what it takes from the
// workstation for one redraw: the stations (with the chosen network's
// filter and their distance estimates), the azimuths of the phase list, the
// current origin with its ellipse and the starting epicentre.

#include <string>
#include <vector>

#include "map/map_scene.h"

namespace nuv {
class Workstation;
struct DistAzResult;
struct SeismoNetwork;
class StationTable;
}  // namespace nuv

namespace nuv::map {

// The starting epicentre the location procedure starts from.
struct StartEpicentre {
  bool set = false;
  float lat = 0, lon = 0;
  float depth = -1;        // km; -1 = not given
  double originTime = -1;  // epoch seconds; -1 = not given
  std::string comment;     // up to 128 characters, kept between dialogs
};

inline constexpr size_t kCommentLength = 128;

// The fields of the starting-epicentre dialog as typed. The epicentre is set
// when both latitude and longitude hold numbers in range, else cleared; an
// empty or unreadable depth becomes -1; an origin time of 0 or less -1.
// `error` names a field that holds text that is not a number.
struct StartEpicentreFields {
  std::string lat, lon, depth, comment;
  double originTime = 0;
};
StartEpicentre ApplyStartEpicentreFields(const StartEpicentreFields& fields, std::string& error);

// The current origin as the last redraw saw it.
struct SeenOrigin {
  bool valid = false;
  float lat = 0, lon = 0;
  bool operator==(const SeenOrigin&) const = default;
};

struct MapState {
  MapView view;
  DrawMode mode = DrawMode::Simple;
  bool drawAzimuth = false;
  int stationFilter = -1;  // index in the network list; -1 = all stations
  StartEpicentre start;
  // Set once the view was fitted to the stations or chosen by a command.
  bool viewChosen = false;
  SeenOrigin seenOrigin;
};

// "55.750N 37.620E".
std::string CursorText(double lat, double lon);
// "Аз.=%.2f° Обр.аз.=%.2f° Рас.=%.2f°".
std::string MeasureText(const DistAzResult& result);

// The stations of the table, or of network `filter` (its list is the codes
// each followed by ";"); a filter outside the list means all stations.
std::vector<MapStation> MapStations(const StationTable& stations,
                                    const std::vector<float>& distances,
                                    const std::vector<SeismoNetwork>& networks, int filter);

// The scene input for the current state of the workstation, over the line
// files given (null: the layer is empty).
MapSceneInput SceneInput(Workstation& ws, const MapState& state, const Coastline* coastline,
                         const Coastline* borders = nullptr, const Coastline* lakes = nullptr);

// Before a redraw on a map rectangle of `aspect` (width / height): the first
// view, unless a command chose one, fits every station of the station table
// that has coordinates; a current origin other than the one the last redraw
// saw, lying outside the view, becomes the view's centre (the spans stay).
// True when the view changed.
bool PrepareView(Workstation& ws, MapState& state, double aspect);

}  // namespace nuv::map
