#pragma once
// "Редактирование фазы": first motion, weight, onset, phase name, channel
// type and comment of one phase; the filter under which it was picked is
// shown read-only.

#include <QDialog>

#include "phases/seismic_phase.h"

class QBoxLayout;
class QButtonGroup;
class QComboBox;
class QLineEdit;

namespace nuv {

class Workstation;

// A titled row of radio buttons whose ids are their positions (the codes of
// onset, first motion and weight), `checked` selected, added to `into`.
QButtonGroup* PhaseCodeRadioGroup(const QString& title, const QStringList& labels, int checked,
                                  QWidget* owner, QBoxLayout* into);

class CEditPhase : public QDialog {
  Q_OBJECT

 public:
  CEditPhase(Workstation& ws, const SEISMIC_PHASE& phase, QWidget* parent = nullptr);

  // The phase with the dialog's choices (valid after accept()).
  const SEISMIC_PHASE& phase() const { return phase_; }
  QComboBox* phaseCombo() const { return phaseCombo_; }
  QComboBox* chanTypeCombo() const { return chanType_; }
  QLineEdit* remarkEdit() const { return remark_; }
  QButtonGroup* onsetGroup() const { return onset_; }
  QButtonGroup* motionGroup() const { return motion_; }
  QButtonGroup* weightGroup() const { return weight_; }

  // OK: refuses a phase type that the channel already holds.
  void accept() override;

 private:
  Workstation& ws_;
  SEISMIC_PHASE phase_;
  QButtonGroup *motion_, *weight_, *onset_;
  QComboBox *phaseCombo_, *chanType_;
  QLineEdit* remark_;
};

}  // namespace nuv
