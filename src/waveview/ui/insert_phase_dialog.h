#pragma once
// "Вставить фазу": a phase typed in by station, channel, phase name, date
// and time. The dialog stays open after each addition; "Выйти" closes it.

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace nuv {

class Workstation;
class waveform;

inline constexpr int kCmdInsertPhase = 33106;

class CAddPhaseDlg : public QDialog {
  Q_OBJECT

 public:
  CAddPhaseDlg(Workstation& ws, QWidget* parent = nullptr);

  QTreeWidget* tree() const { return tree_; }
  QComboBox* channelCombo() const { return channel_; }
  QComboBox* phaseCombo() const { return phase_; }
  QLineEdit* timeEdit() const { return time_; }
  QLineEdit* dateEdit() const { return date_; }
  QButtonGroup* onsetGroup() const { return onset_; }
  QButtonGroup* motionGroup() const { return motion_; }
  QButtonGroup* weightGroup() const { return weight_; }
  int chosenStation() const { return station_; }

  // "Добавить": true when a phase was added.
  bool Add();

 private:
  void StationChosen();

  Workstation& ws_;
  QTreeWidget* tree_;
  QComboBox *channel_, *phase_;
  QLineEdit *time_, *date_;
  QButtonGroup *motion_, *weight_, *onset_;
  int station_ = -1;
};

// Adds 33106 to the window's commands.
void RegisterInsertPhaseCommand(waveform& window);

}  // namespace nuv
