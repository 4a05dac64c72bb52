#pragma once
// "Список файлов волновых форм": the archive index rows of one station,
// newest first, all of them or those beginning between two times, optionally
// only the channels chosen for the station. OK hands back the start and the
// duration of the selected row.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "archive/index_listing.h"

class QCheckBox;
class QDateTimeEdit;
class QRadioButton;
class QTreeWidget;

namespace nuv {

class Workstation;

class CArchiveFileListDlg : public QDialog {
  Q_OBJECT

 public:
  CArchiveFileListDlg(Workstation& ws, int station, std::vector<std::string> channels,
                      QWidget* parent = nullptr);

  QTreeWidget* list() const { return list_; }
  QRadioButton* allFiles() const { return all_; }
  QRadioButton* betweenTimes() const { return between_; }
  QDateTimeEdit* fromEdit() const { return from_; }
  QDateTimeEdit* toEdit() const { return to_; }
  QCheckBox* onlyChosenChannels() const { return onlyChosen_; }

  // Puts two times (seconds, whole seconds shown) into the "с" and "по" fields.
  void SetTimes(double from, double to);
  // Lists the rows again by the current choices; a database error shows the
  // driver's text and leaves the list empty.
  void Refresh();
  void FitColumns();
  // The filter the current choices give.
  std::string Filter() const;
  // OK: the selected row's start and duration (beep without a selection).
  void TryAccept();
  double start() const { return start_; }
  double duration() const { return duration_; }

 private:
  Workstation& ws_;
  std::string station_;
  std::vector<std::string> channels_;
  std::vector<IndexRow> rows_;
  QTreeWidget* list_ = nullptr;
  QRadioButton* all_ = nullptr;
  QRadioButton* between_ = nullptr;
  QDateTimeEdit* from_ = nullptr;
  QDateTimeEdit* to_ = nullptr;
  QCheckBox* onlyChosen_ = nullptr;
  double start_ = 0;
  double duration_ = 0;
};

}  // namespace nuv
