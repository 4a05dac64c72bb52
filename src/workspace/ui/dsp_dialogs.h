#pragma once
// The dialogs of the workspace: "Параметры окна DSP" (scale), "Свойства
// набора данных" (properties) and "Наложить графики из окон" (overlays).
// The workspace asks for them through DspDialogs, so tests hand in answers.

#include <QDialog>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "workspace/dsp_window.h"

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace nuv {

class UserPrompts;

class DspDialogs {
 public:
  virtual ~DspDialogs() = default;
  // The values accepted (already checked), or nothing when cancelled.
  virtual std::optional<DspScale> Scale(QWidget* parent, const DspScale& current) = 0;
  // The time step typed, or nothing when cancelled or left unchanged.
  virtual std::optional<double> Properties(QWidget* parent, const DspWindow& window) = 0;
  virtual std::optional<std::array<std::string, kDspOverlaySlots>> Overlays(
      QWidget* parent, const std::array<std::string, kDspOverlaySlots>& current) = 0;
};

std::unique_ptr<DspDialogs> MakeQtDspDialogs(UserPrompts& prompts);

// "Параметры окна DSP": OK refuses X max below X min and Y max below Y min
// (or text that is not a number) with a beep and the focus on the field.
class CDspScaleDialog : public QDialog {
  Q_OBJECT
 public:
  CDspScaleDialog(const DspScale& scale, UserPrompts& prompts, QWidget* parent = nullptr);
  QLineEdit* field(int i) const { return fields_[static_cast<size_t>(i)]; }  // xmin xmax ymin ymax
  QCheckBox* lockX() const { return lock_; }
  DspScale value() const;
  void accept() override;

 private:
  std::array<QLineEdit*, 4> fields_{};
  QCheckBox* lock_ = nullptr;
  UserPrompts& prompts_;
};

// "Свойства набора данных": the count, the time step (0 to 1e29), the
// maximum and minimum; only the time step can be changed.
class CDspPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  CDspPropertiesDialog(const DspWindow& window, UserPrompts& prompts, QWidget* parent = nullptr);
  QLineEdit* stepField() const { return step_; }
  double step() const { return value_; }
  void accept() override;

 private:
  QLineEdit* step_ = nullptr;
  double value_ = 0;
  UserPrompts& prompts_;
};

// "Наложить графики из окон": eight formula edits beside their colours.
class CDspOverlayDialog : public QDialog {
  Q_OBJECT
 public:
  CDspOverlayDialog(const std::array<std::string, kDspOverlaySlots>& formulas,
                    QWidget* parent = nullptr);
  QLineEdit* field(int slot) const { return fields_[static_cast<size_t>(slot)]; }
  std::array<std::string, kDspOverlaySlots> formulas() const;

 private:
  std::array<QLineEdit*, kDspOverlaySlots> fields_{};
};

// "OK" and "Отмена" accepting and rejecting `dialog`.
QDialogButtonBox* DspOkCancel(QDialog* dialog);

// The overlay colours of slots 1–8.
QColor DspOverlayColor(int slot);

}  // namespace nuv
