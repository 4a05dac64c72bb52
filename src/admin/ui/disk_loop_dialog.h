#pragma once
// "Удаление файлов из дисковой петли": the station tree (every station, then
// every network with its members) on the left, the selected station's index
// rows on the right; "Удалить" deletes the selected rows, or with the
// interval check box everything of the selected station or network between
// the two times.

#include <QDialog>
#include <vector>

#include "archive/index_listing.h"

class QCheckBox;
class QDateTimeEdit;
class QPushButton;
class QTreeWidget;

namespace nuv {

class Workstation;

class CDiskLoopDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CDiskLoopDlg(Workstation& ws, QWidget* parent = nullptr);

  QTreeWidget* tree() const { return tree_; }
  QTreeWidget* list() const { return list_; }
  QCheckBox* intervalCheck() const { return interval_; }
  QDateTimeEdit* fromEdit() const { return from_; }
  QDateTimeEdit* toEdit() const { return to_; }
  QPushButton* deleteButton() const { return delete_; }

  // Selects the node of a station under the first root, or a network root.
  void SelectStation(int station);
  void SelectNetwork(int network);
  // Puts two whole-second times into the interval fields.
  void SetInterval(long from, long to);
  // Reads the selected station's rows again.
  void Refresh();
  void SelectAll();
  void ClearSelection();
  // "Удалить".
  void DeleteFiles();

 private:
  void DeleteSelectedRows();
  void DeleteInterval();
  std::string SelectedStation() const;

  Workstation& ws_;
  std::vector<IndexRow> rows_;
  QTreeWidget* tree_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QCheckBox* interval_ = nullptr;
  QDateTimeEdit* from_ = nullptr;
  QDateTimeEdit* to_ = nullptr;
  QPushButton* delete_ = nullptr;
};

}  // namespace nuv
