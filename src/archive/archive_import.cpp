#include "archive/archive_import.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_paths.h"
#include "archive/cpath_rows.h"
#include "archive/file_registry.h"
#include "archive/sample_codec.h"
#include "archive/wfd_file.h"
#include "archive/wfdisc_format.h"
#include "db/station_table.h"
#include "platform/file_read.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;

// nsamp samples of the data file from byte foff, as floats; samples beyond
// the end of the file stay 0, a read error stops the import.
std::vector<float> ReadSourceSamples(const std::string& name, long foff, long nsamp,
                                     SampleEncoding encoding) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArchiveError("Ошибка открытия файла " + name);
  std::vector<float> samples(static_cast<size_t>(nsamp), 0.0f);
  const size_t s = static_cast<size_t>(BytesPerSample(encoding));
  std::vector<uint8_t> bytes(samples.size() * s);
  size_t done = 0;
  try {
    if (foff >= 0) done = ReadFileAt(fd, name, bytes.data(), bytes.size(), foff);
  } catch (const FileReadError& error) {
    close(fd);
    throw ArchiveError(error.what());
  }
  close(fd);
  DecodeSamples(encoding, bytes.data(), done / s, samples.data());
  return samples;
}

// The bytes of a WFD file: the header, then the samples as little-endian floats.
std::string WfdContent(const std::string& header, std::span<const float> samples) {
  std::string content = header;
  const size_t at = content.size();
  content.resize(at + 4 * samples.size());
  if constexpr (std::endian::native == std::endian::little) {
    if (!samples.empty()) std::memcpy(content.data() + at, samples.data(), 4 * samples.size());
  } else {
    EncodeSamples(WfdiscOutputFormat::kF4, samples.data(), samples.size(),
                  reinterpret_cast<uint8_t*>(content.data() + at));
  }
  return content;
}

// Writes the content to a temporary file beside `fullName` and moves it into
// place, so a failed write never leaves a half-written WFD file under the
// registered name.
void WriteWfdFile(const std::string& fullName, const std::string& content) {
  std::error_code ec;
  fs::create_directories(fs::path(fullName).parent_path(), ec);
  const std::string temporary = fullName + ".part";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw ArchiveError(StrFormat("Не могу создать файл '%s'", fullName.c_str()));
  bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  ok = (std::fclose(file) == 0) && ok;
  if (ok) {
    fs::rename(temporary, fullName, ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(temporary, ec);
    throw ArchiveError(StrFormat("Ошибка записи файла '%s'", fullName.c_str()));
  }
}

// What lies on disk under a name: nothing, exactly `content`, or something
// else (other bytes, a folder, a file that cannot be read).
enum class OnDisk { kNothing, kSame, kOther };

OnDisk CompareOnDisk(const std::string& fullName, const std::string& content) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(fullName, ec);
  if (!fs::exists(status)) return OnDisk::kNothing;
  if (!fs::is_regular_file(status) || fs::file_size(fullName, ec) != content.size() || ec)
    return OnDisk::kOther;
  try {
    return ReadWholeFile(fullName) == content ? OnDisk::kSame : OnDisk::kOther;
  } catch (const FileReadError&) {
    return OnDisk::kOther;
  }
}

// The name a run is stored under.
struct WfdName {
  std::string relative;
  std::string keptBeside;   // the first name that held another recording, if any
  bool sameOnDisk = false;  // the file there holds these very bytes already
};

// The usual name unless it holds another recording of the channel: a
// FILELIST row of the path with another start, or a file with other bytes;
// then the first copy name that does not. A name whose rows cannot be read
// counts by its file alone: registering will report the database.
WfdName ChooseWfdName(const ImportTarget& target, const std::string& station,
                      const std::string& channel, double start, const std::string& content,
                      const ImportReport& report) {
  WfdName chosen;
  for (int copy = 0;; ++copy) {
    std::string name = WfdFileName(station, channel, start, copy);
    bool otherStart = false;
    try {
      const std::vector<CpathRow> rows = RowsOfPath(target.connection, target.dialect, name);
      otherStart = std::any_of(rows.begin(), rows.end(),
                               [&](const CpathRow& row) { return !StartsAt(row, start); });
    } catch (const odbc::Error&) {
      otherStart = false;
    }
    const OnDisk disk =
        otherStart ? OnDisk::kOther : CompareOnDisk(JoinPath(target.dataDir, name), content);
    if (disk == OnDisk::kOther) {
      if (chosen.keptBeside.empty() && !report.WroteHere(name)) chosen.keptBeside = name;
      continue;
    }
    chosen.relative = std::move(name);
    chosen.sameOnDisk = disk == OnDisk::kSame;
    return chosen;
  }
}

std::string ReadWfdiscText(const std::string& path) {
  try {
    return ReadWholeFile(path);
  } catch (const FileReadError& error) {
    throw ArchiveError(error.what());
  }
}

bool MatchesWfdiscPattern(const std::string& name) {
  // "*.wfd*": a dot followed by "wfd" anywhere after the first character.
  const std::string lower = ToLowerAscii(name);
  const size_t at = lower.find(".wfd");
  return at != std::string::npos;
}

}  // namespace

std::string WfdiscDataFilePath(const std::string& wfdiscDirectory, const std::string& dir,
                               const std::string& dfile) {
  if (dir.empty() || dir == ".") return NativePath(wfdiscDirectory + dfile);
  if (IsAbsoluteFileListPath(dir)) return JoinPath(dir, dfile);
  return NativePath(wfdiscDirectory + dir + "/" + dfile);
}

std::string ReadImportFile(const std::string& path) {
  return ReadWfdiscText(path);
}

int FindImportStation(const StationTable& stations, const std::string& code, std::string& why) {
  const int exact = stations.FindStationExact(code);
  if (exact >= 0) return exact;
  int found = -1;
  for (int i = 0; i < stations.size(); ++i) {
    if (!EqualsNoCase(stations[i].code, code)) continue;
    if (found >= 0) {
      why = StrFormat("в списке станций несколько станций %s, различающихся регистром букв",
                      ToUpperAscii(code).c_str());
      return -1;
    }
    found = i;
  }
  if (found < 0) why = "станции нет в списке станций";
  return found;
}

bool StoreWfdRun(const ImportTarget& target, const WfdRun& run, ImportReport& report) {
  const double duration = static_cast<double>(run.samples.size()) / run.rate;
  const std::string content = WfdContent(
      BuildWfdHeader(run.station, run.channel, run.start, duration, run.rate), run.samples);
  const WfdName name = ChooseWfdName(target, ToUpperAscii(run.station), ToUpperAscii(run.channel),
                                     run.start, content, report);
  const std::string fullName = JoinPath(target.dataDir, name.relative);
  if (!name.sameOnDisk) WriteWfdFile(fullName, content);
  report.NoteWritten(name.relative);

  RegisteredFile file;
  file.relativeName = name.relative;
  file.station = run.indexStation;
  file.channel = run.indexChannel;
  file.start = run.start;
  file.duration = duration;
  file.rate = run.rate;
  file.calib = run.calib;
  file.calper = run.calper;
  file.lcode = run.lcode;
  file.creator = run.creator;
  try {
    RegisterFile(target.connection, target.dialect, target.useTend, file);
  } catch (const odbc::Error& error) {
    // A file without its row is found by nothing: it goes (unless it was
    // there, with these bytes, for a row registered before).
    std::error_code ec;
    if (!name.sameOnDisk) fs::remove(fullName, ec);
    const std::string question = StrFormat(
        "Error of insert record in NUV-DB (filelist -> %s)\nContinue?", name.relative.c_str());
    if (!target.prompts.AskYesNo(question, kAppTitle)) throw ArchiveError(error.what());
    report.Refuse(name.relative, std::string("строка FILELIST не записана: ") + error.what());
    return false;
  }
  report.wfdFiles.push_back(name.relative);
  report.samples += static_cast<long long>(run.samples.size());
  if (!name.keptBeside.empty()) report.keptBeside.push_back({name.relative, name.keptBeside});
  return true;
}

void ImportWfdiscFile(const ImportTarget& target, const std::string& path, CXChanArray& spans,
                      ImportReport& report) {
  if (!HasDataDirectory(target.dataDir)) throw ArchiveError(kNoDataDirectoryMessage);
  const std::string directory = DirectoryOf(path);
  const std::vector<WfdiscRecord> records = ParseWfdiscText(ReadWfdiscText(path));
  ++report.sourceFiles;
  for (const WfdiscRecord& record : records) {
    const std::string what = record.sta + " " + record.chan;
    std::string why;
    const int station = FindImportStation(target.stations, record.sta, why);
    if (station < 0) {
      report.Refuse(what, why);
      continue;
    }
    const CScreenFields& fields = target.stations[station];
    const int channel = target.stations.FindChannel(station, record.chan);
    if (channel < 0) {
      report.Refuse(what, StrFormat("у станции %s в списке станций нет канала %s без кода "
                                    "местоположения",
                                    fields.code.c_str(), record.chan.c_str()));
      continue;
    }
    if (record.nsamp <= 0 || !(record.samprate > 0)) {
      report.Refuse(what, "запись без отсчетов или без частоты дискретизации");
      continue;
    }
    const std::string dataFile = WfdiscDataFilePath(directory, record.dir, record.dfile);
    const std::string& channelName = fields.channels[static_cast<size_t>(channel)].name;
    spans.Add(fields.code, channelName, record.time, record.endtime);

    const std::optional<SampleEncoding> encoding = ImportEncodingOfDatatype(record.datatype);
    if (!encoding)
      throw ArchiveError(
          StrFormat("Не могу конвертировать данные типа %s", record.datatype.c_str()));
    const std::vector<float> samples =
        ReadSourceSamples(dataFile, record.foff, record.nsamp, *encoding);

    WfdRun run;
    run.station = record.sta;
    run.channel = record.chan;
    run.indexStation = fields.code;
    run.indexChannel = channelName;
    run.start = record.time;
    run.rate = record.samprate;
    run.calib = record.calib;
    run.calper = record.calper;
    run.samples = samples;
    StoreWfdRun(target, run, report);
  }
}

std::vector<std::string> RegularFilesOf(const std::string& folder) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(NativePath(folder), ec), end; !ec && it != end; it.increment(ec))
    if (it->is_regular_file(ec)) names.push_back(it->path().string());
  if (ec) throw ArchiveError("Ошибка открытия каталога " + folder);
  std::sort(names.begin(), names.end());
  return names;
}

void ImportWfdiscFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans,
                        ImportReport& report) {
  if (!HasDataDirectory(target.dataDir)) throw ArchiveError(kNoDataDirectoryMessage);
  for (const std::string& path : RegularFilesOf(folder))
    if (MatchesWfdiscPattern(fs::path(path).filename().string()))
      ImportWfdiscFile(target, path, spans, report);
}

std::string WfdiscImportSummary(const ImportReport& report) {
  return ImportSummary(report, StrFormat("Прочитано файлов wfdisc: %d", report.sourceFiles));
}

}  // namespace nuv
