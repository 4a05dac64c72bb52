#include "seismo/ui/location_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "platform/strformat.h"
#include "platform/time_base.h"
#include "platform/user_prompts.h"
#include "seismo/ui/dialog_kit.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Button;
using seismo_ui::NumberOf;
using seismo_ui::Q;
using seismo_ui::S;

std::string StartTimeText(double t) {
  const CalendarTime c = EpochToCalendar(t);
  return StrFormat("%02d.%02d.%04d %02d:%02d:%06.3f", c.day, c.month, c.year, c.hour, c.minute,
                   c.second);
}

std::optional<double> ParseStartTime(const std::string& text) {
  int day, month, year, hour, minute;
  double second;
  char rest;
  if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%lf %c", &day, &month, &year, &hour, &minute,
                  &second, &rest) != 6)
    return std::nullopt;
  if (year < 1900 || year > 2200 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || !(second >= 0 && second < 61))
    return std::nullopt;
  return CalendarToEpoch(year, month, day, hour, minute, second);
}

CStartPointDialog::CStartPointDialog(const CurrentEvent& event, UserPrompts& prompts,
                                     QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle(Q("Введите стартовую точку для расчета"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  lat_ = AddField(form, "Широта", "lat");
  lon_ = AddField(form, "Долгота", "lon");
  depth_ = AddField(form, "Глубина(км.)", "depth");
  time_ = AddField(form, "Время в очаге", "time");
  lat_->setText(Q(StrFormat("%.4f", event.originLat)));
  lon_->setText(Q(StrFormat("%.4f", event.originLon)));
  depth_->setText(Q(StrFormat("%.1f", event.originDepth < 0 ? 0.0f : event.originDepth)));
  time_->setText(Q(StartTimeText(event.originTime)));
  fixDepth_ = new QCheckBox(Q("Фиксация глубины"), this);
  fixDepth_->setObjectName("fixDepth");
  fixDepth_->setChecked(event.fixDepth);
  grid_ = new QCheckBox(Q("Оценка стартовой точки методом полного перебора"), this);
  grid_->setObjectName("grid");
  fixCoords_ = new QCheckBox(Q("Фиксация координат (оценка невязок)"), this);
  fixCoords_->setObjectName("fixCoords");
  for (QCheckBox* box : {fixDepth_, grid_, fixCoords_}) layout->addWidget(box);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CStartPointDialog::accept() {
  // A bad field: beep and select it.
  auto refuse = [this](QLineEdit* edit) {
    prompts_.Beep();
    edit->setFocus();
    edit->selectAll();
  };
  const auto lat = NumberOf(lat_), lon = NumberOf(lon_), depth = NumberOf(depth_);
  if (!lat || *lat < -90 || *lat > 90) return refuse(lat_);
  if (!lon || *lon < -180 || *lon > 180) return refuse(lon_);
  if (!depth || *depth < 0 || *depth > 800) return refuse(depth_);
  const auto time = ParseStartTime(S(time_->text().trimmed()));
  if (!time) return refuse(time_);
  start_ = LocationStart{*lat, *lon, *depth, *time};
  options_.fixDepth = fixDepth_->isChecked();
  options_.gridSearch = grid_->isChecked();
  options_.fixCoords = fixCoords_->isChecked();
  QDialog::accept();
}

CHypocentreDialog::CHypocentreDialog(const HypocentreValues& values,
                                     const std::vector<std::string>& residualLines,
                                     const ConfidenceEllipse& ellipse, const RegionInfo& region,
                                     QWidget* parent)
    : QDialog(parent), values_(values) {
  setWindowTitle(Q("Параметры гипоцентра"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  layout->addLayout(form);
  auto shown = [&](const std::string& caption, const std::string& name, const std::string& text) {
    AddField(form, caption, name, true)->setText(Q(text));
  };
  shown("Широта", "lat", StrFormat("%.4f", values.lat));
  shown("Долгота", "lon", StrFormat("%.4f", values.lon));
  shown("Глубина", "depth", StrFormat("%.4f", values.depth));
  shown("Время в очаге", "time", OriginTimeText(values.time));
  comment_ = AddField(form, "Комментарий", "comment");
  comment_->setMaxLength(127);
  comment_->setText(Q(values.comment));

  residuals_ = new QListWidget(this);
  residuals_->setObjectName("residuals");
  for (const std::string& line : residualLines) residuals_->addItem(Q(line));
  layout->addWidget(new QLabel(Q("Невязки"), this));
  layout->addWidget(residuals_);

  auto* ellipseBox = new QGroupBox(Q("Эллипс ошибок"), this);
  auto* ellipseForm = new QFormLayout(ellipseBox);
  auto value = [](float v) { return v == -1 ? std::string() : StrFormat("%.1f", v); };
  AddField(ellipseForm, "Большая ось (км)", "major", true)->setText(Q(value(ellipse.major)));
  AddField(ellipseForm, "Малая ось (км)", "minor", true)->setText(Q(value(ellipse.minor)));
  AddField(ellipseForm, "Азимут оси (град.)", "direction", true)
      ->setText(Q(value(ellipse.direction)));
  layout->addWidget(ellipseBox);

  auto* regionBox = new QGroupBox(this);
  auto* regionGrid = new QFormLayout(regionBox);
  auto regionText = [&](long long number, const std::string& ru, const std::string& en) {
    return region.found ? StrFormat("%lld %s (%s)", number, ru.c_str(), en.c_str()) : std::string();
  };
  AddField(regionGrid, "Сейсм. регион", "seismicRegion", true)
      ->setText(Q(regionText(region.seismicNumber, region.seismicNameRu, region.seismicName)));
  AddField(regionGrid, "Геогр.  регион", "geographicRegion", true)
      ->setText(
          Q(regionText(region.geographicNumber, region.geographicNameRu, region.geographicName)));
  layout->addWidget(regionBox);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QDialogButtonBox::Ok);
  QPushButton* save = Button(this, "Запомнить в БД");
  buttons->addButton(save, QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Cancel)->setText(Q("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(save, &QPushButton::clicked, this, [this] {
    if (saveToDatabase) saveToDatabase(this->values());
  });
  layout->addWidget(buttons);
}

HypocentreValues CHypocentreDialog::values() const {
  HypocentreValues v = values_;
  v.comment = S(comment_->text());
  return v;
}

}  // namespace nuv
