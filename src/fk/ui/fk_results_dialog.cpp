#include "fk/ui/fk_results_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "fk/fk_external.h"
#include "fk/ui/fk_pictures.h"
#include "platform/strformat.h"
#include "seismo/ui/dialog_kit.h"
#include "traveltime/travel_time.h"
#include "workstation/workstation.h"

namespace nuv {

using seismo_ui::AddField;
using seismo_ui::Button;
using seismo_ui::NumberOf;
using seismo_ui::Q;

namespace {

constexpr double kDistanceDepth = 33.0;

// The wait cursor for the length of a computation.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

FkGrid& FkSessionGrid() {
  static FkGrid grid;
  return grid;
}

CFKResultsDlg::CFKResultsDlg(Workstation& ws, FkDialogInput input, QWidget* parent)
    : QDialog(parent), ws_(ws), input_(std::move(input)) {
  setWindowTitle("F-K Анализ");
  auto* parameters = new QGroupBox("Параметры расчета", this);
  auto* parameterForm = new QFormLayout;
  minEdit = AddField(parameterForm, "Минимум Px и  Py (сек/км)", "1206");
  maxEdit = AddField(parameterForm, "Максимум Px и  Py (сек/км)", "1205");
  intervalsEdit = AddField(parameterForm, "Количество интервалов ", "1145");
  const FkGrid& grid = FkSessionGrid();
  minEdit->setText(Q(StrFormat("%g", grid.min)));
  maxEdit->setText(Q(StrFormat("%g", grid.max)));
  intervalsEdit->setText(QString::number(grid.intervals));
  QPushButton* compute = Button(this, "Рассчитать");
  QPushButton* external = Button(this, "Рассч. с пом. ВП");
  auto* computeRow = new QHBoxLayout;
  computeRow->addWidget(compute);
  computeRow->addWidget(external);
  auto* parameterBox = new QVBoxLayout(parameters);
  parameterBox->addLayout(parameterForm);
  parameterBox->addLayout(computeRow);

  auto* results = new QGroupBox("Результаты расчета", this);
  auto* resultForm = new QFormLayout(results);
  azimuthEdit = AddField(resultForm, "Азимут(град.)", "1146");
  slownessEdit = AddField(resultForm, "Медленность(сек./км.)", "1147");
  distanceEdit = AddField(resultForm, "Расстояние (град)", "1054");

  map = new FkPicture(picturesLock_, QSize(320, 320), this);
  map->setObjectName("1084");
  legend = new FkPicture(picturesLock_, QSize(90, 320), this);
  legend->setObjectName("1207");

  phaseCombo = new QComboBox(this);
  phaseCombo->setObjectName("110");
  for (int i = 0; i < ws_.phases().Count(); ++i) {
    const SEISMIC_PHASE* p = ws_.phases().GetAt(i);
    if (p->station == input_.mainStation && p->channel == input_.mainChannel)
      phaseCombo->addItem(Q(ws_.phaseTypes().Name(p->phaseType)), p->phaseType);
  }
  if (phaseCombo->count() > 0) phaseCombo->setCurrentIndex(0);

  QPushButton* beam = Button(this, "Построить луч");
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  buttons->addButton("Выйти", QDialogButtonBox::RejectRole);
  buttons->addButton(beam, QDialogButtonBox::ActionRole);

  auto* left = new QVBoxLayout;
  left->addWidget(parameters);
  left->addWidget(results);
  left->addWidget(new QLabel("Ассоциировать результаты расчета с фазой", this));
  left->addWidget(phaseCombo);
  left->addStretch();
  auto* pictures = new QHBoxLayout;
  pictures->addLayout(left);
  pictures->addWidget(map, 0, Qt::AlignTop);
  pictures->addWidget(legend, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pictures);
  layout->addWidget(buttons);

  connect(compute, &QPushButton::clicked, this, [this] { Compute(); });
  connect(external, &QPushButton::clicked, this, [this] { ComputeExternal(); });
  connect(beam, &QPushButton::clicked, this, [this] { BuildBeam(); });
  connect(buttons, &QDialogButtonBox::accepted, this, &CFKResultsDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  DrawPictures();
}

CFKResultsDlg::~CFKResultsDlg() = default;

bool CFKResultsDlg::TakeParameters() {
  FkGrid grid;
  const auto min = NumberOf(minEdit), max = NumberOf(maxEdit), n = NumberOf(intervalsEdit);
  QLineEdit* bad = nullptr;
  std::string message;
  if (!min || !max) {
    bad = !min ? minEdit : maxEdit;
    message = StrFormat("Введите число от %g до %g.", -FkGrid::kLimit, FkGrid::kLimit);
  } else if (!n || *n != std::trunc(*n)) {
    bad = intervalsEdit;
    message =
        StrFormat("Введите целое число от %d до %d.", FkGrid::kMinIntervals, FkGrid::kMaxIntervals);
  } else {
    grid.min = static_cast<float>(*min);
    grid.max = static_cast<float>(*max);
    grid.intervals = static_cast<int>(std::clamp(*n, -1.0, FkGrid::kMaxIntervals + 1.0));
    message = FkGridError(grid);
    if (!message.empty())
      bad = message.find("целое") != std::string::npos                     ? intervalsEdit
            : !(grid.min >= -FkGrid::kLimit && grid.min <= FkGrid::kLimit) ? minEdit
                                                                           : maxEdit;
  }
  if (bad) {
    ws_.prompts().Message(message, kAppTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    bad->setFocus();
    bad->selectAll();
    return false;
  }
  FkSessionGrid() = grid;
  return true;
}

bool CFKResultsDlg::Compute() {
  if (!TakeParameters()) return false;
  const WaitCursor wait;
  auto result = std::make_unique<FkSearchResult>();
  const std::string error = FkSearch(input_.panes, input_.reference.rate, FkSessionGrid(), *result);
  if (!error.empty()) {
    ws_.prompts().ShowError(error);
    return false;
  }
  result_ = std::move(result);
  DrawPictures();
  azimuthEdit->setText(Q(StrFormat("%.1f", result_->azimuth)));
  slownessEdit->setText(Q(StrFormat("%.4f", result_->slowness)));
  ShowDistance();
  return true;
}

bool CFKResultsDlg::ComputeExternal() {
  if (!TakeParameters()) return false;
  const WaitCursor wait;
  FkExternalResult answer;
  const std::string error =
      RunExternalFk(FkExternalSettings::Read(ws_.ini()), input_.panes, answer);
  if (!error.empty()) {
    ws_.prompts().ShowError(error);
    return false;
  }
  azimuthEdit->setText(Q(StrFormat("%.1f", answer.azimuth)));
  slownessEdit->setText(Q(StrFormat("%.4f", answer.slowness)));
  return true;
}

void CFKResultsDlg::ShowDistance() {
  if (phaseCombo->currentIndex() < 0) return;
  const int type = phaseCombo->currentData().toInt();
  const double distance =
      DistanceForSlowness(ws_.phaseTypes().Data(type), result_->slowness, kDistanceDepth);
  // A phase without a travel-time table has no distance for a slowness.
  distanceEdit->setText(distance < 0 ? QString() : Q(StrFormat("%.1f", distance)));
}

void CFKResultsDlg::DrawPictures() {
  const float max = result_ ? result_->max : FkSessionGrid().max;
  map->Redraw([this, max](QImage& image) { DrawFkPowerMap(image, result_.get(), max); });
  const double lowest = result_ ? result_->lowest : 0, highest = result_ ? result_->highest : 1;
  legend->Redraw([&](QImage& image) { DrawFkLegend(image, lowest, highest); });
}

bool CFKResultsDlg::BuildBeam() {
  const auto azimuth = NumberOf(azimuthEdit), slowness = NumberOf(slownessEdit);
  if (!azimuth || !slowness) {
    ws_.prompts().Beep();
    return false;
  }
  FkBeam beam;
  const std::string error = FormFkBeam(input_.panes, input_.reference, *azimuth, *slowness, beam);
  if (!error.empty()) {
    ws_.prompts().ShowError(error);
    return false;
  }
  if (input_.showBeam) input_.showBeam(beam);
  return true;
}

void CFKResultsDlg::accept() {
  if (phaseCombo->currentIndex() < 0) {
    ws_.prompts().Beep();
    phaseCombo->setFocus();
    return;
  }
  const int type = phaseCombo->currentData().toInt();
  if (!ws_.phases().Find(input_.mainStation, input_.mainChannel, type)) {
    ws_.prompts().Beep();
    ws_.prompts().Message(
        StrFormat("Отметка фазы '%s' отсутствует.\n Ассоциация не может быть выполнена.\n"
                  "Результат расчета не будет запомнен",
                  ws_.phaseTypes().Name(type).c_str()),
        kAppTitle, PromptIcon::Warning, PromptButtons::Ok);
    return;
  }
  const auto azimuth = NumberOf(azimuthEdit), slowness = NumberOf(slownessEdit);
  if (!azimuth || !slowness) {
    ws_.prompts().Beep();
    return;
  }
  ws_.phases().Modify(input_.mainStation, input_.mainChannel, type, [&](SEISMIC_PHASE& p) {
    p.azimuth = static_cast<float>(*azimuth);
    p.slowness = static_cast<float>(*slowness * kFkKmPerDegree);
    p.hasPolarization = 1;
    p.hasSlowness = 1;
  });
  QDialog::accept();
}

}  // namespace nuv
