#pragma once
// The report of a period ("Отчет": the HTML event report shown in a rich-
// text browser, printed or saved as PDF) and the dialog that adds automatic
// detections as phases ("Get Arrivals", over ALERT or EVENTLIST).

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/arrival_import.h"

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QPrinter;
class QTableWidget;
class QTextBrowser;

namespace nuv {

class Workstation;

class CEventReport : public QDialog {
  Q_OBJECT
 public:
  // `now`: the local clock's fields taken as UTC (epoch seconds).
  CEventReport(Workstation& ws, double now, QWidget* parent = nullptr);

  // "Показать": reads the events and shows the report; false when the
  // fields or the database refused.
  bool Show();
  // "Распечатать": the print dialog, then the printer.
  void Print();
  // Saves the shown report as PDF to a chosen file; false when not written.
  bool SaveAsPdf(const std::string& path);
  // Sets the browser's zoom to font choice 0..4.
  void SetZoom(int choice);

  QDateTimeEdit* fromEdit() const { return from_; }
  QDateTimeEdit* toEdit() const { return to_; }
  QCheckBox* phasesBox() const { return phases_; }
  QCheckBox* ascendingBox() const { return ascending_; }
  QComboBox* fontCombo() const { return font_; }
  QTextBrowser* browser() const { return browser_; }
  // The temporary file of the last report ("" when none was written).
  const std::string& reportFile() const { return file_; }

 private:
  Workstation& ws_;
  QDateTimeEdit* from_;
  QDateTimeEdit* to_;
  QCheckBox* phases_;
  QCheckBox* ascending_;
  QComboBox* font_;
  QTextBrowser* browser_;
  int zoom_ = 0;
  std::string file_;
};

class CGetArrivalsDlg : public QDialog {
  Q_OBJECT
 public:
  enum class Source { Alert, EventList };
  // `refresh` runs after phases were added.
  CGetArrivalsDlg(Workstation& ws, Source source, double now, std::function<void()> refresh = {},
                  QWidget* parent = nullptr);

  // "Загрузить список фаз": reads the rows of the typed period.
  void Reload();
  // "Добавить фазы": the checked rows become phases; returns how many.
  int AddPhases();
  void SortBy(int column);

  const std::vector<ImportRow>& rows() const { return rows_; }
  QTableWidget* table() const { return table_; }
  QDateTimeEdit* fromEdit() const { return from_; }
  QDateTimeEdit* toEdit() const { return to_; }

 private:
  void ShowRows();
  Workstation& ws_;
  Source source_;
  std::function<void()> refresh_;
  QDateTimeEdit* from_;
  QDateTimeEdit* to_;
  QTableWidget* table_;
  std::vector<ImportRow> rows_;
  bool filling_ = false;
};

}  // namespace nuv
