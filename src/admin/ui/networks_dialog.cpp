#include "admin/ui/networks_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr int kGroupData = Qt::UserRole + 1;
constexpr int kMemberData = Qt::UserRole + 2;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QPushButton* Button(const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CNetworksDlg::CNetworksDlg(Workstation& ws, QWidget* parent)
    : QDialog(parent), ws_(ws), editor_(ws.stations(), ws.networks()) {
  setWindowTitle(QString::fromUtf8("Список сетей"));
  stations_ = new QListWidget(this);
  for (const CScreenFields& station : ws_.stations().records()) stations_->addItem(Q(station.code));
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  tree_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
  auto* stationsLabel = new QLabel(QString::fromUtf8("&Станции"), this);
  stationsLabel->setBuddy(stations_);
  auto* treeLabel = new QLabel(QString::fromUtf8("Списки с&танций"), this);
  treeLabel->setBuddy(tree_);

  QPushButton* add = Button(">>", this);
  QPushButton* remove = Button("<<", this);
  QPushButton* create = Button("Создать &новую группу", this);
  QPushButton* drop = Button("У&далить группу", this);
  QPushButton* rename = Button("&Переименовать группу", this);
  QPushButton* save = Button("Со&хранить", this);
  QPushButton* cancel = Button("Отмена", this);
  add->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  remove->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  add->setToolTip("Alt+→");
  remove->setToolTip("Alt+←");

  auto* middle = new QVBoxLayout;
  middle->addStretch();
  middle->addWidget(add);
  middle->addWidget(remove);
  middle->addStretch();
  auto* lists = new QGridLayout;
  lists->addWidget(stationsLabel, 0, 0);
  lists->addWidget(treeLabel, 0, 2);
  lists->addWidget(stations_, 1, 0);
  lists->addLayout(middle, 1, 1);
  lists->addWidget(tree_, 1, 2);
  lists->setColumnStretch(0, 1);
  lists->setColumnStretch(2, 2);
  auto* groupButtons = new QHBoxLayout;
  groupButtons->addWidget(create);
  groupButtons->addWidget(drop);
  groupButtons->addWidget(rename);
  groupButtons->addStretch();
  auto* closing = new QHBoxLayout;
  closing->addStretch();
  closing->addWidget(save);
  closing->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists);
  layout->addLayout(groupButtons);
  layout->addLayout(closing);

  connect(add, &QPushButton::clicked, this, &CNetworksDlg::AddStation);
  connect(remove, &QPushButton::clicked, this, &CNetworksDlg::RemoveStation);
  connect(create, &QPushButton::clicked, this, &CNetworksDlg::CreateGroup);
  connect(drop, &QPushButton::clicked, this, &CNetworksDlg::DeleteGroup);
  connect(rename, &QPushButton::clicked, this, &CNetworksDlg::RenameGroup);
  connect(save, &QPushButton::clicked, this, &CNetworksDlg::Save);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(stations_, &QListWidget::itemDoubleClicked, this, &CNetworksDlg::AddStation);
  connect(tree_, &QTreeWidget::itemChanged, this, &CNetworksDlg::NameEdited);
  setTabOrder(stations_, add);
  setTabOrder(add, remove);
  setTabOrder(remove, tree_);
  setTabOrder(tree_, create);
  setTabOrder(create, drop);
  setTabOrder(drop, rename);
  setTabOrder(rename, save);
  setTabOrder(save, cancel);
  Rebuild(0, -1);
  resize(560, 420);
  stations_->setFocus();
}

void CNetworksDlg::Rebuild(int group, int member) {
  rebuilding_ = true;
  tree_->clear();
  QTreeWidgetItem* current = nullptr;
  const std::vector<NetworkGroup>& groups = editor_.groups();
  for (size_t g = 0; g < groups.size(); ++g) {
    auto* node = new QTreeWidgetItem(tree_, {Q(groups[g].name)});
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    node->setData(0, kGroupData, static_cast<int>(g));
    node->setData(0, kMemberData, -1);
    for (size_t m = 0; m < groups[g].members.size(); ++m) {
      auto* leaf = new QTreeWidgetItem(node, {Q(groups[g].members[m])});
      leaf->setData(0, kGroupData, static_cast<int>(g));
      leaf->setData(0, kMemberData, static_cast<int>(m));
      if (static_cast<int>(g) == group && static_cast<int>(m) == member) current = leaf;
    }
    node->setExpanded(true);
    if (static_cast<int>(g) == group && (member < 0 || !current)) current = node;
  }
  if (current) tree_->setCurrentItem(current);
  rebuilding_ = false;
}

bool CNetworksDlg::Selected(int& group, int& member) const {
  const QTreeWidgetItem* item = tree_->currentItem();
  if (!item) return false;
  group = item->data(0, kGroupData).toInt();
  member = item->data(0, kMemberData).toInt();
  return true;
}

void CNetworksDlg::SelectGroup(int group, int member) {
  Rebuild(group, member);
}

void CNetworksDlg::AddStation() {
  int group = -1, member = -1;
  const QListWidgetItem* station = stations_->currentItem();
  if (!station || !Selected(group, member) ||
      !editor_.AddMember(group, station->text().toStdString())) {
    ws_.prompts().Beep();
    return;
  }
  Rebuild(group, -1);
}

void CNetworksDlg::RemoveStation() {
  int group = -1, member = -1;
  if (!Selected(group, member) || member < 0 || !editor_.RemoveMember(group, member)) {
    ws_.prompts().Beep();
    return;
  }
  Rebuild(group, -1);
}

void CNetworksDlg::CreateGroup() {
  // A fresh name that the analyst then types over.
  std::string name = "Новая группа";
  for (int n = 2; editor_.FindGroup(name) >= 0; ++n) name = "Новая группа " + std::to_string(n);
  editor_.CreateGroup(name);
  const int group = static_cast<int>(editor_.groups().size()) - 1;
  Rebuild(group, -1);
  tree_->editItem(tree_->currentItem(), 0);
}

void CNetworksDlg::DeleteGroup() {
  int group = -1, member = -1;
  if (!Selected(group, member) || member >= 0 || !editor_.DeleteGroup(group)) {
    ws_.prompts().Beep();
    return;
  }
  Rebuild(std::min(group, static_cast<int>(editor_.groups().size()) - 1), -1);
}

void CNetworksDlg::RenameGroup() {
  int group = -1, member = -1;
  if (!Selected(group, member) || member >= 0) {
    ws_.prompts().Beep();
    return;
  }
  tree_->editItem(tree_->currentItem(), 0);
}

void CNetworksDlg::NameEdited(QTreeWidgetItem* item, int column) {
  if (rebuilding_ || column != 0 || item->data(0, kMemberData).toInt() >= 0) return;
  const int group = item->data(0, kGroupData).toInt();
  // An empty or an already used name is refused and the old one stays.
  if (!editor_.RenameGroup(group, item->text(0).trimmed().toStdString())) ws_.prompts().Beep();
  // Rebuilt after the editor has closed: the item must outlive this signal.
  QMetaObject::invokeMethod(
      this, [this, group] { Rebuild(group, -1); }, Qt::QueuedConnection);
}

void CNetworksDlg::Save() {
  if (!SaveNetworkList(ws_, editor_.Networks())) return;
  if (onSaved) onSaved();
  accept();
}

}  // namespace nuv
