#include "archive/mseed_import.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "archive/archive_error.h"
#include "archive/archive_paths.h"
#include "db/station_table.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// The inventory channel a run goes to, with the LCODE its rows get; or why
// there is none.
struct ChannelTarget {
  int station = -1, channel = -1;
  std::string lcode;
  std::string refusal;
};

ChannelTarget FindTarget(const StationTable& stations, const MseedTrace& trace) {
  ChannelTarget target;
  target.station = FindImportStation(stations, trace.station, target.refusal);
  if (target.station < 0) return target;
  if (!trace.location.empty()) {
    target.channel = stations.FindChannel(target.station, trace.channel, trace.location);
    if (target.channel >= 0) {
      target.lcode = trace.location;
      return target;
    }
  }
  target.channel = stations.FindChannel(target.station, trace.channel);
  if (target.channel < 0)
    target.refusal =
        StrFormat("у станции %s в списке станций нет канала %s%s%s",
                  stations[target.station].code.c_str(), trace.channel.c_str(),
                  trace.location.empty() ? "" : " с кодом местоположения ", trace.location.c_str());
  return target;
}

// Stores one run of a known channel, piece by piece.
void StoreTrace(const ImportTarget& target, const MseedTrace& trace, const ChannelTarget& where,
                CXChanArray& spans, MseedImportReport& report) {
  const CScreenFields& fields = target.stations[where.station];
  const std::string& channelName = fields.channels[static_cast<size_t>(where.channel)].name;
  bool stored = false;
  for (const auto& [first, last] : SplitIntoPieces(trace)) {
    WfdRun run;
    run.station = trace.station;
    run.channel = trace.channel;
    run.indexStation = fields.code;
    run.indexChannel = channelName;
    run.lcode = where.lcode;
    run.creator = kMseedCreator;
    run.start = trace.start + static_cast<double>(first) / trace.rate;
    run.rate = trace.rate;
    run.samples = std::span<const float>(trace.samples).subspan(first, last - first);
    stored = StoreWfdRun(target, run, report) || stored;
  }
  if (stored) spans.Add(fields.code, channelName, trace.start, trace.End() - 1.0 / trace.rate);
}

void ImportContents(const ImportTarget& target, const MseedContents& contents, CXChanArray& spans,
                    MseedImportReport& report) {
  for (const MseedTrace& trace : contents.traces) {
    const std::string id = trace.Id();
    const ChannelTarget where = FindTarget(target.stations, trace);
    if (where.channel < 0) {
      report.Refuse(id, where.refusal);
      continue;
    }
    // One inventory channel takes the data of one SEED channel only: a second
    // network or location code of the same name would be mixed into it.
    const CScreenFields& fields = target.stations[where.station];
    std::string as = fields.code + " " + fields.channels[static_cast<size_t>(where.channel)].name;
    if (!where.lcode.empty()) as += " " + where.lcode;
    const auto taken = std::find_if(report.used.begin(), report.used.end(),
                                    [&](const auto& e) { return e.second == as && e.first != id; });
    if (taken != report.used.end()) {
      report.Refuse(id,
                    StrFormat("канал %s уже получил данные %s", as.c_str(), taken->first.c_str()));
      continue;
    }
    report.used[id] = as;
    StoreTrace(target, trace, where, spans, report);
  }
}

std::span<const uint8_t> BytesOf(const std::string& text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// False, with nothing stored, when the file holds no miniSEED.
bool ImportIfMseed(const ImportTarget& target, const std::string& path, CXChanArray& spans,
                   MseedImportReport& report) {
  const std::string bytes = ReadImportFile(path);
  if (!LooksLikeMseed(BytesOf(bytes))) return false;
  const MseedContents contents = ReadMseed(BytesOf(bytes), path);
  ++report.sourceFiles;
  ImportContents(target, contents, spans, report);
  return true;
}

}  // namespace

std::vector<std::pair<size_t, size_t>> SplitIntoPieces(const MseedTrace& trace) {
  std::vector<std::pair<size_t, size_t>> pieces;
  const size_t n = trace.samples.size();
  if (!(trace.rate > 0) || !std::isfinite(trace.start)) {
    if (n > 0) pieces.emplace_back(0, n);
    return pieces;
  }
  for (size_t first = 0; first < n;) {
    const double t = trace.start + static_cast<double>(first) / trace.rate;
    const double boundary = (std::floor(t / kMseedPieceSeconds) + 1) * kMseedPieceSeconds;
    // The first sample at or after the boundary, allowing for rounding of
    // sample times that fall exactly on it.
    const double at = std::ceil((boundary - trace.start) * trace.rate - 1e-6);
    size_t last = n;
    if (at < static_cast<double>(n)) last = std::max(first + 1, static_cast<size_t>(at));
    pieces.emplace_back(first, last);
    first = last;
  }
  return pieces;
}

void ImportMseedFile(const ImportTarget& target, const std::string& path, CXChanArray& spans,
                     MseedImportReport& report) {
  if (!HasDataDirectory(target.dataDir)) throw ArchiveError(kNoDataDirectoryMessage);
  if (!ImportIfMseed(target, path, spans, report))
    throw ArchiveError(StrFormat("Файл %s не содержит данных miniSEED", path.c_str()));
}

void ImportMseedFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans,
                       MseedImportReport& report) {
  if (!HasDataDirectory(target.dataDir)) throw ArchiveError(kNoDataDirectoryMessage);
  for (const std::string& path : RegularFilesOf(folder))
    if (!ImportIfMseed(target, path, spans, report)) report.notMseed.push_back(path);
}

std::string MseedImportSummary(const MseedImportReport& report) {
  std::string source = StrFormat("Прочитано файлов miniSEED: %d", report.sourceFiles);
  if (!report.notMseed.empty())
    source += StrFormat("\nПропущено файлов без данных miniSEED: %d",
                        static_cast<int>(report.notMseed.size()));
  return ImportSummary(report, source);
}

}  // namespace nuv
