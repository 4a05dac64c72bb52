#include "sigproc/ui/detector_sheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "widgets/ui/number_field.h"

namespace nuv {

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

QDoubleSpinBox* Field(QWidget* parent, double lo, double hi) {
  auto* box = new DecimalSpinBox(parent);
  box->setDecimals(2);
  box->setRange(lo, hi);
  return box;
}

}  // namespace

CDetectorSheet::CDetectorSheet(const DetectorParams& nuv, const DetectorParams& vendrel,
                               QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(U("Параметры детектора"));
  tabs_ = new QTabWidget(this);
  const char* titles[] = {"LTA/STA детектор", "Вендрел+ LTA/STA детектор"};
  for (int i = 0; i < 2; ++i) {
    auto* page = new QWidget(tabs_);
    auto* form = new QFormLayout(page);
    Page& p = pages_[static_cast<size_t>(i)];
    p.lta = Field(page, 1, 999);
    p.sta = Field(page, 0.1, 999);
    p.k = Field(page, 1, 1000);
    p.filter = new QCheckBox(U("Использовать фильтр"), page);
    p.filter->setEnabled(i == 0);
    form->addRow(U("LTA (сек)"), p.lta);
    form->addRow(U("STA (сек)"), p.sta);
    form->addRow(U("Порог срабатывания (STA/LTA)"), p.k);
    form->addRow(p.filter);
    auto* clear = new QPushButton(U("Очистить список срабатываний"), page);
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, this, [this] {
      clear_ = true;
      accept();
    });
    form->addRow(clear);
    tabs_->addTab(page, U(titles[i]));
  }
  Fill(0, nuv);
  Fill(1, vendrel);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(U("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
}

void CDetectorSheet::Fill(int page, const DetectorParams& params) {
  Page& p = pages_[static_cast<size_t>(page)];
  p.lta->setValue(params.lta);
  p.sta->setValue(params.sta);
  p.k->setValue(params.k);
  p.filter->setChecked(page == 0 && params.useFilter != 0);
}

DetectorChoice CDetectorSheet::Choice() const {
  DetectorChoice choice;
  choice.action = clear_ ? DetectorChoice::kClear : DetectorChoice::kRun;
  choice.page = tabs_->currentIndex() == 1 ? 1 : 0;
  const Page& p = pages_[static_cast<size_t>(choice.page)];
  choice.params.lta = p.lta->value();
  choice.params.sta = p.sta->value();
  choice.params.k = p.k->value();
  choice.params.useFilter = p.filter->isChecked() ? 1 : 0;
  return choice;
}

}  // namespace nuv
