#include "waveview/ui/pick_pane_commands.h"

#include "waveview/pick_logic.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

std::vector<PanePickMenuItem> PanePickMenuItems() {
  return {{kCmdPickMode, "Отметить фазу"},
          {kCmdExcludeInInterval, "(*)Исключить фазы из расчета"},
          {kCmdIncludeInInterval, "(*)Включить фазы в расчет в интервале"},
          {kCmdDeleteInInterval, "(*)Удалить фазы в интервале"},
          {kCmdLineUpP, "Выровнять положение фаз P на экране"}};
}

namespace {

// The panes of the window that show the pane's station and channel.
void RedrawSameChannel(CZoomWindow& pane) {
  for (CZoomWindow* p : pane.owner().panes())
    if (p->pane().station == pane.pane().station && p->pane().channel == pane.pane().channel)
      p->RedrawPhaseMarks();
}

}  // namespace

bool LineUpPPhases(CZoomWindow& clicked) {
  Workstation& ws = clicked.owner().workstation();
  const TracePane& own = clicked.pane();
  const std::optional<double> offset = PhasePOffset(
      ws.phases(), ws.phaseTypes(), own.station, own.channel, own.WindowStart(), own.windowLength);
  if (!offset) return false;
  const double length = own.windowLength;
  for (CZoomWindow* p : clicked.owner().panes()) {
    TracePane& pane = p->pane();
    const std::optional<double> start =
        LinedUpStart(ws.phases(), ws.phaseTypes(), pane.station, pane.channel, *offset);
    if (!start) continue;
    pane.SetWindowStart(*start);
    pane.windowLength = length;
    p->LoadData();
    if (!pane.RecomputeLimits()) ws.prompts().ShowError("Не хватает памяти");
    p->RebuildPicture();
  }
  return true;
}

bool RunPanePickCommand(CZoomWindow& pane, int id) {
  Workstation& ws = pane.owner().workstation();
  TracePane& t = pane.pane();
  switch (id) {
    case kCmdPickMode:
      pane.owner().SetPickMode(!pane.owner().pickMode());
      return true;
    case kCmdExcludeInInterval:
    case kCmdIncludeInInterval:
      if (t.hasInterval) {
        SetDefiningInRange(ws.phases(), t.station, t.channel, t.intervalStart, t.intervalEnd,
                           id == kCmdIncludeInInterval);
        RedrawSameChannel(pane);
      }
      return true;
    case kCmdDeleteInInterval:
      if (t.hasInterval) {
        RemoveInRange(ws.phases(), t.station, t.channel, t.intervalStart, t.intervalEnd);
        pane.RedrawPhaseMarks();
      }
      return true;
    case kCmdLineUpP:
      LineUpPPhases(pane);
      return true;
    default:
      return false;
  }
}

}  // namespace nuv
