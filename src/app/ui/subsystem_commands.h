#pragma once
// Where the subsystems' commands meet the frame: each subsystem's ui/ folder
// offers a function that adds its commands to the frame's registry or to a
// document window's registry, and this one calls them all.

namespace nuv {

class CMainFrame;

void RegisterSubsystemCommands(CMainFrame& frame);

// Location, magnitudes and polarization: the waveform window's commands and
// the particle-motion window.
void RegisterSeismoCommands(CMainFrame& frame);

// The map window: the station filter of the "MAP" bar, its status texts, the
// location started from the map, and the frame command that shows it.
void RegisterMapCommands(CMainFrame& frame);

}  // namespace nuv
