#include "seismo/ui/polarization_commands.h"

#include <QLineEdit>

#include "platform/strformat.h"
#include "seismo/polarization.h"
#include "seismo/three_component.h"
#include "seismo/ui/polarization_dialogs.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

std::vector<const TracePane*> PaneStates(const waveform& window) {
  std::vector<const TracePane*> panes;
  for (const CZoomWindow* p : window.panes()) panes.push_back(&p->pane());
  return panes;
}

// "Рассчитать": the named traces over the main pane's interval, the result
// dialog, and on OK the values into the chosen phase of the main channel.
void CalculateAzimuth(const SeismoSite& site, const std::string& phaseName,
                      const std::vector<std::string>& names, CAzimuthParamsDialog& params) {
  Workstation& ws = *site.ws;
  const std::vector<const TracePane*> panes = PaneStates(*site.window);
  std::optional<PaneTrace> traces[3];
  for (int c = 0; c < 3; ++c) {
    traces[c] = TraceByName(panes, names[static_cast<size_t>(c)]);
    if (!traces[c]) {
      ws.prompts().ShowError(
          StrFormat("Неправильное имя окна: '%s'", names[static_cast<size_t>(c)].c_str()));
      params.nameField(c)->setFocus();
      return;
    }
  }
  const TracePane* main = FindThreePanes(panes).main;
  if (!main) return ws.prompts().ShowError(kMsgNoMainPane);
  if (!main->hasInterval) return ws.prompts().ShowError(kMsgNoInterval);
  const ComponentSamples samples =
      CutComponents(*traces[0], *traces[1], *traces[2], main->intervalStart, main->intervalEnd);
  if (!samples.message.empty()) return ws.prompts().ShowError(samples.message);
  const PolarizationResult result = Polarization(samples.v, samples.h1, samples.h2);
  CAzimuthResultDialog dialog(result, &params);
  if (dialog.exec() != QDialog::Accepted) return;
  const int type = ws.phaseTypes().IndexOf(phaseName);
  SEISMIC_PHASE* phase = type < 0 ? nullptr : ws.phases().Find(main->station, main->channel, type);
  if (!phase) return;
  phase->hasPolarization = 1;
  phase->emergence = result.emergence;
  phase->azimuth = result.azimuthZNE;
  phase->planarity = result.planarity;
  phase->rectilinearity = result.rectilinearity;
  site.Changed();
}

}  // namespace

void RunThreeComponentAzimuth(const SeismoSite& site, PolarizationChoices& choices) {
  Workstation& ws = *site.ws;
  if (!site.window) return;
  const ThreePanes three = FindThreePanes(PaneStates(*site.window));
  const std::string refusal = CheckThreePanes(three);
  if (!refusal.empty()) return ws.prompts().ShowError(refusal);
  std::vector<std::string> phaseNames;
  for (int i = 0; i < ws.phaseTypes().Count(); ++i) phaseNames.push_back(ws.phaseTypes().Name(i));
  auto names = [three](bool transformed) {
    std::vector<std::string> out;
    for (const TracePane* p : three.panes) out.push_back(PaneTraceName(*p, transformed));
    return out;
  };
  CAzimuthParamsDialog params(phaseNames, names, choices.useTransformed, site.parent);
  params.calculate = [&](const std::string& phase, const std::vector<std::string>& typed) {
    CalculateAzimuth(site, phase, typed, params);
  };
  params.exec();
  choices.useTransformed = params.transformed();
}

void RunPlaneWaveAzimuth(const SeismoSite& site) {
  Workstation& ws = *site.ws;
  if (!site.window) return;
  const auto choice = site.window->dialogs().SelectStationChannel(*site.window, std::nullopt);
  if (!choice || choice->station < 0) return;
  const PlaneWaveFit fit = FitPlaneWaveToPhases(ws.phases(), ws.stations(), choice->station);
  if (!fit.ok) return ws.prompts().ShowError(fit.message);
  CPlaneWaveResultDialog dialog(fit, site.parent);
  if (dialog.exec() != QDialog::Accepted) return;
  ApplyPlaneWaveFit(fit, ws.phases(), choice->station);
  site.Changed();
}

}  // namespace nuv
