#include "archive/mseed_import.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "archive/archive_error.h"
#include "db/station_table.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// The inventory channel a run goes to, with the LCODE its rows get.
struct ChannelTarget {
  int station = -1, channel = -1;
  std::string lcode;
};

std::optional<ChannelTarget> FindTarget(const StationTable& stations, const MseedTrace& trace) {
  const int station = stations.FindStation(trace.station);
  if (station < 0) return std::nullopt;
  if (!trace.location.empty()) {
    const int exact = stations.FindChannel(station, trace.channel, trace.location);
    if (exact >= 0) return ChannelTarget{station, exact, trace.location};
  }
  const int plain = stations.FindChannel(station, trace.channel);
  if (plain < 0) return std::nullopt;
  return ChannelTarget{station, plain, ""};
}

void AddSorted(std::vector<std::string>& list, const std::string& item) {
  const auto at = std::lower_bound(list.begin(), list.end(), item);
  if (at == list.end() || *at != item) list.insert(at, item);
}

// Stores one run of a known channel, piece by piece.
void StoreTrace(const ImportTarget& target, const MseedTrace& trace, const ChannelTarget& where,
                CXChanArray& spans, MseedImportReport& report) {
  const CScreenFields& fields = target.stations[where.station];
  const std::string& channelName = fields.channels[static_cast<size_t>(where.channel)].name;
  spans.Add(fields.code, channelName, trace.start, trace.End() - 1.0 / trace.rate);
  for (const auto& [first, last] : SplitIntoPieces(trace)) {
    WfdRun run;
    run.station = trace.station;
    run.channel = trace.channel;
    run.lcode = where.lcode;
    run.creator = kMseedCreator;
    run.start = trace.start + static_cast<double>(first) / trace.rate;
    run.rate = trace.rate;
    run.samples = std::span<const float>(trace.samples).subspan(first, last - first);
    report.wfdFiles.push_back(StoreWfdRun(target, run));
    report.samples += static_cast<long long>(last - first);
  }
}

void ImportContents(const ImportTarget& target, const MseedContents& contents, CXChanArray& spans,
                    MseedImportReport& report) {
  for (const MseedTrace& trace : contents.traces) {
    const std::string id = trace.Id();
    const std::optional<ChannelTarget> where = FindTarget(target.stations, trace);
    if (!where) {
      AddSorted(report.unknown, id);
      continue;
    }
    // One inventory channel takes the data of one SEED channel only: a second
    // network or location code of the same name would be mixed into it.
    const CScreenFields& fields = target.stations[where->station];
    std::string as = fields.code + " " + fields.channels[static_cast<size_t>(where->channel)].name;
    if (!where->lcode.empty()) as += " " + where->lcode;
    const auto taken = std::find_if(report.used.begin(), report.used.end(),
                                    [&](const auto& e) { return e.second == as && e.first != id; });
    if (taken != report.used.end()) {
      AddSorted(report.unknown, id);
      continue;
    }
    report.used[id] = as;
    StoreTrace(target, trace, *where, spans, report);
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
  ++report.mseedFiles;
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
  if (!ImportIfMseed(target, path, spans, report))
    throw ArchiveError(StrFormat("Файл %s не содержит данных miniSEED", path.c_str()));
}

void ImportMseedFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans,
                       MseedImportReport& report) {
  for (const std::string& path : RegularFilesOf(folder))
    if (!ImportIfMseed(target, path, spans, report)) report.notMseed.push_back(path);
}

}  // namespace nuv
