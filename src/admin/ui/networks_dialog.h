#pragma once
// "Список сетей": the stations of the inventory on the left, the networks
// with their members on the right; ">>" and "<<" move stations in and out,
// groups are created, deleted and renamed in the tree, "Сохранить" replaces
// the network list in the database and in memory.

#include <QDialog>
#include <functional>

#include "admin/network_editor.h"

class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace nuv {

class Workstation;

class CNetworksDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CNetworksDlg(Workstation& ws, QWidget* parent = nullptr);

  // Called after a successful save (the frame refills its network list).
  std::function<void()> onSaved;

  QListWidget* stationList() const { return stations_; }
  QTreeWidget* tree() const { return tree_; }
  const NetworkEditor& editor() const { return editor_; }

  // Selects a group node, or a member node of a group.
  void SelectGroup(int group, int member = -1);
  void AddStation();     // ">>"
  void RemoveStation();  // "<<"
  void CreateGroup();
  void DeleteGroup();
  void RenameGroup();  // opens the selected group's name for editing
  void Save();

 private:
  void Rebuild(int group, int member);
  void NameEdited(QTreeWidgetItem* item, int column);
  // The selected node: its group and member (-1 on a group node).
  bool Selected(int& group, int& member) const;

  Workstation& ws_;
  NetworkEditor editor_;
  QListWidget* stations_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  bool rebuilding_ = false;
};

}  // namespace nuv
