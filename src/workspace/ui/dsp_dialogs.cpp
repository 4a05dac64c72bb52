#include "workspace/ui/dsp_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/strformat.h"
#include "platform/user_prompts.h"
#include "widgets/ui/number_field.h"

namespace nuv {
namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

QString Number(double value) {
  return QString::fromStdString(StrFormat("%g", value));
}

}  // namespace

QDialogButtonBox* DspOkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(U("Отмена"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

namespace {

class QtDspDialogs : public DspDialogs {
 public:
  explicit QtDspDialogs(UserPrompts& prompts) : prompts_(prompts) {}
  std::optional<DspScale> Scale(QWidget* parent, const DspScale& current) override {
    CDspScaleDialog dialog(current, prompts_, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
  }
  std::optional<double> Properties(QWidget* parent, const DspWindow& window) override {
    CDspPropertiesDialog dialog(window, prompts_, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.step() == window.dx) return std::nullopt;
    return dialog.step();
  }
  std::optional<std::array<std::string, kDspOverlaySlots>> Overlays(
      QWidget* parent, const std::array<std::string, kDspOverlaySlots>& current) override {
    CDspOverlayDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.formulas();
  }

 private:
  UserPrompts& prompts_;
};

}  // namespace

std::unique_ptr<DspDialogs> MakeQtDspDialogs(UserPrompts& prompts) {
  return std::make_unique<QtDspDialogs>(prompts);
}

QColor DspOverlayColor(int slot) {
  static const QColor colours[kDspOverlaySlots] = {
      Qt::black,   Qt::white, Qt::green,           Qt::red,
      Qt::magenta, Qt::cyan,  QColor(128, 0, 128), Qt::yellow};
  return colours[static_cast<size_t>(slot) % kDspOverlaySlots];
}

CDspScaleDialog::CDspScaleDialog(const DspScale& scale, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(U("Параметры окна DSP"));
  auto* form = new QFormLayout;
  const char* labels[] = {"X минимум", "X максимум", "Y минимум", "Y максимум"};
  const double values[] = {scale.xMin, scale.xMax, scale.yMin, scale.yMax};
  for (size_t i = 0; i < fields_.size(); ++i) {
    fields_[i] = new QLineEdit(Number(values[i]), this);
    form->addRow(U(labels[i]), fields_[i]);
  }
  lock_ = new QCheckBox(U("Запретить изменение масштаба по оси  X"), this);
  lock_->setChecked(scale.lockX);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(lock_);
  layout->addWidget(DspOkCancel(this));
}

DspScale CDspScaleDialog::value() const {
  DspScale s;
  double* targets[] = {&s.xMin, &s.xMax, &s.yMin, &s.yMax};
  for (size_t i = 0; i < fields_.size(); ++i)
    *targets[i] = NumberOf(fields_[i]).value_or(std::nan(""));
  s.lockX = lock_->isChecked();
  return s;
}

void CDspScaleDialog::accept() {
  const ScaleFault fault = CheckScale(value());
  if (fault != ScaleFault::kNone) {
    const int field = fault == ScaleFault::kXMin   ? 0
                      : fault == ScaleFault::kXMax ? 1
                      : fault == ScaleFault::kYMin ? 2
                                                   : 3;
    prompts_.Beep();
    fields_[static_cast<size_t>(field)]->setFocus();
    fields_[static_cast<size_t>(field)]->selectAll();
    return;
  }
  QDialog::accept();
}

CDspPropertiesDialog::CDspPropertiesDialog(const DspWindow& window, UserPrompts& prompts,
                                           QWidget* parent)
    : QDialog(parent), value_(window.dx), prompts_(prompts) {
  setWindowTitle(U("Свойства набора данных"));
  auto* form = new QFormLayout;
  auto readOnly = [this](const QString& text) {
    auto* edit = new QLineEdit(text, this);
    edit->setReadOnly(true);
    return edit;
  };
  form->addRow(U("К-во отсчетов"), readOnly(QString::number(window.count())));
  step_ = new QLineEdit(Number(window.dx), this);
  form->addRow(U("Шаг по времени"), step_);
  const ValueRange range = FiniteRange(window.data);
  form->addRow(U("Максимум"), readOnly(Number(range.max)));
  form->addRow(U("Минимум"), readOnly(Number(range.min)));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(DspOkCancel(this));
}

void CDspPropertiesDialog::accept() {
  const auto step = NumberOf(step_);
  if (!step) {
    prompts_.Message("Введите число.", kAppTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    step_->setFocus();
    return;
  }
  if (!ValidTimeStep(*step)) {
    prompts_.Message("Введите число между 0 и 1e+29.", kAppTitle, PromptIcon::Exclamation,
                     PromptButtons::Ok);
    step_->setFocus();
    return;
  }
  value_ = *step;
  QDialog::accept();
}

CDspOverlayDialog::CDspOverlayDialog(const std::array<std::string, kDspOverlaySlots>& formulas,
                                     QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(U("Наложить графики из окон"));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(U("Окно ( w0, d0, ...)"), this), 0, 0);
  grid->addWidget(new QLabel(U("Цвет графика"), this), 0, 1, 1, 2);
  for (int slot = 0; slot < kDspOverlaySlots; ++slot) {
    auto* edit = new QLineEdit(QString::fromStdString(formulas[static_cast<size_t>(slot)]), this);
    edit->setMinimumWidth(260);
    fields_[static_cast<size_t>(slot)] = edit;
    auto* sample = new QLabel(this);
    sample->setFixedSize(40, 14);
    sample->setAutoFillBackground(true);
    sample->setStyleSheet(
        QString("background-color: %1; border: 1px solid gray;").arg(DspOverlayColor(slot).name()));
    grid->addWidget(edit, slot + 1, 0);
    grid->addWidget(sample, slot + 1, 1);
    grid->addWidget(new QLabel(QString::number(slot + 1), this), slot + 1, 2);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(DspOkCancel(this));
}

std::array<std::string, kDspOverlaySlots> CDspOverlayDialog::formulas() const {
  std::array<std::string, kDspOverlaySlots> out;
  for (size_t i = 0; i < out.size(); ++i) out[i] = fields_[i]->text().toStdString();
  return out;
}

}  // namespace nuv
