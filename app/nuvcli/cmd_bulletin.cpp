// Bulletins and the event report: writing the event of the main database
// (or the events of a period) in the exchange formats, listing and reading
// bulletins, and the HTML report of a period.

#include <ctime>

#include "bulletins/arr_file.h"
#include "bulletins/bulletin_apply.h"
#include "bulletins/bulletin_time.h"
#include "bulletins/css_export.h"
#include "bulletins/event_store.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/ims_writer.h"
#include "bulletins/phase_list_formats.h"
#include "bulletins/quakeml_reader.h"
#include "bulletins/quakeml_writer.h"
#include "catalogue/event_report.h"
#include "cli.h"
#include "platform/strformat.h"

namespace nuv::cli {
namespace {

// A time as epoch seconds or "YYYY-MM-DD[Thh:mm[:ss]]" (UTC).
double ParseWhen(const std::string& text, const std::string& what) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  char sep = 0;
  const int n = std::sscanf(text.c_str(), "%d-%d-%d%c%d:%d:%lf", &y, &mo, &d, &sep, &h, &mi, &s);
  if (n >= 3 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 && mi >= 0 &&
      mi < 60 && s >= 0 && s < 60)
    return BulletinEpoch(y, mo, d, h, mi, s);
  return ParseDouble(text, what);
}

// The workstation with its phase-type table (the bulletins name phases).
Workstation& Prepared(Session& session) {
  Workstation& ws = session.workstation();
  if (ws.phaseTypes().Count() == 0) LoadTravelTimeTables(ws);
  return ws;
}

std::string Required(Args& args, const std::string& name, const std::string& usage) {
  auto value = TakeOption(args, name);
  if (!value) throw CliError(usage);
  return *value;
}

nlohmann::json SkippedJson(const std::vector<SkippedLine>& skipped) {
  nlohmann::json out = nlohmann::json::array();
  for (const SkippedLine& s : skipped) out.push_back({{"line", s.line}, {"reason", s.reason}});
  return out;
}

nlohmann::json PhasesJson(Workstation& ws) {
  const BulletinSource s = SourceOf(ws);
  nlohmann::json out = nlohmann::json::array();
  for (const SEISMIC_PHASE& p : ws.phases())
    out.push_back({{"station", s.StationCode(p)},
                   {"channel", s.ChannelName(p)},
                   {"phase", s.PhaseName(p)},
                   {"time", p.time},
                   {"defining", p.defining != 0},
                   {"arid", p.arid}});
  return out;
}

nlohmann::json EventJson(const CurrentEvent& e) {
  nlohmann::json j = {{"eventId", std::string(Trim(e.eventId))},
                      {"comment", e.eventComment},
                      {"orid", e.orid},
                      {"originValid", e.originValid != 0}};
  if (e.originValid)
    j["origin"] = {{"lat", e.originLat},
                   {"lon", e.originLon},
                   {"depth", e.originDepth},
                   {"time", e.originTime}};
  if (e.eventMb != kNoMagnitude) j["mb"] = e.eventMb;
  if (e.eventMs != kNoMagnitude) j["ms"] = e.eventMs;
  return j;
}

const char* kWriteUsage =
    "usage: bulletin write css|ims|ims1|arr|hypo71|kedro|odr2|quakeml --event ID --out PATH | "
    "bulletin write css|quakeml --from T1 --to T2 --out PATH";

nlohmann::json WritePeriod(Workstation& ws, const std::string& format, Args& args,
                           const std::string& out) {
  const double from = ParseWhen(Required(args, "--from", kWriteUsage), "T1");
  const double to = ParseWhen(Required(args, "--to", kWriteUsage), "T2");
  const double now = static_cast<double>(std::time(nullptr));
  auto store = MakeSqlEventStore(ws);
  if (format == "css") {
    const CssExportResult r = ExportFromDatabase(ws, *store, out, from, to, now);
    if (!r.ok) throw CliError(r.message);
    return {{"events", r.events}, {"arrivals", r.arrivals}, {"files", r.files}};
  }
  if (format != "quakeml") throw CliError(kWriteUsage);
  std::vector<CurrentEvent> events;
  std::vector<std::unique_ptr<NUVPhases>> lists;
  for (const std::string& id : store->EventsOfPeriod(from, to)) {
    CurrentEvent e;
    std::vector<SEISMIC_PHASE> phases;
    if (!store->ReadEvent(id, e, phases)) continue;
    events.push_back(e);
    lists.push_back(std::make_unique<NUVPhases>());
    for (const SEISMIC_PHASE& p : phases) lists.back()->Add(p);
  }
  std::vector<BulletinSource> sources;
  for (size_t i = 0; i < events.size(); ++i)
    sources.push_back({events[i], *lists[i], ws.phaseTypes(), ws.stations()});
  if (!WriteTextFile(out, FormatQuakeMl(sources, now)))
    throw CliError(StrFormat("Ошибка открытия файла: %s", out.c_str()));
  return {{"events", events.size()}, {"files", {out}}};
}

nlohmann::json RunWrite(Session& session, const Args& input) {
  Args args = input;
  if (args.empty()) throw CliError(kWriteUsage);
  const std::string format = args[0];
  args.erase(args.begin());
  const std::string out = Required(args, "--out", kWriteUsage);
  Workstation& ws = Prepared(session);
  const auto eventId = TakeOption(args, "--event");
  if (!eventId) return WritePeriod(ws, format, args, out);
  if (!MakeSqlEventStore(ws)->LoadEvent(*eventId))
    throw CliError(StrFormat("Событие %s не найдено в базе данных", eventId->c_str()));
  const BulletinSource s = SourceOf(ws);
  const double now = static_cast<double>(std::time(nullptr));
  bool ok = true;
  std::vector<std::string> files = {out};
  if (format == "css") {
    const CssExportResult r = ExportCurrentEventAs(s, out, ws.event().orid, now);
    if (!r.ok) throw CliError(r.message);
    files = r.files;
  } else if (format == "ims") {
    ok = WriteRebFile(s, out, session.prompts());
  } else if (format == "ims1") {
    ok = WriteTextFile(out, FormatIms1Bulletin(s));
  } else if (format == "arr") {
    ok = WriteArrFile(s, out, session.prompts(), now);
  } else if (format == "hypo71") {
    ok = WriteTextFile(out,
                       FormatHypo71(s, ReadHypo71Stations(ws.config().homeDir + "stations.71")));
  } else if (format == "kedro") {
    ok = WriteTextFile(out, FormatKedro(s));
  } else if (format == "odr2") {
    ok = WriteTextFile(out, FormatOdr2(s));
  } else if (format == "quakeml") {
    ok = WriteTextFile(out, FormatQuakeMl({s}, now));
  } else {
    throw CliError(kWriteUsage);
  }
  if (!ok) throw CliError(StrFormat("Ошибка открытия файла: %s", out.c_str()));
  return {{"event", EventJson(ws.event())}, {"phases", ws.phases().Count()}, {"files", files}};
}

// The events of a bulletin file, in file order.
std::vector<ImsEventEntry> BulletinEvents(const std::string& format, const std::string& path) {
  const auto text = ReadWholeFile(path);
  if (!text) throw CliError(StrFormat("Ошибка открытия файла: %s", path.c_str()));
  if (format != "quakeml") return ListImsEvents(*text);
  const QuakeMlDocument document = ParseQuakeMl(*text);
  if (!document.failure.empty()) throw CliError(document.failure);
  return ListQuakeMlEvents(document);
}

nlohmann::json RunEvents(Session&, const Args& args) {
  if (args.size() != 2 || (args[0] != "ims" && args[0] != "quakeml"))
    throw CliError("usage: bulletin events ims|quakeml FILE");
  nlohmann::json out = nlohmann::json::array();
  for (const ImsEventEntry& e : BulletinEvents(args[0], args[1]))
    out.push_back({{"event", e.identifier}, {"comment", e.comment}, {"line", e.line}});
  return out;
}

nlohmann::json RunRead(Session& session, const Args& input) {
  const char* usage = "usage: bulletin read ims|quakeml|arr|trezon FILE [--event ID] [--save]";
  Args args = input;
  const bool save = TakeFlag(args, "--save");
  const auto event = TakeOption(args, "--event");
  if (args.size() != 2) throw CliError(usage);
  const std::string& format = args[0];
  const std::string& path = args[1];
  Workstation& ws = Prepared(session);
  BulletinReadResult r;
  if (format == "arr") {
    r = ReadArrFile(ws, path, true);
  } else if (format == "quakeml") {
    // Without --event the file's first event.
    r = ReadQuakeMlEvent(ws, path, event.value_or(""), false);
  } else if (format == "ims" || format == "trezon") {
    std::string id = event.value_or("");
    if (id.empty()) {
      // Without --event the bulletin's first event.
      const auto events = BulletinEvents(format, path);
      if (events.empty()) throw CliError("В бюллетене нет событий");
      id = events.front().identifier;
    }
    r = format == "ims" ? ReadImsEvent(ws, path, id, false) : ReadTrezonEvent(ws, path, id);
  } else {
    throw CliError(usage);
  }
  if (!r.ok) throw CliError(r.message);
  if (save) {
    if (Trim(ws.event().eventId).empty())
      ws.event().eventId = PadEventId(NewEventId(std::time(nullptr)));
    MakeSqlEventStore(ws)->SaveEvent();
  }
  return {{"event", EventJson(ws.event())},
          {"phases", PhasesJson(ws)},
          {"skipped", SkippedJson(r.skipped)},
          {"notes", SkippedJson(r.notes)},
          {"saved", save}};
}

nlohmann::json RunReport(Session& session, const Args& input) {
  const char* usage = "usage: report --from T1 --to T2 --out FILE.html [--phases] [--asc]";
  Args args = input;
  ReportOptions options;
  options.fromText = Required(args, "--from", usage);
  options.toText = Required(args, "--to", usage);
  const std::string out = Required(args, "--out", usage);
  options.withPhases = TakeFlag(args, "--phases");
  options.ascending = TakeFlag(args, "--asc");
  if (!args.empty()) throw CliError(usage);
  options.from = std::floor(ParseWhen(options.fromText, "T1"));
  options.to = std::floor(ParseWhen(options.toText, "T2"));
  const auto records = ReadReportRecords(session.workstation(), options);
  if (!WriteEventReport(out, FormatEventReport(records, options)))
    throw CliError(StrFormat("Ошибка открытия файла: %s", out.c_str()));
  return {{"events", records.size()}, {"file", out}};
}

}  // namespace

std::vector<Command> BulletinCommands() {
  return {{"bulletin write", "FORMAT (--event ID | --from T1 --to T2) --out PATH", RunWrite},
          {"bulletin events", "ims|quakeml FILE", RunEvents},
          {"bulletin read", "ims|quakeml|arr|trezon FILE [--event ID] [--save]", RunRead},
          {"report", "--from T1 --to T2 --out FILE.html [--phases] [--asc]", RunReport}};
}

}  // namespace nuv::cli
