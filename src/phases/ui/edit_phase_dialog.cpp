#include "phases/ui/edit_phase_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "phases/nuv_phases.h"
#include "phases/phase_types.h"
#include "phases/seismic_phase.h"
#include "workstation/workstation.h"

namespace nuv {
QButtonGroup* PhaseCodeRadioGroup(const QString& title, const QStringList& labels, int checked,
                                  QWidget* owner, QBoxLayout* into) {
  auto* box = new QGroupBox(title, owner);
  auto* row = new QHBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  for (int i = 0; i < labels.size(); ++i) {
    auto* button = new QRadioButton(labels[i], box);
    group->addButton(button, i);
    row->addWidget(button);
    if (i == checked) button->setChecked(true);
  }
  into->addWidget(box);
  return group;
}

CEditPhase::CEditPhase(Workstation& ws, const SEISMIC_PHASE& phase, QWidget* parent)
    : QDialog(parent), ws_(ws), phase_(phase) {
  setWindowTitle("Редактирование фазы");
  auto* layout = new QVBoxLayout(this);
  motion_ = PhaseCodeRadioGroup("", {"Up", "Dn", "+ ", "- ", "? ", "c", "d", "u", "r"},
                                phase.firstMotion, this, layout);
  weight_ = PhaseCodeRadioGroup("", {"0 ", "1 ", "2 ", "3 ", "4 "}, phase.weight, this, layout);
  onset_ =
      PhaseCodeRadioGroup("", {"Emergent", "Impuls", "Weak", "None"}, phase.onset, this, layout);
  auto* form = new QFormLayout;
  phaseCombo_ = new QComboBox(this);
  for (int i = 0; i < ws.phaseTypes().Count(); ++i)
    phaseCombo_->addItem(QString::fromStdString(ws.phaseTypes().Name(i)));
  phaseCombo_->setCurrentIndex(phase.phaseType);
  form->addRow("Фаза", phaseCombo_);
  chanType_ = new QComboBox(this);
  chanType_->addItems({"BP", "SP", "LP", "MP"});
  const int chanIndex = chanType_->findText(QString::fromStdString(phase.chanType));
  chanType_->setCurrentIndex(chanIndex < 0 ? 0 : chanIndex);
  form->addRow("Тип канала", chanType_);
  remark_ = new QLineEdit(QString::fromStdString(phase.remark), this);
  form->addRow("Комментарий", remark_);
  auto* filter = new QLineEdit(QString::fromStdString(FilterTypeShown(phase.pFilType)), this);
  filter->setReadOnly(true);
  form->addRow("Тип фильтра/симуляции", filter);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEditPhase::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CEditPhase::accept() {
  const int type = phaseCombo_->currentIndex();
  if (type != phase_.phaseType && ws_.phases().Find(phase_.station, phase_.channel, type)) {
    ws_.prompts().ShowError("Выбранная фаза уже существует");
    return;
  }
  // A group without a choice (a code outside its buttons) keeps the old code.
  const auto choice = [](QButtonGroup* group, uint8_t old) {
    return group->checkedId() < 0 ? old : static_cast<uint8_t>(group->checkedId());
  };
  phase_.onset = choice(onset_, phase_.onset);
  phase_.firstMotion = choice(motion_, phase_.firstMotion);
  phase_.weight = choice(weight_, phase_.weight);
  phase_.phaseType = type;
  phase_.remark = remark_->text().toStdString();
  phase_.chanType = chanType_->currentText().toStdString();
  phase_.active = 1;
  if (!ws_.phaseTypes().CanBeDefining(type)) phase_.defining = 0;
  QDialog::accept();
}

}  // namespace nuv
