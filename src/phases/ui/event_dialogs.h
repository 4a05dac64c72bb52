#pragma once
// The event chooser "Выберите индекс" (save and load modes, with "Создать"
// and "Удалить") and the new-event dialog "Начать обработку нового
// землетрясения".

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "phases/event_store.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace nuv {

class Workstation;

// The chooser's text of a database time (epoch seconds or a timestamp text):
// "%02d/%02d/%04d %02d:%02d:%02.0f".
QString ChooserTimeText(double epoch);
QString ChooserTimeText(const std::string& timestamp);

class CEventChooser : public QDialog {
  Q_OBJECT

 public:
  CEventChooser(Workstation& ws, bool saveMode, QWidget* parent = nullptr);
  ~CEventChooser() override;

  QTableWidget* table() const { return table_; }
  QRadioButton* allButton() const { return all_; }
  QRadioButton* lastButton() const { return last_; }
  QSpinBox* maxEdit() const { return max_; }
  // The events shown, in row order (a row for the unsaved current event
  // has an empty eventId in `stored` but its identifier in the table).
  const std::vector<StoredEvent>& events() const { return events_; }
  const std::string& chosenId() const { return chosenId_; }
  const std::string& chosenComment() const { return chosenComment_; }

  // Re-reads the list with the current settings.
  void Reload();
  // "Создать": the new-record dialog, then the list again.
  void CreateEvent();
  // "Удалить" on the selected row, after the question.
  void DeleteSelected();
  void accept() override;

  // Tests answer the "Создать новую запись" dialog here instead of the screen.
  std::function<bool(std::string& id, std::string& comment)> askNewRecord;

 private:
  void SelectCurrent();
  void SaveSettings();

  Workstation& ws_;
  bool saveMode_;
  QTableWidget* table_;
  QRadioButton *all_, *last_;
  QSpinBox* max_;
  std::vector<StoredEvent> events_;
  std::string chosenId_, chosenComment_;
};

// "Начать обработку нового землетрясения" (or "Создать новую запись"):
// identifier (default: the local time "%Y%m%d%H%M%S") and comment. OK adds
// the ORIGIN row through NewEvent and stays open on a taken identifier.
class CNewEventDialog : public QDialog {
  Q_OBJECT

 public:
  CNewEventDialog(Workstation& ws, bool startProcessing, QWidget* parent = nullptr);
  QLineEdit* idEdit() const { return id_; }
  QLineEdit* commentEdit() const { return comment_; }
  // "Загрузить REB": closes the dialog and runs `loadReb` (the bulletin
  // reading); hidden while none is given.
  QPushButton* rebButton() const { return reb_; }
  void SetLoadReb(std::function<void()> loadReb);
  void accept() override;

 private:
  Workstation& ws_;
  bool startProcessing_;
  QLineEdit *id_, *comment_;
  QPushButton* reb_;
  std::function<void()> loadReb_;
};

}  // namespace nuv
