#include "fk/fk_external.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive/sample_codec.h"
#include "archive/wfdisc_format.h"
#include "platform/child_process.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {

namespace {

constexpr const char* kWriteError = "Ошибка записи файла wfdisc";

// The floats as CSS "f4" (little-endian) bytes.
std::string FloatBytes(const std::vector<float>& values) {
  std::string bytes(values.size() * 4, '\0');
  EncodeSamples(WfdiscOutputFormat::kF4, values.data(), values.size(),
                reinterpret_cast<uint8_t*>(bytes.data()));
  return bytes;
}

}  // namespace

FkExternalSettings FkExternalSettings::Read(const ProfileFile& ini) {
  FkExternalSettings s;
  s.module = ini.GetString("FKEXT", "MODULE", "", 4096);
  s.wfd = ini.GetString("FKEXT", "WFD", "", 4096);
  const int seconds = ini.GetInt("FKEXT", "TIMEOUT", 300);
  if (seconds > 0) s.timeout = std::chrono::seconds(seconds);
  return s;
}

std::string FkExchangeDir(const std::string& wfd) {
  std::string dir = wfd;
  while (!dir.empty() && (dir.back() == ' ' || dir.back() == '\t')) dir.pop_back();
  if (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  return dir;
}

std::string WriteFkExchange(const std::string& dir, const std::vector<FkPane>& panes,
                            double& shortest) {
  std::ofstream wfdisc(dir + "/0.wfdisc", std::ios::binary | std::ios::trunc);
  if (!wfdisc) return kWriteError;
  std::ofstream data(dir + "/data.w", std::ios::binary | std::ios::trunc);
  if (!data) return kWriteError;
  bool haveShortest = false;
  long offset = 0;
  int written = 0;
  for (const FkPane& p : panes) {
    if (!p.hasInterval) continue;
    const double t1 = p.IntervalLow(), t2 = p.IntervalHigh();
    if (!haveShortest || t2 - t1 < shortest) shortest = t2 - t1;
    haveShortest = true;
    const double slots = std::trunc((t2 - t1) * p.rate + 0.5);
    if (!(slots >= 1) || !(t2 > t1)) continue;
    const size_t n = static_cast<size_t>(slots);
    const double first = (t1 - p.start) * p.rate;
    if (!(first < static_cast<double>(p.samples.size()))) continue;
    std::vector<float> buffer(n, 0.0f);
    FkAddDelayed(p, 0.0, t1, t2, buffer.data(), n);
    data << FloatBytes(buffer);
    WfdiscRecord r;
    r.sta = p.station;
    r.chan = ToLowerAscii(p.channel);
    r.time = t1;
    r.jdate = JulianDateOfEpoch(p.start);
    r.endtime = t2;
    r.nsamp = static_cast<long>(n);
    r.samprate = p.rate;
    r.calib = r.calper = 1;
    r.datatype = "f4";
    r.dir = ".";
    r.dfile = "data.w";
    r.foff = offset;
    r.lddate = WfdiscLddate(p.start);
    try {
      wfdisc << FormatWfdiscLine(r);
    } catch (const std::length_error&) {
      return kWriteError;
    }
    if (!data || !wfdisc) return kWriteError;
    offset += static_cast<long>(4 * n);
    ++written;
  }
  data.close();
  wfdisc.close();
  if (!data || !wfdisc) return kWriteError;
  if (written == 0) return "Список отобраных каналов пуст. Модуль F-K анализа запущен не будет.";
  return "";
}

std::string ReadFkResults(const std::string& path, FkExternalResult& result) {
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return StrFormat("Ошибка открытия файла результатов F-K анализа:\n'%s'", path.c_str());
  float slowness = 0, azimuth = 0;
  const int got = std::fscanf(file, "%f %f", &slowness, &azimuth);
  std::fclose(file);
  if (got != 2 || !std::isfinite(slowness) || !std::isfinite(azimuth))
    return StrFormat("Файл результатов F-K анализа '%s' не содержит медленности и азимута.",
                     path.c_str());
  result.slowness = slowness;
  result.azimuth = azimuth;
  return "";
}

std::string RunExternalFk(const FkExternalSettings& settings, const std::vector<FkPane>& panes,
                          FkExternalResult& result) {
  const std::string dir = FkExchangeDir(settings.wfd);
  double shortest = 0;
  if (std::string error = WriteFkExchange(dir, panes, shortest); !error.empty()) return error;
  const std::string results = dir + "/results";
  std::error_code ignored;
  std::filesystem::remove(results, ignored);
  ChildRequest request;
  request.program = settings.module;
  request.args = {dir + "/0.wfdisc", results, StrFormat("%f", shortest)};
  request.timeoutMs = static_cast<int>(settings.timeout.count());
  const ChildRun run = RunChild(request);
  if (!run.started) return StrFormat("Ошибка запуска модуля \n'%s'", settings.module.c_str());
  if (run.timedOut)
    return StrFormat("Модуль F-K анализа '%s' не завершился за %g с и был остановлен.",
                     settings.module.c_str(), settings.timeout.count() / 1000.0);
  const int exitCode = run.exited ? run.exitCode : 128 + run.signal;
  if (exitCode != 0)
    return StrFormat("Модуль F-K анализа '%s' завершился с ошибкой (код %d).",
                     settings.module.c_str(), exitCode);
  return ReadFkResults(results, result);
}

}  // namespace nuv
