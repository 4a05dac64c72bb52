// Beam panes: panes whose samples an analysis computes (the delay-and-sum
// beam of an array) rather than loads from the archive.

#include <algorithm>

#include "platform/strformat.h"
#include "waveview/ui/pane_placement.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"

namespace nuv {

void PlaceBelowPanes(const waveform& window, CZoomWindow& view) {
  const std::vector<CZoomWindow*>& panes = window.panes();
  const int height = window.client()->height();
  int h = panes.empty() ? height : height / static_cast<int>(panes.size());
  h = std::max(h, window.MinPaneHeight());
  int top = 0;
  for (CZoomWindow* p : panes) top = std::max(top, p->pane().rect.Bottom() + 1);
  view.pane().rect = {0, top, window.client()->width(), h};
  view.ApplyRect();
}

CBeamWindow* waveform::NewBeamPane(int station, int channel) {
  auto* view = static_cast<CBeamWindow*>(CreatePane(NextPaneNumber(PaneStates()), true));
  view->BindBeam(station, channel);
  PlaceBelowPanes(*this, *view);
  view->show();
  panes_.push_back(view);
  return view;
}

void waveform::ScrollPaneToBottom(CZoomWindow& pane) {
  CompactAndScroll();
  const auto it = std::find(panes_.begin(), panes_.end(), &pane);
  if (it != panes_.end()) {
    ScrollPaneIntoView(PaneStates(), static_cast<size_t>(it - panes_.begin()), client_->height());
    UpdateScrollBar();
  }
  update();
}

}  // namespace nuv
