#pragma once
// "Редактирование списка контролируемых регионов" and its editor
// "Редактировать параметры региона": every change goes to CONTREG at once.

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "db/inventory.h"

class QLineEdit;
class QTreeWidget;

namespace nuv {

class UserPrompts;
class Workstation;

// "Редактировать параметры региона": a name and two corners. OK refuses a
// name used by another region and fields that hold no number.
class CRegionEditDlg : public QDialog {
  Q_OBJECT

 public:
  CRegionEditDlg(const std::vector<ControlledRegion>& regions, std::optional<size_t> editing,
                 const ControlledRegion& initial, UserPrompts& prompts, QWidget* parent = nullptr);

  QLineEdit* field(int index) const { return fields_[index]; }  // 0 name, 1..4 numbers
  void accept() override;
  const ControlledRegion& region() const { return region_; }

 private:
  const std::vector<ControlledRegion>& regions_;
  std::optional<size_t> editing_;
  UserPrompts& prompts_;
  QLineEdit* fields_[5] = {};
  ControlledRegion region_;
};

class CRegionsDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRegionsDlg(Workstation& ws, QWidget* parent = nullptr);

  // Opens the editor; tests replace it. Returns the region the analyst
  // confirmed, nullopt when cancelled.
  std::function<std::optional<ControlledRegion>(std::optional<size_t> editing,
                                                const ControlledRegion& initial)>
      editRegion;

  QTreeWidget* list() const { return list_; }
  void Add();     // "Добавить"
  void Edit();    // "Редактировать"
  void Delete();  // "Удалить"

 private:
  void ShowRow(int row, const ControlledRegion& region);
  // The region in memory behind a list row; -1 for a row whose insert failed.
  int MemoryIndex(int row) const;

  Workstation& ws_;
  QTreeWidget* list_ = nullptr;
};

}  // namespace nuv
