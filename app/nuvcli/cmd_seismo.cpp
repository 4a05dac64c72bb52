// Seismological computations: distance and azimuth, travel times and their
// inverses, location, magnitudes, energy classes and polarization.

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "db/station_table.h"
#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "platform/config.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "seismo/location.h"
#include "seismo/magnitudes.h"
#include "seismo/polarization.h"
#include "traveltime/dist_az.h"
#include "traveltime/travel_time.h"

namespace nuv::cli {
namespace {

// The configuration alone (travel-time set, home directory): these commands
// need no database.
Config LoadConfig(const Session& session) {
  Config config;
  config.settingsDir = DefaultSettingsDir();
  ApplyCommandLine(session.keys(), config);
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  LoadStartupSettings(ProfileFile(config.IniPath()),
                      ec ? std::string("./") : exe.parent_path().string() + "/", config);
  return config;
}

// The phase-type vocabulary of the configured set with the tables of the
// named phases read; unknown names and phases without tables are refused
// with the travel-time calculator's messages.
PhaseTypeTable LoadPhases(const Config& config, const std::vector<std::string>& names) {
  PhaseTypeTable types;
  const std::string dir = TravelTimeDirectory(config);
  types.LoadNames(dir);
  for (const std::string& name : names) {
    if (types.IndexOf(name) < 0)
      throw CliError(StrFormat("В системе отсутствует годограф %s", name.c_str()));
    if (!types.LoadTravelTimes(name, dir))
      throw CliError(StrFormat("Ошибка загрузки файла годографа %s", name.c_str()));
  }
  return types;
}

void CheckCoordinates(double lat, double lon) {
  if (!(lat >= -90 && lat <= 90) || !(lon >= -180 && lon <= 180))
    throw CliError("latitude must lie within -90..90 and longitude within -180..180");
}

nlohmann::json RunDistAz(Session&, const Args& args) {
  if (args.size() != 4) throw CliError("usage: distaz LAT1 LON1 LAT2 LON2");
  const double lat1 = ParseDouble(args[0], "LAT1"), lon1 = ParseDouble(args[1], "LON1");
  const double lat2 = ParseDouble(args[2], "LAT2"), lon2 = ParseDouble(args[3], "LON2");
  CheckCoordinates(lat1, lon1);
  CheckCoordinates(lat2, lon2);
  DistAzResult r;
  if (!DistAz(static_cast<float>(lat1), static_cast<float>(lon1), static_cast<float>(lat2),
              static_cast<float>(lon2), r))
    throw CliError("latitude must lie within -90..90 and longitude within -180..180");
  return {{"distance", r.distance}, {"azimuth", r.azimuth}, {"backAzimuth", r.backAzimuth}};
}

nlohmann::json RunTravelTime(Session& session, const Args& args) {
  if (args.size() != 3) throw CliError("usage: tt PHASE DEPTH DIST");
  const double depth = ParseDouble(args[1], "DEPTH"), dist = ParseDouble(args[2], "DIST");
  const PhaseTypeTable types = LoadPhases(LoadConfig(session), {args[0]});
  return {{"time", TravelTime(types.Data(types.IndexOf(args[0])), depth, dist)}};
}

nlohmann::json RunDistanceForTime(Session& session, const Args& args) {
  if (args.size() != 3) throw CliError("usage: tt-distance PHASE TIME DEPTH");
  const double t = ParseDouble(args[1], "TIME"), depth = ParseDouble(args[2], "DEPTH");
  const PhaseTypeTable types = LoadPhases(LoadConfig(session), {args[0]});
  return {{"distance", DistanceForTime(types.Data(types.IndexOf(args[0])), t, depth)}};
}

nlohmann::json RunDistanceForDifference(Session& session, const Args& args) {
  if (args.size() != 4) throw CliError("usage: tt-difference PHASE1 PHASE2 DT DEPTH");
  const double dt = ParseDouble(args[2], "DT"), depth = ParseDouble(args[3], "DEPTH");
  const PhaseTypeTable types = LoadPhases(LoadConfig(session), {args[0], args[1]});
  return {{"distance", DistanceForTimeDifference(types.Data(types.IndexOf(args[0])),
                                                 types.Data(types.IndexOf(args[1])), dt, depth)}};
}

nlohmann::json RunDistanceForSlowness(Session& session, const Args& args) {
  if (args.size() != 3) throw CliError("usage: tt-slowness PHASE SLOWNESS DEPTH");
  const double s = ParseDouble(args[1], "SLOWNESS"), depth = ParseDouble(args[2], "DEPTH");
  const PhaseTypeTable types = LoadPhases(LoadConfig(session), {args[0]});
  return {{"distance", DistanceForSlowness(types.Data(types.IndexOf(args[0])), s, depth)}};
}

nlohmann::json ReadJsonFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw CliError("cannot open " + path);
  try {
    return nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw CliError(path + ": " + e.what());
  }
}

// The confidence ellipse in km with the azimuth of its major axis (degrees
// clockwise from north); null when the method gives none.
nlohmann::json EllipseJson(const ConfidenceEllipse& e) {
  if (!e.valid()) return nullptr;
  return {{"majorKm", e.major}, {"minorKm", e.minor}, {"azimuth", e.direction}};
}

nlohmann::json RunLocate(Session& session, const Args& input) {
  Args args = input;
  const bool linear = TakeFlag(args, "--linear");
  LocateOptions options;
  options.gridSearch = TakeFlag(args, "--grid");
  options.fixDepth = TakeFlag(args, "--fix-depth");
  options.fixCoords = TakeFlag(args, "--fix-coords");
  std::optional<LocationStart> start;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--start") continue;
    if (i + 4 >= args.size()) throw CliError("--start needs LAT LON DEPTH T0");
    start = LocationStart{ParseDouble(args[i + 1], "LAT"), ParseDouble(args[i + 2], "LON"),
                          ParseDouble(args[i + 3], "DEPTH"), ParseDouble(args[i + 4], "T0")};
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i) + 5);
    break;
  }
  if (args.size() != 1)
    throw CliError(
        "usage: locate FILE [--linear] [--grid] [--fix-depth] [--fix-coords] "
        "[--start LAT LON DEPTH T0]");
  if (start) {
    CheckCoordinates(start->lat, start->lon);
    if (!(start->depth >= 0)) throw CliError("the start depth must not be negative");
  }
  const nlohmann::json observations = ReadJsonFile(args[0]);
  if (!observations.is_array()) throw CliError(args[0] + ": a list of observations is expected");

  Workstation& ws = session.workstation();
  LoadTravelTimeTables(ws);
  const PhaseTypeTable& types = ws.phaseTypes();
  const StationTable& stations = ws.stations();
  // A list of its own: no arrival ids are taken from the database.
  NUVPhases phases;
  for (const nlohmann::json& o : observations) {
    try {
      const std::string code = o.at("station").get<std::string>();
      const std::string chan = o.at("channel").get<std::string>();
      const std::string phase = o.at("phase").get<std::string>();
      SEISMIC_PHASE p;
      p.station = stations.FindStation(code);
      if (p.station < 0) throw CliError("unknown station " + code);
      p.channel = stations.FindChannel(p.station, chan);
      if (p.channel < 0) throw CliError("unknown channel " + code + " " + chan);
      p.phaseType = types.IndexOf(phase);
      if (p.phaseType < 0)
        throw CliError(StrFormat("В системе отсутствует годограф %s", phase.c_str()));
      p.SetTime(o.at("time").get<double>());
      const int weight = o.value("weight", 0);
      if (weight < 0 || weight > 4) throw CliError("weight must be 0..4");
      p.weight = static_cast<uint8_t>(weight);
      // Only a phase with a travel-time table can take part.
      p.defining = o.value("defining", true) && types.CanBeDefining(p.phaseType) ? 1 : 0;
      phases.Add(p);
    } catch (const nlohmann::json::exception& e) {
      throw CliError(args[0] + ": " + e.what());
    }
  }
  CArrivalList list = BuildArrivalList(phases, types, stations);
  if (!start) {
    // Without a start point: the station of the earliest arrival, 33 km, its time.
    if (list.Count() == 0) throw CliError(kMsgNoDefiningPhases);
    start = LocationStart{list[0].lat, list[0].lon, 33, list[0].time};
  }
  const LocationResult r = linear ? LocateLinear(list, types, *start, options)
                                  : LocateSearch(list, types, *start, options);
  if (!r.ok) throw CliError(r.message);
  nlohmann::json rows = nlohmann::json::array();
  for (const CArrivalElement& e : list.elements())
    rows.push_back({{"station", stations[e.station].code},
                    {"channel", stations[e.station].channels[static_cast<size_t>(e.channel)].name},
                    {"phase", types.Name(e.phaseType)},
                    {"residual", e.residual}});
  return {{"lat", r.lat},
          {"lon", r.lon},
          {"depth", r.depth},
          {"time", r.t0},
          {"misfit", r.misfit},
          {"rms", r.rms},
          {"ellipse", EllipseJson(r.ellipse)},
          {"observations", rows}};
}

double RequiredOption(Args& args, const std::string& name) {
  const auto value = TakeOption(args, name);
  if (!value) throw CliError("missing " + name);
  return ParseDouble(*value, name);
}

// A station magnitude of a phase record: a number, or absent (null or
// missing) for none.
float StationMagnitude(const nlohmann::json& phase, const char* key, const std::string& file) {
  const auto it = phase.find(key);
  if (it == phase.end() || it->is_null()) return -1;
  if (!it->is_number()) throw CliError(file + ": \"" + key + "\" must be a number");
  return it->get<float>();
}

// Network magnitudes from a list of phases ({"mb": .., "ms": ..} each):
// the means of the station values above 0 with their mean squared deviations.
nlohmann::json RunNetworkMagnitudes(const std::string& file) {
  const nlohmann::json list = ReadJsonFile(file);
  if (!list.is_array()) throw CliError(file + ": a list of phases is expected");
  NUVPhases phases;
  int mbCount = 0, msCount = 0;
  for (const nlohmann::json& o : list) {
    if (!o.is_object()) throw CliError(file + ": every phase must be an object");
    SEISMIC_PHASE p;
    p.station = phases.Count();  // one record each: no triple repeats
    p.mb = StationMagnitude(o, "mb", file);
    p.ms = StationMagnitude(o, "ms", file);
    mbCount += p.mb > 0;
    msCount += p.ms > 0;
    phases.Add(p);
  }
  CurrentEvent event;
  NetworkMagnitudes(phases, event);
  auto value = [](float v, int count) { return count > 0 ? nlohmann::json(v) : nullptr; };
  return {{"mb", value(event.eventMb, mbCount)},
          {"mbUncertainty", value(event.eventMbUnc, mbCount)},
          {"mbCount", mbCount},
          {"ms", value(event.eventMs, msCount)},
          {"msUncertainty", value(event.eventMsUnc, msCount)},
          {"msCount", msCount}};
}

nlohmann::json RunMagnitude(Session& session, const Args& input) {
  if (!input.empty() && ToLowerAscii(input[0]) == "network") {
    if (input.size() != 2) throw CliError("usage: magnitude network FILE");
    return RunNetworkMagnitudes(input[1]);
  }
  Args args = input;
  const std::string usage =
      "usage: magnitude mb|ms|mplp|mpsp|mkt|ml --amp A --period T --dist DEG --depth KM "
      "[--station STA]";
  const double a = RequiredOption(args, "--amp");
  const auto periodText = TakeOption(args, "--period");
  const double t = periodText ? ParseDouble(*periodText, "--period") : 0;
  const auto distText = TakeOption(args, "--dist");
  const auto depthText = TakeOption(args, "--depth");
  // The dialog's defaults without an origin: 5 degrees at the surface.
  const double d = distText ? ParseDouble(*distText, "--dist") : 5;
  const double h = depthText ? ParseDouble(*depthText, "--depth") : 0;
  const std::string station = TakeOption(args, "--station").value_or("");
  if (args.size() != 1) throw CliError(usage);
  const std::string kind = ToLowerAscii(args[0]);
  const Config config = LoadConfig(session);
  auto table = [&](const char* file) {
    PHASEDATA q;
    LoadCalibrationTable(JoinPath(config.homeDir, file), q);
    return q;
  };
  MagnitudeResult result;
  if (kind == "mb") {
    result = MagnitudeMb(a, t, d, h, table("mb.txt"));
  } else if (kind == "ms") {
    result = MagnitudeMs(a, t, d);
  } else if (kind == "mplp") {
    result = MagnitudeMplp(a, t, d, h, table("mplp.txt"));
  } else if (kind == "mpsp") {
    result = MagnitudeMpsp(a, t, d, h, table("mpsp.txt"));
  } else if (kind == "mkt") {
    result = MagnitudeCoda(a, t);
  } else if (kind == "ml") {
    const auto calibration = MlCalib(config.homeDir, station);
    result = MagnitudeMl(a, d, h, calibration ? &*calibration : nullptr);
  } else {
    throw CliError(usage);
  }
  if (!result.ok) throw CliError(result.message);
  return {{"value", result.value}};
}

nlohmann::json RunEnergyClass(Session&, const Args& input) {
  Args args = input;
  const std::string usage =
      "usage: energy-class rautian --ap A --as A --dist-km D | energy-class vegik|skm --ap A "
      "--as A --dist-km D --depth KM";
  const double ap = RequiredOption(args, "--ap");
  const double as = RequiredOption(args, "--as");
  const double dist = RequiredOption(args, "--dist-km");
  const auto depthText = TakeOption(args, "--depth");
  if (args.size() != 1) throw CliError(usage);
  const std::string kind = ToLowerAscii(args[0]);
  if (kind == "rautian") {
    const double k = RautianClass(ap, as, dist);
    if (!(k > 0)) throw CliError(kMsgClassOutOfRange);
    return {{"value", k}};
  }
  if (kind != "vegik" && kind != "skm") throw CliError(usage);
  if (!depthText) throw CliError("missing --depth");
  const auto k =
      EnergyClassFormula(kind == "vegik" ? EnergyClassVariant::Vegik : EnergyClassVariant::Skm, ap,
                         as, dist, ParseDouble(*depthText, "--depth"));
  if (!k) throw CliError(kNoClassText);
  return {{"value", *k}};
}

nlohmann::json RunPolarization(Session&, const Args& input) {
  Args args = input;
  const bool zne = TakeFlag(args, "--zne");
  if (args.size() != 1) throw CliError("usage: polarization [--zne] FILE (columns Z N E)");
  std::ifstream in(args[0]);
  if (!in) throw CliError("cannot open " + args[0]);
  std::vector<float> z, n, e;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;  // blank line
    std::istringstream values(line);
    double v, h1, h2;
    std::string rest;
    if (!(values >> v >> h1 >> h2) || (values >> rest))
      throw CliError(
          StrFormat("%s: line %d: three numbers Z N E expected", args[0].c_str(), number));
    z.push_back(static_cast<float>(v));
    n.push_back(static_cast<float>(h1));
    e.push_back(static_cast<float>(h2));
  }
  if (z.size() < 2) throw CliError("Ошибка данных");
  const PolarizationResult r = Polarization(z, n, e);
  // A singular covariance (motion along one line or none) has no direction.
  const bool singular = r.rectilinearity == 0 && r.planarity == 0 && r.emergence == 0;
  if (zne) {
    if (singular) throw CliError("Ошибка данных");
    return {{"backAzimuth", r.azimuthZNE},
            {"emergence", r.emergence},
            {"rectilinearity", r.rectilinearity},
            {"planarity", r.planarity}};
  }
  return {{"azimuthNE", r.azimuthNE},
          {"azimuthZNE", r.azimuthZNE},
          {"emergence", r.emergence},
          {"planarity", r.planarity},
          {"rectilinearity", r.rectilinearity}};
}

}  // namespace

std::vector<Command> SeismoCommands() {
  return {
      {"distaz", "LAT1 LON1 LAT2 LON2", RunDistAz},
      {"tt", "PHASE DEPTH DIST", RunTravelTime},
      {"tt-distance", "PHASE TIME DEPTH", RunDistanceForTime},
      {"tt-difference", "PHASE1 PHASE2 DT DEPTH", RunDistanceForDifference},
      {"tt-slowness", "PHASE SLOWNESS DEPTH", RunDistanceForSlowness},
      {"locate", "FILE [--linear] [--grid] [--fix-depth] [--fix-coords] [--start LAT LON DEPTH T0]",
       RunLocate},
      {"magnitude",
       "mb|ms|mplp|mpsp|mkt|ml --amp A --period T --dist DEG --depth KM [--station STA] | "
       "network FILE",
       RunMagnitude},
      {"energy-class",
       "rautian --ap A --as A --dist-km D | vegik|skm --ap A --as A --dist-km D --depth KM",
       RunEnergyClass},
      {"polarization", "[--zne] FILE (columns Z N E)", RunPolarization},
  };
}

}  // namespace nuv::cli
