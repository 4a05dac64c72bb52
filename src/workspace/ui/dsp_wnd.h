#pragma once
// The signal-processing workspace window "ПОС": the data windows drawn on a
// canvas, and below it the label "W%d" of the active window and its formula
// edit (Enter stores the text and recomputes the window and the windows
// referring to it). The commands of the menu "ПОС" and its toolbar are
// registry entries (workspace_commands.cpp); the methods below carry them out.

#include <QWidget>
#include <functional>
#include <memory>

#include "sigproc/formula.h"
#include "widgets/ui/command_registry.h"
#include "widgets/ui/command_target.h"
#include "workspace/workspace.h"

class QLabel;
class QLineEdit;

namespace nuv {

class CDspCanvas;
class DspDialogs;
class Workstation;

class CDSP : public QWidget, public CommandTarget, public FormulaInterface {
  Q_OBJECT

 public:
  CDSP(Workstation& ws, QWidget* parent = nullptr);
  ~CDSP() override;

  Workstation& workstation() { return ws_; }
  Workspace& workspace() { return workspace_; }
  CommandRegistry& commands() { return commands_; }
  CDspCanvas* canvas() const { return canvas_; }
  QLineEdit* formulaEdit() const { return edit_; }
  QLabel* indexLabel() const { return label_; }
  void SetDialogs(std::unique_ptr<DspDialogs> dialogs);
  // The formula constructor (the sigproc dialog by default).
  std::function<void(FormulaInterface&)> editFormula;
  // The panes of the active waveform window, asked for before each
  // evaluation (none when it returns nullptr).
  std::function<std::unique_ptr<FormulaDataSource>()> paneSource;
  // The status bar text (cursor readout).
  std::function<void(const QString&)> statusText;

  // CommandTarget.
  bool HandlesCommand(int id) const override { return commands_.Has(id); }
  bool IsCommandEnabled(int id) const override { return commands_.IsEnabled(id); }
  std::optional<bool> IsCommandChecked(int id) const override { return commands_.IsChecked(id); }
  void OnCommand(int id) override { commands_.Run(id); }

  // FormulaInterface: the formula edit's text; applying is Enter.
  void ApplyFormula() override { Enter(); }
  void SetFormula(const std::string& text) override;
  std::string GetFormula() const override;

  // Enter in the formula edit.
  void Enter();
  // A click in a window's frame: the edit's text is first stored into the
  // window active until now.
  void Activate(int index);
  // Shows the active window's label, formula and read-only state, and redraws.
  void Refresh();

  // The commands.
  void ScaleCommand();
  void PropertiesCommand();
  void AddWindow();
  void DeleteWindow();
  void ToggleFixed();
  void OverlayCommand();
  void SaveData();
  void LoadData();
  void SaveWorksheetCommand();
  void LoadWorksheetCommand();
  void CopyToClipboard();
  void PasteFromClipboard();
  bool CanPaste() const;
  void FormulaCommand();
  // The names "Выбрать окно" offers (panes of the moment and windows).
  std::vector<FormulaName> FormulaNames();
  // The view commands on the active window.
  void View(const std::function<void(DspWindow&)>& change);

 private:
  void StoreEditText();
  // Evaluations run with the panes of the moment.
  template <typename F>
  auto WithPanes(F&& run);
  std::string StartFolder(const char* sub) const;

  Workstation& ws_;
  Workspace workspace_;
  CommandRegistry commands_;
  std::unique_ptr<DspDialogs> dialogs_;
  CDspCanvas* canvas_ = nullptr;
  QLabel* label_ = nullptr;
  QLineEdit* edit_ = nullptr;
};

}  // namespace nuv
