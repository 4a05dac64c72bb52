#include "map/ui/map_commands.h"

#include "map/ui/map_window.h"
#include "seismo/ui/location_command.h"
#include "waveview/ui/waveform_window.h"
#include "workstation/workstation.h"

namespace nuv::map {

void AddMapLocationCommands(CMapWnd& map, waveform* window, std::function<void()> changed) {
  map.commands().Add(cmd::kHypocentre, [&map, window, changed] {
    Workstation& ws = map.workstation();
    // The start dialog of the location is preset from the current origin:
    // a marked starting epicentre takes its place there.
    const StartEpicentre& start = map.state().start;
    if (start.set) {
      CurrentEvent& event = ws.event();
      event.originLat = start.lat;
      event.originLon = start.lon;
      if (start.depth >= 0) event.originDepth = start.depth;
      if (start.originTime > 0) event.originTime = start.originTime;
    }
    SeismoSite site;
    site.ws = &ws;
    site.parent = &map;
    site.window = window;
    site.phasesChanged = [&map, window, changed] {
      if (window) window->RedrawAllPhaseMarks();
      map.update();
      if (changed) changed();
    };
    RunLocationCommand(site, false);
  });
}

}  // namespace nuv::map
