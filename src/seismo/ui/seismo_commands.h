#pragma once
// The seismological commands on screen: location, energy class, coda and
// the azimuth commands go into the waveform window's registry, "Показать"
// of the particle-motion window into the frame's.

#include <functional>

class QWidget;

namespace nuv {

class CommandRegistry;
class Workstation;
class waveform;

// `frameWidget` owns the particle-motion window; `phasesChanged` is run
// after a command changed phases or the origin (the window's phase marks
// are redrawn as well).
void AddSeismoCommands(Workstation& ws, waveform& window, CommandRegistry& frameCommands,
                       QWidget* frameWidget, std::function<void()> phasesChanged = {});

}  // namespace nuv
