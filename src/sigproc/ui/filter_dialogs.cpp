#include "sigproc/ui/filter_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/number_field.h"
#include "platform/settings_store.h"
#include "platform/user_prompts.h"
#include "sigproc/decimal_text.h"
#include "sigproc/filter_page.h"
#include "sigproc/filter_presets.h"
#include "widgets/ui/number_field.h"

namespace nuv {

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

// A labelled edit in row `row` of the grid.
QLineEdit* Row(QWidget* owner, QGridLayout* grid, int row, const char* label, const char* text) {
  auto* edit = new QLineEdit(QString::fromUtf8(text), owner);
  grid->addWidget(new QLabel(U(label), owner), row, 0);
  grid->addWidget(edit, row, 1);
  return edit;
}

// The four type buttons in radio-index order.
QButtonGroup* TypeButtons(QWidget* owner, QGridLayout* grid, int row) {
  auto* group = new QButtonGroup(owner);
  const char* names[] = {"Полосовой", "Нижних частот", "Режекторный", "Верхних частот"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new QRadioButton(U(names[i]), owner);
    group->addButton(b, i);
    grid->addWidget(b, row + i / 2, i % 2);
  }
  return group;
}

}  // namespace

CFilterSheet::CFilterSheet(SettingsStore& store, UserPrompts& prompts, const ChannelFilter& filter,
                           double sampleRate, std::function<void(const ChannelFilter&)> apply,
                           QWidget* parent, bool inEffect)
    : QDialog(parent),
      store_(store),
      prompts_(prompts),
      sampleRate_(sampleRate),
      apply_(std::move(apply)) {
  setWindowTitle(U("Фильтр"));
  auto* tabs = new QTabWidget(this);
  auto* page = new QWidget(tabs);
  tabs->addTab(page, U("Выберите полосу пропускания  и тип фильтра"));
  auto* grid = new QGridLayout(page);
  low_ = Row(page, grid, 0, "низкая частота", "");
  high_ = Row(page, grid, 1, "высокая частота", "");
  order_ = Row(page, grid, 2, "Порядок", "");
  types_ = TypeButtons(page, grid, 3);
  zeroPhase_ = new QCheckBox(U("Фильтр с нулевой фазой"), page);
  grid->addWidget(zeroPhase_, 5, 0, 1, 2);
  auto* presetBox = new QGroupBox(U("Список фильтров"), page);
  auto* presetLayout = new QVBoxLayout(presetBox);
  presets_ = new QListWidget(presetBox);
  presetLayout->addWidget(presets_);
  auto* remember = new QPushButton(U("Запомнить"), presetBox);
  auto* remove = new QPushButton(U("Удалить"), presetBox);
  auto* choose = new QPushButton(U("Выбрать"), presetBox);
  for (QPushButton* b : {remember, remove, choose}) presetLayout->addWidget(b);
  grid->addWidget(presetBox, 0, 2, 6, 1);

  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(U("Отмена"));
  buttons->button(QDialogButtonBox::Apply)->setText(U("Применить"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  layout->addWidget(buttons);

  Show(filter);
  FillPresets(0);
  modified_ = !inEffect;
  auto markModified = [this] {
    modified_ = true;
    UpdateEnabling();
  };
  for (QLineEdit* e : {low_, high_, order_}) connect(e, &QLineEdit::textEdited, this, markModified);
  connect(types_, &QButtonGroup::idClicked, this, markModified);
  connect(zeroPhase_, &QCheckBox::clicked, this, markModified);
  connect(remember, &QPushButton::clicked, this, [this] {
    bool ok = false;
    const QString name = QInputDialog::getText(this, U("Введите имя фильтра"), QString(),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok) RememberAs(name.left(128).toStdString());
  });
  connect(remove, &QPushButton::clicked, this, &CFilterSheet::DeleteSelected);
  connect(choose, &QPushButton::clicked, this, &CFilterSheet::ChooseSelected);
  connect(presets_, &QListWidget::itemDoubleClicked, this, &CFilterSheet::ChooseSelected);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (!modified_ || Apply()) accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
    if (modified_) Apply();
  });
}

void CFilterSheet::Show(const ChannelFilter& filter) {
  low_->setText(QString::fromStdString(filter.lowText));
  high_->setText(QString::fromStdString(filter.highText));
  order_->setText(QString::number(filter.order));
  SetType(filter.type);
  zeroPhase_->setChecked(filter.zeroPhase != 0);
}

void CFilterSheet::SetType(int type) {
  // A type above 3 shows as band-pass.
  if (type < kBandPass || type > kHighPass) type = kBandPass;
  types_->button(type)->setChecked(true);
  UpdateEnabling();
}

int CFilterSheet::type() const {
  return std::max(0, types_->checkedId());
}

void CFilterSheet::UpdateEnabling() {
  low_->setEnabled(type() != kLowPass);
  high_->setEnabled(type() != kHighPass);
}

void CFilterSheet::FillPresets(int select) {
  presets_->clear();
  for (const std::string& name : ListFilterPresets(store_))
    presets_->addItem(QString::fromStdString(name));
  if (presets_->count() > 0) presets_->setCurrentRow(std::clamp(select, 0, presets_->count() - 1));
}

ChannelFilter CFilterSheet::PageContents() const {
  ChannelFilter f;
  f.lowText = NumberFieldText(low_->text().toStdString());
  f.highText = NumberFieldText(high_->text().toStdString());
  f.lowCut = static_cast<float>(ParseNumberField(f.lowText).value_or(0));
  f.highCut = static_cast<float>(ParseNumberField(f.highText).value_or(0));
  f.type = type();
  f.order = IntegerPrefix(order_->text().toStdString());
  f.zeroPhase = zeroPhase_->isChecked() ? 1 : 0;
  return f;
}

bool CFilterSheet::Apply() {
  ChannelFilter filter;
  const FilterPageCheck check = CheckFilterPage(
      low_->text().toStdString(), high_->text().toStdString(), order_->text().toStdString(), type(),
      zeroPhase_->isChecked(), sampleRate_, filter);
  if (!check.ok()) {
    QLineEdit* field = check.field == FilterPageCheck::kLow    ? low_
                       : check.field == FilterPageCheck::kHigh ? high_
                                                               : order_;
    if (check.message.empty())
      prompts_.Beep();
    else
      prompts_.ShowError(check.message);
    field->setFocus();
    field->selectAll();
    return false;
  }
  modified_ = false;
  if (apply_) apply_(filter);
  return true;
}

void CFilterSheet::RememberAs(const std::string& name) {
  if (name.empty()) {
    prompts_.Beep();
    return;
  }
  if (!WriteFilterPreset(store_, name, ChannelFilterToPreset(PageContents()))) {
    prompts_.Beep();
    return;
  }
  FillPresets(presets_->currentRow());
}

void CFilterSheet::ChooseSelected() {
  QListWidgetItem* item = presets_->currentItem();
  if (!item) return;
  const FilterPreset preset = ReadFilterPreset(store_, item->text().toStdString());
  ChannelFilter f = PresetToChannelFilter(preset);
  f.lowText = preset.low;
  f.highText = preset.high;
  Show(f);
  modified_ = true;
}

void CFilterSheet::DeleteSelected() {
  const int row = presets_->currentRow();
  if (row < 0) return;
  DeleteFilterPreset(store_, presets_->item(row)->text().toStdString());
  FillPresets(row);
}

CFilterWizard::CFilterWizard(QWidget* parent) : QDialog(parent) {
  setWindowTitle(U("Конструктор фильтра"));
  auto* grid = new QGridLayout(this);
  low_ = Row(this, grid, 0, "Нижняя граница", "0.");
  high_ = Row(this, grid, 1, "Верхняя граница", "1.");
  order_ = Row(this, grid, 2, "Порядок", "2");
  types_ = TypeButtons(this, grid, 3);
  types_->button(kBandPass)->setChecked(true);
  zeroPhase_ = new QCheckBox(U("Нулевая фаза"), this);
  grid->addWidget(zeroPhase_, 5, 0, 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(U("Отмена"));
  grid->addWidget(buttons, 6, 0, 1, 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::string CFilterWizard::Formula() const {
  return FilterWizardFormula(std::max(0, types_->checkedId()), NumberOf(low_).value_or(0),
                             NumberOf(high_).value_or(0),
                             IntegerPrefix(order_->text().toStdString()), zeroPhase_->isChecked());
}

}  // namespace nuv
