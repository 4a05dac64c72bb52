#include "seismo/ui/seismo_commands.h"

#include <memory>

#include "seismo/ui/location_command.h"
#include "seismo/ui/magnitude_commands.h"
#include "seismo/ui/particle_motion_window.h"
#include "seismo/ui/polarization_commands.h"
#include "seismo/ui/sliding_polarization.h"
#include "waveview/ui/waveform_window.h"
#include "widgets/ui/command_registry.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

// Command ids of the "Функции" menu.
constexpr int kRectilinearity = 22;
constexpr int kAzimuthCurve = 37;
constexpr int kPlanarity = 38;
constexpr int kShowParticleMotion = 43;
constexpr int kCoda = 133;
constexpr int kThreeComponentAzimuth = 32711;
constexpr int kHypocentre = 32723;
constexpr int kPlaneWaveAzimuth = 32768;
constexpr int kRautian = 33170;
constexpr int kEnergyClassVegik = 33187;
constexpr int kLinearLocation = 33197;
constexpr int kEnergyClassSkm = 33213;

}  // namespace

void AddSeismoCommands(Workstation& ws, waveform& window, CommandRegistry& frameCommands,
                       QWidget* frameWidget, std::function<void()> phasesChanged) {
  SeismoSite site;
  site.ws = &ws;
  site.parent = &window;
  site.window = &window;
  site.phasesChanged = [&window, phasesChanged] {
    window.RedrawAllPhaseMarks();
    if (phasesChanged) phasesChanged();
  };
  auto choices = std::make_shared<PolarizationChoices>();
  CommandRegistry& commands = window.commands();
  commands.Add(kHypocentre, [site] { RunLocationCommand(site, false); });
  commands.Add(kLinearLocation, [site] { RunLocationCommand(site, true); });
  commands.Add(kRautian, [site] { RunRautianCommand(site); });
  commands.Add(kEnergyClassVegik,
               [site] { RunEnergyClassCommand(site, EnergyClassVariant::Vegik); });
  commands.Add(kEnergyClassSkm, [site] { RunEnergyClassCommand(site, EnergyClassVariant::Skm); });
  commands.Add(kCoda, [site] { RunCodaCommand(site); });
  commands.Add(kThreeComponentAzimuth,
               [site, choices] { RunThreeComponentAzimuth(site, *choices); });
  commands.Add(kPlaneWaveAzimuth, [site] { RunPlaneWaveAzimuth(site); });
  auto sliding = std::make_shared<SlidingParameters>();
  const std::pair<int, PolarizationMeasure> curves[] = {
      {kRectilinearity, PolarizationMeasure::Rectilinearity},
      {kPlanarity, PolarizationMeasure::Planarity},
      {kAzimuthCurve, PolarizationMeasure::Azimuth}};
  for (const auto& [id, measure] : curves)
    commands.Add(id, [site, sliding, measure = measure] {
      RunSlidingPolarization(site, measure, *sliding);
    });

  // Created hidden with the frame; "Показать" shows it, closing hides it.
  auto* motion = new CGet3WindowNames(window, ws.prompts(), frameWidget);
  motion->setObjectName("particleMotionWindow");
  frameCommands.Add(kShowParticleMotion, [motion] {
    motion->show();
    motion->raise();
  });
}

}  // namespace nuv
