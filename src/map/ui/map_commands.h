#pragma once
// The map's commands that reach other subsystems: the location started from
// the map (from the starting epicentre when one is marked).

#include <functional>

namespace nuv {
class waveform;
}

namespace nuv::map {

class CMapWnd;

// `window` is the waveform window whose phase marks follow the location
// (null for none); `changed` redraws whatever else shows the origin.
void AddMapLocationCommands(CMapWnd& map, waveform* window, std::function<void()> changed);

}  // namespace nuv::map
