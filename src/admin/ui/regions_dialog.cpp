#include "admin/ui/regions_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "admin/region_list.h"
#include "admin/ui/side_buttons.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr int kMemoryData = Qt::UserRole + 1;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

CRegionEditDlg::CRegionEditDlg(const std::vector<ControlledRegion>& regions,
                               std::optional<size_t> editing, const ControlledRegion& initial,
                               UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), regions_(regions), editing_(editing), prompts_(prompts), region_(initial) {
  setWindowTitle(QString::fromUtf8("Редактировать параметры региона"));
  const char* labels[5] = {"&Название региона", "&Широта 1", "&Долгота 1", "Ш&ирота 2",
                           "Д&олгота 2"};
  const double values[4] = {initial.lat1, initial.lon1, initial.lat2, initial.lon2};
  auto* form = new QFormLayout;
  for (int i = 0; i < 5; ++i) {
    fields_[i] = new QLineEdit(this);
    if (i == 0)
      fields_[i]->setText(Q(initial.name));
    else if (editing_)
      fields_[i]->setText(Q(RegionValueText(values[i - 1])));
    form->addRow(QString::fromUtf8(labels[i]), fields_[i]);
  }
  fields_[0]->setMinimumWidth(240);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8("Отмена"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CRegionEditDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CRegionEditDlg::accept() {
  const std::string name = fields_[0]->text().toStdString();
  if (RegionNameTaken(regions_, name, editing_)) {
    prompts_.Message(kRegionExists, kAppTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    fields_[0]->setFocus();
    fields_[0]->selectAll();
    return;
  }
  double values[4] = {};
  for (int i = 1; i < 5; ++i) {
    const std::optional<double> value = ParseRegionValue(fields_[i]->text().toStdString());
    if (!value) {
      prompts_.Beep();
      fields_[i]->setFocus();
      fields_[i]->selectAll();
      return;
    }
    values[i - 1] = *value;
  }
  region_ = {name, values[0], values[1], values[2], values[3]};
  QDialog::accept();
}

CRegionsDlg::CRegionsDlg(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle(QString::fromUtf8("Редактирование списка контролируемых регионов"));
  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({QString::fromUtf8("Имя региона"), QString::fromUtf8("Широта 1"),
                          QString::fromUtf8("Долгота 1"), QString::fromUtf8("Широта 2"),
                          QString::fromUtf8("Долгота 2")});
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->setMinimumWidth(520);
  const std::vector<ControlledRegion>& regions = ws_.regions();
  for (size_t i = 0; i < regions.size(); ++i) {
    auto* item = new QTreeWidgetItem(list_);
    item->setData(0, kMemoryData, static_cast<int>(i));
    ShowRow(static_cast<int>(i), NormalisedRegion(regions[i]));
  }
  std::vector<QPushButton*> buttons;
  QVBoxLayout* column =
      SideButtons(this, {"&Добавить", "&Редактировать", "&Удалить"}, "Вы&йти", buttons);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(column);

  editRegion = [this](std::optional<size_t> editing, const ControlledRegion& initial) {
    CRegionEditDlg dlg(ws_.regions(), editing, initial, ws_.prompts(), this);
    return dlg.exec() == QDialog::Accepted ? std::optional(dlg.region()) : std::nullopt;
  };
  connect(buttons[0], &QPushButton::clicked, this, &CRegionsDlg::Add);
  connect(buttons[1], &QPushButton::clicked, this, &CRegionsDlg::Edit);
  connect(buttons[2], &QPushButton::clicked, this, &CRegionsDlg::Delete);
  connect(buttons[3], &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CRegionsDlg::Edit);
  resize(680, 320);
}

void CRegionsDlg::ShowRow(int row, const ControlledRegion& region) {
  QTreeWidgetItem* item = list_->topLevelItem(row);
  item->setText(0, Q(region.name));
  const double values[4] = {region.lat1, region.lon1, region.lat2, region.lon2};
  for (int c = 0; c < 4; ++c) {
    item->setText(c + 1, Q(RegionValueText(values[c])));
    item->setTextAlignment(c + 1, Qt::AlignRight | Qt::AlignVCenter);
  }
}

int CRegionsDlg::MemoryIndex(int row) const {
  const QTreeWidgetItem* item = row >= 0 ? list_->topLevelItem(row) : nullptr;
  return item ? item->data(0, kMemoryData).toInt() : -1;
}

void CRegionsDlg::Add() {
  const std::optional<ControlledRegion> region = editRegion(std::nullopt, ControlledRegion{});
  if (!region) return;
  auto* item = new QTreeWidgetItem(list_);
  const int row = list_->indexOfTopLevelItem(item);
  ShowRow(row, *region);  // as entered
  const bool kept = AddRegion(ws_.databases().main(), ws_.regions(), *region, ws_.prompts());
  item->setData(0, kMemoryData, kept ? static_cast<int>(ws_.regions().size()) - 1 : -1);
  list_->setCurrentItem(item);
}

void CRegionsDlg::Edit() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  const int index = MemoryIndex(row);
  if (index < 0) {
    ws_.prompts().Beep();
    return;
  }
  const size_t at = static_cast<size_t>(index);
  const std::optional<ControlledRegion> region = editRegion(at, ws_.regions()[at]);
  if (!region) return;
  ShowRow(row, *region);
  UpdateRegion(ws_.databases().main(), ws_.regions(), at, *region, ws_.prompts());
}

void CRegionsDlg::Delete() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  const int index = MemoryIndex(row);
  if (index < 0) {
    ws_.prompts().Beep();
    return;
  }
  if (!DeleteRegion(ws_.databases().main(), ws_.regions(), static_cast<size_t>(index),
                    ws_.prompts()))
    return;
  delete list_->takeTopLevelItem(row);
  // The rows behind the deleted region move up by one in memory.
  for (int r = 0; r < list_->topLevelItemCount(); ++r) {
    QTreeWidgetItem* item = list_->topLevelItem(r);
    const int i = item->data(0, kMemoryData).toInt();
    if (i > index) item->setData(0, kMemoryData, i - 1);
  }
}

}  // namespace nuv
