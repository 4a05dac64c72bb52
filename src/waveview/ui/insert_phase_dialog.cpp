#include "waveview/ui/insert_phase_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "phases/ui/edit_phase_dialog.h"
#include "waveview/channel_selection.h"
#include "waveview/pick_insert.h"
#include "waveview/ui/channel_dialogs.h"
#include "waveview/ui/waveform_window.h"
#include "workstation/workstation.h"

namespace nuv {

CAddPhaseDlg::CAddPhaseDlg(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle("Вставить фазу");
  auto* layout = new QHBoxLayout(this);
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  FillStationTree(tree_, ws, false);
  tree_->expandToDepth(0);
  layout->addWidget(tree_);
  auto* right = new QVBoxLayout;
  auto* form = new QFormLayout;
  channel_ = new QComboBox(this);
  channel_->setEnabled(false);
  form->addRow("Канал", channel_);
  phase_ = new QComboBox(this);
  for (int i = 0; i < ws.phaseTypes().Count(); ++i)
    phase_->addItem(QString::fromStdString(ws.phaseTypes().Name(i)));
  form->addRow("Фаза", phase_);
  time_ = new QLineEdit("00:00:00.00", this);
  form->addRow("Время ч:м:с.дс", time_);
  date_ = new QLineEdit(QDate::currentDate().toString("dd/MM/yyyy"), this);
  date_->setMaxLength(15);
  form->addRow("Дата дд-мм-гг", date_);
  right->addLayout(form);
  motion_ =
      PhaseCodeRadioGroup("Первое вступление", {"Up", "Dn", "+ ", "- ", "? "}, 4, this, right);
  weight_ = PhaseCodeRadioGroup("Вес", {"0 ", "1 ", "2 ", "3 ", "4 "}, 4, this, right);
  onset_ = PhaseCodeRadioGroup("Характер вступления", {"Emergent", "Impuls", "Weak", "None"}, 0,
                               this, right);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton("Добавить", this);
  auto* quit = new QPushButton("Выйти", this);
  buttons->addWidget(add);
  buttons->addWidget(quit);
  right->addLayout(buttons);
  layout->addLayout(right);
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { StationChosen(); });
  connect(add, &QPushButton::clicked, this, [this] { Add(); });
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddPhaseDlg::StationChosen() {
  QTreeWidgetItem* item = tree_->currentItem();
  station_ = item ? item->data(0, kStationRole).toInt() : -1;
  channel_->clear();
  if (station_ < 0 || station_ >= ws_.stations().size()) {
    station_ = -1;
    channel_->setEnabled(false);
    return;
  }
  for (const ChannelEntry& c : ws_.stations()[station_].channels)
    if (c.used()) channel_->addItem(QString::fromStdString(c.name));
  channel_->setCurrentIndex(0);
  channel_->setEnabled(true);
}

bool CAddPhaseDlg::Add() {
  InsertPhaseFields f;
  f.station = station_;
  f.channelName = channel_->currentText().toStdString();
  f.phaseName = phase_->currentText().toStdString();
  f.date = date_->text().toStdString();
  f.time = time_->text().toStdString();
  f.onset = static_cast<uint8_t>(std::max(0, onset_->checkedId()));
  f.firstMotion = static_cast<uint8_t>(std::max(0, motion_->checkedId()));
  f.weight = static_cast<uint8_t>(std::max(0, weight_->checkedId()));
  const InsertPhaseOutcome out = MakeInsertedPhase(ws_.stations(), ws_.phaseTypes(), f);
  if (out.refusal != InsertPhaseRefusal::kNone) {
    const std::string message = InsertPhaseMessage(out.refusal);
    if (!message.empty()) ws_.prompts().ShowError(message);
    return false;
  }
  ws_.phases().Add(out.phase);
  return true;
}

void RegisterInsertPhaseCommand(waveform& window) {
  window.commands().Add(kCmdInsertPhase, [&window] {
    CAddPhaseDlg dialog(window.workstation(), &window);
    dialog.exec();
  });
}

}  // namespace nuv
