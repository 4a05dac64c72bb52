#pragma once
// The dialogs of channel selection: "Выбор трасс " (several channels of
// several stations), "Выбор станции и канала" (one channel), the two dialogs
// of the named channel lists and the scale dialog "Масштаб".
//
// Controls carry their resource numbers as object names ("id57", "id710",
// ...) so a test can find them.

#include <QDialog>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "waveview/channel_selection.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace nuv {

class Workstation;

// Role of a tree item's station index (-1 for a root) and channel index.
inline constexpr int kStationRole = Qt::UserRole + 1;
inline constexpr int kChannelRole = Qt::UserRole + 2;

// Fills `tree` (emptied first) with the station tree of the networks, with
// each station's channels when `withChannels`.
void FillStationTree(QTreeWidget* tree, Workstation& ws, bool withChannels);

// Opens the archive browser for a station (with the channels checked for it);
// `typed` is the window in the dialog's fields when they hold a valid one.
using SegmentBrowser = std::function<std::optional<ArchiveSegment>(
    QWidget* parent, int station, const std::vector<std::string>& checkedChannels,
    const std::optional<ArchiveSegment>& typed)>;

class CSelectChannelsDlg : public QDialog {
  Q_OBJECT

 public:
  CSelectChannelsDlg(Workstation& ws, SelectionMatrix& matrix, QWidget* parent = nullptr);

  // Asked for the pattern of "Выбрать каналы по образцу" (the last one is offered).
  std::function<std::optional<std::string>(const std::string& last)> askPattern;
  SegmentBrowser browseSegments;
  // Receives the window accepted with "Ok" (the session's last window, the
  // start of the next "+D").
  std::optional<ArchiveSegment>* sessionWindow = nullptr;

  QTreeWidget* tree() const { return tree_; }
  QTreeWidget* channelList() const { return channels_; }
  QLineEdit* dateEdit() const { return date_; }
  QLineEdit* timeEdit() const { return time_; }
  QLineEdit* lengthEdit() const { return length_; }
  // The station shown in the channel list (-1 for none).
  int currentStation() const { return currentStation_; }
  // Selects the station node of `station` under the first root.
  void SelectStation(int station);

  void ClearAll();             // 55
  void ClearCurrentStation();  // 1084
  void CheckByPattern();       // 1170
  void SetTimeForAll();        // 1063
  void ChooseSegment();        // 56
  void Finish();               // "Ok"

 private:
  void NodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  bool StoreFields(int station);
  void ShowStation(int station);
  void FillChannelList();
  void ChannelToggled(QTreeWidgetItem* item, int column);

  Workstation& ws_;
  SelectionMatrix& matrix_;
  QTreeWidget* tree_ = nullptr;
  QLabel* stationLabel_ = nullptr;
  QTreeWidget* channels_ = nullptr;
  QLineEdit* date_ = nullptr;
  QLineEdit* time_ = nullptr;
  QLineEdit* length_ = nullptr;
  int currentStation_ = -1;
  std::set<int> visited_;  // stations shown in this dialog
  bool filling_ = false;
  static std::string lastPattern_;
};

class CSelectStationChannelDlg : public QDialog {
  Q_OBJECT

 public:
  struct Result {
    int station = -1, channel = -1;
    double start = 0, length = 0;
  };
  CSelectStationChannelDlg(Workstation& ws, const std::optional<Result>& preset,
                           QWidget* parent = nullptr);

  SegmentBrowser browseSegments;
  QTreeWidget* tree() const { return tree_; }
  QLineEdit* dateEdit() const { return date_; }
  QLineEdit* timeEdit() const { return time_; }
  QLineEdit* lengthEdit() const { return length_; }
  // Selects the node of a channel.
  void SelectChannel(int station, int channel);
  // Fills the time fields with `window` (the window last accepted in this
  // session), unless the dialog was opened with a preset.
  void OfferSessionWindow(const std::optional<ArchiveSegment>& window);
  // "OK": accepts when the fields are valid and a channel node is selected.
  void TryAccept();
  const Result& choice() const { return result_; }

 private:
  Workstation& ws_;
  QTreeWidget* tree_ = nullptr;
  QLineEdit* date_ = nullptr;
  QLineEdit* time_ = nullptr;
  QLineEdit* length_ = nullptr;
  bool preset_ = false;
  Result result_;
};

// "Сохранить список выбранных каналов и станций".
class CSaveChannelListDlg : public QDialog {
  Q_OBJECT

 public:
  CSaveChannelListDlg(Workstation& ws, QWidget* parent = nullptr);
  QListWidget* lists() const { return lists_; }
  QLineEdit* nameEdit() const { return name_; }
  void DeleteSelected();
  void TryAccept();
  std::string name() const;

 private:
  void Refresh();
  Workstation& ws_;
  QListWidget* lists_ = nullptr;
  QLineEdit* name_ = nullptr;
};

// "Загрузить список станций".
class CLoadChannelListDlg : public QDialog {
  Q_OBJECT

 public:
  CLoadChannelListDlg(Workstation& ws, QWidget* parent = nullptr);
  QTreeWidget* lists() const { return lists_; }
  void DeleteSelected();
  void Choose();
  const std::string& chosen() const { return chosen_; }

 private:
  void Refresh();
  Workstation& ws_;
  QTreeWidget* lists_ = nullptr;
  std::string chosen_;
};

// "Масштаб": source maximum (1162), minimum (1145), transformed maximum
// (1146), minimum (1147).
class CScaleDlg : public QDialog {
  Q_OBJECT

 public:
  CScaleDlg(double ampMax, double ampMin, double transMax, double transMin,
            QWidget* parent = nullptr);
  QLineEdit* field(int id) const;
  double value(int id) const;
  // Closes only when every field holds a number.
  void accept() override;

 private:
  QLineEdit* fields_[4] = {};
  // The limits the dialog was opened with and their shown texts: an
  // unedited field gives its limit back exactly.
  double initial_[4] = {};
  QString initialText_[4];
};

}  // namespace nuv
