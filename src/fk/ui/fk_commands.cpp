#include "fk/ui/fk_commands.h"

#include <cmath>

#include "platform/strformat.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

namespace {

bool IntervalInsideWindow(const TracePane& p) {
  if (!p.hasInterval) return false;
  const double lo = p.WindowStart(), hi = lo + std::trunc(p.windowLength);
  const auto inside = [&](double t) { return t >= lo && t <= hi; };
  return inside(p.intervalStart) && inside(p.intervalEnd);
}

FkPane PaneOf(const StationTable& stations, const TracePane& p) {
  FkPane pane;
  pane.station = p.stationName;
  pane.channel = p.channelName;
  if (p.station >= 0 && p.station < stations.size()) {
    pane.deast = stations[p.station].deast;
    pane.dnorth = stations[p.station].dnorth;
  }
  pane.samples = p.transformed;
  pane.rate = p.transRate;
  pane.start = p.WindowStart();
  pane.windowLength = p.windowLength;
  pane.intervalStart = p.intervalStart;
  pane.intervalEnd = p.intervalEnd;
  pane.hasInterval = p.hasInterval;
  return pane;
}

}  // namespace

std::optional<FkDialogInput> CollectFkInput(waveform& window) {
  CZoomWindow* main = window.MainPane();
  if (!main) return std::nullopt;
  Workstation& ws = window.workstation();
  UserPrompts& prompts = ws.prompts();
  FkDialogInput input;
  for (CZoomWindow* view : window.panes()) {
    const TracePane& p = view->pane();
    if (!p.isActive) continue;
    std::string refusal;
    if (!p.HasTransformed())
      refusal = StrFormat(
          "Окно D%d не содержит данных преобразованного сигнала и будет исключено из расчета.",
          p.number);
    else if (!IntervalInsideWindow(p))
      refusal = StrFormat(
          "Выбранный временной интервал находится вне пределов окна волновых форм T%d станции "
          "'%s' канала '%s' или отсутствует\n Канал будет исключен из расчета\n",
          p.number, p.stationName.c_str(), p.channelName.c_str());
    if (refusal.empty()) {
      input.panes.push_back(PaneOf(ws.stations(), p));
      continue;
    }
    if (prompts.Message(refusal, kAppTitle, PromptIcon::Warning, PromptButtons::OkCancel) ==
        PromptAnswer::Cancel)
      return std::nullopt;
  }
  if (input.panes.empty()) {
    prompts.ShowError("Список отобраных каналов пуст. Модуль F-K анализа запущен не будет.");
    return std::nullopt;
  }
  const TracePane& m = main->pane();
  input.mainStation = m.station;
  input.mainChannel = m.channel;
  if (m.station >= 0 && m.station < ws.stations().size()) {
    const CScreenFields& site = ws.stations()[m.station];
    input.reference.deast = site.deast;
    input.reference.dnorth = site.dnorth;
    if (m.channel >= 0 && m.channel < kChannelsPerStation)
      input.reference.rate = site.channels[m.channel].rate;
  }
  input.reference.start = m.WindowStart();
  input.reference.windowLength = m.windowLength;
  input.showBeam = [&window, station = m.station, channel = m.channel](const FkBeam& beam) {
    ShowFkBeam(window, station, channel, beam);
  };
  return input;
}

void ShowFkBeam(waveform& window, int station, int channel, const FkBeam& beam) {
  CBeamWindow* target = nullptr;
  for (CZoomWindow* view : window.panes()) {
    if (view->IsBeam() && view->pane().station == station && view->pane().channel == channel) {
      target = static_cast<CBeamWindow*>(view);
      break;
    }
  }
  if (!target) target = window.NewBeamPane(station, channel);
  NUVDataBlock block;
  block.samples = beam.samples;
  block.count = static_cast<int>(beam.samples.size());
  block.start = beam.start;
  block.rate = beam.rate;
  target->SetBeam(block);
  // The length in single precision, as the window keeps it.
  target->pane().windowLength = static_cast<float>(block.count) / static_cast<float>(block.rate);
  target->pane().ampMin = target->pane().ampMax = 0;  // limits from the new samples
  target->RebuildPicture();
  window.ScrollPaneToBottom(*target);
}

void RegisterFkCommands(waveform& window) {
  window.commands().Add(kCmdFkAnalysis, [&window] {
    std::optional<FkDialogInput> input = CollectFkInput(window);
    if (!input) return;
    CFKResultsDlg dialog(window.workstation(), std::move(*input), &window);
    dialog.exec();
  });
}

}  // namespace nuv
