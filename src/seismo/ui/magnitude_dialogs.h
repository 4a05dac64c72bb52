#pragma once
// The dialogs of magnitudes and energy class: "Результат расчета периода и
// амплитуды" with its six magnitude buttons, "Энергетический класс" (VEGIK
// and SKM formulas) and "Кода".

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "seismo/magnitudes.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace nuv {

class UserPrompts;

// An amplitude and period measured on a channel (micrometres, seconds).
struct AmplitudeMeasure {
  double amplitude = 0;
  double period = 0;
  double responseValue = -1;  // the response at the period, -1 when none
  std::string filterName;     // the trace's filter or simulation
  double time = 0;            // time of the measurement
  double distance = 5;        // degrees, from the current origin when valid
  double depth = 0;           // km
  std::string station;
};

// Where the magnitude buttons find their calibrations.
struct MagnitudeCalibrations {
  std::function<const PHASEDATA&(const std::string& file)> table;  // "mb.txt", ...
  std::function<std::optional<MlCalibration>(const std::string& station)> ml;
};

// The result fields by magnitude: "Mb", "Ms", "MPLP", "MPSP", "MKT", "ML".
struct MagnitudeValues {
  std::vector<std::pair<std::string, double>> values;  // only those > 0
};

class CAmplitudePeriodDialog : public QDialog {
  Q_OBJECT

 public:
  CAmplitudePeriodDialog(const AmplitudeMeasure& measure,
                         const std::vector<std::string>& phaseNames,
                         MagnitudeCalibrations calibrations, UserPrompts& prompts,
                         QWidget* parent = nullptr);

  // OK: stores the magnitudes into the chosen phase; false when the phase is
  // not on the channel (the dialog then stays open after the question).
  std::function<bool(const std::string& phase, const MagnitudeValues& values)> store;

  QPushButton* magnitudeButton(const std::string& name) const;
  QLineEdit* resultField(const std::string& name) const;
  QComboBox* phaseCombo() const { return phase_; }
  QLineEdit* field(const std::string& name) const;
  // The button's computation: the value or the message shown.
  MagnitudeResult Compute(const std::string& name) const;

  void accept() override;

 private:
  void UpdateButtons();
  void OnMagnitude(const std::string& name);

  MagnitudeCalibrations calibrations_;
  UserPrompts& prompts_;
  std::string station_;
  QComboBox* phase_;
  QLineEdit *amplitude_, *period_, *distance_, *depth_;
};

class CEnergyClassDialog : public QDialog {
  Q_OBJECT

 public:
  CEnergyClassDialog(EnergyClassVariant variant, const EnergyClassInputs& inputs,
                     const std::vector<std::string>& channelPhases, UserPrompts& prompts,
                     QWidget* parent = nullptr);

  // "Запомнить": stores K into the phase; false when it is not on the channel.
  std::function<bool(const std::string& phase, double k)> store;

  QLineEdit* field(const std::string& name) const;
  QComboBox* phaseCombo() const { return phase_; }
  // "Рассчитать": the class from the fields, "???" outside the formula.
  void Calculate();

 private:
  void Remember();

  EnergyClassVariant variant_;
  UserPrompts& prompts_;
  QComboBox* phase_;
  QLineEdit *distance_, *depth_, *ap_, *as_, *class_;
};

class CCodaDialog : public QDialog {
  Q_OBJECT

 public:
  CCodaDialog(double duration, const std::vector<std::string>& phaseNames,
              QWidget* parent = nullptr);
  std::string phase() const;
  QComboBox* phaseCombo() const { return phase_; }

 private:
  QComboBox* phase_;
};

}  // namespace nuv
