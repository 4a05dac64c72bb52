#include "seismo/ui/phase_distance_dialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <memory>

#include "phases/phase_sets.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "seismo/distance_estimate.h"
#include "seismo/location.h"
#include "seismo/ui/dialog_kit.h"
#include "seismo/ui/seismo_site.h"
#include "traveltime/dist_az.h"
#include "waveview/channel_selection.h"
#include "waveview/pick_insert.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace nuv {

using seismo_ui::Q;

namespace {

// An origin time into the date ("dd/mm/yyyy") and time fields.
void ShowOriginTime(QLineEdit* date, QLineEdit* time, double epoch) {
  const CalendarTime c = EpochToCalendar(epoch);
  date->setText(Q(StrFormat("%02d/%02d/%04d", c.day, c.month, c.year)));
  time->setText(Q(StrFormat("%02d:%02d:%06.3f", c.hour, c.minute, c.second)));
}

// The names of the active phase set, or every name.
QStringList OfferedNames(Workstation& ws) {
  QStringList names;
  for (int type : PhaseSets(ws.ini()).OfferedTypes(ws.phaseTypes()))
    names << Q(ws.phaseTypes().Name(type));
  return names;
}

// The selected pane's channel, after the message when there is none.
CZoomWindow* SelectedPane(waveform& window) {
  CZoomWindow* main = nullptr;
  return window.RequireMain(main) ? main : nullptr;
}

}  // namespace

CDistanceFromPhasesDlg::CDistanceFromPhasesDlg(Workstation& ws, int station, int channel,
                                               double& depth, QWidget* parent)
    : QDialog(parent), ws_(ws), station_(station), channel_(channel), lastDepth_(depth) {
  setWindowTitle("Оценка расстояния до эпицентра");
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  const std::string code =
      station >= 0 && station < ws.stations().size() ? ws.stations()[station].code : "";
  row->addWidget(new QLabel(
      Q("Оценить расстояние от станции " + code + " до эпицентра по времени прихода  фаз "), this));
  a_ = new QComboBox(this);
  b_ = new QComboBox(this);
  const QStringList names = OfferedNames(ws);
  a_->addItems(names);
  b_->addItems(names);
  a_->setCurrentIndex(names.size() > 1 ? 1 : 0);
  b_->setCurrentIndex(0);
  row->addWidget(a_);
  row->addWidget(new QLabel("и", this));
  row->addWidget(b_);
  row->addWidget(new QLabel("при глубине", this));
  depth_ = new QLineEdit(Q(StrFormat("%g", depth)), this);
  row->addWidget(depth_);
  row->addWidget(new QLabel("км.", this));
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDistanceFromPhasesDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CDistanceFromPhasesDlg::accept() {
  const double depth = NumberOf(depth_).value_or(-1);
  if (depth < 0) {
    ws_.prompts().Beep();
    depth_->setFocus();
    return;
  }
  lastDepth_ = depth;
  const int a = ws_.phaseTypes().IndexOf(a_->currentText().toStdString());
  const int b = ws_.phaseTypes().IndexOf(b_->currentText().toStdString());
  const DistanceEstimate e =
      EstimateEpicentralDistance(ws_.phases(), ws_.phaseTypes(), station_, channel_, a, b, depth);
  if (e.beep) ws_.prompts().Beep();
  if (!e.ok) {
    ws_.prompts().ShowError(e.message);
    return;
  }
  if (ws_.prompts().Message(e.message, kAppTitle, PromptIcon::Question, PromptButtons::OkCancel) !=
      PromptAnswer::Ok)
    return;
  ApplyDistanceEstimate(e, ws_.phases(), ws_.event(), station_, channel_, a, b, depth);
  QDialog::accept();
}

CTheoreticalPhasesDlg::CTheoreticalPhasesDlg(Workstation& ws, waveform& window, QWidget* parent,
                                             std::shared_ptr<TheoreticalPlacer> placer)
    : QDialog(parent),
      ws_(ws),
      window_(window),
      placer_(placer ? std::move(placer) : std::make_shared<TheoreticalPlacer>()) {
  setWindowTitle("Расставить фазы");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  distance_ = new DecimalSpinBox(this);
  distance_->setRange(0, 180);
  distance_->setSingleStep(0.1);
  distance_->setDecimals(2);
  distance_->setValue(5.0);
  // Typed numbers count on Enter or when the field is left, not at every
  // keystroke ("1" on the way to "12" would place the phases at 1 degree).
  distance_->setKeyboardTracking(false);
  form->addRow("Расстояние (град.)", distance_);
  depth_ = new DecimalSpinBox(this);
  depth_->setRange(0, 700);
  depth_->setSingleStep(10);
  depth_->setValue(std::max(0.0f, ws.event().originDepth));
  depth_->setKeyboardTracking(false);
  form->addRow("Глубина (км)", depth_);
  date_ = new QLineEdit(this);
  time_ = new QLineEdit(this);
  form->addRow("Дата в очаге", date_);
  form->addRow("Время в очаге", time_);
  reference_ = new QComboBox(this);
  for (int i = 0; i < ws.phaseTypes().Count(); ++i) reference_->addItem(Q(ws.phaseTypes().Name(i)));
  form->addRow("Опорная фаза", reference_);
  layout->addLayout(form);
  mode_ = new QButtonGroup(this);
  const char* modes[] = {"Относительно времени в очаге", "Относительно фазы",
                         "Относительно фазы и времени в очаге"};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(modes[i], this);
    mode_->addButton(b, i);
    layout->addWidget(b);
  }
  mode_->button(1)->setChecked(true);
  list_ = new QListWidget(this);
  for (int i = 0; i < ws.phaseTypes().Count(); ++i) {
    auto* item = new QListWidgetItem(Q(ws.phaseTypes().Name(i)), list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  layout->addWidget(list_);
  auto* sets = new QHBoxLayout;
  const char* setNames[] = {"Телесейсмический", "Региональный", "Локальный", "Чистый"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QPushButton(setNames[i], this);
    connect(b, &QPushButton::clicked, this, [this, i] { CheckSet(i); });
    sets->addWidget(b);
    if (i == kFullPhaseSet) continue;
    auto* edit = new QPushButton("...", this);
    edit->setObjectName(QString("editSet%1").arg(i));
    edit->setToolTip(QString("Изменить набор \"%1\"").arg(setNames[i]));
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance("...") + 16);
    connect(edit, &QPushButton::clicked, this, [this, i] { EditSet(i); });
    sets->addWidget(edit);
  }
  layout->addLayout(sets);
  summary_ = new QLabel(this);
  summary_->setObjectName("summary");
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Close, this);
  auto* load =
      buttons->addButton("Загрузить текущие параметры эпицентра", QDialogButtonBox::ActionRole);
  connect(load, &QPushButton::clicked, this, &CTheoreticalPhasesDlg::LoadCurrent);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Place(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  // Checks from the active set.
  for (int type : PhaseSets(ws.ini()).OfferedTypes(ws.phaseTypes()))
    list_->item(type)->setCheckState(Qt::Checked);
  LoadCurrent();
  connect(mode_, &QButtonGroup::idClicked, this, [this] { ModeChanged(); });
  const auto again = [this] {
    if (!placing_) Place(false);
  };
  connect(distance_, &QDoubleSpinBox::valueChanged, this, again);
  connect(depth_, &QDoubleSpinBox::valueChanged, this, again);
  ModeChanged();
}

void CTheoreticalPhasesDlg::ModeChanged() {
  distance_->setEnabled(mode_->checkedId() != 2);
}

void CTheoreticalPhasesDlg::LoadCurrent() {
  const CurrentEvent& e = ws_.event();
  placing_ = true;
  depth_->setValue(std::max(0.0f, e.originDepth));
  double distance = 5.0;
  CZoomWindow* main = window_.MainPane();
  float lat, lon;
  DistAzResult r;
  if (main) {
    const int st = main->pane().station, ch = main->pane().channel;
    if (e.originValid && ChannelPosition(ws_.stations(), st, ch, lat, lon) &&
        DistAz(e.originLat, e.originLon, lat, lon, r))
      distance = r.distance;
    else if (e.StationDistance(st) >= 0)
      distance = e.StationDistance(st);
  }
  distance_->setValue(distance);
  ShowOriginTime(date_, time_, e.originTime);
  placing_ = false;
}

void CTheoreticalPhasesDlg::CheckSet(int set) {
  PhaseSets sets(ws_.ini());
  sets.SetActiveSet(kPhaseSetNames[set]);
  for (int i = 0; i < list_->count(); ++i) list_->item(i)->setCheckState(Qt::Unchecked);
  if (set == kFullPhaseSet) return;
  for (int type : ParseSet(sets.ReadSet(kPhaseSetNames[set]), ws_.phaseTypes()))
    list_->item(type)->setCheckState(Qt::Checked);
}

bool CTheoreticalPhasesDlg::EditSet(int set) {
  const char* titles[] = {"Телесейсмический", "Региональный", "Локальный"};
  PhaseSets sets(ws_.ini());
  QInputDialog input(this);
  input.setWindowTitle("Набор фаз");
  input.setLabelText(QString("Фазы набора \"%1\" (через \";\"):").arg(titles[set]));
  input.setTextValue(Q(sets.ReadSet(kPhaseSetNames[set])));
  if (input.exec() != QDialog::Accepted) return false;
  std::vector<std::string> names;
  for (int type : ParseSet(input.textValue().toStdString(), ws_.phaseTypes()))
    names.push_back(ws_.phaseTypes().Name(type));
  sets.WriteSet(kPhaseSetNames[set], names);
  if (sets.ActiveSet() == set) CheckSet(set);
  return true;
}

bool CTheoreticalPhasesDlg::Place(bool report) {
  CZoomWindow* main = SelectedPane(window_);
  if (!main) return false;
  const int station = main->pane().station, channel = main->pane().channel;
  TheoreticalRequest request;
  request.mode = static_cast<TheoreticalMode>(std::max(0, mode_->checkedId()));
  request.distance = distance_->value();
  request.depth = depth_->value();
  std::string date = date_->text().toStdString();
  const std::optional<DateFields> d = ParseDateField(date);
  const std::optional<double> seconds = ParseInsertTime(time_->text().toStdString());
  if (!d || !seconds) {
    ws_.prompts().ShowError(!d ? "Введите правильную дату" : "Введено ошибочное время");
    return false;
  }
  request.originTime = CalendarToEpoch(d->year, d->month, d->day, 0, 0, 0) + *seconds;
  request.referenceType = reference_->currentIndex();
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->checkState() == Qt::Checked) request.types.push_back(i);
  const SEISMIC_PHASE* ref = ws_.phases().Find(station, channel, request.referenceType);
  const TheoreticalResult r = ComputeTheoretical(ws_.phaseTypes(), request, ref ? ref->time : -1.0);
  if (r.beep) ws_.prompts().Beep();
  if (!r.ok) {
    if (!r.message.empty()) ws_.prompts().ShowError(r.message);
    return false;
  }
  const TheoreticalPlacement placed = placer_->Place(ws_.phases(), station, channel, r);
  if (request.mode == TheoreticalMode::FromReference) {
    ShowOriginTime(date_, time_, r.originTime);
  }
  window_.RedrawAllPhaseMarks();
  const std::string summary = TheoreticalSummary(ws_.phaseTypes(), r, &placed);
  summary_->setText(Q(summary));
  if (report && !summary.empty())
    ws_.prompts().Message(summary, kAppTitle, PromptIcon::Information, PromptButtons::Ok);
  return true;
}

void RegisterPhaseDistanceDialogs(waveform& window, const SeismoSite& site) {
  auto depth = std::make_shared<double>(5.0);
  window.commands().Add(kCmdDistanceFromPhases, [&window, site, depth] {
    CZoomWindow* main = SelectedPane(window);
    if (!main) return;
    CDistanceFromPhasesDlg dialog(window.workstation(), main->pane().station, main->pane().channel,
                                  *depth, &window);
    if (dialog.exec() == QDialog::Accepted) site.Changed();
  });
  // The window's placements outlive the dialog: reopened, it still moves the
  // phases it placed before and leaves the analyst's alone.
  auto placer = std::make_shared<TheoreticalPlacer>();
  window.commands().Add(kCmdTheoreticalPhases, [&window, placer] {
    // Modeless: one dialog per window, brought forward when already open.
    auto* dialog = window.findChild<CTheoreticalPhasesDlg*>();
    if (!dialog) {
      dialog = new CTheoreticalPhasesDlg(window.workstation(), window, &window, placer);
      dialog->setAttribute(Qt::WA_DeleteOnClose);
    } else {
      dialog->LoadCurrent();
    }
    dialog->show();
    dialog->raise();
  });
}

}  // namespace nuv
