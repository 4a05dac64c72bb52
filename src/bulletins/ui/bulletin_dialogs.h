#pragma once
// The dialogs of the bulletin commands: the directory and origin id of the
// CSS export of the current event, the directory and period of the CSS
// export from the database, and the chooser of one event of a bulletin file.
// Widgets carry object names so tests find them.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "bulletins/ims_reader.h"

class QCheckBox;
class QDateTimeEdit;
class QLineEdit;
class QTableWidget;

namespace nuv {

class UserPrompts;

// "Параметры": "Каталог для записи результатов обработки" with its "..."
// folder browser and "Идентификатор землетрясения".
class CSelectOridAndDirDlg : public QDialog {
  Q_OBJECT
 public:
  CSelectOridAndDirDlg(UserPrompts& prompts, const std::string& dir, long orid,
                       QWidget* parent = nullptr);
  std::string directory() const;
  // The typed origin id, below 1 written as 1; nullopt when it is not a number.
  std::optional<long> orid() const;
  QLineEdit* dirEdit() const { return dir_; }
  QLineEdit* oridEdit() const { return orid_; }

 public:
  void accept() override;

 private:
  UserPrompts& prompts_;
  QLineEdit* dir_;
  QLineEdit* orid_;
};

// "Выдать отчет в формате CSS 3.0": "В каталог", "с", "по".
class CCssPeriodDlg : public QDialog {
  Q_OBJECT
 public:
  // `now` in epoch seconds; "с" starts at the first day of its month.
  CCssPeriodDlg(UserPrompts& prompts, const std::string& dir, double now,
                QWidget* parent = nullptr);
  std::string directory() const;
  double from() const;  // whole seconds
  double to() const;
  QLineEdit* dirEdit() const { return dir_; }
  QDateTimeEdit* fromEdit() const { return from_; }
  QDateTimeEdit* toEdit() const { return to_; }

 public:
  void accept() override;

 private:
  UserPrompts& prompts_;
  QLineEdit* dir_;
  QDateTimeEdit* from_;
  QDateTimeEdit* to_;
};

// "Выбор EVENT": the events of a bulletin; "Ok" without a row beeps and
// keeps the dialog open; a double click chooses the row.
class CSelectImsEventDlg : public QDialog {
  Q_OBJECT
 public:
  CSelectImsEventDlg(UserPrompts& prompts, const std::vector<ImsEventEntry>& events,
                     QWidget* parent = nullptr);
  // The chosen identifier (after accept) and "Загружать только информацию о фазах".
  const std::string& identifier() const { return identifier_; }
  bool phasesOnly() const;
  QTableWidget* table() const { return table_; }
  QCheckBox* phasesOnlyBox() const { return phasesOnly_; }

 public:
  void accept() override;

 private:
  UserPrompts& prompts_;
  QTableWidget* table_;
  QCheckBox* phasesOnly_;
  std::string identifier_;
};

// The first day of the month of `now` at 00:00:00, as the period dialogs
// start (the local clock's fields taken as UTC).
double StartOfMonth(double now);
// Now as the period fields show it: the local clock's fields taken as UTC.
double LocalFieldsAsUtc();

}  // namespace nuv
