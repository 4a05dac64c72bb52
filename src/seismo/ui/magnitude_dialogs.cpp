#include "seismo/ui/magnitude_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <map>

#include "phases/seismic_phase.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "platform/user_prompts.h"
#include "seismo/ui/dialog_kit.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Button;
using seismo_ui::NumberOf;
using seismo_ui::PhaseCombo;
using seismo_ui::Q;
using seismo_ui::S;

namespace {

constexpr const char* kMissingPhase =
    "Отметка фазы '%s' отсутствует.\n Ассоциация не может быть выполнена.\nРезультат расчета не "
    "будет запомнен";

struct MagnitudeKind {
  const char* name;
  const char* title;
};
constexpr MagnitudeKind kKinds[] = {
    {"Mb", "Магнитуда Mb"},     {"Ms", "Магнитуда Ms"},       {"MPLP", "Магнитуда MPLP"},
    {"MPSP", "Магнитуда MPSP"}, {"MKT", "Магнитуда по коде"}, {"ML", "Локальная магнитуда ML"},
};

std::string MeasureText(double v) {
  return StrFormat(v > 1 ? "%.1f" : "%.3f", v);
}

std::string MeasureTimeText(double t) {
  const CalendarTime c = EpochToCalendar(t);
  return StrFormat("%02d:%02d:%06.3f %02d/%02d/%04d", c.hour, c.minute, c.second, c.day, c.month,
                   c.year);
}

template <typename T>
T* Child(const QWidget* parent, const std::string& name) {
  return parent->findChild<T*>(Q(name));
}

}  // namespace

CAmplitudePeriodDialog::CAmplitudePeriodDialog(const AmplitudeMeasure& measure,
                                               const std::vector<std::string>& phaseNames,
                                               MagnitudeCalibrations calibrations,
                                               UserPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      calibrations_(std::move(calibrations)),
      prompts_(prompts),
      station_(measure.station) {
  setWindowTitle(Q("Результат расчета периода и амплитуды"));
  auto* layout = new QHBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  amplitude_ = AddField(form, "Амплитуда, мкм.", "amplitude");
  period_ = AddField(form, "Период, с.", "period");
  distance_ = AddField(form, "Расстояние до эпицентра", "distance");
  depth_ = AddField(form, "Глубина", "depth");
  amplitude_->setText(Q(MeasureText(measure.amplitude)));
  period_->setText(Q(MeasureText(measure.period)));
  distance_->setText(Q(StrFormat("%.3f", measure.distance)));
  depth_->setText(Q(StrFormat("%.1f", measure.depth)));
  AddField(form, "Log(A/T)", "logat", true)
      ->setText(Q(measure.period > 0 && measure.amplitude > 0
                      ? StrFormat("%.3f", std::log10(measure.amplitude / measure.period))
                      : std::string("-")));
  AddField(form, "АЧХ(*)", "response", true)
      ->setText(Q(measure.responseValue >= 0 ? StrFormat("%f", measure.responseValue)
                                             : std::string("-")));
  AddField(form, "Тип фильтра/симуляции", "filter", true)
      ->setText(Q(FilterTypeShown(measure.filterName)));
  QLineEdit* time = AddField(form, "Время замера", "time", true);
  time->setText(Q(MeasureTimeText(measure.time)));
  // The whole time with its date stays readable.
  time->setMinimumWidth(time->fontMetrics().horizontalAdvance(time->text()) + 12);
  phase_ = PhaseCombo(form, phaseNames);

  auto* right = new QVBoxLayout();
  layout->addLayout(right);
  auto* grid = new QGridLayout();
  right->addLayout(grid);
  int row = 0;
  for (const MagnitudeKind& kind : kKinds) {
    QPushButton* button = Button(this, kind.name);
    auto* result = new QLineEdit(this);
    result->setObjectName(Q(std::string("result") + kind.name));
    grid->addWidget(button, row, 0);
    grid->addWidget(result, row++, 1);
    const std::string name = kind.name;
    connect(button, &QPushButton::clicked, this, [this, name] { OnMagnitude(name); });
  }
  right->addStretch();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  right->addWidget(buttons);
  connect(phase_, &QComboBox::currentIndexChanged, this, [this] { UpdateButtons(); });
  UpdateButtons();
}

QPushButton* CAmplitudePeriodDialog::magnitudeButton(const std::string& name) const {
  return Child<QPushButton>(this, name);
}

QLineEdit* CAmplitudePeriodDialog::resultField(const std::string& name) const {
  return Child<QLineEdit>(this, "result" + name);
}

QLineEdit* CAmplitudePeriodDialog::field(const std::string& name) const {
  return Child<QLineEdit>(this, name);
}

void CAmplitudePeriodDialog::UpdateButtons() {
  // The coda magnitude belongs to the coda mark "Tk", the others to any other phase.
  const bool coda = S(phase_->currentText()) == "Tk";
  for (const char* name : {"Ms", "Mb", "MPLP", "MPSP"}) magnitudeButton(name)->setEnabled(!coda);
  magnitudeButton("MKT")->setEnabled(coda);
}

MagnitudeResult CAmplitudePeriodDialog::Compute(const std::string& name) const {
  const double a = NumberOf(amplitude_).value_or(0), t = NumberOf(period_).value_or(0);
  const double d = NumberOf(distance_).value_or(0), h = NumberOf(depth_).value_or(0);
  if (name == "Mb") return MagnitudeMb(a, t, d, h, calibrations_.table("mb.txt"));
  if (name == "Ms") return MagnitudeMs(a, t, d);
  if (name == "MPLP") return MagnitudeMplp(a, t, d, h, calibrations_.table("mplp.txt"));
  if (name == "MPSP") return MagnitudeMpsp(a, t, d, h, calibrations_.table("mpsp.txt"));
  if (name == "MKT") return MagnitudeCoda(a, t);
  const auto ml = calibrations_.ml ? calibrations_.ml(station_) : std::nullopt;
  return MagnitudeMl(a, d, h, ml ? &*ml : nullptr);
}

void CAmplitudePeriodDialog::OnMagnitude(const std::string& name) {
  const MagnitudeResult r = Compute(name);
  if (!r.ok) return prompts_.ShowError(r.message);
  const std::string text = StrFormat(name == "ML" ? "%3.1f" : "%3.2f", r.value);
  const char* title = "";
  for (const MagnitudeKind& kind : kKinds)
    if (name == kind.name) title = kind.title;
  if (prompts_.Message(text, title, PromptIcon::Information, PromptButtons::OkCancel) ==
      PromptAnswer::Ok)
    resultField(name)->setText(Q(text));
}

void CAmplitudePeriodDialog::accept() {
  MagnitudeValues values;
  for (const MagnitudeKind& kind : kKinds) {
    const auto v = NumberOf(resultField(kind.name));
    if (v && *v > 0) values.values.emplace_back(kind.name, *v);
  }
  const std::string phase = S(phase_->currentText());
  if (!store || !store(phase, values)) {
    prompts_.Message(StrFormat(kMissingPhase, phase.c_str()), kAppTitle, PromptIcon::Warning,
                     PromptButtons::OkCancel);
    return;
  }
  QDialog::accept();
}

CEnergyClassDialog::CEnergyClassDialog(EnergyClassVariant variant, const EnergyClassInputs& inputs,
                                       const std::vector<std::string>& channelPhases,
                                       UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), variant_(variant), prompts_(prompts) {
  setWindowTitle(Q("Энергетический класс"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  distance_ = AddField(form, "Расстояние (км)", "distance");
  depth_ = AddField(form, "Глубина (км)", "depth");
  ap_ = AddField(form, "Ap(мкм)", "ap");
  as_ = AddField(form, "As(мкм)", "as");
  class_ = AddField(form, "Класс", "class", true);
  phase_ = PhaseCombo(form, channelPhases);
  distance_->setText(Q(StrFormat("%.0f", inputs.distanceKm)));
  depth_->setText(Q(StrFormat("%.0f", inputs.depthKm)));
  ap_->setText(Q(StrFormat("%.3f", inputs.ap)));
  as_->setText(Q(StrFormat("%.3f", inputs.as)));
  auto* row = new QHBoxLayout();
  QPushButton* calculate = Button(this, "Рассчитать");
  QPushButton* remember = Button(this, "Запомнить");
  QPushButton* cancel = Button(this, "Отмена");
  for (QPushButton* b : {calculate, remember, cancel}) row->addWidget(b);
  layout->addLayout(row);
  connect(calculate, &QPushButton::clicked, this, [this] { Calculate(); });
  connect(remember, &QPushButton::clicked, this, [this] { Remember(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  Calculate();
}

QLineEdit* CEnergyClassDialog::field(const std::string& name) const {
  return Child<QLineEdit>(this, name);
}

void CEnergyClassDialog::Calculate() {
  const auto k = EnergyClassFormula(variant_, NumberOf(ap_).value_or(0), NumberOf(as_).value_or(0),
                                    NumberOf(distance_).value_or(-1), NumberOf(depth_).value_or(0));
  class_->setText(Q(k ? StrFormat("%.1f", *k) : std::string(kNoClassText)));
}

void CEnergyClassDialog::Remember() {
  const std::string phase = S(phase_->currentText());
  const QString text = class_->text().trimmed();
  if (text.compare(Q(kNoClassText), Qt::CaseInsensitive) == 0) return;
  const auto k = NumberOf(class_);
  if (!k) return;
  if (!store || !store(phase, *k)) {
    prompts_.Beep();
    prompts_.ShowError(StrFormat(kMissingPhase, phase.c_str()));
    return;
  }
  accept();
}

CCodaDialog::CCodaDialog(double duration, const std::vector<std::string>& phaseNames,
                         QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q("Кода"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  AddField(form, "Длительность коды (с)", "duration", true)
      ->setText(Q(StrFormat("%.3f", duration)));
  phase_ = PhaseCombo(form, phaseNames);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

std::string CCodaDialog::phase() const {
  return S(phase_->currentText());
}

}  // namespace nuv
