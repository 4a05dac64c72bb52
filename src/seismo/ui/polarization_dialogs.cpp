#include "seismo/ui/polarization_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/strformat.h"
#include "seismo/ui/dialog_kit.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Button;
using seismo_ui::PhaseCombo;
using seismo_ui::Q;
using seismo_ui::S;

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

CAzimuthParamsDialog::CAzimuthParamsDialog(
    const std::vector<std::string>& phaseNames,
    std::function<std::vector<std::string>(bool transformed)> names, bool transformed,
    QWidget* parent)
    : QDialog(parent), names_(std::move(names)) {
  setWindowTitle(Q("Параметры"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  phase_ = PhaseCombo(form, phaseNames);
  fields_[0] = AddField(form, "Z", "z");
  fields_[1] = AddField(form, "X(NS)", "x");
  fields_[2] = AddField(form, "Y(EW)", "y");
  transformed_ = new QCheckBox(Q("Использовать преобразованный сигнал"), this);
  transformed_->setObjectName("transformed");
  transformed_->setChecked(transformed);
  layout->addWidget(transformed_);
  FillNames();
  connect(transformed_, &QCheckBox::toggled, this, [this] { FillNames(); });
  auto* row = new QHBoxLayout();
  QPushButton* run = Button(this, "Рассчитать");
  QPushButton* quit = Button(this, "Выйти");
  row->addWidget(run);
  row->addWidget(quit);
  layout->addLayout(row);
  connect(run, &QPushButton::clicked, this, [this] {
    if (!calculate) return;
    std::vector<std::string> typed;
    for (QLineEdit* f : fields_) typed.push_back(S(f->text().trimmed()));
    calculate(S(phase_->currentText()), typed);
  });
  connect(quit, &QPushButton::clicked, this, &QDialog::reject);
}

bool CAzimuthParamsDialog::transformed() const {
  return transformed_->isChecked();
}

void CAzimuthParamsDialog::FillNames() {
  const std::vector<std::string> names = names_(transformed_->isChecked());
  for (size_t i = 0; i < 3 && i < names.size(); ++i) fields_[i]->setText(Q(names[i]));
}

CAzimuthResultDialog::CAzimuthResultDialog(const PolarizationResult& result, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q("Азимут"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  AddField(form, "Угол выхода", "emergence")->setText(Q(StrFormat("%.2f", result.emergence)));
  AddField(form, "Азимут по NE ", "azimuthNE")->setText(Q(StrFormat("%.2f", result.azimuthNE)));
  AddField(form, " Азимут по ZNE", "azimuthZNE")->setText(Q(StrFormat("%.2f", result.azimuthZNE)));
  AddField(form, "Планарность", "planarity")->setText(Q(StrFormat("%.3f", result.planarity)));
  AddField(form, "Прямолинейность", "rectilinearity")
      ->setText(Q(StrFormat("%.3f", result.rectilinearity)));
  layout->addWidget(OkCancel(this));
}

CPlaneWaveResultDialog::CPlaneWaveResultDialog(const PlaneWaveFit& fit, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q("Результат расчета"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  AddField(form, "Азимут", "azimuth", true)->setText(Q(StrFormat("%.1f", fit.azimuth)));
  // The apparent velocity in km/s; the slowness in s/degree, as bulletins carry it.
  AddField(form, "Скорость распространения волны", "velocity", true)
      ->setText(Q(StrFormat("%.2f", fit.velocityKm)));
  AddField(form, "Медленность", "slowness", true)->setText(Q(StrFormat("%.3f", fit.slowness)));
  AddField(form, "RMS", "rms", true)
      ->setText(Q(fit.rms < 0 ? std::string("-") : StrFormat("%.3f", fit.rms)));
  layout->addWidget(OkCancel(this));
}

}  // namespace nuv
