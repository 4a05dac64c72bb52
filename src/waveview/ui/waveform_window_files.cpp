#include <algorithm>
#include <filesystem>

#include "archive/archive_import.h"
#include "archive/wfdisc_writer.h"
#include "platform/strformat.h"
#include "waveview/channel_list.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

// Saving and loading the window's panes: channel lists in the per-user
// store and CSS 3.0 file sets.

namespace nuv {

bool waveform::SaveChannelList(const std::string& name) {
  std::vector<ChannelListEntry> entries;
  for (CZoomWindow* p : panes_) {
    const TracePane& pane = p->pane();
    ChannelListEntry e;
    e.sta = pane.stationName;
    e.chan = pane.channelName;
    e.activeWindow = pane.isActive ? "1" : "0";
    e.beam = p->IsBeam() ? "1" : "0";
    e.mainWindow = pane.isMain ? "1" : "0";
    e.lcode = pane.locationCode;
    entries.push_back(std::move(e));
  }
  return nuv::SaveChannelList(ws_.store(), name, entries);
}

void waveform::LoadChannelList(const std::string& name) {
  DeleteAllPanes();
  for (const ChannelListEntry& e : nuv::LoadChannelList(ws_.store(), name)) {
    const std::optional<ChannelRef> ref = ResolveChannelListEntry(stations(), e);
    if (!ref) continue;
    CZoomWindow* view = CreatePane(static_cast<int>(LeadingInteger(e.key)), e.IsBeam());
    TracePane& pane = view->pane();
    if (auto* beam = dynamic_cast<CBeamWindow*>(view))
      beam->BindBeam(ref->station, ref->channel);
    else
      view->SetChannel(ref->station, ref->channel);
    const TimeWindow window =
        LoadTimeWindow(ws_.store(), pane.stationName, pane.channelName).value_or(TimeWindow{});
    pane.SetWindowStart(window.start);
    pane.windowLength = window.length;
    view->LoadData();
    if (e.IsActive()) nuv::ActivatePane(PaneStates(), pane);
    if (e.IsMain()) pane.isMain = true;
    panes_.push_back(view);
  }
  FitAll(PaneStates(), client_->width(), client_->height(), MinPaneHeight(), true);
  bool mainSeen = false;
  for (CZoomWindow* p : panes_) {
    if (p->pane().isMain) {
      if (mainSeen) p->pane().isMain = false;
      mainSeen = true;
    }
  }
  for (CZoomWindow* p : panes_) {
    p->ApplyRect();
    p->RebuildPicture();
    p->show();
  }
  Sort(kSortScreenNumber);
}

void waveform::LoadCssFolder(const std::string& folder) {
  CXChanArray spans;
  ImportReport report;
  std::string stopped;
  try {
    const ImportTarget target{ws_.databases().main(), stations(),    ws_.config().dataDir,
                              ws_.config().useTend,   ws_.prompts(), ws_.databases().dialect()};
    ImportWfdiscFolder(target, folder, spans, report);
  } catch (const std::exception& e) {
    stopped = e.what();
  }
  // An error, records left out or kept beside another recording are told;
  // what was imported before an error still gets its panes, and an import
  // that stored nothing leaves the window as it was.
  const bool failed = report.NothingImported();
  if (failed || !stopped.empty() || !report.refused.empty() || !report.keptBeside.empty()) {
    std::string text = WfdiscImportSummary(report);
    if (!stopped.empty()) text = stopped + "\n\n" + text;
    ws_.prompts().Message(text, kAppTitle,
                          failed || !stopped.empty() ? PromptIcon::Error : PromptIcon::Warning,
                          PromptButtons::Ok);
  }
  if (!failed) ShowSpans(spans);
}

void waveform::ShowSpans(const CXChanArray& spans) {
  DeleteAllPanes();
  if (spans.size() == 0) return;
  const int h = std::max(client_->height() / spans.size(), MinPaneHeight());
  int y = 0;
  int number = 0;
  for (const ChannelSpan& span : spans) {
    const int station = stations().FindStation(span.station);
    const int channel = stations().FindChannel(station, span.channel);
    if (station < 0 || channel < 0) continue;
    CZoomWindow* view = CreatePane(number++);
    panes_.push_back(view);
    view->pane().rect = {0, y, client_->width(), std::max(1, h - 1)};
    y += h;
    view->ApplyRect();
    view->SetChannel(station, channel);
    view->pane().SetWindowStart(span.first);
    view->pane().windowLength = span.last - span.first;
    view->LoadData();
    view->show();
    view->RebuildPicture();
  }
  UpdateScrollBar();
  update();
}

bool waveform::SaveCssFile(const std::string& path) {
  XNUVDataBlockArrays arrays;
  for (CZoomWindow* p : ActivePanes()) {
    if (p->pane().blocks.empty()) continue;
    NUVDataBlockArray array = p->pane().WindowBlocks();
    if (array.empty()) continue;
    array.station = p->pane().stationName;
    array.channel = p->pane().channelName;
    arrays.Append(std::move(array));
  }
  try {
    SaveWfdisc(path, arrays, static_cast<WfdiscOutputFormat>(ws_.config().cssOutFormat));
  } catch (const std::exception& e) {
    ws_.prompts().ShowError(e.what());
    return false;
  }
  return true;
}

void waveform::LoadCssCommand() {
  const std::optional<std::string> folder =
      ws_.prompts().ChooseFolder("Выбрать каталог c файлами (*.wfdisc)", ws_.config().cssDataPath);
  if (folder) LoadCssFolder(*folder);
}

void waveform::SaveCssCommand() {
  // The save writes the active panes: without one there is nothing to save.
  std::vector<CZoomWindow*> active;
  if (!RequireActive(active)) return;
  std::optional<std::string> path = ws_.prompts().ChooseSaveFile(
      "Select .wfdisc file name", "wfdisc files|*.wfdisc||", ws_.config().cssOutDir);
  if (!path) return;
  // A name typed without an extension gets ".wfdisc".
  if (std::filesystem::path(*path).extension().empty()) *path += ".wfdisc";
  SaveCssFile(*path);
}

}  // namespace nuv
