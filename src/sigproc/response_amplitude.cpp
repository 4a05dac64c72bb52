#include "sigproc/response_amplitude.h"

#include "platform/strformat.h"
#include "sigproc/instrument.h"

namespace nuv {

std::optional<double> AmplitudeByFapFile(double amplitude, double period,
                                         const ResponseChannel& channel, std::string_view homeDir,
                                         ResponseLoader& loader,
                                         const std::function<double()>& gain,
                                         UserPrompts& prompts) {
  const auto table = loader.LoadFapFile(channel);
  if (!table) {
    prompts.ShowError(StrFormat("Не найден файл %s с АЧХ для канала '%s' станции '%s'",
                                FapFilePath(homeDir, channel.responseFile).c_str(),
                                channel.channel.c_str(), channel.station.c_str()));
    return std::nullopt;
  }
  return amplitude * table->Amplitude(1.0 / period) / gain();
}

std::optional<double> AmplitudeByPoleZero(double amplitude, double period,
                                          const ResponseChannel& channel, double dataTime,
                                          ResponseLoader& loader,
                                          const std::function<double()>& gain,
                                          UserPrompts& prompts) {
  try {
    if (const auto response = loader.LoadPoleZero(channel, dataTime)) {
      return amplitude * std::abs(response->Inverse(1.0 / period)) / 1000.0;
    }
    if (const auto table = loader.LoadFapFromDatabase(channel, dataTime)) {
      return amplitude * table->Amplitude(1.0 / period) / gain();
    }
  } catch (const odbc::Error& e) {
    prompts.ShowError(e.what());
    return std::nullopt;
  }
  prompts.ShowError(NoCalibrationMessage(channel));
  return std::nullopt;
}

double RemoveSimulationMagnification(double amplitude, int code, double period,
                                     bool divideByMagnification) {
  if (!divideByMagnification) return amplitude;
  const double m = StandardMagnification(code, 1.0 / period);
  return m > 0.0 ? amplitude / m : amplitude;
}

}  // namespace nuv
