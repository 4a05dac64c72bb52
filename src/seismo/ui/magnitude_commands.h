#pragma once
// The waveform-window commands of the energy class and the coda on the
// main pane's channel, and the amplitude-and-period dialog that the
// amplitude measurement opens.

#include "seismo/magnitudes.h"
#include "seismo/ui/magnitude_dialogs.h"
#include "seismo/ui/seismo_site.h"

namespace nuv {

// "Рассчитать класс по номограмме Раутиан".
void RunRautianCommand(const SeismoSite& site);
// "Рассчитать энергетический класс "Раутиан по ВЭГИК"" / "... по CKM"".
void RunEnergyClassCommand(const SeismoSite& site, EnergyClassVariant variant);
// "Кода": the main pane's interval as the coda duration of a phase.
void RunCodaCommand(const SeismoSite& site);
// "Результат расчета периода и амплитуды" for a measurement on a channel;
// the distance and depth are taken from the current origin when it is valid.
void ShowAmplitudePeriodDialog(const SeismoSite& site, int station, int channel,
                               AmplitudeMeasure measure);

}  // namespace nuv
