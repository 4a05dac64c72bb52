// The analyst's event: starting, saving, loading, listing and deleting it,
// the travel-time calculator and the theoretical phases of a station.

#include <fstream>
#include <sstream>

#include "cli.h"
#include "event_json.h"
#include "phases/current_event.h"
#include "phases/event_store.h"
#include "phases/nuv_phases.h"
#include "phases/phase_sets.h"
#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "seismo/theoretical_phases.h"
#include "seismo/tt_calculator.h"
#include "traveltime/dist_az.h"

namespace nuv::cli {

Workstation& EventWorkstation(Session& session) {
  Workstation& ws = session.workstation();
  if (!ws.databases().mainOpen()) throw CliError("no connection to the main database");
  LoadTravelTimeTables(ws);
  return ws;
}

Workstation& LoadStoredEvent(Session& session, const std::string& eventId) {
  Workstation& ws = EventWorkstation(session);
  EventContext context = EventContextOf(ws);
  if (!EventExists(context, eventId)) throw CliError("no such event: " + eventId);
  if (!LoadEvent(context, eventId)) throw CliError("event not loaded");
  return ws;
}

namespace {

nlohmann::json RunEventNew(Session& session, const Args& input) {
  Args args = input;
  const std::string comment = TakeOption(args, "--comment").value_or("");
  if (args.size() != 1) throw CliError("usage: event new ID [--comment TEXT]");
  Workstation& ws = EventWorkstation(session);
  EventContext context = EventContextOf(ws);
  if (NewEvent(context, args[0], comment) != NewEventResult::Created)
    throw CliError("event not created");
  return {{"eventId", args[0]}, {"comment", comment}, {"orid", ws.event().orid}};
}

nlohmann::json RunEventSave(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: event save FILE");
  std::ifstream in(args[0]);
  if (!in) throw CliError("cannot open " + args[0]);
  nlohmann::json file;
  try {
    file = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    throw CliError(args[0] + ": " + e.what());
  }
  Workstation& ws = EventWorkstation(session);
  EventFromJson(file, ws);
  EventContext context = EventContextOf(ws);
  // The stored event keeps its orid, so the CSS rows of earlier saves are
  // replaced rather than added to.
  if (ws.event().orid < 0) ws.event().orid = StoredOrid(context, ws.event().eventId);
  const SaveOutcome outcome = SaveEvent(context);
  if (!outcome.saved) throw CliError("event not saved");
  const char* css = outcome.css == SaveOutcome::Css::Saved    ? "saved"
                    : outcome.css == SaveOutcome::Css::Failed ? "failed"
                                                              : "not configured";
  nlohmann::json out = EventToJson(ws);
  out["css"] = css;
  if (outcome.css == SaveOutcome::Css::Failed) throw CliError(kCssSaveFailed);
  return out;
}

nlohmann::json RunEventLoad(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: event load ID");
  return EventToJson(LoadStoredEvent(session, args[0]));
}

nlohmann::json RunEventList(Session& session, const Args& input) {
  Args args = input;
  const std::optional<std::string> last = TakeOption(args, "--last");
  if (!args.empty()) throw CliError("usage: event list [--last N]");
  const long long n = last ? ParseInteger(*last, "N") : 0;
  if (last && n <= 0) throw CliError("N must be positive");
  Workstation& ws = session.workstation();
  if (!ws.databases().mainOpen()) throw CliError("no connection to the main database");
  EventContext context = EventContextOf(ws);
  nlohmann::json rows = nlohmann::json::array();
  const auto value = [](const std::optional<double>& v) {
    return v ? nlohmann::json(*v) : nlohmann::json(nullptr);
  };
  for (const StoredEvent& e : ListEvents(context, static_cast<int>(n))) {
    std::string id = e.eventId;
    while (!id.empty() && id.back() == ' ') id.pop_back();
    rows.push_back({{"eventId", id},
                    {"orid", e.orid ? nlohmann::json(*e.orid) : nlohmann::json(nullptr)},
                    {"comment", e.comment},
                    {"lat", value(e.lat)},
                    {"lon", value(e.lon)},
                    {"depth", value(e.depth)},
                    {"originTime", value(e.originTime)},
                    {"lddate", e.lddate}});
  }
  return rows;
}

nlohmann::json RunEventDelete(Session& session, const Args& input) {
  Args args = input;
  const bool yes = TakeFlag(args, "--yes");
  if (args.size() != 1 || !yes) throw CliError("usage: event delete ID --yes");
  Workstation& ws = session.workstation();
  if (!ws.databases().mainOpen()) throw CliError("no connection to the main database");
  EventContext context = EventContextOf(ws);
  if (!EventExists(context, args[0])) throw CliError("no such event: " + args[0]);
  const int orid = StoredOrid(context, args[0]);
  if (!DeleteEvent(context, args[0], orid)) throw CliError("event not deleted");
  return {{"deleted", args[0]}, {"orid", orid}};
}

nlohmann::json RunTtCalc(Session& session, const Args& args) {
  if (args.size() != 3) throw CliError("usage: tt-calc PHASE DEPTH DIST");
  const double depth = ParseDouble(args[1], "DEPTH"), dist = ParseDouble(args[2], "DIST");
  Workstation& ws = session.workstation();
  PhaseTypeTable& types = ws.phaseTypes();
  const std::string dir = TravelTimeDirectory(ws.config());
  types.LoadNames(dir);
  if (types.IndexOf(args[0]) >= 0) types.LoadTravelTimes(args[0], dir);
  const CalculatorAnswer answer = TravelTimeCalculator(types, args[0], depth, dist);
  if (!answer.ok) throw CliError(answer.text);
  return {{"text", answer.text}};
}

std::vector<int> PhaseList(const std::string& text, const PhaseTypeTable& types) {
  std::vector<int> out;
  std::stringstream in(text);
  std::string name;
  while (std::getline(in, name, ',')) {
    const int type = types.IndexOf(name);
    if (type < 0) throw CliError(StrFormat("В системе отсутствует годограф %s", name.c_str()));
    out.push_back(type);
  }
  return out;
}

nlohmann::json RunTheoretical(Session& session, const Args& input) {
  Args args = input;
  const char* usage = "usage: theoretical --origin LAT LON DEPTH T0 --station STA [--phases P,S]";
  std::vector<double> origin;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "--origin" || i + 4 >= args.size()) continue;
    const char* what[] = {"LAT", "LON", "DEPTH", "T0"};
    for (int k = 0; k < 4; ++k) origin.push_back(ParseDouble(args[i + 1 + k], what[k]));
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i + 5));
    break;
  }
  const std::optional<std::string> station = TakeOption(args, "--station");
  const std::optional<std::string> names = TakeOption(args, "--phases");
  if (origin.size() != 4 || !station || !args.empty()) throw CliError(usage);
  Workstation& ws = EventWorkstation(session);
  const int sta = ws.stations().FindStation(*station);
  if (sta < 0) throw CliError("unknown station: " + *station);
  DistAzResult r;
  if (!DistAz(ws.stations()[sta].lat, ws.stations()[sta].lon, static_cast<float>(origin[0]),
              static_cast<float>(origin[1]), r))
    throw CliError("latitude must lie within -90..90 and longitude within -180..180");
  TheoreticalRequest request;
  request.mode = TheoreticalMode::FromOriginTime;
  request.distance = r.distance;
  request.depth = origin[2];
  request.originTime = origin[3];
  request.types = names ? PhaseList(*names, ws.phaseTypes())
                        : PhaseSets(ws.ini()).OfferedTypes(ws.phaseTypes());
  const TheoreticalResult result = ComputeTheoretical(ws.phaseTypes(), request, -1);
  if (!result.ok) throw CliError(result.message);
  // Phases without travel times here are named; the others are given all the same.
  const std::string summary = TheoreticalSummary(ws.phaseTypes(), result, nullptr);
  if (result.phases.empty() && !summary.empty()) throw CliError(summary);
  nlohmann::json phases = nlohmann::json::array();
  for (const TheoreticalPhase& p : result.phases)
    phases.push_back(
        {{"phase", ws.phaseTypes().Name(p.type)}, {"travelTime", p.travelTime}, {"time", p.time}});
  nlohmann::json missing = nlohmann::json::array();
  for (int type : result.missing) missing.push_back(ws.phaseTypes().Name(type));
  nlohmann::json out = {{"station", ws.stations()[sta].code},
                        {"distance", result.distance},
                        {"originTime", result.originTime},
                        {"phases", phases},
                        {"missing", missing}};
  if (!summary.empty()) out["message"] = summary;
  return out;
}

}  // namespace

std::vector<Command> EventCommands() {
  return {
      {"event new", "ID [--comment TEXT]", RunEventNew},
      {"event save", "FILE", RunEventSave},
      {"event load", "ID", RunEventLoad},
      {"event list", "[--last N]", RunEventList},
      {"event delete", "ID --yes", RunEventDelete},
      {"tt-calc", "PHASE DEPTH DIST", RunTtCalc},
      {"theoretical", "--origin LAT LON DEPTH T0 --station STA [--phases P,S,...]", RunTheoretical},
  };
}

}  // namespace nuv::cli
