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

}  // namespace nuv
