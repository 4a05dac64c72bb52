#include "seismo/ui/magnitude_commands.h"

#include <map>
#include <memory>

#include "platform/paths.h"
#include "platform/strformat.h"
#include "seismo/location.h"
#include "seismo/three_component.h"
#include "traveltime/dist_az.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

std::vector<std::string> AllPhaseNames(const PhaseTypeTable& types) {
  std::vector<std::string> names;
  for (int i = 0; i < types.Count(); ++i) names.push_back(types.Name(i));
  return names;
}

// The main pane's station and channel; false (after the message) without one.
bool MainChannel(const SeismoSite& site, int& station, int& channel, TracePane** pane = nullptr) {
  CZoomWindow* main = nullptr;
  if (!site.window || !site.window->RequireMain(main)) return false;
  station = main->pane().station;
  channel = main->pane().channel;
  if (pane) *pane = &main->pane();
  return true;
}

SEISMIC_PHASE* PhaseOnChannel(Workstation& ws, int station, int channel, const std::string& name) {
  const int type = ws.phaseTypes().IndexOf(name);
  return type < 0 ? nullptr : ws.phases().Find(station, channel, type);
}

// The magnitudes of the amplitude dialog into their fields of the phase.
void StoreMagnitudes(SEISMIC_PHASE& p, const MagnitudeValues& values) {
  for (const auto& [name, value] : values.values) {
    const float v = static_cast<float>(value);
    if (name == "MKT") p.mcoda = v;
    if (name == "MPSP") p.mpsp = v;
    if (name == "MPLP") p.mplp = v;
    if (name == "Mb") p.mb = v;
    if (name == "Ms") p.ms = v;
    if (name == "ML") p.ml = v;
  }
}

}  // namespace

void RunRautianCommand(const SeismoSite& site) {
  Workstation& ws = *site.ws;
  int station, channel;
  if (!MainChannel(site, station, channel)) return;
  const RautianOutcome r =
      RautianForChannel(ws.phases(), ws.phaseTypes(), ws.stations(), ws.event(), station, channel);
  if (!r.ok) return ws.prompts().ShowError(r.message);
  if (ws.prompts().Message(r.message, kAppTitle, PromptIcon::Question, PromptButtons::OkCancel) !=
      PromptAnswer::Ok)
    return;
  if (SEISMIC_PHASE* pg = ws.phases().GetAt(r.pgIndex)) pg->energyClass = r.value;
  site.Changed();
}

void RunEnergyClassCommand(const SeismoSite& site, EnergyClassVariant variant) {
  Workstation& ws = *site.ws;
  int station, channel;
  if (!MainChannel(site, station, channel)) return;
  const EnergyClassInputs inputs = EnergyClassInputsFor(ws.phases(), ws.phaseTypes(), ws.stations(),
                                                        ws.event(), station, channel);
  if (!inputs.ok) return ws.prompts().ShowError(inputs.message);
  std::vector<std::string> names;
  for (const SEISMIC_PHASE& p : ws.phases())
    if (p.station == station && p.channel == channel)
      names.push_back(ws.phaseTypes().Name(p.phaseType));
  CEnergyClassDialog dialog(variant, inputs, names, ws.prompts(), site.parent);
  dialog.store = [&](const std::string& phase, double k) {
    SEISMIC_PHASE* p = PhaseOnChannel(ws, station, channel, phase);
    if (!p) return false;
    p->energyClass = k;
    return true;
  };
  if (dialog.exec() == QDialog::Accepted) site.Changed();
}

void RunCodaCommand(const SeismoSite& site) {
  Workstation& ws = *site.ws;
  int station, channel;
  TracePane* pane = nullptr;
  if (!MainChannel(site, station, channel, &pane)) return;
  if (!pane->hasInterval) return ws.prompts().ShowError(kMsgNoInterval);
  CCodaDialog dialog(pane->intervalEnd - pane->intervalStart, AllPhaseNames(ws.phaseTypes()),
                     site.parent);
  if (dialog.exec() != QDialog::Accepted) return;
  SEISMIC_PHASE* p = PhaseOnChannel(ws, station, channel, dialog.phase());
  if (!p) return ws.prompts().ShowError(StrFormat("Нет отметки фазы '%s'", dialog.phase().c_str()));
  p->coda = static_cast<float>(pane->intervalEnd - pane->intervalStart);
  site.Changed();
}

void ShowAmplitudePeriodDialog(const SeismoSite& site, int station, int channel,
                               AmplitudeMeasure measure) {
  Workstation& ws = *site.ws;
  const CurrentEvent& event = ws.event();
  float lat, lon;
  DistAzResult r;
  measure.distance = 5;
  measure.depth = 0;
  if (event.originValid && ChannelPosition(ws.stations(), station, channel, lat, lon) &&
      DistAz(event.originLat, event.originLon, lat, lon, r)) {
    measure.distance = r.distance == 0 ? 0.001 : r.distance;
    measure.depth = event.originDepth;
  }
  if (station >= 0 && station < ws.stations().size()) measure.station = ws.stations()[station].code;
  // The calibration tables are read once per dialog, when a button needs them.
  auto tables = std::make_shared<std::map<std::string, PHASEDATA>>();
  const std::string dir = ws.config().homeDir;
  MagnitudeCalibrations calibrations;
  calibrations.table = [tables, dir](const std::string& file) -> const PHASEDATA& {
    auto it = tables->find(file);
    if (it == tables->end()) {
      it = tables->emplace(file, PHASEDATA{}).first;
      LoadCalibrationTable(JoinPath(dir, file), it->second);
    }
    return it->second;
  };
  calibrations.ml = [dir](const std::string& code) { return MlCalib(dir, code); };
  CAmplitudePeriodDialog dialog(measure, AllPhaseNames(ws.phaseTypes()), calibrations, ws.prompts(),
                                site.parent);
  dialog.store = [&](const std::string& phase, const MagnitudeValues& values) {
    SEISMIC_PHASE* found = PhaseOnChannel(ws, station, channel, phase);
    if (!found) return false;
    // One recorded change, so that undo takes the measurement back.
    ws.phases().Modify(station, channel, found->phaseType, [&](SEISMIC_PHASE& p) {
      if (measure.period > 0) {
        p.amplitude = static_cast<float>(measure.amplitude);
        p.period = static_cast<float>(measure.period);
        p.hasAmplitude = 1;
        p.ampTime = measure.time;
      }
      StoreMagnitudes(p, values);
    });
    return true;
  };
  if (dialog.exec() == QDialog::Accepted) site.Changed();
}

}  // namespace nuv
