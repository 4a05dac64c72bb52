#pragma once
// Two tools on the selected pane's channel: "Оценка расстояния до
// эпицентра..." (the epicentral distance from the time difference of two
// picked phases) and "Расставить фазы" (theoretical phases placed from a
// distance, a depth and an origin time or a picked reference phase).

#include <QDialog>
#include <memory>

#include "seismo/theoretical_phases.h"

class QButtonGroup;
class QComboBox;
class QLabel;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;

namespace nuv {

class Workstation;
class waveform;
struct SeismoSite;

inline constexpr int kCmdDistanceFromPhases = 32717;
inline constexpr int kCmdTheoreticalPhases = 32724;

class CDistanceFromPhasesDlg : public QDialog {
  Q_OBJECT

 public:
  // `depth` is the depth last used; it is updated on every estimate.
  CDistanceFromPhasesDlg(Workstation& ws, int station, int channel, double& depth,
                         QWidget* parent = nullptr);
  QComboBox* phaseA() const { return a_; }
  QComboBox* phaseB() const { return b_; }
  QLineEdit* depthEdit() const { return depth_; }
  // OK: estimates, asks to accept, and applies; the dialog closes when applied.
  void accept() override;

 private:
  Workstation& ws_;
  int station_, channel_;
  double& lastDepth_;
  QComboBox *a_, *b_;
  QLineEdit* depth_;
};

class CTheoreticalPhasesDlg : public QDialog {
  Q_OBJECT

 public:
  // `placer` remembers the phases placed so far (a fresh one when null).
  CTheoreticalPhasesDlg(Workstation& ws, waveform& window, QWidget* parent = nullptr,
                        std::shared_ptr<TheoreticalPlacer> placer = nullptr);
  QDoubleSpinBox* distance() const { return distance_; }
  QDoubleSpinBox* depth() const { return depth_; }
  QLineEdit* dateEdit() const { return date_; }
  QLineEdit* timeEdit() const { return time_; }
  QComboBox* reference() const { return reference_; }
  QListWidget* phaseList() const { return list_; }
  QButtonGroup* mode() const { return mode_; }
  // Fills depth, distance and origin time from the current event.
  void LoadCurrent();
  // Checks the names of a phase set (0..2), or clears every check (3).
  void CheckSet(int set);
  // The "..." button of set 0..2: the set's names edited as text and written
  // back (names the phase table does not know are left out); false on Cancel.
  bool EditSet(int set);
  // Places the checked phases on the selected pane; true when placed. What
  // was left out (the analyst's picks kept, phases without travel times) is
  // written under the list and, with `report` (OK), shown in a message.
  bool Place(bool report = true);
  QLabel* summary() const { return summary_; }

 private:
  void ModeChanged();

  Workstation& ws_;
  waveform& window_;
  QDoubleSpinBox *distance_, *depth_;
  QLineEdit *date_, *time_;
  QComboBox* reference_;
  QListWidget* list_;
  QButtonGroup* mode_;
  QLabel* summary_;
  std::shared_ptr<TheoreticalPlacer> placer_;
  bool placing_ = false;
};

// Adds 32717 and 32724 to the window's commands.
void RegisterPhaseDistanceDialogs(waveform& window, const SeismoSite& site);

}  // namespace nuv
