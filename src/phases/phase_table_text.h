#pragma once
// The phase-list table without its widgets: the twenty column texts of a
// phase, the in-place edits of the numeric columns, the sort orders of the
// column headings and the check-box rule.

#include <string>
#include <vector>

#include "phases/seismic_phase.h"

namespace nuv {

class StationTable;
class PhaseTypeTable;

inline constexpr int kPhaseTableColumns = 20;

// The headings, in column order.
const std::vector<std::string>& PhaseTableHeadings();

// The text of `column` for phase `p` ("" for a value the phase lacks).
std::string PhaseCellText(const SEISMIC_PHASE& p, int column, const StationTable& stations,
                          const PhaseTypeTable& types);

// Columns 7..18 may be edited in place.
bool IsEditableColumn(int column);
// Stores the typed text of an edited cell in `p` (an empty text clears the
// value); false when nothing changed: a column that is not editable, a text
// that is not a number, or an amplitude or period not above 0.
bool ApplyCellEdit(SEISMIC_PHASE& p, int column, const std::string& text);

// The display order after a click on heading `column`: indices into
// `phases` (stable; columns without an order keep the list order).
std::vector<int> SortOrder(const std::vector<const SEISMIC_PHASE*>& phases, int column,
                           const StationTable& stations, const PhaseTypeTable& types);

enum class DefiningMark { Checked, Unchecked, Neutral };
DefiningMark MarkOf(const SEISMIC_PHASE& p);
// A click on the check box: checked becomes unchecked, anything else
// checked, unless the phase type cannot be defining; `active` is set.
void ToggleDefining(SEISMIC_PHASE& p, const PhaseTypeTable& types);

}  // namespace nuv
