#include "app/ui/nuv_toolbar.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <sstream>

#include "app/ui/menu_layout.h"
#include "widgets/ui/command_ids.h"

namespace nuv {
namespace {

struct BarResource {
  const char* name;
  int resourceId;
  std::vector<int> buttons;
  const char* title;  // shown in the frame's toolbar menu
};

const std::vector<BarResource>& Resources() {
  static const std::vector<BarResource> bars = {
      {"WAVEFORMS",
       128,
       {32701, 33202, 33212, 33216, 0,     606,   33080, 32772, 33057, 0,     33017, 33018,
        33021, 33022, 33015, 33016, 33019, 33020, 33056, 33023, 33169, 0,     33207, 33208,
        33205, 33206, 0,     32712, 33135, 0,     33209, 32704, 33145, 32733, 0,     32735},
       "Волновые формы"},
      {"MAP",
       130,
       {116, 117, 0, 118, 119, 120, 121, 0, 104, 0, 33044, 33043, 33041, 33053, 0, 32723},
       "Карта"},
      {"PHASELIST",
       160,
       {32732, 32731, 0, 32719, 32729, 32715, 0, 33106, 32783, 0, 33195, 33185, 32723},
       "Список фаз"},
      {"DSP",
       203,
       {33086, 33085, 33084, 0, 33092, 33091, 33097, 33098, 0,     33087,
        33088, 33089, 33090, 0, 33099, 0,     33082, 33083, 33103, 33147},
       "ПОС"},
  };
  return bars;
}

// Texts of commands that only toolbars and pane menus carry.
const std::map<int, const char*>& ToolbarOnlyTexts() {
  static const std::map<int, const char*> texts = {
      {33017, "Сдвинуть график влево..."},
      {33018, "Сдвинуть график вправо"},
      {33021, "Растянуть по горизонтали"},
      {33022, "Сжать по горизонтали"},
      {33015, "Растянуть по вертикали"},
      {33016, "Сжать по вертикали"},
      {33019, "Сдвинуть график вверх..."},
      {33020, "Сдвинуть график вниз..."},
      {33056, "Отцентрировать график волновых форм"},
      {33169, "Привести исходный и преобразованный сигнал к одному масштабу"},
      {33207, "Сделать активными все окна"},
      {33208, "Деактивизировать все окна"},
      {33205, "Выбрать преобразованный сигнал"},
      {33206, "Выбрать исходный сигнал"},
      {33209, "Сортировать..."},
      {32733, "Расчет периода(с) и амплитуды(мкм.) "},
      {33086, "Масштаб"},
      {33085, "Увеличить график"},
      {33084, "Уменьшить график"},
      {33092, "Растянуть по вертикали"},
      {33091, "Сжать по вертикали"},
      {33097, "Растянуть по горизонтали"},
      {33098, "Сжать по горизонтали"},
      {33087, "Сдвинуть график вниз"},
      {33088, "Сдвинуть график вверх"},
      {33089, "Сдвинуть график влево"},
      {33090, "Сдвинуть график вправо"},
      {33099, "Логарифмический масштаб"},
      {33103, "Следующее окно"},
      {33147, "Конструктор формул"},
      {32705, "Волновые формы"},
      {32708, "Список фаз"},
      {33105, "Процессор обработки сигналов"},
      {32707, "Карта"},
      {57650, "Каскад"},
      {57651, "Мозаика горизонтальная"},
      {57652, "Мозаика вертикальная"},
  };
  return texts;
}

}  // namespace

std::vector<int> ToolbarResourceButtons(const std::string& name) {
  for (const BarResource& bar : Resources())
    if (name == bar.name) return bar.buttons;
  return {};
}

int ToolbarResourceId(const std::string& name) {
  for (const BarResource& bar : Resources())
    if (name == bar.name) return bar.resourceId;
  return 0;
}

QString ToolbarTitle(const std::string& name) {
  for (const BarResource& bar : Resources())
    if (name == bar.name) return QString::fromUtf8(bar.title);
  return QString::fromStdString(name);
}

std::string ToolbarCommandText(int id) {
  if (auto it = ToolbarOnlyTexts().find(id); it != ToolbarOnlyTexts().end()) return it->second;
  return MenuCommandText(id);
}

CNUVToolbar::CNUVToolbar(const QString& name, std::vector<int> buttons, ActionFactory actionFor,
                         QWidget* parent)
    : QToolBar(name, parent),
      name_(name.toStdString()),
      loaded_(std::move(buttons)),
      current_(loaded_),
      actionFor_(std::move(actionFor)) {
  setObjectName(name);
  setWindowTitle(ToolbarTitle(name_));
  setIconSize(QSize(24, 24));
  Rebuild();
}

void CNUVToolbar::SetButtons(const std::vector<int>& ids) {
  std::vector<int> kept;
  for (int id : ids) {
    const bool loaded =
        id == kToolbarSeparator || std::find(loaded_.begin(), loaded_.end(), id) != loaded_.end();
    const bool repeated =
        id != kToolbarSeparator && std::find(kept.begin(), kept.end(), id) != kept.end();
    if (loaded && !repeated) kept.push_back(id);
  }
  current_ = std::move(kept);
  Rebuild();
  emit changed();
}

void CNUVToolbar::SetTrailingWidget(QWidget* widget) {
  trailing_ = widget;
  Rebuild();
}

void CNUVToolbar::SetDropDown(int id, std::function<void(int, QMenu&)> fill) {
  dropDowns_[id] = std::move(fill);
  Rebuild();
}

void CNUVToolbar::Rebuild() {
  clear();  // removes the actions; the trailing widget's action is recreated below
  for (QMenu* menu : menus_) menu->deleteLater();
  menus_.clear();
  for (int id : current_) {
    if (id == kToolbarSeparator) {
      addSeparator();
      continue;
    }
    QAction* action = actionFor_(id);
    addAction(action);
    if (auto drop = dropDowns_.find(id); drop != dropDowns_.end()) {
      if (auto* button = qobject_cast<QToolButton*>(widgetForAction(action))) {
        auto* menu = new QMenu(this);
        auto fill = drop->second;
        connect(menu, &QMenu::aboutToShow, menu, [menu, fill, id] {
          menu->clear();
          fill(id, *menu);
        });
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
        menus_.push_back(menu);
      }
    }
  }
  if (trailing_) {
    addWidget(trailing_);
    trailing_->show();
  }
  adjustSize();
}

std::string CNUVToolbar::SaveState() const {
  std::string text = "BUTTONS=";
  for (size_t i = 0; i < current_.size(); ++i) {
    if (i) text += ',';
    text += std::to_string(current_[i]);
  }
  text += ";VISIBLE=";
  text += isVisibleTo(parentWidget()) || (!parentWidget() && isVisible()) ? "1" : "0";
  return text;
}

bool CNUVToolbar::RestoreState(const std::string& state) {
  std::optional<std::vector<int>> buttons;
  std::optional<bool> visible;
  std::stringstream fields(state);
  std::string field;
  while (std::getline(fields, field, ';')) {
    const size_t eq = field.find('=');
    if (eq == std::string::npos) return false;
    const std::string key = field.substr(0, eq);
    const std::string value = field.substr(eq + 1);
    if (key == "BUTTONS") {
      std::vector<int> ids;
      std::stringstream list(value);
      std::string item;
      while (std::getline(list, item, ',')) {
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos) return false;
        ids.push_back(std::stoi(item));
      }
      buttons = std::move(ids);
    } else if (key == "VISIBLE") {
      if (value != "0" && value != "1") return false;
      visible = value == "1";
    }
  }
  if (!buttons) return false;
  SetButtons(*buttons);
  if (visible) setVisible(*visible);
  return true;
}

CToolbarCustomizeDialog::CToolbarCustomizeDialog(CNUVToolbar& bar, std::string startState,
                                                 QWidget* parent)
    : QDialog(parent), bar_(bar), startState_(std::move(startState)) {
  setWindowTitle("Настройка панели инструментов");
  available_ = new QListWidget(this);
  current_ = new QListWidget(this);
  auto* availableLabel = new QLabel("&Имеющиеся кнопки:", this);
  availableLabel->setBuddy(available_);
  auto* currentLabel = new QLabel("&Кнопки панели инструментов:", this);
  currentLabel->setBuddy(current_);

  auto* add = new QPushButton("&Добавить ->", this);
  auto* remove = new QPushButton("<- &Удалить", this);
  auto* up = new QPushButton("&Вверх", this);
  auto* down = new QPushButton("Вн&из", this);
  auto* reset = new QPushButton("&Сброс", this);
  auto* close = new QPushButton("&Закрыть", this);
  connect(add, &QPushButton::clicked, this, &CToolbarCustomizeDialog::AddSelected);
  connect(remove, &QPushButton::clicked, this, &CToolbarCustomizeDialog::RemoveSelected);
  connect(up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
  connect(down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
  connect(reset, &QPushButton::clicked, this, &CToolbarCustomizeDialog::Reset);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  // Enter closes the dialog; the lists add and remove by double click.
  for (QPushButton* button : {add, remove, up, down, reset}) button->setAutoDefault(false);
  close->setDefault(true);
  connect(available_, &QListWidget::itemDoubleClicked, this, &CToolbarCustomizeDialog::AddSelected);
  connect(current_, &QListWidget::itemDoubleClicked, this,
          &CToolbarCustomizeDialog::RemoveSelected);

  auto* middle = new QVBoxLayout;
  middle->addStretch();
  middle->addWidget(add);
  middle->addWidget(remove);
  middle->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(close);
  right->addWidget(reset);
  right->addSpacing(12);
  right->addWidget(up);
  right->addWidget(down);
  right->addStretch();

  auto* grid = new QGridLayout(this);
  grid->addWidget(availableLabel, 0, 0);
  grid->addWidget(currentLabel, 0, 2);
  grid->addWidget(available_, 1, 0);
  grid->addLayout(middle, 1, 1);
  grid->addWidget(current_, 1, 2);
  grid->addLayout(right, 1, 3);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
  setTabOrder(available_, add);
  setTabOrder(add, remove);
  setTabOrder(remove, current_);
  setTabOrder(current_, close);
  setTabOrder(close, reset);
  setTabOrder(reset, up);
  setTabOrder(up, down);
  resize(560, 360);
  Fill();
}

void CToolbarCustomizeDialog::Fill() {
  auto item = [](int id) {
    auto* entry = new QListWidgetItem(id == kToolbarSeparator
                                          ? QString("Разделитель")
                                          : QString::fromStdString(ToolbarCommandText(id)));
    if (id != kToolbarSeparator) entry->setIcon(CommandIcon(id));
    entry->setData(Qt::UserRole, id);
    return entry;
  };
  available_->clear();
  current_->clear();
  available_->addItem(item(kToolbarSeparator));
  const auto& shown = bar_.currentButtons();
  for (int id : bar_.loadedButtons())
    if (id != kToolbarSeparator && std::find(shown.begin(), shown.end(), id) == shown.end())
      available_->addItem(item(id));
  for (int id : shown) current_->addItem(item(id));
}

void CToolbarCustomizeDialog::Apply() {
  std::vector<int> ids;
  for (int i = 0; i < current_->count(); ++i)
    ids.push_back(current_->item(i)->data(Qt::UserRole).toInt());
  bar_.SetButtons(ids);
}

void CToolbarCustomizeDialog::AddSelected() {
  QListWidgetItem* item = available_->currentItem();
  if (!item) return;
  const int id = item->data(Qt::UserRole).toInt();
  std::vector<int> ids(bar_.currentButtons());
  const int row = current_->currentRow();
  // Inserted before the selected button of the bar, or at its end.
  ids.insert(row >= 0 ? ids.begin() + row : ids.end(), id);
  bar_.SetButtons(ids);
  Fill();
  current_->setCurrentRow(row >= 0 ? row : current_->count() - 1);
}

void CToolbarCustomizeDialog::RemoveSelected() {
  const int row = current_->currentRow();
  if (row < 0) return;
  std::vector<int> ids(bar_.currentButtons());
  ids.erase(ids.begin() + row);
  bar_.SetButtons(ids);
  Fill();
  current_->setCurrentRow(std::min(row, current_->count() - 1));
}

void CToolbarCustomizeDialog::MoveSelected(int delta) {
  const int row = current_->currentRow();
  const int target = row + delta;
  if (row < 0 || target < 0 || target >= current_->count()) return;
  std::vector<int> ids(bar_.currentButtons());
  std::swap(ids[row], ids[target]);
  bar_.SetButtons(ids);
  Fill();
  current_->setCurrentRow(target);
}

void CToolbarCustomizeDialog::Reset() {
  bar_.RestoreState(startState_);
  Fill();
}

}  // namespace nuv
