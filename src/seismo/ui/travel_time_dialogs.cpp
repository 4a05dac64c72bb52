#include "seismo/ui/travel_time_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "phases/current_event.h"
#include "phases/phase_types.h"
#include "platform/strformat.h"
#include "seismo/tt_calculator.h"
#include "traveltime/dist_az.h"
#include "waveview/ui/waveform_window.h"
#include "widgets/ui/number_field.h"
#include "workstation/workstation.h"

namespace nuv {

CTravelTimeCalculator::CTravelTimeCalculator(Workstation& ws, QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle("Годограф. Расчет времени пробега фазы.");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  phase_ = new QComboBox(this);
  for (int i = 0; i < ws.phaseTypes().Count(); ++i)
    phase_->addItem(QString::fromStdString(ws.phaseTypes().Name(i)));
  phase_->setEditable(true);
  distance_ = new QLineEdit("10", this);
  depth_ = new QLineEdit("0", this);
  form->addRow("Фаза", phase_);
  form->addRow("Расстояние (град.)", distance_);
  form->addRow("Глубина", depth_);
  layout->addLayout(form);
  result_ = new QLabel(this);
  layout->addWidget(result_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* calculate = buttons->addButton("Рассчитать", QDialogButtonBox::ActionRole);
  connect(calculate, &QPushButton::clicked, this, &CTravelTimeCalculator::Calculate);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CTravelTimeCalculator::Calculate() {
  const std::optional<double> distance = NumberOf(distance_), depth = NumberOf(depth_);
  if (!distance || !depth) {
    ws_.prompts().Beep();
    return;
  }
  const CalculatorAnswer answer = TravelTimeCalculator(
      ws_.phaseTypes(), phase_->currentText().toStdString(), *depth, *distance);
  if (!answer.ok) {
    ws_.prompts().ShowError(answer.text);
    return;
  }
  result_->setText(QString::fromStdString(answer.text));
}

CDistAzDialog::CDistAzDialog(Workstation& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
  setWindowTitle("Дистанция и азимут");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  const CurrentEvent& e = ws.event();
  const QString start[] = {
      e.originValid ? QString::fromStdString(StrFormat("%.2f", e.originLat)) : "0",
      e.originValid ? QString::fromStdString(StrFormat("%.2f", e.originLon)) : "0", "0.", "0."};
  const char* labels[] = {"Широта 1", "Долгота 1", "Широта 2", "Долгота 2"};
  for (int i = 0; i < 4; ++i) {
    fields_[i] = new QLineEdit(start[i], this);
    form->addRow(labels[i], fields_[i]);
  }
  const char* outputs[] = {"Дистанция", "Азимут", "Обратный азимут"};
  for (int i = 0; i < 3; ++i) {
    results_[i] = new QLineEdit(this);
    results_[i]->setReadOnly(true);
    form->addRow(outputs[i], results_[i]);
  }
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDistAzDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CDistAzDialog::accept() {
  for (QLineEdit* r : results_) r->clear();
  float values[4];
  for (int i = 0; i < 4; ++i) {
    const std::optional<double> typed = NumberOf(fields_[i]);
    const double v = typed.value_or(0);
    const double limit = i % 2 == 0 ? 90 : 180;
    if (!typed || v < -limit || v > limit) {
      ws_.prompts().Beep();
      fields_[i]->setFocus();
      fields_[i]->selectAll();
      return;
    }
    values[i] = static_cast<float>(v);
  }
  DistAzResult r;
  if (!DistAz(values[0], values[1], values[2], values[3], r)) return;
  const float shown[] = {r.distance, r.azimuth, r.backAzimuth};
  for (int i = 0; i < 3; ++i)
    results_[i]->setText(QString::fromStdString(StrFormat("%.2f", shown[i])));
  ws_.prompts().Beep();
}

void RegisterTravelTimeDialogs(waveform& window) {
  window.commands().Add(33107, [&window] {
    CTravelTimeCalculator dialog(window.workstation(), &window);
    dialog.exec();
  });
  window.commands().Add(33182, [&window] {
    CDistAzDialog dialog(window.workstation(), &window);
    dialog.exec();
  });
}

}  // namespace nuv
