#pragma once
// Two calculators of the waveform window's menu: "Годограф. Расчет времени
// пробега фазы." (travel time of a phase) and "Дистанция и азимут"
// (distance and azimuths between two points).

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace nuv {

class Workstation;
class waveform;

class CTravelTimeCalculator : public QDialog {
  Q_OBJECT

 public:
  CTravelTimeCalculator(Workstation& ws, QWidget* parent = nullptr);
  QComboBox* phaseCombo() const { return phase_; }
  QLineEdit* distanceEdit() const { return distance_; }
  QLineEdit* depthEdit() const { return depth_; }
  QLabel* resultLabel() const { return result_; }
  // "Рассчитать".
  void Calculate();

 private:
  Workstation& ws_;
  QComboBox* phase_;
  QLineEdit *distance_, *depth_;
  QLabel* result_;
};

class CDistAzDialog : public QDialog {
  Q_OBJECT

 public:
  CDistAzDialog(Workstation& ws, QWidget* parent = nullptr);
  QLineEdit* field(int i) const { return fields_[i]; }    // lat1, lon1, lat2, lon2
  QLineEdit* result(int i) const { return results_[i]; }  // distance, azimuth, back azimuth
  // OK: checks the coordinates and fills the results (the dialog stays open).
  void accept() override;

 private:
  Workstation& ws_;
  QLineEdit* fields_[4];
  QLineEdit* results_[3];
};

// Adds 33107 and 33182 to the waveform window's commands.
void RegisterTravelTimeDialogs(waveform& window);

}  // namespace nuv
