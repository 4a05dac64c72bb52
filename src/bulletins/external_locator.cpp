#include "bulletins/external_locator.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "bulletins/css_records.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/phase_list_formats.h"
#include "platform/child_process.h"
#include "platform/config.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

constexpr double kUnknownCoordinate = -999.0;

// The channel's sensor coordinates; the null when the phase names no channel.
void ChannelPosition(const BulletinSource& s, const SEISMIC_PHASE& p, double& lat, double& lon,
                     double& elev) {
  lat = lon = elev = kUnknownCoordinate;
  if (p.station < 0 || p.station >= s.stations.size()) return;
  if (p.channel < 0 || p.channel >= kChannelsPerStation) return;
  const ChannelEntry& c = s.stations[p.station].channels[static_cast<size_t>(p.channel)];
  if (!c.used()) return;
  lat = c.lat, lon = c.lon, elev = c.elev;
}

// A cut at the byte limit may split the last UTF-8 character; the text is
// judged without that tail. Control bytes other than line ends and tabs
// (a program that prints binary) become '?'.
std::string Readable(std::string bytes, bool cut) {
  if (cut) {
    size_t end = bytes.size(), back = 0;
    while (end > 0 && back < 3 && (static_cast<unsigned char>(bytes[end - 1]) & 0xC0) == 0x80)
      --end, ++back;
    if (end > 0 && static_cast<unsigned char>(bytes[end - 1]) >= 0xC0 &&
        !IsValidUtf8(bytes.substr(end - 1)))
      bytes.resize(end - 1);
  }
  for (char& c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 && c != '\n' && c != '\r' && c != '\t') c = '?';
    if (u == 0x7F) c = '?';
  }
  return DecodeText(bytes);
}

}  // namespace

ExternalLocatorSettings LoadExternalLocatorSettings(const ProfileFile& ini, const Config& config) {
  ExternalLocatorSettings s;
  s.dir = ini.GetString(kLocatorSection, "DIR", config.homeDir + "OLK", 4096);
  s.program = ini.GetString(kLocatorSection, "PROGRAM", "OLK.EXE", 4096);
  s.arguments = ini.GetString(kLocatorSection, "ARGS", "", 4096);
  const int timeout = ini.GetInt(kLocatorSection, "TIMEOUT", kLocatorDefaultTimeoutMs);
  s.timeoutMs = timeout > 0 ? timeout : kLocatorDefaultTimeoutMs;
  return s;
}

bool SaveExternalLocatorDir(ProfileFile& ini, const std::string& dir) {
  return ini.WriteString(kLocatorSection, "DIR", dir);
}

std::string LocatorDirPrefix(const std::string& dir) {
  return !dir.empty() && dir.back() == '/' ? dir : dir + "/";
}

int LocatorEventNumber(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin) return 0;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string LocatorFilePath(const std::string& dir, int number, const char* extension) {
  return LocatorDirPrefix(dir) + StrFormat("%08d", number) + extension;
}

std::string FormatLocatorArrivals(const BulletinSource& s, const std::string& lddate) {
  std::string text;
  long position = 0;
  for (const SEISMIC_PHASE& p : s.phases) {
    ++position;
    if (!p.defining) continue;
    std::string line = FormatCssArrival(s, p, position, CssPhaseOptions{}, lddate);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    double lat, lon, elev;
    ChannelPosition(s, p, lat, lon, elev);
    text += line + StrFormat(" %14.2f %9.2f %11.2f\n", lat, lon, elev);
  }
  return text;
}

std::string FormatLocatorOrigin(const BulletinSource& s, const std::string& lddate) {
  return FormatCssOrigin(CssOriginOfEvent(s, 1), lddate);
}

const std::string& LocatorConfigText() {
  static const std::string text =
      "<olk_config>\n"
      "<seism_data data_path = \".\\\" phase_list = \"phase_list.iasp.xml\" TTT_path = "
      "\".\\iasp91\\iasp91\"/>\n"
      "<print print_file = \"olk_log\" print_level = \"4\"/>\n"
      "<Origin n_phases = \"81\" J_date = \"67\" ev_ot = \"31\" ev_lat = \"0\" ev_long = \"11\" "
      "ev_depth = \"22\"/>\n"
      "<Arrival stn_code = \"0\" time_arrvl = \"7\" ar_ID = \"25\" Phase = \"70\" stn_lat = "
      "\"223\" stn_long = \"239\" stn_elev = \"249\"/>\n"
      "</olk_config>\n";
  return text;
}

LocatorCommand BuildLocatorCommand(const ExternalLocatorSettings& settings,
                                   const std::string& numberText) {
  LocatorCommand command;
  const std::string prefix = LocatorDirPrefix(settings.dir);
  const std::string& program = settings.program;
  // A relative name is the file in the directory; a bare name that is not
  // there is a program of PATH (an interpreter, say).
  if (!program.empty() && program[0] == '/')
    command.program = program;
  else if (program.find('/') != std::string::npos || IsExecutableFile(prefix + program) ||
           FindProgram(program).empty())
    command.program = prefix + program;
  else
    command.program = FindProgram(program);
  command.args = SplitWords(settings.arguments);
  command.args.push_back("-O");
  for (const std::string& word : SplitWords(numberText)) command.args.push_back(word);
  command.args.push_back("-r");
  command.args.push_back(kLocatorConfigName);
  command.workingDir = settings.dir;
  command.text = command.program;
  for (const std::string& arg : command.args) command.text += " " + arg;
  return command;
}

std::vector<std::string> WriteLocatorFiles(const BulletinSource& source,
                                           const ExternalLocatorSettings& settings,
                                           const std::string& numberText, UserPrompts& prompts,
                                           double now) {
  std::vector<std::string> unwritable;
  const int n = LocatorEventNumber(numberText.substr(0, kLocatorMaxNumberText));
  const std::string lddate = CssLddate(now);
  const std::pair<std::string, std::string> files[] = {
      {LocatorFilePath(settings.dir, n, ".sds"), FormatLocatorArrivals(source, lddate)},
      {LocatorFilePath(settings.dir, n, ".sdn"), FormatLocatorOrigin(source, lddate)},
      {LocatorDirPrefix(settings.dir) + kLocatorConfigName, LocatorConfigText()}};
  for (const auto& [path, text] : files) {
    if (WriteTextFile(path, text)) continue;
    unwritable.push_back(path);
    prompts.ShowError(StrFormat("Ошибка открытия файла: %s", path.c_str()));
  }
  return unwritable;
}

LocatorRunResult RunLocatorProgram(const ExternalLocatorSettings& settings,
                                   const std::string& numberText, const std::atomic<bool>* cancel) {
  LocatorRunResult result;
  const std::string number = numberText.substr(0, kLocatorMaxNumberText);

  const LocatorCommand command = BuildLocatorCommand(settings, number);
  ChildRequest request;
  request.program = command.program;
  request.args = command.args;
  request.workingDir = command.workingDir;
  request.timeoutMs = settings.timeoutMs;
  request.maxOutput = kLocatorMaxOutput;
  request.cancel = cancel;
  const ChildRun run = RunChild(request);
  result.started = run.started;
  result.timedOut = run.timedOut;
  if (!run.started) {
    result.output = StrFormat("Не удалось запустить программу %s: %s", command.text.c_str(),
                              run.startError.c_str());
    return result;
  }
  result.output = Readable(run.output, run.truncated);
  std::string ending;
  if (run.cancelled)
    ending = "Программа остановлена";
  else if (run.timedOut)
    ending = StrFormat("Программа не завершилась за %d с и остановлена",
                       (settings.timeoutMs + 999) / 1000);
  else if (run.exited && run.exitCode != 0)
    ending = StrFormat("Программа завершилась с кодом %d", run.exitCode);
  else if (!run.exited)
    ending = StrFormat("Программа прервана сигналом %d", run.signal);
  if (run.exited) result.exitCode = run.exitCode;
  if (!ending.empty()) {
    if (!result.output.empty() && result.output.back() != '\n') result.output += "\n";
    result.output += ending;
  }
  return result;
}

LocatorRunResult RunExternalLocator(const BulletinSource& source,
                                    const ExternalLocatorSettings& settings,
                                    const std::string& numberText, UserPrompts& prompts,
                                    double now) {
  std::vector<std::string> unwritable =
      WriteLocatorFiles(source, settings, numberText, prompts, now);
  LocatorRunResult result = RunLocatorProgram(settings, numberText);
  result.unwritable = std::move(unwritable);
  return result;
}

}  // namespace nuv
