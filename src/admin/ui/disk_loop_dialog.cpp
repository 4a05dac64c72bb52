#include "admin/ui/disk_loop_dialog.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "archive/disk_loop.h"
#include "waveview/channel_selection.h"
#include "widgets/ui/utc_time_edit.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

// Tree item data: the station index (-1 for a root) and, on roots, the
// network index (-1 for "Сейсмические станции").
constexpr int kStationData = Qt::UserRole + 1;
constexpr int kNetworkData = Qt::UserRole + 2;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CDiskLoopDlg::CDiskLoopDlg(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Удаление файлов из дисковой петли"));
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  tree_->setMinimumWidth(180);
  std::vector<std::pair<std::string, std::string>> networks;
  for (const SeismoNetwork& network : ws_.networks())
    networks.emplace_back(network.name, network.list);
  const std::vector<StationTreeNode> roots = BuildStationTree(ws_.stations(), networks, false);
  for (size_t r = 0; r < roots.size(); ++r) {
    auto* root = new QTreeWidgetItem(tree_, {Q(roots[r].text)});
    root->setData(0, kStationData, -1);
    root->setData(0, kNetworkData, static_cast<int>(r) - 1);
    for (const StationTreeNode& node : roots[r].children) {
      auto* item = new QTreeWidgetItem(root, {Q(node.text)});
      item->setData(0, kStationData, node.station);
    }
  }
  if (tree_->topLevelItemCount() > 0) tree_->topLevelItem(0)->setExpanded(true);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setHeaderLabels({QString::fromUtf8("Начало"), QString::fromUtf8("Длительность"),
                          QString::fromUtf8("Отс./с."), QString::fromUtf8("Файл"),
                          QString::fromUtf8("Создатель")});
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(true);
  list_->setMinimumWidth(520);

  auto* selectAll = new QPushButton(QString::fromUtf8("Выбрать &все файлы"), this);
  auto* clear = new QPushButton(QString::fromUtf8("&Отменить выбор"), this);
  interval_ = new QCheckBox(QString::fromUtf8("Удалить файлы в &интервале с"), this);
  from_ = NewUtcTimeEdit(this);
  to_ = NewUtcTimeEdit(this);
  const QDateTime now = QDateTime::currentDateTimeUtc();
  from_->setDateTime(now.addDays(-30));
  to_->setDateTime(now);
  from_->setEnabled(false);
  to_->setEnabled(false);
  delete_ = new QPushButton(QString::fromUtf8("&Удалить"), this);
  auto* close = new QPushButton(QString::fromUtf8("Вы&йти"), this);
  for (QPushButton* button : {selectAll, clear, delete_, close}) button->setAutoDefault(false);

  auto* listButtons = new QHBoxLayout;
  listButtons->addWidget(selectAll);
  listButtons->addWidget(clear);
  listButtons->addStretch();
  auto* intervalRow = new QHBoxLayout;
  intervalRow->addWidget(interval_);
  intervalRow->addWidget(from_);
  intervalRow->addWidget(new QLabel(QString::fromUtf8("по"), this));
  intervalRow->addWidget(to_);
  intervalRow->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(list_);
  right->addLayout(listButtons);
  right->addLayout(intervalRow);
  auto* panes = new QHBoxLayout;
  panes->addWidget(tree_, 1);
  panes->addLayout(right, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(delete_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(panes);
  layout->addLayout(buttons);

  connect(tree_, &QTreeWidget::currentItemChanged, this, &CDiskLoopDlg::Refresh);
  connect(selectAll, &QPushButton::clicked, this, &CDiskLoopDlg::SelectAll);
  connect(clear, &QPushButton::clicked, this, &CDiskLoopDlg::ClearSelection);
  connect(delete_, &QPushButton::clicked, this, &CDiskLoopDlg::DeleteFiles);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(interval_, &QCheckBox::toggled, this, [this](bool on) {
    // With the interval the tree item decides; the list only shows.
    list_->setEnabled(!on);
    from_->setEnabled(on);
    to_->setEnabled(on);
    Refresh();
  });
  connect(from_, &QDateTimeEdit::dateTimeChanged, this, &CDiskLoopDlg::Refresh);
  connect(to_, &QDateTimeEdit::dateTimeChanged, this, &CDiskLoopDlg::Refresh);
  setTabOrder(tree_, list_);
  setTabOrder(list_, selectAll);
  setTabOrder(selectAll, clear);
  setTabOrder(clear, interval_);
  setTabOrder(interval_, from_);
  setTabOrder(from_, to_);
  setTabOrder(to_, delete_);
  setTabOrder(delete_, close);
  resize(860, 460);
  tree_->setFocus();
}

void CDiskLoopDlg::SelectStation(int station) {
  QTreeWidgetItem* all = tree_->topLevelItem(0);
  if (!all || station < 0 || station >= all->childCount()) return;
  tree_->setCurrentItem(all->child(station));
}

void CDiskLoopDlg::SelectNetwork(int network) {
  if (QTreeWidgetItem* root = tree_->topLevelItem(network + 1)) tree_->setCurrentItem(root);
}

void CDiskLoopDlg::SetInterval(long from, long to) {
  from_->setDateTime(QDateTime::fromSecsSinceEpoch(from, Qt::UTC));
  to_->setDateTime(QDateTime::fromSecsSinceEpoch(to, Qt::UTC));
}

std::string CDiskLoopDlg::SelectedStation() const {
  const QTreeWidgetItem* item = tree_->currentItem();
  const int station = item ? item->data(0, kStationData).toInt() : -1;
  if (station < 0 || station >= ws_.stations().size()) return {};
  return ws_.stations()[station].code;
}

void CDiskLoopDlg::Refresh() {
  list_->clear();
  rows_.clear();
  const std::string station = SelectedStation();
  if (station.empty() || !ws_.databases().mainOpen()) return;
  std::optional<IndexInterval> interval;
  if (interval_->isChecked())
    interval = IndexInterval{static_cast<long>(from_->dateTime().toSecsSinceEpoch()),
                             static_cast<long>(to_->dateTime().toSecsSinceEpoch())};
  try {
    rows_ = ListIndexRows(ws_.databases().main(), false, DiskLoopFilter(station, interval));
  } catch (const std::exception& e) {
    ws_.prompts().ShowError(e.what());
    return;
  }
  for (const IndexRow& row : rows_)
    new QTreeWidgetItem(list_,
                        {Q(DiskLoopStartText(row.begin)), Q(DiskLoopDurationText(row.duration)),
                         Q(DiskLoopRateText(row.rate)), Q(row.path), Q(row.creator)});
}

void CDiskLoopDlg::SelectAll() {
  list_->selectAll();
}

void CDiskLoopDlg::ClearSelection() {
  list_->clearSelection();
}

void CDiskLoopDlg::DeleteFiles() {
  if (interval_->isChecked())
    DeleteInterval();
  else
    DeleteSelectedRows();
  Refresh();
}

void CDiskLoopDlg::DeleteSelectedRows() {
  std::vector<int> selected;
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    if (list_->topLevelItem(i)->isSelected()) selected.push_back(i);
  if (selected.empty() || !ws_.databases().mainOpen()) {
    ws_.prompts().Beep();
    return;
  }
  const DiskLoopTarget target{ws_.databases().main(), ws_.config().dataDir, ws_.prompts(),
                              ws_.databases().dialect()};
  if (!HasDataDirectory(target.dataDir)) {
    ws_.prompts().ShowError(kNoDataDirectory);
    return;
  }
  // From the last to the first, as the rows are listed.
  std::reverse(selected.begin(), selected.end());
  for (int index : selected) {
    const IndexRow& row = rows_[static_cast<size_t>(index)];
    DeleteDiskLoopFile(target, row.path, row.foff);
  }
}

void CDiskLoopDlg::DeleteInterval() {
  const QTreeWidgetItem* item = tree_->currentItem();
  const int station = item ? item->data(0, kStationData).toInt() : -1;
  const int network = item && station < 0 ? item->data(0, kNetworkData).toInt() : -1;
  if (!item || (station < 0 && network < 0) || !ws_.databases().mainOpen()) {
    ws_.prompts().Beep();  // the root of every station, or nothing selected
    return;
  }
  const DiskLoopTarget target{ws_.databases().main(), ws_.config().dataDir, ws_.prompts(),
                              ws_.databases().dialect()};
  const long from = static_cast<long>(from_->dateTime().toSecsSinceEpoch());
  const long to = static_cast<long>(to_->dateTime().toSecsSinceEpoch());
  if (station >= 0) {
    DeleteStationInterval(target, ws_.stations()[station].code, from, to);
  } else if (network < static_cast<int>(ws_.networks().size())) {
    const SeismoNetwork& chosen = ws_.networks()[static_cast<size_t>(network)];
    DeleteNetworkInterval(target, ws_.stations(), chosen.name, chosen.list, from, to);
  }
}

}  // namespace nuv
