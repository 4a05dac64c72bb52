#pragma once
// Measuring the period and amplitude of a wave group on the main pane: the
// interval shrinks to one period around the largest swing, the swing is
// converted to micrometres of ground motion (by the channel's FAP file, by
// calib, or by the database response; a simulation divides by 1000), and
// the result goes to the amplitude-and-period dialog.

#include <functional>
#include <optional>

#include "seismo/ui/magnitude_dialogs.h"

namespace nuv {

class CZoomWindow;
class waveform;
struct SeismoSite;

// The conversions of [AMPLITUDE] DEFAULT.
enum class AmplitudeConversion { kFapFile = 0, kCalib = 1, kDatabase = 2 };

inline constexpr int kCmdAmplitudeFap = 33164;
inline constexpr int kCmdAmplitudeCalib = 33160;
inline constexpr int kCmdAmplitudeDatabase = 33229;
inline constexpr int kCmdAmplitudeDefault = 32733;

// The measurement on `pane` up to the hand-over; nothing after a message.
std::optional<AmplitudeMeasure> MeasureOnPane(waveform& window, CZoomWindow& pane,
                                              AmplitudeConversion conversion);

// Adds 33164, 33160, 33229 and 32733 to the window's commands. `handOver`
// replaces the amplitude-and-period dialog (tests).
void RegisterAmplitudeMeasureCommands(
    waveform& window, const SeismoSite& site,
    std::function<void(int station, int channel, const AmplitudeMeasure&)> handOver = {});

}  // namespace nuv
