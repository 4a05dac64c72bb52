#include "catalogue/ui/event_list_windows.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/odbc.h"
#include "platform/strformat.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}

QTableWidget* NewList(QWidget* parent, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setObjectName("list");
  table->setHorizontalHeaderLabels(headers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
  table->setWordWrap(false);
  return table;
}

// Date columns wide enough for "dd/mm/yyyy HH:MM:SS" on one line.
void WidenDateColumns(QTableWidget* table) {
  for (int c = 0; c < table->columnCount(); ++c) {
    const QString header = table->horizontalHeaderItem(c)->text();
    if (header.startsWith("Время") || header.startsWith("Дата"))
      table->setColumnWidth(c, std::max(140, table->columnWidth(c)));
  }
}

// One row of the table per row read, `cells` giving a row's texts in column
// order.
template <typename Row, typename Cells>
void FillRows(QTableWidget* table, const std::vector<Row>& rows, Cells cells) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::vector<const std::string*> texts = cells(rows[i]);
    for (size_t c = 0; c < texts.size(); ++c)
      table->setItem(static_cast<int>(i), static_cast<int>(c), new QTableWidgetItem(Q(*texts[c])));
  }
}

// The count field's number when it is 1..1000.
std::optional<int> EnteredCount(const QLineEdit* edit) {
  bool ok = false;
  const int count = edit->text().trimmed().toInt(&ok);
  if (!ok || count < 1 || count > 1000) return std::nullopt;
  return count;
}

int SelectedRow(const QTableWidget* table) {
  const auto ranges = table->selectedRanges();
  return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

}  // namespace

CShowOrigins::CShowOrigins(Workstation& ws, std::function<bool(const std::string&)> load,
                           std::function<double()> now, QWidget* parent)
    : QDialog(parent), ws_(ws), load_(std::move(load)), now_(std::move(now)) {
  setWindowTitle("Список обработанных событий");
  setModal(false);
  table_ = NewList(this, {"Индекс", "orid", "Комментарий", "Широта", "Долгота", "Время в очаге",
                          "Глубина", "Дата последнего изменения"});
  // Every title readable; at least 70 pixels for the numbers.
  for (int c = 0; c < table_->columnCount(); ++c)
    table_->setColumnWidth(c, std::max(70, table_->horizontalHeader()->sectionSizeHint(c)));
  WidenDateColumns(table_);
  auto* bar = new QMenuBar(this);
  QMenu* menu = bar->addMenu("Меню");
  QAction* day = menu->addAction("Загрузить список событий за последние сутки");
  day->setData(33192);
  QAction* week = menu->addAction("Загрузить список событий за последнюю неделю");
  week->setData(33193);
  connect(day, &QAction::triggered, this, &CShowOrigins::FillLastDay);
  connect(week, &QAction::triggered, this, &CShowOrigins::FillLastWeek);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
  ok->setObjectName("ok");
  connect(ok, &QPushButton::clicked, this, [this] {
    const int row = SelectedRow(table_);
    if (row < 0)
      ws_.prompts().Beep();
    else
      LoadRow(row);
  });
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { LoadRow(row); });
  auto* layout = new QVBoxLayout(this);
  layout->setMenuBar(bar);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_);
  layout->addWidget(buttons);
  resize(840, 300);
}

void CShowOrigins::ShowOriginsFill(double from, double to) {
  table_->setRowCount(0);
  rows_.clear();
  try {
    rows_ = ReadProcessedEvents(ws_, from, to);
  } catch (const odbc::Error& e) {
    ws_.prompts().ShowError(e.what());
  }
  FillRows(table_, rows_, [](const ProcessedEventRow& r) {
    return std::vector<const std::string*>{&r.eventId, &r.orid,       &r.comment, &r.lat,
                                           &r.lon,     &r.originTime, &r.depth,   &r.lddate};
  });
  const int current = RowOfEvent(rows_, ws_.event().eventId);
  if (current >= 0) {
    table_->selectRow(current);
    table_->setCurrentCell(current, 0);
    table_->scrollToItem(table_->item(current, 0));
  }
}

void CShowOrigins::FollowWindow(double start, double length) {
  if (isVisible()) ShowOriginsFill(start, start + length);
}

void CShowOrigins::FillLastDay() {
  const TimeRange r = LastDayRange(now_());
  ShowOriginsFill(r.from, r.to);
}

void CShowOrigins::FillLastWeek() {
  const TimeRange r = LastWeekRange(now_());
  ShowOriginsFill(r.from, r.to);
}

void CShowOrigins::LoadRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  const ProcessedEventRow& r = rows_[static_cast<size_t>(row)];
  if (!ws_.prompts().AskYesNo(StrFormat("Загрузить список фаз '%s' ?", r.eventId.c_str()),
                              kAppTitle))
    return;
  // The identity changes only with the event: a failed load keeps both.
  const std::string comment = r.comment;
  if (load_ && load_(r.eventId)) {
    ws_.event().eventId = PadEventId(r.eventId);
    ws_.event().eventComment = comment;
  }
}

void CShowOrigins::ShowWindow() {
  show();
  raise();
  Remember(true);
}

void CShowOrigins::Remember(bool shown) {
  ws_.config().showOrigins = shown;
  ws_.ini().WriteString("SHOWORIGINS", "SHOWWINDOW", shown ? "1" : "0");
}

void CShowOrigins::closeEvent(QCloseEvent* event) {
  Remember(false);
  QDialog::closeEvent(event);
}

void CShowOrigins::done(int result) {
  // Escape and the close button hide the window; it lives with the frame.
  Remember(false);
  hide();
  setResult(result);
}

COriginChooser::COriginChooser(Workstation& ws, Source source, QWidget* parent)
    : QDialog(parent), ws_(ws), source_(source) {
  const bool css = source == Source::Css;
  setWindowTitle(css ? "Выберите индекс землетрясения из вторичной БД"
                     : "Выберите событие для загрузки");
  table_ = css ? NewList(this, {"ORID", "Комментарий", "Широта", "Долгота", "Время в очаге",
                                "Глубина", "Дата последнего изменения"})
               : NewList(this, {"ORID", "# фаз", "Широта", "Долгота", "Время в очаге", "Глубина",
                                "mb", "Дата последнего изменения"});
  all_ = new QRadioButton("Загружать все", this);
  all_->setObjectName("all");
  last_ = new QRadioButton("Загружать последние", this);
  last_->setObjectName("last");
  auto* group = new QButtonGroup(this);
  group->addButton(all_);
  group->addButton(last_);
  count_ = new QLineEdit(this);
  count_->setObjectName("count");
  count_->setValidator(new QIntValidator(1, 1000, count_));
  count_->setMaximumWidth(60);
  const OriginChoice choice = ReadOriginChoice(ws_.ini());
  (choice.loadAll ? all_ : last_)->setChecked(true);
  count_->setText(QString::number(choice.maxEvents));
  count_->setEnabled(!choice.loadAll);
  auto* top = new QHBoxLayout;
  top->addWidget(all_);
  top->addWidget(last_);
  top->addWidget(count_);
  top->addStretch();
  connect(group, &QButtonGroup::buttonClicked, this, [this] {
    count_->setEnabled(last_->isChecked());
    Refill();
  });
  connect(count_, &QLineEdit::editingFinished, this, &COriginChooser::Refill);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    table_->selectRow(row);
    accept();
  });
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setObjectName("ok");
  buttons->addButton("Отмена", QDialogButtonBox::RejectRole)->setObjectName("cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &COriginChooser::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &COriginChooser::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(table_);
  layout->addWidget(buttons);
  resize(760, 380);
  WidenDateColumns(table_);
  RestoreWidths();
  Refill();
}

std::optional<OriginChoice> COriginChooser::Choice() const {
  OriginChoice choice;
  choice.loadAll = all_->isChecked();
  const std::optional<int> count = EnteredCount(count_);
  if (!count && !choice.loadAll) return std::nullopt;
  if (count) choice.maxEvents = *count;
  return choice;
}

void COriginChooser::Refill() {
  table_->setRowCount(0);
  const std::optional<OriginChoice> choice = Choice();
  if (!choice) return;
  if (source_ == Source::Css) {
    std::vector<CssOriginRow> rows;
    try {
      rows = ReadCssOrigins(ws_, *choice);
    } catch (const odbc::Error& e) {
      ws_.prompts().ShowError(e.what());
    }
    FillRows(table_, rows, [](const CssOriginRow& r) {
      return std::vector<const std::string*>{&r.orid, &r.comment, &r.lat,   &r.lon,
                                             &r.time, &r.depth,   &r.lddate};
    });
    return;
  }
  std::vector<AlertOriginRow> rows;
  try {
    rows = ReadAlertOrigins(ws_, *choice);
  } catch (const odbc::Error&) {
    // A failing statement leaves the list empty.
  }
  FillRows(table_, rows, [](const AlertOriginRow& r) {
    return std::vector<const std::string*>{&r.orid, &r.nass,  &r.lat, &r.lon,
                                           &r.time, &r.depth, &r.mb,  &r.lddate};
  });
}

void COriginChooser::SaveChoice() {
  OriginChoice choice;
  choice.loadAll = all_->isChecked();
  if (const std::optional<int> count = EnteredCount(count_)) choice.maxEvents = *count;
  WriteOriginChoice(ws_.ini(), choice);
}

void COriginChooser::RestoreWidths() {
  const QStringList widths =
      Q(ws_.ini().GetString("Columns Width", "InitialIndexList1", "", 1024)).split(',');
  int column = 0;
  for (const QString& w : widths) {
    if (column >= table_->columnCount()) break;
    bool ok = false;
    const int width = w.trimmed().toInt(&ok);
    if (ok && width > 0) table_->setColumnWidth(column, width);
    ++column;
  }
}

void COriginChooser::SaveWidths() {
  QStringList widths;
  for (int c = 0; c < table_->columnCount(); ++c) widths << QString::number(table_->columnWidth(c));
  ws_.ini().WriteString("Columns Width", "InitialIndexList1", widths.join(',').toStdString());
}

void COriginChooser::accept() {
  const int row = SelectedRow(table_);
  if (row < 0) return;  // OK without a selection does nothing
  orid_ = table_->item(row, 0) ? table_->item(row, 0)->text().toStdString() : "";
  if (orid_.empty()) {
    ws_.prompts().Beep();
    return;
  }
  comment_ = source_ == Source::Css && table_->item(row, 1)
                 ? table_->item(row, 1)->text().toUtf8().toStdString()
                 : "";
  SaveWidths();
  SaveChoice();
  QDialog::accept();
}

void COriginChooser::reject() {
  SaveChoice();
  QDialog::reject();
}

}  // namespace nuv
