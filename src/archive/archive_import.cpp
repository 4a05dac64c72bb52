#include "archive/archive_import.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "archive/archive_error.h"
#include "archive/archive_paths.h"
#include "archive/file_registry.h"
#include "archive/sample_codec.h"
#include "archive/wfd_file.h"
#include "archive/wfdisc_format.h"
#include "db/station_table.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;

// nsamp samples of the data file from byte foff, as floats; samples beyond
// the end of the file stay 0.
std::vector<float> ReadSourceSamples(const std::string& name, long foff, long nsamp,
                                     SampleEncoding encoding) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw ArchiveError("Ошибка открытия файла " + name);
  std::vector<float> samples(static_cast<size_t>(nsamp), 0.0f);
  const size_t s = static_cast<size_t>(BytesPerSample(encoding));
  std::vector<uint8_t> bytes(samples.size() * s);
  size_t done = 0;
  while (foff >= 0 && done < bytes.size()) {
    const ssize_t got = pread(fd, bytes.data() + done, bytes.size() - done,
                              static_cast<off_t>(foff) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  close(fd);
  DecodeSamples(encoding, bytes.data(), done / s, samples.data());
  return samples;
}

// Writes header and samples to a temporary file beside `fullName` and moves
// it into place, so a failed write never leaves a half-written WFD file
// under the registered name.
void WriteWfdFile(const std::string& fullName, const std::string& header,
                  std::span<const float> samples) {
  std::error_code ec;
  fs::create_directories(fs::path(fullName).parent_path(), ec);
  const std::string temporary = fullName + ".part";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) throw ArchiveError(StrFormat("Не могу создать файл '%s'", fullName.c_str()));
  bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
  if constexpr (std::endian::native == std::endian::little) {
    ok = ok && std::fwrite(samples.data(), sizeof(float), samples.size(), file) == samples.size();
  } else {
    std::vector<uint8_t> bytes(4 * samples.size());
    EncodeSamples(WfdiscOutputFormat::kF4, samples.data(), samples.size(), bytes.data());
    ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
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
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ArchiveError("Ошибка открытия файла " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string StoreWfdRun(const ImportTarget& target, const WfdRun& run) {
  const double duration = static_cast<double>(run.samples.size()) / run.rate;
  const std::string staUpper = ToUpperAscii(run.station);
  const std::string chanUpper = ToUpperAscii(run.channel);
  const std::string relativeName = WfdFileName(staUpper, chanUpper, run.start);
  const std::string fullName = JoinPath(target.dataDir, relativeName);
  WriteWfdFile(fullName, BuildWfdHeader(run.station, run.channel, run.start, duration, run.rate),
               run.samples);

  RegisteredFile file;
  file.relativeName = relativeName;
  file.station = staUpper;
  file.channel = chanUpper;
  file.start = run.start;
  file.duration = duration;
  file.rate = run.rate;
  file.calib = run.calib;
  file.calper = run.calper;
  file.lcode = run.lcode;
  file.creator = run.creator;
  try {
    RegisterFile(target.connection, target.useTend, file);
  } catch (const odbc::Error& error) {
    const std::string question = StrFormat(
        "Error of insert record in NUV-DB (filelist -> %s)\nContinue?", relativeName.c_str());
    if (!target.prompts.AskYesNo(question, kAppTitle)) throw ArchiveError(error.what());
  }
  return relativeName;
}

void ImportWfdiscFile(const ImportTarget& target, const std::string& path, CXChanArray& spans) {
  const std::string directory = DirectoryOf(path);
  const std::vector<WfdiscRecord> records = ParseWfdiscText(ReadImportFile(path));
  for (const WfdiscRecord& record : records) {
    const int station = target.stations.FindStation(record.sta);
    if (station < 0) continue;
    const int channel = target.stations.FindChannel(station, record.chan);
    if (channel < 0) continue;
    // A record without samples or spacing describes no data.
    if (record.nsamp <= 0 || !(record.samprate > 0)) continue;
    const std::string dataFile = WfdiscDataFilePath(directory, record.dir, record.dfile);
    const CScreenFields& fields = target.stations[station];
    spans.Add(fields.code, fields.channels[static_cast<size_t>(channel)].name, record.time,
              record.endtime);

    const std::optional<SampleEncoding> encoding = ImportEncodingOfDatatype(record.datatype);
    if (!encoding)
      throw ArchiveError(
          StrFormat("Не могу конвертировать данные типа %s", record.datatype.c_str()));
    const std::vector<float> samples =
        ReadSourceSamples(dataFile, record.foff, record.nsamp, *encoding);

    WfdRun run;
    run.station = record.sta;
    run.channel = record.chan;
    run.start = record.time;
    run.rate = record.samprate;
    run.calib = record.calib;
    run.calper = record.calper;
    run.samples = samples;
    StoreWfdRun(target, run);
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

void ImportWfdiscFolder(const ImportTarget& target, const std::string& folder, CXChanArray& spans) {
  for (const std::string& path : RegularFilesOf(folder))
    if (MatchesWfdiscPattern(fs::path(path).filename().string()))
      ImportWfdiscFile(target, path, spans);
}

}  // namespace nuv
