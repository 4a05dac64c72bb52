#pragma once
// The display switches shared by every trace pane, and the switches of the
// settings page of the waveform window.

namespace nuv {

struct WaveformDisplaySettings {
  bool drawWaveforms = true;        // 606 and the settings page
  bool dbPhaseMarks = false;        // 32772
  bool timeGrid = true;             // settings page
  bool alignTime = false;           // 33057
  bool normalizeAmplitude = false;  // 33184
  bool autoScale = false;           // settings page; kept for the run, read by no drawing rule
};

}  // namespace nuv
