#include "bulletins/ui/bulletin_dialogs.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "platform/strformat.h"
#include "platform/user_prompts.h"
#include "widgets/ui/utc_time_edit.h"

namespace nuv {
namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.c_str());
}
std::string S(const QString& text) {
  return text.toUtf8().toStdString();
}

// A directory edit (at most 256 characters) with its "..." browser.
QLineEdit* DirectoryRow(QFormLayout* form, const char* caption, const std::string& dir,
                        UserPrompts& prompts, QWidget* parent) {
  auto* edit = new QLineEdit(Q(dir), parent);
  edit->setObjectName("directory");
  edit->setMaxLength(256);
  auto* browse = new QPushButton("...", parent);
  browse->setObjectName("browse");
  browse->setFixedWidth(32);
  QObject::connect(browse, &QPushButton::clicked, parent, [edit, &prompts] {
    if (auto chosen = prompts.ChooseFolder("Выбрать каталог", S(edit->text())))
      edit->setText(Q(*chosen));
  });
  auto* row = new QHBoxLayout;
  row->addWidget(edit);
  row->addWidget(browse);
  form->addRow(QString::fromUtf8(caption), row);
  return edit;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(dialog);
  buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setObjectName("ok");
  buttons->addButton("Отмена", QDialogButtonBox::RejectRole)->setObjectName("cancel");
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// The form above the OK and Cancel buttons.
void FinishForm(QDialog* dialog, QFormLayout* form) {
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(form);
  layout->addWidget(OkCancel(dialog));
  dialog->resize(520, dialog->sizeHint().height());
}

// An empty directory field beeps and takes the focus.
bool HasDirectory(UserPrompts& prompts, QLineEdit* dir) {
  if (!dir->text().trimmed().isEmpty()) return true;
  prompts.Beep();
  dir->setFocus();
  return false;
}

}  // namespace

double LocalFieldsAsUtc() {
  const QDateTime local = QDateTime::currentDateTime();
  return static_cast<double>(QDateTime(local.date(), local.time(), Qt::UTC).toSecsSinceEpoch());
}

double StartOfMonth(double now) {
  const QDate date = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now), Qt::UTC).date();
  return static_cast<double>(
      QDateTime(QDate(date.year(), date.month(), 1), QTime(0, 0), Qt::UTC).toSecsSinceEpoch());
}

CSelectOridAndDirDlg::CSelectOridAndDirDlg(UserPrompts& prompts, const std::string& dir, long orid,
                                           QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("Параметры");
  auto* form = new QFormLayout;
  dir_ = DirectoryRow(form, "Каталог для записи результатов обработки", dir, prompts, this);
  orid_ = new QLineEdit(QString::number(orid), this);
  orid_->setObjectName("orid");
  form->addRow("Идентификатор землетрясения", orid_);
  FinishForm(this, form);
}

std::string CSelectOridAndDirDlg::directory() const {
  return S(dir_->text().trimmed());
}

std::optional<long> CSelectOridAndDirDlg::orid() const {
  bool ok = false;
  const long value = orid_->text().trimmed().toLong(&ok);
  if (!ok) return std::nullopt;
  return value < 1 ? 1 : value;
}

void CSelectOridAndDirDlg::accept() {
  if (!orid()) {
    prompts_.ShowError("Введите целое число");
    orid_->setFocus();
    return;
  }
  if (HasDirectory(prompts_, dir_)) QDialog::accept();
}

CCssPeriodDlg::CCssPeriodDlg(UserPrompts& prompts, const std::string& dir, double now,
                             QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("Выдать отчет в формате CSS 3.0");
  auto* form = new QFormLayout;
  dir_ = DirectoryRow(form, "В каталог", dir, prompts, this);
  from_ = NewUtcTimeEdit(this);
  from_->setObjectName("from");
  from_->setDateTime(
      QDateTime::fromSecsSinceEpoch(static_cast<qint64>(StartOfMonth(now)), Qt::UTC));
  to_ = NewUtcTimeEdit(this);
  to_->setObjectName("to");
  to_->setDateTime(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now), Qt::UTC));
  form->addRow("с", from_);
  form->addRow("по", to_);
  FinishForm(this, form);
}

std::string CCssPeriodDlg::directory() const {
  return S(dir_->text().trimmed());
}
double CCssPeriodDlg::from() const {
  return static_cast<double>(from_->dateTime().toSecsSinceEpoch());
}
double CCssPeriodDlg::to() const {
  return static_cast<double>(to_->dateTime().toSecsSinceEpoch());
}

void CCssPeriodDlg::accept() {
  // A period that ends before it starts holds nothing: refused like a bad date.
  if (!from_->dateTime().isValid() || !to_->dateTime().isValid() || from() > to()) {
    prompts_.Message("Введено ошибочное время", kAppTitle, PromptIcon::Error, PromptButtons::Ok);
    from_->setFocus();
    return;
  }
  if (HasDirectory(prompts_, dir_)) QDialog::accept();
}

CSelectImsEventDlg::CSelectImsEventDlg(UserPrompts& prompts,
                                       const std::vector<ImsEventEntry>& events, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
  setWindowTitle("Выбор EVENT");
  table_ = new QTableWidget(static_cast<int>(events.size()), 6, this);
  table_->setObjectName("events");
  table_->setHorizontalHeaderLabels(
      {"Event", "Регион", "Широта", "Долгота", "Время в очаге", "Глубина"});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft);
  for (int i = 0; i < static_cast<int>(events.size()); ++i) {
    table_->setItem(i, 0, new QTableWidgetItem(Q(events[static_cast<size_t>(i)].identifier)));
    table_->setItem(i, 1, new QTableWidgetItem(Q(events[static_cast<size_t>(i)].comment)));
    if (const auto& o = events[static_cast<size_t>(i)].origin) {
      table_->setItem(i, 2, new QTableWidgetItem(Q(StrFormat("%.3f", o->lat))));
      table_->setItem(i, 3, new QTableWidgetItem(Q(StrFormat("%.3f", o->lon))));
      table_->setItem(
          i, 4,
          new QTableWidgetItem(Q(StrFormat("%02d/%02d/%04d %02d:%02d:%05.2f", o->day, o->month,
                                           o->year, o->hour, o->minute, o->second))));
      table_->setItem(i, 5, new QTableWidgetItem(Q(StrFormat("%.1f", o->depth))));
    }
  }
  phasesOnly_ = new QCheckBox("Загружать только информацию о фазах", this);
  phasesOnly_->setObjectName("phasesOnly");
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Ok", QDialogButtonBox::AcceptRole)->setObjectName("ok");
  buttons->addButton("Отмена", QDialogButtonBox::RejectRole)->setObjectName("cancel");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    table_->selectRow(row);
    accept();
  });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(phasesOnly_);
  layout->addWidget(buttons);
  resize(720, 360);
  for (int c = 0; c < 6; ++c) table_->setColumnWidth(c, 700 / 6);
}

bool CSelectImsEventDlg::phasesOnly() const {
  return phasesOnly_->isChecked();
}

void CSelectImsEventDlg::accept() {
  const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
  if (ranges.isEmpty()) {
    prompts_.Beep();
    return;
  }
  identifier_ = S(table_->item(ranges.front().topRow(), 0)->text());
  QDialog::accept();
}

}  // namespace nuv
