#pragma once
// The commands of the menu "ПОС" and of the workspace toolbar, added to the
// workspace window's registry; the window's formulas reach the panes of
// `waveforms` (when there is one).

namespace nuv {

class CDSP;
class waveform;

void RegisterWorkspaceCommands(CDSP& dsp, waveform* waveforms);

}  // namespace nuv
