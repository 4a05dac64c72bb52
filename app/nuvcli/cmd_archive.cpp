// The waveform archive on the command line: segment assembly, import of a
// CSS 3.0 wfdisc file set and export of assembled segments as one.

#include <filesystem>

#include "archive/archive_error.h"
#include "archive/archive_import.h"
#include "archive/mseed_import.h"
#include "archive/segment_assembly.h"
#include "archive/wfdisc_writer.h"
#include "cli.h"

namespace nuv::cli {
namespace {

// Fails with a clear message when the index the configuration names is not
// reachable (the opening's own message was already printed).
void RequireIndex(Workstation& ws) {
  if (ws.config().wfd) {
    if (!ws.databases().cssOpen()) throw CliError("the CSS database (wfdisc index) is not open");
  } else if (!ws.databases().mainOpen()) {
    throw CliError("the main database (FILELIST index) is not open");
  }
}

struct SegmentRequest {
  std::string station, channel, lcode;
  double t1 = 0, t2 = 0;
};

SegmentRequest ParseSegment(const Args& args, size_t at) {
  SegmentRequest request{args[at], args[at + 1], args[at + 2], ParseDouble(args[at + 3], "T1"),
                         ParseDouble(args[at + 4], "T2")};
  if (!(request.t1 <= request.t2)) throw CliError("T1 must not be after T2");
  return request;
}

// The segment; files that could not be read (they gave zeros) are named in
// `problems`.
NUVDataBlockArray Assemble(Workstation& ws, const SegmentRequest& request,
                           std::vector<std::string>& problems) {
  Databases& databases = ws.databases();
  NUVDataBlockArray array;
  AssembleSegment(&databases.main(), databases.dialect(),
                  databases.cssOpen() ? &databases.css() : nullptr, ws.config(), request.station,
                  request.channel, request.lcode, request.t1, request.t2, array, &problems);
  return array;
}

nlohmann::json RunSegment(Session& session, const Args& input) {
  Args args = input;
  std::optional<long long> limit;
  if (auto samples = TakeOption(args, "--samples")) {
    limit = ParseInteger(*samples, "--samples");
    if (*limit < 0) throw CliError("--samples must not be negative");
  }
  if (args.size() != 5) throw CliError("usage: segment STA CHAN LCODE T1 T2 [--samples N]");
  const SegmentRequest request = ParseSegment(args, 0);
  Workstation& ws = session.workstation();
  RequireIndex(ws);
  std::vector<std::string> problems;
  const NUVDataBlockArray array = Assemble(ws, request, problems);
  nlohmann::json blocks = nlohmann::json::array();
  for (const NUVDataBlock& block : array) {
    const size_t shown =
        limit ? std::min(block.samples.size(), static_cast<size_t>(*limit)) : block.samples.size();
    blocks.push_back({{"start", block.start},
                      {"rate", block.rate},
                      {"count", block.count},
                      {"calib", block.calib},
                      {"calper", block.calper},
                      {"samples", std::vector<float>(block.samples.begin(),
                                                     block.samples.begin() +
                                                         static_cast<std::ptrdiff_t>(shown))}});
  }
  return {{"station", array.station},
          {"channel", array.channel},
          {"blocks", blocks},
          {"problems", problems}};
}

// The PATH of an import command, with --yes taken: without it a row that
// cannot be registered stops the import.
std::string ImportPath(Session& session, const Args& input, const char* usage) {
  Args args = input;
  if (TakeFlag(args, "--yes")) session.prompts().defaultAnswer = PromptAnswer::Yes;
  if (args.size() != 1) throw CliError(usage);
  if (!session.workstation().databases().mainOpen())
    throw CliError("the main database is not open");
  return args[0];
}

ImportTarget TargetOf(Workstation& ws) {
  return {ws.databases().main(), ws.stations(), ws.config().dataDir,
          ws.config().useTend,   ws.prompts(),  ws.databases().dialect()};
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

nlohmann::json SpansJson(const CXChanArray& spans) {
  nlohmann::json list = nlohmann::json::array();
  for (const ChannelSpan& span : spans)
    list.push_back({{"station", span.station},
                    {"channel", span.channel},
                    {"first", span.first},
                    {"last", span.last}});
  return list;
}

// What an import refused and what it kept beside another recording, as JSON.
void AddImportReport(nlohmann::json& out, const ImportReport& report) {
  nlohmann::json refused = nlohmann::json::array();
  for (const ImportRefusal& refusal : report.refused)
    refused.push_back({{"what", refusal.what}, {"reason", refusal.reason}});
  nlohmann::json kept = nlohmann::json::array();
  for (const KeptBeside& file : report.keptBeside)
    kept.push_back({{"file", file.file}, {"beside", file.existing}});
  out["files"] = report.wfdFiles;
  out["samples"] = report.samples;
  out["refused"] = refused;
  out["keptBeside"] = kept;
}

nlohmann::json RunImport(Session& session, const Args& input) {
  const std::string path = ImportPath(session, input, "usage: import-wfdisc [--yes] PATH");
  const ImportTarget target = TargetOf(session.workstation());
  CXChanArray spans;
  ImportReport report;
  if (IsFolder(path))
    ImportWfdiscFolder(target, path, spans, report);
  else
    ImportWfdiscFile(target, path, spans, report);
  // Nothing stored is a failure, with the account of what was refused.
  if (report.NothingImported()) throw CliError(WfdiscImportSummary(report));
  nlohmann::json out = {{"wfdiscFiles", report.sourceFiles}, {"spans", SpansJson(spans)}};
  AddImportReport(out, report);
  return out;
}

nlohmann::json RunImportMseed(Session& session, const Args& input) {
  const std::string path = ImportPath(session, input, "usage: import-mseed [--yes] PATH");
  const ImportTarget target = TargetOf(session.workstation());
  CXChanArray spans;
  MseedImportReport report;
  if (IsFolder(path))
    ImportMseedFolder(target, path, spans, report);
  else
    ImportMseedFile(target, path, spans, report);
  if (report.NothingImported()) throw CliError(MseedImportSummary(report));
  nlohmann::json out = {{"mseedFiles", report.sourceFiles},
                        {"notMseed", report.notMseed},
                        {"channels", report.used},
                        {"spans", SpansJson(spans)}};
  AddImportReport(out, report);
  return out;
}

nlohmann::json RunExport(Session& session, const Args& input) {
  Args args = input;
  const auto format = TakeOption(args, "--format");
  const auto out = TakeOption(args, "--out");
  const char* usage =
      "usage: export-wfdisc --format 0|1|2 --out FILE STA CHAN LCODE T1 T2 [STA CHAN LCODE T1 T2 "
      "...]";
  if (!format || !out || args.empty() || args.size() % 5 != 0) throw CliError(usage);
  const long long formatValue = ParseInteger(*format, "--format");
  if (formatValue < 0 || formatValue > 2) throw CliError("--format must be 0, 1 or 2");
  std::vector<SegmentRequest> requests;
  for (size_t at = 0; at < args.size(); at += 5) requests.push_back(ParseSegment(args, at));

  Workstation& ws = session.workstation();
  RequireIndex(ws);
  XNUVDataBlockArrays arrays;
  int blocks = 0;
  std::vector<std::string> problems;
  for (const SegmentRequest& request : requests) {
    NUVDataBlockArray array = Assemble(ws, request, problems);
    if (array.empty()) continue;  // channels without data get no lines
    blocks += array.size();
    arrays.Append(std::move(array));
  }
  SaveWfdisc(*out, arrays, static_cast<WfdiscOutputFormat>(formatValue));
  return {
      {"wfdisc", *out}, {"channels", arrays.size()}, {"blocks", blocks}, {"problems", problems}};
}

}  // namespace

std::vector<Command> ArchiveCommands() {
  return {
      {"segment", "STA CHAN LCODE T1 T2 [--samples N]", RunSegment},
      {"import-wfdisc", "[--yes] PATH (a wfdisc file or a folder)", RunImport},
      {"import-mseed", "[--yes] PATH (a miniSEED file or a folder)", RunImportMseed},
      {"export-wfdisc", "--format 0|1|2 --out FILE STA CHAN LCODE T1 T2 [STA CHAN LCODE T1 T2 ...]",
       RunExport},
  };
}

}  // namespace nuv::cli
