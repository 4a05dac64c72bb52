#include "phases/ui/event_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <ctime>

#include "db/databases.h"
#include "phases/current_event.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

constexpr const char* kChooserSection = "SelectPhaseGroup";
constexpr const char* kChooserWidthKey = "NUV\\InitialIndexList";

std::string RightTrimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

QString Fixed3(const std::optional<double>& value) {
  return value ? QString::fromStdString(StrFormat("%.3f", *value)) : QString();
}

}  // namespace

QString ChooserTimeText(double epoch) {
  const CalendarTime c = EpochToCalendar(epoch);
  return QString::fromStdString(StrFormat("%02d/%02d/%04d %02d:%02d:%02.0f", c.day, c.month, c.year,
                                          c.hour, c.minute, c.second));
}

QString ChooserTimeText(const std::string& timestamp) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  double s = 0;
  if (std::sscanf(timestamp.c_str(), "%d-%d-%d %d:%d:%lf", &y, &mo, &d, &h, &mi, &s) < 3)
    return QString::fromStdString(timestamp);
  return QString::fromStdString(StrFormat("%02d/%02d/%04d %02d:%02d:%02.0f", d, mo, y, h, mi, s));
}

CEventChooser::CEventChooser(Workstation& ws, bool saveMode, QWidget* parent)
    : QDialog(parent), ws_(ws), saveMode_(saveMode) {
  setWindowTitle("Выберите индекс");
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 8, this);
  table_->setHorizontalHeaderLabels({"Индекс", "orid", "Комментарий", "Широта", "Долгота",
                                     "Время в очаге", "Глубина", "Дата последнего изменения"});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  if (auto widths = ws.store().GetBinary(kChooserWidthKey, "Columns Width");
      widths && widths->size() == 8 * 4)
    for (int c = 0; c < 8; ++c) {
      int32_t w = 0;
      std::copy_n(widths->data() + c * 4, 4, reinterpret_cast<uint8_t*>(&w));
      if (w > 0 && w < 2000) table_->setColumnWidth(c, w);
    }
  layout->addWidget(table_);
  auto* options = new QHBoxLayout;
  all_ = new QRadioButton("Загружать все", this);
  last_ = new QRadioButton("Загружать последние", this);
  max_ = new QSpinBox(this);
  max_->setRange(0, 1000);
  const bool selectAll = ws.ini().GetInt(kChooserSection, "SELECT ALL", 1) != 0;
  (selectAll ? all_ : last_)->setChecked(true);
  max_->setValue(std::clamp(ws.ini().GetInt(kChooserSection, "MaxEvents", 20), 0, 1000));
  options->addWidget(all_);
  options->addWidget(last_);
  options->addWidget(max_);
  auto* create = new QPushButton("Создать", this);
  auto* remove = new QPushButton("Удалить", this);
  options->addWidget(create);
  options->addWidget(remove);
  layout->addLayout(options);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &CEventChooser::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(create, &QPushButton::clicked, this, &CEventChooser::CreateEvent);
  connect(remove, &QPushButton::clicked, this, &CEventChooser::DeleteSelected);
  connect(all_, &QRadioButton::toggled, this, [this] { Reload(); });
  connect(max_, &QSpinBox::editingFinished, this, [this] { Reload(); });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });
  resize(900, 400);
  Reload();
}

CEventChooser::~CEventChooser() {
  SaveSettings();
}

void CEventChooser::SaveSettings() {
  ws_.ini().WriteString(kChooserSection, "SELECT ALL", all_->isChecked() ? "1" : "0");
  ws_.ini().WriteString(kChooserSection, "MaxEvents", std::to_string(max_->value()));
  std::vector<uint8_t> bytes(8 * 4);
  for (int c = 0; c < 8; ++c) {
    const int32_t w = table_->columnWidth(c);
    std::copy_n(reinterpret_cast<const uint8_t*>(&w), 4, bytes.data() + c * 4);
  }
  ws_.store().SetBinary(kChooserWidthKey, "Columns Width", bytes);
}

void CEventChooser::Reload() {
  EventContext context = EventContextOf(ws_);
  try {
    events_ = ListEvents(context, all_->isChecked() ? 0 : std::max(1, max_->value()));
  } catch (const odbc::Error& error) {
    events_.clear();
    ws_.prompts().ShowError(error.what());
  }
  const CurrentEvent& current = ws_.event();
  const std::string currentId = RightTrimmed(current.eventId);
  bool present = false;
  for (const StoredEvent& e : events_) present = present || RightTrimmed(e.eventId) == currentId;
  if (saveMode_ && !present && !currentId.empty()) {
    // The unsaved current event goes on top, so that OK saves it.
    StoredEvent row;
    row.eventId = current.eventId;
    row.comment = current.eventComment;
    if (current.orid >= 0) row.orid = current.orid;
    if (current.originValid) {
      row.lat = current.originLat, row.lon = current.originLon, row.depth = current.originDepth;
      row.originTime = current.originTime;
    }
    events_.insert(events_.begin(), row);
  }
  table_->setRowCount(static_cast<int>(events_.size()));
  for (int r = 0; r < static_cast<int>(events_.size()); ++r) {
    const StoredEvent& e = events_[static_cast<size_t>(r)];
    const QString cells[] = {QString::fromStdString(e.eventId),
                             e.orid ? QString::number(*e.orid) : QString(),
                             QString::fromStdString(e.comment),
                             Fixed3(e.lat),
                             Fixed3(e.lon),
                             e.originTime ? ChooserTimeText(*e.originTime) : QString(),
                             Fixed3(e.depth),
                             e.lddate.empty() ? QString() : ChooserTimeText(e.lddate)};
    for (int c = 0; c < 8; ++c) table_->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  SelectCurrent();
}

void CEventChooser::SelectCurrent() {
  const std::string currentId = RightTrimmed(ws_.event().eventId);
  for (int r = 0; r < static_cast<int>(events_.size()); ++r) {
    if (RightTrimmed(events_[static_cast<size_t>(r)].eventId) != currentId) continue;
    table_->selectRow(r);
    table_->scrollToItem(table_->item(r, 0));
    return;
  }
}

void CEventChooser::CreateEvent() {
  std::string id = NewEventId(static_cast<double>(std::time(nullptr))), comment;
  if (askNewRecord) {
    if (!askNewRecord(id, comment)) return;
    EventContext context = EventContextOf(ws_);
    if (NewEvent(context, id, comment, false) != NewEventResult::Created) return;
  } else {
    CNewEventDialog dialog(ws_, false, this);
    dialog.setWindowTitle("Создать новую запись");
    if (dialog.exec() != QDialog::Accepted) return;
    id = dialog.idEdit()->text().toStdString();
  }
  ws_.event().eventId = PadEventId(id);
  Reload();
}

void CEventChooser::DeleteSelected() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(events_.size())) return;
  const StoredEvent e = events_[static_cast<size_t>(row)];
  const std::string id = RightTrimmed(e.eventId);
  const std::string question = StrFormat(
      "Идентификатор '%s' будет удален без возможности восстановления вместе со своим списком "
      "фаз.\nНажмите кнопку 'Да' для подтверждения или 'Нет' для отказа от удаления",
      id.c_str());
  if (!ws_.prompts().AskYesNo(question, "Предупреждение", PromptIcon::Warning)) return;
  EventContext context = EventContextOf(ws_);
  if (!DeleteEvent(context, e.eventId, e.orid ? static_cast<int>(*e.orid) : -1)) return;
  events_.erase(events_.begin() + row);
  table_->removeRow(row);
}

void CEventChooser::accept() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(events_.size()) ||
      table_->selectionModel()->selectedRows().isEmpty())
    return;  // no row chosen: OK does nothing
  chosenId_ = events_[static_cast<size_t>(row)].eventId;
  chosenComment_ = events_[static_cast<size_t>(row)].comment;
  QDialog::accept();
}

CNewEventDialog::CNewEventDialog(Workstation& ws, bool startProcessing, QWidget* parent)
    : QDialog(parent), ws_(ws), startProcessing_(startProcessing) {
  setWindowTitle("Начать обработку нового землетрясения");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  id_ = new QLineEdit(QString::fromStdString(NewEventId(static_cast<double>(std::time(nullptr)))),
                      this);
  id_->setMaxLength(32);
  comment_ = new QLineEdit(this);
  comment_->setMaxLength(128);
  form->addRow("Идентификатор", id_);
  form->addRow("Комментарий", comment_);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  reb_ = buttons->addButton("Загрузить REB", QDialogButtonBox::ActionRole);
  reb_->setVisible(false);
  connect(reb_, &QPushButton::clicked, this, [this] {
    reject();
    if (loadReb_) loadReb_();
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &CNewEventDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void CNewEventDialog::SetLoadReb(std::function<void()> loadReb) {
  loadReb_ = std::move(loadReb);
  reb_->setVisible(static_cast<bool>(loadReb_));
}

void CNewEventDialog::accept() {
  const std::string id = RightTrimmed(id_->text().trimmed().toStdString());
  if (id.empty()) return;
  EventContext context = EventContextOf(ws_);
  if (NewEvent(context, id, comment_->text().toStdString(), startProcessing_) !=
      NewEventResult::Created)
    return;  // taken or failed: the message was shown, the dialog stays
  QDialog::accept();
}

}  // namespace nuv
