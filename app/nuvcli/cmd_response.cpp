// Seismograph simulation and STA/LTA detection on signal files: one sample per
// line, as the workspace writes its data files.

#include <fstream>
#include <sstream>

#include "cli.h"
#include "platform/strformat.h"
#include "sigproc/detector.h"
#include "sigproc/instrument.h"
#include "sigproc/response_source.h"
#include "sigproc/sample_file.h"
#include "sigproc/simulation.h"

namespace nuv::cli {
namespace {

std::vector<float> ReadSignal(const std::string& path) {
  const auto values = ReadSampleFile(path);
  if (!values) throw CliError(StrFormat("Ошибка открытия файла %s", path.c_str()));
  if (values->empty()) throw CliError(StrFormat("Файл %s пуст", path.c_str()));
  return std::vector<float>(values->begin(), values->end());
}

void WriteSignal(const std::string& path, const std::vector<float>& samples) {
  if (!WriteSampleFile(path, std::vector<double>(samples.begin(), samples.end()))) {
    throw CliError(StrFormat("Ошибка открытия файла %s", path.c_str()));
  }
}

std::string ReadText(const std::string& path, const std::string& missing) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CliError(missing);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

double TakeRate(Args& args) {
  const auto rate = TakeOption(args, "--rate");
  if (!rate) throw CliError("--rate R is required (samples per second)");
  const double sps = ParseDouble(*rate, "--rate");
  if (!(sps > 0.0) || !std::isfinite(sps)) {
    throw CliError(
        StrFormat("Частота дискретизации %s не годится: нужна положительная", rate->c_str()));
  }
  return sps;
}

int ParseCode(const std::string& text) {
  if (const auto byName = TransformCodeByName(text)) return *byName;
  const long long code = ParseInteger(text, "CODE");
  if (!IsPoleZeroTransform(static_cast<int>(code)) && !IsFapTransform(static_cast<int>(code))) {
    throw CliError(
        StrFormat("Код %lld не задаёт симуляцию (1000-1007, 1010, 1011-1016, 1018, 1019)", code));
  }
  return static_cast<int>(code);
}

// The channel named by --station/--channel/--network/--location.
ResponseChannel TakeChannel(Args& args) {
  ResponseChannel channel;
  channel.station = TakeOption(args, "--station").value_or("");
  channel.channel = TakeOption(args, "--channel").value_or("");
  channel.network = TakeOption(args, "--network").value_or("");
  channel.location = TakeOption(args, "--location").value_or("");
  return channel;
}

const char* kSimulateUsage =
    "CODE --rate R (--pz SACFILE | --fap FILE | --station S --channel C [--network N] "
    "[--location L] [--time T]) IN OUT";

nlohmann::json RunSimulate(Session& session, const Args& input) {
  Args args = input;
  const double sps = TakeRate(args);
  const auto pzFile = TakeOption(args, "--pz");
  const auto fapFile = TakeOption(args, "--fap");
  const auto time = TakeOption(args, "--time");
  ResponseChannel channel = TakeChannel(args);
  if (args.size() != 3) throw CliError(std::string("usage: simulate ") + kSimulateUsage);
  const int code = ParseCode(args[0]);
  const std::vector<float> samples = ReadSignal(args[1]);

  std::vector<float> result;
  try {
    if (pzFile || fapFile) {
      if (pzFile && fapFile) throw CliError("give either --pz or --fap");
      if (pzFile) {
        if (!IsPoleZeroTransform(code)) {
          throw CliError(StrFormat("Код %d пересчитывается по АЧХ: нужен --fap", code));
        }
        PoleZeroResponse response;
        ResponseParseError error;
        const std::string text = ReadText(*pzFile, NoCalibrationMessage(channel) + ": " + *pzFile);
        if (!ParseSacPoleZero(text, response, &error)) {
          throw CliError(NoCalibrationMessage(channel) + ": " + *pzFile + ": " + error.reason);
        }
        result = SimulatePoleZero(samples, sps, response, code);
      } else {
        if (!IsFapTransform(code)) {
          throw CliError(StrFormat("Код %d пересчитывается через полюса и нули: нужен --pz", code));
        }
        const std::string missing =
            StrFormat("Не найден файл %s с АЧХ для канала '%s' станции '%s'", fapFile->c_str(),
                      channel.channel.c_str(), channel.station.c_str());
        CAPResponse response;
        ResponseParseError error;
        if (!ParseFapFileText(ReadText(*fapFile, missing), response, &error)) {
          throw CliError(missing + ": " + error.reason);
        }
        result = SimulateFap(samples, sps, response, code);
      }
    } else {
      // The channel's responses as a pane finds them: poles and zeros in
      // CALIBRATION, the FAP file named in the station list.
      if (channel.station.empty() || channel.channel.empty()) {
        throw CliError(std::string("usage: simulate ") + kSimulateUsage);
      }
      Workstation& ws = session.workstation();
      if (!ws.databases().mainOpen()) throw CliError("no connection to the main database");
      const StationTable& stations = ws.stations();
      const int station = stations.FindStation(channel.station);
      if (station >= 0) {
        const int index = channel.location.empty()
                              ? stations.FindChannel(station, channel.channel)
                              : stations.FindChannel(station, channel.channel, channel.location);
        if (index >= 0) channel.responseFile = stations[station].channels[index].calibFile;
      }
      DatabaseResponseLoader loader(&ws.databases().main(), ws.databases().dialect(),
                                    ws.config().homeDir);
      TraceSamples trace{channel, sps, time ? ParseDouble(*time, "--time") : 0.0, samples};
      ScriptedPrompts prompts;
      auto simulated = SimulateTrace(trace, code, loader, prompts);
      if (!simulated) {
        const auto texts = prompts.MessageTexts();
        if (!texts.empty()) throw CliError(texts.back());
        throw CliError(StrFormat("Не найден файл %s с АЧХ для канала '%s' станции '%s'",
                                 FapFilePath(ws.config().homeDir, channel.responseFile).c_str(),
                                 channel.channel.c_str(), channel.station.c_str()) +
                       (loader.lastProblem().empty() ? "" : ": " + loader.lastProblem()));
      }
      result = std::move(*simulated);
    }
  } catch (const SimulationError& e) {
    throw CliError(e.what());
  }
  WriteSignal(args[2], result);
  return {{"count", result.size()}};
}

nlohmann::json RunDetect(const Args& input, bool vendrel) {
  Args args = input;
  const double sps = TakeRate(args);
  const auto start = TakeOption(args, "--start");
  // Parameters not given come from the channel's stored defaults (or the
  // built-in ones when no channel is named).
  const auto station = TakeOption(args, "--station");
  const auto channel = TakeOption(args, "--channel");
  const auto lta = TakeOption(args, "--lta");
  const auto sta = TakeOption(args, "--sta");
  const auto k = TakeOption(args, "--k");
  if (args.size() != 1) {
    throw CliError(std::string("usage: detect ") + (vendrel ? "vendrel" : "sta-lta") +
                   " --lta S --sta S --k K --rate R [--start T] IN");
  }
  DetectorParams params;
  if (station && channel) {
    Config config;
    config.settingsDir = DefaultSettingsDir();
    SettingsStore store(config.StorePath());
    params = LoadDetectorDefaults(store, *station, *channel);
  }
  if (lta) params.lta = ParseDouble(*lta, "--lta");
  if (sta) params.sta = ParseDouble(*sta, "--sta");
  if (k) params.k = ParseDouble(*k, "--k");
  // The ranges of the parameter dialog.
  auto check = [](double value, double lo, double hi) {
    if (!(value >= lo && value <= hi)) {
      throw CliError(StrFormat("Please enter a number between %g and %g.", lo, hi));
    }
  };
  check(params.lta, 1.0, 999.0);
  check(params.sta, 0.1, 999.0);
  check(params.k, 1.0, 1000.0);

  const std::vector<float> samples = ReadSignal(args[0]);
  DetectParam marks;
  try {
    const double t0 = start ? ParseDouble(*start, "--start") : 0.0;
    if (vendrel) {
      RunVendrelDetector(samples, sps, t0, params, marks);
    } else {
      RunNUVDetector(samples, sps, t0, params, marks);
    }
  } catch (const DetectorError& e) {
    throw CliError(e.what());
  }
  nlohmann::json list = nlohmann::json::array();
  for (std::size_t i = 0; i < marks.size(); ++i) {
    list.push_back({{"time", marks.time(i)}, {"lta", marks.lta(i)}, {"sta", marks.sta(i)}});
  }
  return {{"marks", list}};
}

nlohmann::json RunStaLta(Session&, const Args& args) {
  return RunDetect(args, false);
}
nlohmann::json RunVendrel(Session&, const Args& args) {
  return RunDetect(args, true);
}

}  // namespace

std::vector<Command> ResponseCommands() {
  const char* detectUsage =
      "--lta S --sta S --k K --rate R [--start T] [--station S --channel C] IN";
  return {{"simulate", kSimulateUsage, RunSimulate},
          {"detect sta-lta", detectUsage, RunStaLta},
          {"detect vendrel", detectUsage, RunVendrel}};
}

}  // namespace nuv::cli
