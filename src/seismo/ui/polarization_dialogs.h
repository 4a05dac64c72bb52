#pragma once
// The dialogs of the azimuth commands: the parameters of the
// three-component azimuth ("Параметры"), its result ("Азимут"), and the
// result of the plane-wave fit of P arrival times ("Результат расчета").

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "seismo/polarization.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace nuv {

class CAzimuthParamsDialog : public QDialog {
  Q_OBJECT

 public:
  // `names(transformed)`: the three window names of the panes 1, 2, 3.
  CAzimuthParamsDialog(const std::vector<std::string>& phaseNames,
                       std::function<std::vector<std::string>(bool transformed)> names,
                       bool transformed, QWidget* parent = nullptr);

  // "Рассчитать" with the chosen phase and the three names (Z, X(NS), Y(EW)).
  std::function<void(const std::string& phase, const std::vector<std::string>& names)> calculate;

  bool transformed() const;
  QLineEdit* nameField(int component) const { return fields_[component]; }
  QCheckBox* transformedBox() const { return transformed_; }
  QComboBox* phaseCombo() const { return phase_; }

 private:
  void FillNames();

  std::function<std::vector<std::string>(bool)> names_;
  QComboBox* phase_;
  QLineEdit* fields_[3];
  QCheckBox* transformed_;
};

// "Азимут": the computed values, shown with OK and Cancel.
class CAzimuthResultDialog : public QDialog {
  Q_OBJECT

 public:
  CAzimuthResultDialog(const PolarizationResult& result, QWidget* parent = nullptr);
};

// "Результат расчета" of the plane-wave fit.
class CPlaneWaveResultDialog : public QDialog {
  Q_OBJECT

 public:
  CPlaneWaveResultDialog(const PlaneWaveFit& fit, QWidget* parent = nullptr);
};

}  // namespace nuv
