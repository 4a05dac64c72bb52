#pragma once
// "Отметить фазу": the dialog a pick on a trace pane opens. It offers the
// active phase set, the onset, first motion and weight (preset from the
// pick's uncertainty), the channel type, a comment, the pane's
// transformation, and whether to copy the phase to the station's other
// channels and to prepare an amplitude measurement.

#include <QDialog>
#include <optional>

#include "waveview/pick_logic.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;

namespace nuv {

class Workstation;

// What the dialog gives back on "Ok".
struct PickDialogResult {
  PickChoice choice;
  bool copyToOtherChannels = false;
  bool measureAmplitude = false;
};

class CPickDlg : public QDialog {
  Q_OBJECT

 public:
  CPickDlg(Workstation& ws, double deltim, const std::string& transformName,
           QWidget* parent = nullptr);

  QComboBox* phaseCombo() const { return phase_; }
  QComboBox* chanTypeCombo() const { return chanType_; }
  QLineEdit* remarkEdit() const { return remark_; }
  QLineEdit* filterEdit() const { return filter_; }
  QButtonGroup* onsetGroup() const { return onset_; }
  QButtonGroup* motionGroup() const { return motion_; }
  QButtonGroup* weightGroup() const { return weight_; }
  QCheckBox* copyBox() const { return copy_; }
  QCheckBox* measureBox() const { return measure_; }
  // Valid after accept().
  const PickDialogResult& pick() const { return result_; }

  // "Ok": a phase name missing from the phase-type table beeps and keeps
  // the dialog open.
  void accept() override;

 private:
  Workstation& ws_;
  QComboBox *phase_, *chanType_;
  QLineEdit *remark_, *filter_;
  QButtonGroup *motion_, *weight_, *onset_;
  QCheckBox *copy_, *measure_;
  PickDialogResult result_;
};

// How a pick asks the analyst; tests hand in their own answers.
class PickDialogs {
 public:
  virtual ~PickDialogs() = default;
  virtual std::optional<PickDialogResult> Pick(Workstation& ws, QWidget* pane, double deltim,
                                               const std::string& transformName) = 0;
};
// The real, modal dialog.
std::unique_ptr<PickDialogs> MakeQtPickDialogs();

}  // namespace nuv
