#include "waveview/pane_list.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace nuv {

int NextPaneNumber(const PaneList& panes) {
  int next = 0;
  for (const TracePane* p : panes) next = std::max(next, p->number + 1);
  return next;
}

int NextSelectionNumber(const PaneList& panes) {
  int largest = 0;
  for (const TracePane* p : panes) largest = std::max(largest, p->selectionNumber);
  return largest + 1;
}

TracePane* MainPane(const PaneList& panes) {
  for (TracePane* p : panes)
    if (p->isMain) return p;
  return nullptr;
}

PaneList ActivePanes(const PaneList& panes) {
  PaneList out;
  for (TracePane* p : panes)
    if (p->isActive) out.push_back(p);
  return out;
}

void ActivatePane(const PaneList& panes, TracePane& pane) {
  if (pane.isActive) return;
  pane.selectionNumber = NextSelectionNumber(panes);
  pane.isActive = true;
}

void DeactivatePane(const PaneList& panes, TracePane& pane) {
  if (!pane.isActive) return;
  const int number = pane.selectionNumber;
  pane.isActive = false;
  pane.selectionNumber = -1;
  if (number < 0) return;
  for (TracePane* p : panes)
    if (p != &pane && p->selectionNumber > number) --p->selectionNumber;
}

void MakeMainPane(const PaneList& panes, TracePane& pane) {
  for (TracePane* p : panes) p->isMain = false;
  pane.isMain = true;
}

void PassMainRole(const PaneList& panes) {
  for (TracePane* p : panes) p->isMain = false;
  for (TracePane* p : panes)
    if (p->isActive) {
      p->isMain = true;
      return;
    }
}

void ActivateAll(const PaneList& panes) {
  for (TracePane* p : panes) ActivatePane(panes, *p);
}

void DeactivateAll(const PaneList& panes) {
  for (TracePane* p : panes) {
    p->isActive = false;
    p->selectionNumber = -1;
  }
}

void BubbleSortPanes(PaneList& panes,
                     const std::function<bool(const TracePane&, const TracePane&)>& before) {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (size_t i = 0; i + 1 < panes.size(); ++i) {
      if (before(*panes[i + 1], *panes[i])) {
        std::swap(panes[i], panes[i + 1]);
        swapped = true;
      }
    }
  }
}

std::string SortOrderText(int command) {
  switch (command) {
    case kSortDbNumber:
      return "0";
    case kSortPhaseTime:
      return "1";
    case kSortAlphabet:
    case kSortScreenNumber:
      return "2";
    default:
      return "";
  }
}

void SortPanesByKey(PaneList& panes, const std::function<double(const TracePane&)>& key,
                    bool descending) {
  std::vector<std::pair<TracePane*, double>> keyed;
  for (TracePane* p : panes) keyed.emplace_back(p, key(*p));
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (size_t i = 0; i + 1 < keyed.size(); ++i) {
      const double a = keyed[i].second, b = keyed[i + 1].second;
      if (descending ? b > a : b < a) {
        std::swap(keyed[i], keyed[i + 1]);
        swapped = true;
      }
    }
  }
  for (size_t i = 0; i < keyed.size(); ++i) panes[i] = keyed[i].first;
}

void SortPanesByDbNumber(PaneList& panes, const StationTable& stations) {
  SortPanesByKey(
      panes,
      [&](const TracePane& p) {
        return p.station >= 0 && p.station < stations.size()
                   ? static_cast<double>(stations[p.station].nindex)
                   : static_cast<double>(kUnnumberedStation);
      },
      true);
}

void SortPanesByAlphabet(PaneList& panes) {
  BubbleSortPanes(panes, [](const TracePane& a, const TracePane& b) {
    return std::strcmp(a.stationName.c_str(), b.stationName.c_str()) < 0;
  });
}

void SortPanesByScreenNumber(PaneList& panes) {
  SortPanesByKey(
      panes,
      [](const TracePane& p) {
        return p.selectionNumber < 0 ? static_cast<double>(INT_MAX)
                                     : static_cast<double>(p.selectionNumber);
      },
      false);
}

void CompactLayout(const PaneList& panes) {
  for (size_t i = 1; i < panes.size(); ++i) panes[i]->rect.y = panes[i - 1]->rect.Bottom() + 1;
}

void RelayoutInOrder(const PaneList& panes, int clientWidth) {
  int y = 0;
  for (TracePane* p : panes) {
    p->rect.x = 0;
    p->rect.y = y;
    p->rect.width = clientWidth;
    y = p->rect.Bottom() + 1;
  }
}

void FitAll(const PaneList& panes, int clientWidth, int clientHeight, int minPaneHeight,
            bool fromTop) {
  if (panes.empty()) return;
  int h = clientHeight / static_cast<int>(panes.size());
  if (h < minPaneHeight) h = minPaneHeight;
  int y = fromTop ? 0 : panes.front()->rect.y;
  for (TracePane* p : panes) {
    p->rect = {0, y, clientWidth, std::max(1, h - 1)};
    y += h;
  }
}

void EqualHeights(const PaneList& panes, int height) {
  if (panes.empty()) return;
  int y = panes.front()->rect.y;
  for (TracePane* p : panes) {
    p->rect.y = y;
    p->rect.height = height;
    y = p->rect.Bottom() + 1;
  }
}

int SelectionPaneHeight(int clientHeight, int existingPanes, int added, int minPaneHeight) {
  const int count = existingPanes + added;
  const int h = count > 0 ? clientHeight / count : clientHeight;
  return std::max(h, minPaneHeight);
}

int TotalPaneHeight(const PaneList& panes) {
  int total = 0;
  for (const TracePane* p : panes) total += p->rect.height + 1;
  return total;
}

int ScrollPositionOf(const PaneList& panes) {
  const int total = TotalPaneHeight(panes);
  if (panes.empty() || total <= 0) return 0;
  const long long pos = 10000LL * -panes.front()->rect.y / total;
  return static_cast<int>(std::clamp<long long>(pos, 0, kScrollRange));
}

int ScrollPanesTo(const PaneList& panes, int position, int maxPosition) {
  position = std::clamp(position, 0, std::clamp(maxPosition, 0, kScrollRange));
  if (panes.empty()) return position;
  const int total = TotalPaneHeight(panes);
  const int top = static_cast<int>(-(static_cast<long long>(total) * position / kScrollRange));
  const int delta = top - panes.front()->rect.y;
  for (TracePane* p : panes) p->rect.y += delta;
  return position;
}

namespace {

void MoveStack(const PaneList& panes, int delta) {
  for (TracePane* p : panes) p->rect.y += delta;
}

}  // namespace

int MaxScrollPosition(const PaneList& panes, int clientHeight) {
  const int total = TotalPaneHeight(panes);
  if (total <= clientHeight || total <= 0) return 0;
  return static_cast<int>(10000LL * (total - clientHeight) / total);
}

void KeepStackInView(const PaneList& panes, int clientHeight) {
  if (panes.empty()) return;
  const int top = panes.front()->rect.y;
  const int blankBelow = clientHeight - panes.back()->rect.Bottom();
  if (top < 0 && blankBelow > 0) MoveStack(panes, std::min(-top, blankBelow));
}

void ScrollPaneIntoView(const PaneList& panes, size_t index, int clientHeight) {
  if (index >= panes.size()) return;
  const PaneRect& r = panes[index]->rect;
  if (r.y >= 0 && r.Bottom() <= clientHeight) return;
  MoveStack(panes, -r.y);
  KeepStackInView(panes, clientHeight);
}

}  // namespace nuv
