#pragma once
// Where a pane added to the waveform window goes.

namespace nuv {

class CZoomWindow;
class waveform;

// Gives a new pane (not yet among the window's panes) the full width below
// the others, the client height divided by the number of panes but not
// below the minimum pane height.
void PlaceBelowPanes(const waveform& window, CZoomWindow& view);

}  // namespace nuv
