#include "admin/ui/dirs_map_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/directory_map.h"
#include "admin/ui/side_buttons.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CDirsMapEditDlg::CDirsMapEditDlg(const std::vector<std::string>& catalogues,
                                 const std::string& name, const std::string& dir, bool existing,
                                 UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(QString::fromUtf8("Редактирование отображения каталогов"));
  name_ = new QComboBox(this);
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& catalogue : catalogues) name_->addItem(Q(catalogue));
  name_->setCurrentText(Q(name));
  name_->setEnabled(!existing);  // the name of an existing pair stays
  name_->setMinimumWidth(280);
  dir_ = new QLineEdit(Q(dir), this);
  auto* browse = new QPushButton("...", this);
  browse->setAutoDefault(false);
  browse->setToolTip(QString::fromUtf8("Просмотр каталогов"));
  auto* nameLabel = new QLabel(QString::fromUtf8("Имя &виртуального каталога"), this);
  nameLabel->setBuddy(name_);
  auto* dirLabel = new QLabel(QString::fromUtf8("Имя &локального каталога"), this);
  dirLabel->setBuddy(dir_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("Отмена"));

  auto* grid = new QGridLayout;
  grid->addWidget(nameLabel, 0, 0, 1, 2);
  grid->addWidget(name_, 1, 0, 1, 2);
  grid->addWidget(dirLabel, 2, 0, 1, 2);
  grid->addWidget(dir_, 3, 0);
  grid->addWidget(browse, 3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  connect(browse, &QPushButton::clicked, this, &CDirsMapEditDlg::Browse);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDirsMapEditDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  (existing ? static_cast<QWidget*>(dir_) : name_)->setFocus();
}

void CDirsMapEditDlg::Browse() {
  if (const auto folder = prompts_.ChooseFolder("Просмотр каталогов", dir()))
    dir_->setText(Q(*folder));
}

std::string CDirsMapEditDlg::name() const {
  return name_->currentText().toStdString();
}

std::string CDirsMapEditDlg::dir() const {
  return dir_->text().toStdString();
}

void CDirsMapEditDlg::accept() {
  if (name_->currentText().isEmpty()) {
    prompts_.Beep();
    name_->setFocus();
    return;
  }
  QDialog::accept();
}

CDirsMapDlg::CDirsMapDlg(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Cписок отображений каталогов"));
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels(
      {QString::fromUtf8("Имя каталога в базе данных"), QString::fromUtf8("Локальный каталог")});
  list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  list_->setMinimumWidth(480);
  std::vector<QPushButton*> buttons;
  QVBoxLayout* column =
      SideButtons(this, {"&Добавить", "&Изменить", "&Удалить"}, "Вы&йти", buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(column);

  editPair = [this](const std::string& name, const std::string& dir, bool existing) {
    Databases& db = ws_.databases();
    CDirsMapEditDlg dlg(LoadCatalogueNames(db.cssOpen() ? &db.css() : nullptr), name, dir, existing,
                        ws_.prompts(), this);
    return dlg.exec() == QDialog::Accepted ? std::optional(std::pair(dlg.name(), dlg.dir()))
                                           : std::nullopt;
  };
  connect(buttons[0], &QPushButton::clicked, this, &CDirsMapDlg::Add);
  connect(buttons[1], &QPushButton::clicked, this, &CDirsMapDlg::Change);
  connect(buttons[2], &QPushButton::clicked, this, &CDirsMapDlg::Delete);
  connect(buttons[3], &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CDirsMapDlg::Change);
  Fill("");
  resize(640, 300);
}

void CDirsMapDlg::Fill(const std::string& current) {
  list_->clear();
  for (const auto& [name, dir] : ws_.config().dirsMap) {
    auto* item = new QTreeWidgetItem(list_, {Q(name), Q(dir)});
    if (name == current) list_->setCurrentItem(item);
  }
}

void CDirsMapDlg::WriteBack() {
  if (!WriteDirectoryMap(ws_.ini(), ws_.config().dirsMap))
    ws_.prompts().ShowError(DirectoryMapWriteFailedText(ws_.ini()));
}

void CDirsMapDlg::Store(const std::string& name, const std::string& dir) {
  SetDirectoryMapEntry(ws_.config().dirsMap, name, dir);
  Fill(name);
  WriteBack();
}

void CDirsMapDlg::Add() {
  if (const auto pair = editPair("", "", false)) Store(pair->first, pair->second);
}

void CDirsMapDlg::Change() {
  const QTreeWidgetItem* item = list_->currentItem();
  if (!item) {
    ws_.prompts().Beep();
    return;
  }
  const std::string name = item->text(0).toStdString();
  if (const auto pair = editPair(name, item->text(1).toStdString(), true))
    Store(name, pair->second);
}

void CDirsMapDlg::Delete() {
  const QTreeWidgetItem* item = list_->currentItem();
  if (!item) {
    ws_.prompts().Beep();
    return;
  }
  DeleteDirectoryMapEntry(ws_.config().dirsMap, item->text(0).toStdString());
  Fill("");
  WriteBack();
}

}  // namespace nuv
