#pragma once
// The dialogs of the signal-processing commands on trace panes. The desktop
// program shows the real ones (MakeQtSigprocDialogs); tests hand in answers.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sigproc/butterworth.h"
#include "sigproc/detector.h"
#include "sigproc/formula.h"

class QWidget;

namespace nuv {

class SettingsStore;
class Workstation;

// What the detector sheet "Параметры детектора" asks for.
struct DetectorChoice {
  enum Action { kRun, kClear } action = kRun;
  int page = 0;  // 0 "LTA/STA детектор", 1 "Вендрел+ LTA/STA детектор"
  DetectorParams params;
};

class SigprocDialogs {
 public:
  virtual ~SigprocDialogs() = default;
  // The property sheet "Фильтр" on `filter`; presets live in `store`.
  // `apply` receives the typed setting on "Применить" and on OK after a
  // change, or on OK at once when `filter` is not in effect on the pane (the
  // default shown on a pane never filtered). `sampleRate` is the main
  // pane's, for the check against Nyquist.
  virtual void EditFilter(QWidget* parent, SettingsStore& store, const ChannelFilter& filter,
                          bool inEffect, double sampleRate,
                          const std::function<void(const ChannelFilter&)>& apply) = 0;
  // "Конструктор фильтра": the formula text, or nothing when cancelled.
  virtual std::optional<std::string> FilterWizard(QWidget* parent) = 0;
  // "Конструктор формул" on `target` (its recent list in the profile file,
  // its saved formulas in the home directory).
  virtual void EditFormula(QWidget* parent, Workstation& ws, FormulaInterface& target) = 0;
  // "Параметры детектора" showing the main pane's two parameter sets.
  virtual std::optional<DetectorChoice> EditDetector(QWidget* parent, const DetectorParams& nuv,
                                                     const DetectorParams& vendrel) = 0;
};

std::unique_ptr<SigprocDialogs> MakeQtSigprocDialogs();

}  // namespace nuv
