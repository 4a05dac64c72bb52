#pragma once
// The azimuth commands of the waveform window: "Азимут по 3-м компонентам"
// (polarization of the panes activated first, second and third over the
// main pane's interval) and "Азимут по временам P-вступлений" (plane-wave
// fit of the P arrival times at a chosen station).

#include "seismo/ui/seismo_site.h"

namespace nuv {

// What the azimuth dialog remembers for the run.
struct PolarizationChoices {
  bool useTransformed = false;
};

void RunThreeComponentAzimuth(const SeismoSite& site, PolarizationChoices& choices);
void RunPlaneWaveAzimuth(const SeismoSite& site);

}  // namespace nuv
