#include "waveview/ui/pick_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "phases/phase_sets.h"
#include "phases/seismic_phase.h"
#include "phases/ui/edit_phase_dialog.h"
#include "workstation/workstation.h"

namespace nuv {

CPickDlg::CPickDlg(Workstation& ws, double deltim, const std::string& transformName,
                   QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle("Отметить фазу");
  setObjectName("Редактирование фазы");
  const PickChoice defaults = DefaultPickChoice(deltim, -1);
  auto* layout = new QVBoxLayout(this);
  motion_ =
      PhaseCodeRadioGroup("Первое вступление", {"Up", "Dn", "+ ", "- ", "? ", "c", "d", "u", "r"},
                          defaults.firstMotion, this, layout);
  weight_ =
      PhaseCodeRadioGroup("Вес", {"0 ", "1 ", "2 ", "3 ", "4 "}, defaults.weight, this, layout);
  onset_ = PhaseCodeRadioGroup("Характер вступления", {"Emergent", "Impuls", "Weak", "None"},
                               defaults.onset, this, layout);
  auto* form = new QFormLayout;
  phase_ = new QComboBox(this);
  phase_->setEditable(true);
  for (int type : PhaseSets(ws.ini()).OfferedTypes(ws.phaseTypes()))
    phase_->addItem(QString::fromStdString(ws.phaseTypes().Name(type)));
  phase_->setCurrentIndex(0);
  form->addRow("Фаза", phase_);
  chanType_ = new QComboBox(this);
  chanType_->addItems({"BP", "SP", "LP", "MP"});
  form->addRow("Тип канала", chanType_);
  remark_ = new QLineEdit(this);
  remark_->setMaxLength(80);
  form->addRow("Комментарий", remark_);
  filter_ = new QLineEdit(QString::fromStdString(FilterTypeShown(transformName)), this);
  form->addRow("Тип фильтра/симуляции", filter_);
  layout->addLayout(form);
  copy_ = new QCheckBox("Копировать фазу на другие каналы", this);
  measure_ = new QCheckBox("Произвести автоматический замер амплитуды", this);
  layout->addWidget(copy_);
  layout->addWidget(measure_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
  buttons->addButton("Отмена", QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &CPickDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CPickDlg::accept() {
  const int type = ws_.phaseTypes().IndexOf(phase_->currentText().trimmed().toStdString());
  if (type < 0) {
    ws_.prompts().Beep();
    return;
  }
  PickChoice& c = result_.choice;
  c.phaseType = type;
  c.onset = static_cast<uint8_t>(std::max(0, onset_->checkedId()));
  c.firstMotion = static_cast<uint8_t>(motion_->checkedId() < 0 ? 4 : motion_->checkedId());
  c.weight = static_cast<uint8_t>(std::max(0, weight_->checkedId()));
  c.chanType = chanType_->currentText().toStdString();
  c.remark = remark_->text().toStdString();
  c.filter = FilterTypeStored(filter_->text().toStdString());
  result_.copyToOtherChannels = copy_->isChecked();
  result_.measureAmplitude = measure_->isChecked();
  QDialog::accept();
}

namespace {

class QtPickDialogs : public PickDialogs {
 public:
  std::optional<PickDialogResult> Pick(Workstation& ws, QWidget* pane, double deltim,
                                       const std::string& transformName) override {
    CPickDlg dialog(ws, deltim, transformName, pane);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.pick();
  }
};

}  // namespace

std::unique_ptr<PickDialogs> MakeQtPickDialogs() {
  return std::make_unique<QtPickDialogs>();
}

}  // namespace nuv
