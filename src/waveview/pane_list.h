#pragma once
// The waveform window's logic over its ordered panes: numbering, activation
// order, the main pane, sorting and the vertical layout with its scrolling.
// The window widget keeps the panes in this order and mirrors the rectangles.

#include <functional>
#include <string>
#include <vector>

#include "waveview/trace_pane.h"

namespace nuv {

using PaneList = std::vector<TracePane*>;

// 1 + the largest pane number, 0 for the first pane.
int NextPaneNumber(const PaneList& panes);
// 1 + the largest selection number, at least 1 (inactive panes hold -1).
int NextSelectionNumber(const PaneList& panes);

// The first pane with isMain set, or null.
TracePane* MainPane(const PaneList& panes);
// The active panes in array order.
PaneList ActivePanes(const PaneList& panes);

// Activation with the next selection number; no effect on an active pane.
void ActivatePane(const PaneList& panes, TracePane& pane);
// Deactivation: every pane numbered above it moves down by one.
void DeactivatePane(const PaneList& panes, TracePane& pane);
// Makes `pane` the only main pane.
void MakeMainPane(const PaneList& panes, TracePane& pane);
// After the main pane was deactivated: the first active pane becomes main.
void PassMainRole(const PaneList& panes);
void ActivateAll(const PaneList& panes);
void DeactivateAll(const PaneList& panes);

// Sorting: a stable bubble sort on adjacent pairs, repeated until a pass
// makes no swap. `before(a, b)` is true when a must come before b.
void BubbleSortPanes(PaneList& panes,
                     const std::function<bool(const TracePane&, const TracePane&)>& before);

// The sort commands and their keys.
enum class PaneSortKey { DbNumber, PhaseTime, Alphabet, ScreenNumber, Distance, Amplitude, Mb };
inline constexpr int kSortDbNumber = 33165;
inline constexpr int kSortPhaseTime = 33166;
inline constexpr int kSortAlphabet = 33203;
inline constexpr int kSortScreenNumber = 33204;
inline constexpr int kSortDistance = 33211;
inline constexpr int kSortAmplitude = 33220;
inline constexpr int kSortMb = 33221;
// The "SORTODER" text written for a sort command, or "" when none is written.
std::string SortOrderText(int command);

// Sorting by a numeric key per pane (station, channel) in ascending or
// descending order; ties keep their order.
void SortPanesByKey(PaneList& panes, const std::function<double(const TracePane&)>& key,
                    bool descending);
void SortPanesByDbNumber(PaneList& panes, const StationTable& stations);
void SortPanesByAlphabet(PaneList& panes);
void SortPanesByScreenNumber(PaneList& panes);

// Layout. Rectangles are in client coordinates; panes sit one pixel apart.
// Compact: each pane moved one pixel below the previous one, heights kept.
void CompactLayout(const PaneList& panes);
// From y 0 downwards in array order, each as wide as the client area.
void RelayoutInOrder(const PaneList& panes, int clientWidth);
// "Во все окно": equal heights client height / count (at least the
// minimum), starting at the current top of the first pane.
void FitAll(const PaneList& panes, int clientWidth, int clientHeight, int minPaneHeight,
            bool fromTop = false);
// Every pane takes `height`, stacked from the first pane's top.
void EqualHeights(const PaneList& panes, int height);
// Height of the panes added by a selection of n channels.
int SelectionPaneHeight(int clientHeight, int existingPanes, int added, int minPaneHeight);

// Scrolling over the total height of all panes, range 0..10000.
inline constexpr int kScrollRange = 10000;
inline constexpr int kScrollLine = 100;
inline constexpr int kScrollPage = 200;
int TotalPaneHeight(const PaneList& panes);
// Position from the first pane's top.
int ScrollPositionOf(const PaneList& panes);
// Moves the panes to the position clamped to 0..maxPosition; returns it.
int ScrollPanesTo(const PaneList& panes, int position, int maxPosition = kScrollRange);
// The last position that still fills the client area: there the bottom of
// the last pane meets the bottom of the client area (0 when the stack fits).
int MaxScrollPosition(const PaneList& panes, int clientHeight);
// After a layout change: a scrolled stack whose last pane ends above the
// bottom of the client area moves down, so no blank band opens below it.
void KeepStackInView(const PaneList& panes, int clientHeight);
// Scrolls the stack so that pane `index` is visible (its top at the top of
// the client area when it was not wholly visible).
void ScrollPaneIntoView(const PaneList& panes, size_t index, int clientHeight);

}  // namespace nuv
