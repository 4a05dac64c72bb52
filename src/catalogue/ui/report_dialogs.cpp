#include "catalogue/ui/report_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "bulletins/ui/bulletin_dialogs.h"
#include "catalogue/event_report.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "widgets/ui/utc_time_edit.h"
#include "workstation/workstation.h"

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}

QDateTimeEdit* TimeField(QWidget* parent, const char* name, double t) {
  QDateTimeEdit* edit = NewUtcTimeEdit(parent);
  edit->setObjectName(name);
  edit->setDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(t), Qt::UTC));
  return edit;
}

QPushButton* Button(QWidget* parent, const char* text, const char* name) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(name);
  return button;
}

// A unique "nuv*.html" in the temporary directory, left there afterwards.
std::string NewReportFile() {
  QTemporaryFile file(QDir::tempPath() + "/nuvXXXXXX.html");
  file.setAutoRemove(false);
  if (!file.open()) return "";
  return file.fileName().toStdString();
}

}  // namespace

CEventReport::CEventReport(Workstation& ws, double now, QWidget* parent)
    : QDialog(parent), ws_(ws) {
  setWindowTitle("Отчет");
  from_ = TimeField(this, "from", StartOfMonth(now));
  to_ = TimeField(this, "to", now);
  phases_ = new QCheckBox("Выводить списки фаз", this);
  phases_->setObjectName("phases");
  ascending_ = new QCheckBox("Сортировать по возрастанию", this);
  ascending_->setObjectName("ascending");
  font_ = new QComboBox(this);
  font_->setObjectName("font");
  font_->addItems({"самый мелкий", "мелкий", "средний", "крупный", "самый крупный"});
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("browser");
  QPushButton* show = Button(this, "Показать", "show");
  QPushButton* print = Button(this, "Распечатать", "print");
  QPushButton* pdf = Button(this, "Сохранить в PDF", "pdf");
  QPushButton* copy = Button(this, "Копировать", "copy");
  QPushButton* close = Button(this, "Выйти", "close");
  connect(show, &QPushButton::clicked, this, [this] { Show(); });
  connect(print, &QPushButton::clicked, this, &CEventReport::Print);
  connect(pdf, &QPushButton::clicked, this, [this] {
    const auto path = ws_.prompts().ChooseSaveFile(
        "Сохранить отчет в PDF", "Документ PDF (*.pdf)|*.pdf||", ws_.config().outDir);
    if (path) SaveAsPdf(*path);
  });
  // The report is text already selectable in the browser; copying it there
  // is what the analyst uses.
  connect(copy, &QPushButton::clicked, browser_, [this] {
    browser_->selectAll();
    browser_->copy();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(font_, &QComboBox::currentIndexChanged, this, &CEventReport::SetZoom);
  auto* fields = new QHBoxLayout;
  fields->addWidget(new QLabel("с", this));
  fields->addWidget(from_);
  fields->addWidget(new QLabel("по", this));
  fields->addWidget(to_);
  fields->addWidget(phases_);
  fields->addWidget(ascending_);
  fields->addWidget(new QLabel("Шрифт", this));
  fields->addWidget(font_);
  fields->addStretch();
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {show, print, pdf, copy, close}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  layout->addWidget(browser_, 1);
  resize(1000, 600);
}

bool CEventReport::Show() {
  const QDateTime from = from_->dateTime(), to = to_->dateTime();
  if (!from.isValid() || !to.isValid() || from > to) {
    ws_.prompts().Message("Введено ошибочное время", kAppTitle, PromptIcon::Error,
                          PromptButtons::Ok);
    from_->setFocus();
    return false;
  }
  ReportOptions options;
  options.from = static_cast<double>(from.toSecsSinceEpoch());
  options.to = static_cast<double>(to.toSecsSinceEpoch());
  options.fromText = from_->text().toStdString();
  options.toText = to_->text().toStdString();
  options.withPhases = phases_->isChecked();
  options.ascending = ascending_->isChecked();
  std::vector<ReportRecord> records;
  try {
    records = ReadReportRecords(ws_, options);
  } catch (const odbc::Error& e) {
    ws_.prompts().ShowError(e.what());
    return false;
  }
  const std::string html = FormatEventReport(records, options);
  // The file is the report's copy on disk; without it the browser still
  // shows the report.
  file_ = NewReportFile();
  if (!file_.empty() && !WriteEventReport(file_, html)) file_.clear();
  browser_->setHtml(Q(html));
  SetZoom(font_->currentIndex());
  return true;
}

void CEventReport::SetZoom(int choice) {
  if (choice < 0 || choice > 4) return;
  browser_->zoomIn((choice - zoom_) * 2);
  zoom_ = choice;
}

void CEventReport::Print() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle("Печать отчета");
  if (dialog.exec() != QDialog::Accepted) return;
  browser_->document()->print(&printer);
}

bool CEventReport::SaveAsPdf(const std::string& path) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(Q(path));
  browser_->document()->print(&printer);
  // QPrinter reports nothing when the file cannot be written; look at it.
  QFile written(Q(path));
  if (!written.exists() || written.size() == 0) {
    ws_.prompts().Message(StrFormat("Ошибка открытия файла  '%s'", path.c_str()), kAppTitle,
                          PromptIcon::Error, PromptButtons::Ok);
    return false;
  }
  return true;
}

CGetArrivalsDlg::CGetArrivalsDlg(Workstation& ws, Source source, double now,
                                 std::function<void()> refresh, QWidget* parent)
    : QDialog(parent), ws_(ws), source_(source), refresh_(std::move(refresh)) {
  setWindowTitle("Get Arrivals");
  const ImportWindow window = DefaultImportWindow(ws_, now);
  from_ = TimeField(this, "from", window.from);
  to_ = TimeField(this, "to", window.to);
  table_ = new QTableWidget(0, 4, this);
  table_->setObjectName("list");
  table_->setHorizontalHeaderLabels({"Станция", "Фаза", "Время", "Невязка"});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, &CGetArrivalsDlg::SortBy);
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != 0) return;
    rows_[static_cast<size_t>(item->row())].checked = item->checkState() == Qt::Checked;
  });
  QPushButton* load = Button(this, "Загрузить список фаз", "load");
  QPushButton* add = Button(this, "Добавить фазы", "add");
  QPushButton* close = Button(this, "Закрыть", "close");
  connect(load, &QPushButton::clicked, this, &CGetArrivalsDlg::Reload);
  connect(add, &QPushButton::clicked, this, [this] { AddPhases(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  auto* form = new QFormLayout;
  form->addRow("Время с", from_);
  form->addRow("по", to_);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {load, add, close}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  resize(560, 420);
  Reload();
}

void CGetArrivalsDlg::Reload() {
  const double from = static_cast<double>(from_->dateTime().toSecsSinceEpoch());
  const double to = static_cast<double>(to_->dateTime().toSecsSinceEpoch());
  rows_.clear();
  try {
    rows_ = source_ == Source::Alert ? ReadAlertArrivals(ws_, from, to)
                                     : ReadEventListDetections(ws_, from, to);
  } catch (const odbc::Error& e) {
    ws_.prompts().ShowError(e.what());
  }
  ShowRows();
}

void CGetArrivalsDlg::ShowRows() {
  filling_ = true;
  table_->setRowCount(static_cast<int>(rows_.size()));
  for (size_t i = 0; i < rows_.size(); ++i) {
    const ImportRow& r = rows_[i];
    const int row = static_cast<int>(i);
    auto* station = new QTableWidgetItem(Q(r.station));
    station->setFlags(station->flags() | Qt::ItemIsUserCheckable);
    station->setCheckState(r.checked ? Qt::Checked : Qt::Unchecked);
    table_->setItem(row, 0, station);
    table_->setItem(row, 1, new QTableWidgetItem(Q(r.phase)));
    table_->setItem(row, 2, new QTableWidgetItem(Q(ImportTimeText(r.time))));
    table_->setItem(
        row, 3,
        new QTableWidgetItem(ResidualShown(r.residual) ? Q(StrFormat("%.3f", r.residual)) : ""));
  }
  filling_ = false;
}

void CGetArrivalsDlg::SortBy(int column) {
  SortImportRows(rows_, column);
  ShowRows();
}

int CGetArrivalsDlg::AddPhases() {
  const int added = AddImportedPhases(ws_, rows_);
  if (refresh_) refresh_();
  return added;
}

}  // namespace nuv
