#pragma once
// "Конструктор формул": the formula box with the recent formulas, the
// insertion buttons with their tooltips, the filter constructor, the choice
// of a window name, the saved formulas, and "Применить", "Ok", "Выйти".

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sigproc/formula.h"
#include "sigproc/formula_lists.h"

class QComboBox;
class QTreeWidget;

namespace nuv {

class ProfileFile;
class UserPrompts;

class CFormulaDialog : public QDialog {
  Q_OBJECT

 public:
  // `recent` is the profile file of the recent list, `savedFile` the saved
  // formulas; `wizard` runs the filter constructor, `chooseWindow` the
  // dialog "Выбрать окно".
  CFormulaDialog(FormulaInterface& target, ProfileFile& recent, std::filesystem::path savedFile,
                 UserPrompts& prompts, QWidget* parent = nullptr);

  std::function<std::optional<std::string>()> wizard;
  std::function<std::optional<std::string>()> chooseWindow;

  QComboBox* formulaBox() const { return formula_; }
  QTreeWidget* savedList() const { return saved_; }
  // "Применить": the text becomes the target's formula, is applied and added
  // to the recent list.
  void ApplyText();
  // Inserts at the caret of the formula box (through the clipboard).
  void Insert(const std::string& text);
  // "Сохранить ..." with the name typed in "Save as ".
  void SaveAs(const std::string& typedName);
  void RemoveSelected();
  // The button with this label (tests).
  class QPushButton* Button(const QString& label) const;

 private:
  void FillRecent();
  void FillSaved();

  FormulaInterface& target_;
  ProfileFile& recent_;
  std::filesystem::path savedFile_;
  UserPrompts& prompts_;
  QComboBox* formula_ = nullptr;
  QTreeWidget* saved_ = nullptr;
};

}  // namespace nuv
