#pragma once
// "Конструктор формул" on the workspace's formula edit: the formula dialog
// of the trace panes, whose "W" button here offers the panes of the active
// waveform window and the workspace's own windows.

#include <optional>
#include <string>
#include <vector>

#include "workspace/workspace.h"

class QWidget;

namespace nuv {

class CDSP;

// "Выбрать окно" over `names`: the name chosen, or nothing.
std::optional<std::string> ChooseFormulaName(QWidget* parent,
                                             const std::vector<FormulaName>& names);

void EditWorkspaceFormula(CDSP& dsp);

}  // namespace nuv
