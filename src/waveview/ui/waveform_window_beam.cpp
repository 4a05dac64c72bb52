// Beam panes: panes whose samples an analysis computes (the delay-and-sum
// beam of an array) rather than loads from the archive.

#include <algorithm>

#include "platform/strformat.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"

namespace nuv {

CBeamWindow* waveform::NewBeamPane(int station, int channel) {
  auto* view = static_cast<CBeamWindow*>(CreatePane(NextPaneNumber(PaneStates()), true));
  TracePane& pane = view->pane();
  int h = panes_.empty() ? client_->height() : client_->height() / static_cast<int>(panes_.size());
  h = std::max(h, MinPaneHeight());
  int top = 0;
  for (CZoomWindow* p : panes_) top = std::max(top, p->pane().rect.Bottom() + 1);
  pane.rect = {0, top, client_->width(), h};
  view->BindBeam(station, channel);
  view->ApplyRect();
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
