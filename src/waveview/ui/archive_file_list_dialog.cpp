#include "waveview/ui/archive_file_list_dialog.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "workstation/workstation.h"

namespace nuv {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QDateTimeEdit* TimeEdit(QWidget* parent) {
  auto* edit = new QDateTimeEdit(parent);
  edit->setTimeSpec(Qt::UTC);
  edit->setDisplayFormat("dd/MM/yyyy HH:mm:ss");
  return edit;
}

}  // namespace

CArchiveFileListDlg::CArchiveFileListDlg(Workstation& ws, int station,
                                         std::vector<std::string> channels, QWidget* parent)
    : QDialog(parent), ws_(ws), channels_(std::move(channels)) {
  setWindowTitle(QString::fromUtf8("Список файлов волновых форм"));
  if (station >= 0 && station < ws_.stations().size()) station_ = ws_.stations()[station].code;
  all_ = new QRadioButton(QString::fromUtf8("Показывать все файлы"), this);
  between_ = new QRadioButton(QString::fromUtf8("Показывать файлы с"), this);
  from_ = TimeEdit(this);
  to_ = TimeEdit(this);
  const QDateTime now = QDateTime::currentDateTimeUtc();
  from_->setDateTime(now.addDays(-1));
  to_->setDateTime(now);
  onlyChosen_ =
      new QCheckBox(QString::fromUtf8("Показывать файлы, относящиеся к выбранным каналам"), this);
  onlyChosen_->setChecked(!channels_.empty());
  all_->setChecked(true);
  auto* show = new QPushButton(QString::fromUtf8("По&казать"), this);
  // Enter belongs to OK (the selected row); the list is refreshed by this
  // button or by Enter in a time field.
  show->setAutoDefault(false);
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QString::fromUtf8("Начало"), QString::fromUtf8("Длительность"),
                          QString::fromUtf8("Отс./с."), QString::fromUtf8("Файл"),
                          QString::fromUtf8("Создатель")});
  list_->header()->setSectionResizeMode(QHeaderView::Interactive);
  list_->header()->setStretchLastSection(true);
  FitColumns();
  list_->setMinimumWidth(560);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);

  auto* choices = new QGridLayout;
  choices->addWidget(all_, 0, 0, 1, 4);
  choices->addWidget(between_, 1, 0);
  choices->addWidget(from_, 1, 1);
  choices->addWidget(new QLabel(QString::fromUtf8("по"), this), 1, 2);
  choices->addWidget(to_, 1, 3);
  choices->addWidget(onlyChosen_, 2, 0, 1, 3);
  choices->addWidget(show, 2, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choices);
  layout->addWidget(list_);
  layout->addWidget(buttons);

  connect(show, &QPushButton::clicked, this, &CArchiveFileListDlg::Refresh);
  connect(all_, &QRadioButton::toggled, this, &CArchiveFileListDlg::Refresh);
  // The two times only count while "Показывать файлы с" is chosen.
  connect(between_, &QRadioButton::toggled, from_, &QWidget::setEnabled);
  connect(between_, &QRadioButton::toggled, to_, &QWidget::setEnabled);
  from_->setEnabled(false);
  to_->setEnabled(false);
  connect(onlyChosen_, &QCheckBox::toggled, this, &CArchiveFileListDlg::Refresh);
  connect(buttons, &QDialogButtonBox::accepted, this, &CArchiveFileListDlg::TryAccept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CArchiveFileListDlg::TryAccept);
  setTabOrder(all_, between_);
  setTabOrder(between_, from_);
  setTabOrder(from_, to_);
  setTabOrder(to_, onlyChosen_);
  setTabOrder(onlyChosen_, show);
  setTabOrder(show, list_);
  Refresh();
  list_->setFocus();
}

void CArchiveFileListDlg::SetTimes(double from, double to) {
  from_->setDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::floor(from)), Qt::UTC));
  to_->setDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(std::ceil(to)), Qt::UTC));
}

std::string CArchiveFileListDlg::Filter() const {
  std::optional<IndexInterval> interval;
  if (between_->isChecked())
    interval = IndexInterval{static_cast<long>(from_->dateTime().toSecsSinceEpoch()),
                             static_cast<long>(to_->dateTime().toSecsSinceEpoch())};
  const bool restrict = onlyChosen_->isChecked() && !channels_.empty();
  return FileListDialogFilter(ws_.config().wfd, station_, interval,
                              restrict ? &channels_ : nullptr);
}

void CArchiveFileListDlg::FitColumns() {
  // Each column as wide as its title and its widest cell, so an empty list
  // still shows every title whole.
  const QFontMetrics fm(list_->header()->font());
  for (int column = 0; column < list_->columnCount(); ++column) {
    const int title = fm.horizontalAdvance(list_->headerItem()->text(column)) + 24;
    list_->resizeColumnToContents(column);
    if (list_->columnWidth(column) < title) list_->setColumnWidth(column, title);
  }
}

void CArchiveFileListDlg::Refresh() {
  list_->clear();
  rows_.clear();
  Databases& db = ws_.databases();
  const bool wfd = ws_.config().wfd;
  if (station_.empty() || !(wfd ? db.cssOpen() : db.mainOpen())) return;
  try {
    rows_ = ListIndexRows(wfd ? db.css() : db.main(), wfd, Filter());
  } catch (const std::exception& e) {
    ws_.prompts().ShowError(e.what());
    return;
  }
  for (const IndexRow& row : rows_)
    new QTreeWidgetItem(list_,
                        {Q(FileListStartText(row.begin)), Q(FileListDurationText(row.duration)),
                         Q(FileListRateText(row.rate)), Q(row.path), Q(row.creator)});
  FitColumns();
}

void CArchiveFileListDlg::TryAccept() {
  // Enter in a time field lists that interval instead of closing.
  if (from_->hasFocus() || to_->hasFocus()) {
    Refresh();
    return;
  }
  // The row the analyst selected, not merely the one with the focus frame.
  QTreeWidgetItem* item = list_->currentItem();
  const int index = item && item->isSelected() ? list_->indexOfTopLevelItem(item) : -1;
  if (index < 0 || index >= static_cast<int>(rows_.size())) {
    ws_.prompts().Beep();
    return;
  }
  start_ = rows_[static_cast<size_t>(index)].begin;
  duration_ = rows_[static_cast<size_t>(index)].duration;
  accept();
}

}  // namespace nuv
