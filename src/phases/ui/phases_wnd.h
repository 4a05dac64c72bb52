#pragma once
// The phase-list window "Список фаз": the current phase list as a table
// with the defining check box, in-place editing of the measurements,
// sorting by heading, the phase editor, and the commands of the menu
// "Список фаз" that act on the list and the stored events. It follows the
// list through its change announcements, so a change made anywhere (a pick,
// an undo) shows at once. Later subsystems add their menu commands through
// commands().

#include <QWidget>
#include <memory>
#include <vector>

#include "phases/ui/phase_list_dialogs.h"
#include "widgets/ui/command_registry.h"
#include "widgets/ui/command_target.h"

class QTableWidget;
class QTableWidgetItem;

namespace nuv {

class Workstation;

// Command ids of the window.
namespace cmd {
inline constexpr int kSavePhasesToDb = 32731;
inline constexpr int kLoadPhasesFromDb = 32732;
inline constexpr int kClearPhases = 32783;
inline constexpr int kDeleteSelectedPhases = 33036;
inline constexpr int kUndoPhaseChange = 34101;
inline constexpr int kRedoPhaseChange = 34102;
}  // namespace cmd

class CPhasesWnd : public QWidget, public CommandTarget {
  Q_OBJECT

 public:
  CPhasesWnd(Workstation& workstation, QWidget* parent = nullptr,
             std::unique_ptr<PhaseListDialogs> dialogs = nullptr);
  ~CPhasesWnd() override;

  Workstation& workstation() { return ws_; }
  QTableWidget* table() const { return table_; }
  CommandRegistry& commands() { return commands_; }

  // Rebuilds every row (in the order of the last heading click, else the
  // list order); RefreshTexts rewrites the texts of the existing rows.
  void RefreshTable();
  void RefreshTexts();
  // Displayed rows: the (station, channel, phase type) of row `row`.
  struct Triple {
    int station, channel, phaseType;
  };
  const std::vector<Triple>& rows() const { return rows_; }
  // Sorts the rows as a click on heading `column` does.
  void SortByColumn(int column);
  // Opens the in-place editor on a cell of columns 7..18 (the right click).
  void StartCellEdit(int row, int column);

  // CommandTarget.
  bool HandlesCommand(int id) const override { return commands_.Has(id); }
  bool IsCommandEnabled(int id) const override { return commands_.IsEnabled(id); }
  void OnCommand(int id) override { commands_.Run(id); }

  // The commands themselves.
  void SaveToDatabase();
  void LoadFromDatabase();
  void ClearList();
  void DeleteSelected();
  void EditRow(int row);

 private:
  void RegisterCommands();
  void OnItemChanged(QTableWidgetItem* item);
  void WriteRow(int row);
  void RestoreColumnWidths();
  void SaveColumnWidths();

  Workstation& ws_;
  std::unique_ptr<PhaseListDialogs> dialogs_;
  QTableWidget* table_ = nullptr;
  CommandRegistry commands_;
  std::vector<Triple> rows_;
  int sortColumn_ = -1;
  bool filling_ = false;
  int subscription_ = 0;
};

}  // namespace nuv
