#pragma once
// The signal-processing commands of the waveform window: filter, filter
// constructor and removal, the seismograph simulations, the formula
// constructor and the detectors, with the drop-down lists of the filter and
// formula toolbar buttons.

namespace nuv {

class waveform;

// Adds the commands to the window's registry.
void RegisterSigprocCommands(waveform& window);

// Command ids and the simulation codes they start.
struct SimulationCommand {
  int id;
  int code;
};
inline constexpr SimulationCommand kSimulationCommands[] = {
    {33137, 1000}, {33139, 1001}, {33142, 1002}, {33138, 1003}, {33140, 1004},
    {33141, 1005}, {33214, 1007}, {33171, 1011}, {33175, 1012}, {33173, 1013},
    {33172, 1014}, {33176, 1015}, {33174, 1016}, {33188, 1018},
};
inline constexpr int kCmdFilter = 32704;
inline constexpr int kCmdFilterWizard = 33126;
inline constexpr int kCmdRemoveFilter = 32737;
inline constexpr int kCmdFormula = 33145;
inline constexpr int kCmdRunDetector = 33132;
inline constexpr int kCmdClearDetections = 33134;

}  // namespace nuv
