#include "sigproc/ui/amplitude_measure_command.h"

#include "archive/segment_assembly.h"
#include "platform/strformat.h"
#include "seismo/ui/magnitude_commands.h"
#include "sigproc/period_amplitude.h"
#include "sigproc/response_amplitude.h"
#include "sigproc/ui/sigproc_panes.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

// calib of the block that holds t; nothing when none does or it is 0 or -1.
std::optional<double> CalibAt(const NUVDataBlockArray& blocks, double t) {
  for (const NUVDataBlock& b : blocks)
    if (b.rate > 0 && t >= b.start && t < b.End())
      return b.calib == 0 || b.calib == -1 ? std::nullopt : std::optional<double>(b.calib);
  return std::nullopt;
}

// The swing V (counts) in micrometres, or nothing after the message.
std::optional<double> Convert(waveform& window, const TracePane& pane, double v, double period,
                              double t1, AmplitudeConversion conversion, double& magnification) {
  Workstation& ws = window.workstation();
  magnification = -1;
  if (pane.transformCode >= 1000) {
    const double a = RemoveSimulationMagnification(v / 1000, pane.transformCode, period,
                                                   window.settings().normalizeAmplitude);
    if (a != v / 1000) magnification = v / 1000 / a;
    return a;
  }
  ResponseChannel channel;
  channel.station = pane.stationName;
  channel.channel = pane.channelName;
  channel.location = pane.locationCode;
  if (pane.station >= 0 && pane.station < ws.stations().size() && pane.channel >= 0 &&
      pane.channel < kChannelsPerStation)
    channel.responseFile =
        ws.stations()[pane.station].channels[static_cast<size_t>(pane.channel)].calibFile;
  odbc::Connection* main = ws.databases().mainOpen() ? &ws.databases().main() : nullptr;
  const auto gain = [&] {
    return ChannelGain(main, ws.config().wfd, pane.stationName, pane.channelName, t1, ws.prompts());
  };
  ResponseLoader& loader = SigprocPanes::Of(window).loader();
  switch (conversion) {
    case AmplitudeConversion::kFapFile:
      return AmplitudeByFapFile(v, period, channel, ws.config().homeDir, loader, gain,
                                ws.prompts());
    case AmplitudeConversion::kCalib: {
      const std::optional<double> calib = CalibAt(pane.blocks, t1);
      if (!calib) {
        ws.prompts().ShowError(StrFormat("Нет calib и calper для канала '%s' станции '%s'",
                                         pane.channelName.c_str(), pane.stationName.c_str()));
        return std::nullopt;
      }
      return v * *calib * period / 1000;
    }
    case AmplitudeConversion::kDatabase: {
      const std::optional<double> a =
          AmplitudeByPoleZero(v, period, channel, t1, loader, gain, ws.prompts());
      // The magnification of the pole-zero response, when that was used.
      if (a && v != 0) magnification = *a * 1000 / v;
      return a;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<AmplitudeMeasure> MeasureOnPane(waveform& window, CZoomWindow& view,
                                              AmplitudeConversion conversion) {
  Workstation& ws = window.workstation();
  TracePane& pane = view.pane();
  if (!pane.HasTransformed()) {
    ws.prompts().Beep();
    ws.prompts().ShowError(
        "Оценка амплитуды и периода производится только по фильтрованным данным");
    return std::nullopt;
  }
  PeriodAmplitudeInput in;
  in.samples = &pane.transformed;
  in.rate = pane.SampleRate();
  in.windowStart = pane.WindowStart();
  in.windowLength = pane.windowLength;
  in.hasInterval = pane.hasInterval;
  in.intervalStart = pane.intervalStart;
  in.intervalEnd = pane.intervalEnd;
  const PeriodAmplitude r = MeasurePeriodAmplitude(in);
  if (r.refusal != PeriodAmplitudeRefusal::kNone) {
    ws.prompts().ShowError(PeriodAmplitudeMessage(r.refusal));
    return std::nullopt;
  }
  pane.intervalStart = r.time - r.period / 2;
  pane.intervalEnd = r.time + r.period / 2;
  pane.hasInterval = true;
  view.RecordIntervalLayer();
  view.update();
  double magnification = -1;
  const std::optional<double> um =
      Convert(window, pane, r.peakToPeak, r.period, r.earlierEnd, conversion, magnification);
  if (!um) return std::nullopt;
  AmplitudeMeasure m;
  m.amplitude = *um / 2;
  m.period = r.period;
  m.responseValue = magnification;
  m.filterName = pane.TransformName();
  m.time = r.time;
  return m;
}

void RegisterAmplitudeMeasureCommands(
    waveform& window, const SeismoSite& site,
    std::function<void(int, int, const AmplitudeMeasure&)> handOver) {
  if (!handOver)
    handOver = [site](int station, int channel, const AmplitudeMeasure& m) {
      ShowAmplitudePeriodDialog(site, station, channel, m);
    };
  auto run = [&window, handOver](std::optional<AmplitudeConversion> conversion) {
    CZoomWindow* main = nullptr;
    if (!window.RequireMain(main)) return;
    const AmplitudeConversion c =
        conversion ? *conversion
                   : static_cast<AmplitudeConversion>(std::clamp(
                         window.workstation().ini().GetInt("AMPLITUDE", "DEFAULT", 0), 0, 2));
    if (const std::optional<AmplitudeMeasure> m = MeasureOnPane(window, *main, c))
      handOver(main->pane().station, main->pane().channel, *m);
  };
  window.commands().Add(kCmdAmplitudeFap, [run] { run(AmplitudeConversion::kFapFile); });
  window.commands().Add(kCmdAmplitudeCalib, [run] { run(AmplitudeConversion::kCalib); });
  window.commands().Add(kCmdAmplitudeDatabase, [run] { run(AmplitudeConversion::kDatabase); });
  window.commands().Add(kCmdAmplitudeDefault, [run] { run(std::nullopt); });
}

}  // namespace nuv
