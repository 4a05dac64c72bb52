#pragma once
// The lists of stored events: the modeless processed-events window of the
// main database and the modal origin chooser of the secondary database
// (ORIGIN or the automatic-location ORIGIN_ALERT). Widgets carry object
// names so tests find them.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/event_lists.h"

class QButtonGroup;
class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace nuv {

class Workstation;

// "Список обработанных событий" with its menu "Меню".
class CShowOrigins : public QDialog {
  Q_OBJECT
 public:
  // `load` loads an event into the phase list (true when it did); `now`
  // gives the clock of the menu commands.
  CShowOrigins(Workstation& ws, std::function<bool(const std::string& eventId)> load,
               std::function<double()> now, QWidget* parent = nullptr);

  // Fills the list for [from, to]; a database error is shown and leaves the
  // list empty.
  void ShowOriginsFill(double from, double to);
  // The main pane loaded a new window: followed only while the window is shown.
  void FollowWindow(double start, double length);
  void FillLastDay();
  void FillLastWeek();
  // Shows the window and remembers it as shown ([SHOWORIGINS] SHOWWINDOW).
  void ShowWindow();
  // "OK" or a double click on `row`.
  void LoadRow(int row);

  QTableWidget* table() const { return table_; }
  const std::vector<ProcessedEventRow>& rows() const { return rows_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void done(int result) override;

 private:
  void Remember(bool shown);
  Workstation& ws_;
  std::function<bool(const std::string&)> load_;
  std::function<double()> now_;
  QTableWidget* table_;
  std::vector<ProcessedEventRow> rows_;
};

// "Выберите индекс землетрясения из вторичной БД" (ORIGIN) or "Выберите
// событие для загрузки" (ORIGIN_ALERT).
class COriginChooser : public QDialog {
  Q_OBJECT
 public:
  enum class Source { Css, Alert };
  COriginChooser(Workstation& ws, Source source, QWidget* parent = nullptr);

  // The chosen row's ORID and comment after accept.
  const std::string& orid() const { return orid_; }
  const std::string& comment() const { return comment_; }
  void Refill();

  QTableWidget* table() const { return table_; }
  QRadioButton* allButton() const { return all_; }
  QRadioButton* lastButton() const { return last_; }
  QLineEdit* countEdit() const { return count_; }

  void accept() override;
  void reject() override;

 private:
  // The radio buttons and the count (20 for a count not in 1..1000);
  // nullopt when "Загружать последние" goes with such a count.
  std::optional<OriginChoice> Choice() const;
  void SaveChoice();
  void RestoreWidths();
  void SaveWidths();
  Workstation& ws_;
  Source source_;
  QTableWidget* table_;
  QRadioButton* all_;
  QRadioButton* last_;
  QLineEdit* count_;
  std::string orid_, comment_;
};

}  // namespace nuv
