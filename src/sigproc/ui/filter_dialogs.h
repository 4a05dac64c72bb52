#pragma once
// The filter sheet "Фильтр" with its page "Выберите полосу пропускания  и
// тип фильтра" (cut-offs, type, order, zero phase and the preset list) and
// the filter constructor "Конструктор фильтра", which writes a formula.

#include <QDialog>
#include <functional>
#include <string>

#include "sigproc/butterworth.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;

namespace nuv {

class SettingsStore;
class UserPrompts;

class CFilterSheet : public QDialog {
  Q_OBJECT

 public:
  // `inEffect` false: the page starts modified, so OK applies the shown
  // setting.
  CFilterSheet(SettingsStore& store, UserPrompts& prompts, const ChannelFilter& filter,
               double sampleRate, std::function<void(const ChannelFilter&)> apply,
               QWidget* parent = nullptr, bool inEffect = true);

  QLineEdit* lowEdit() const { return low_; }
  QLineEdit* highEdit() const { return high_; }
  QLineEdit* orderEdit() const { return order_; }
  QListWidget* presetList() const { return presets_; }
  void SetType(int type);
  int type() const;
  // Checks the page; applies it when it is sound. False keeps the sheet open.
  bool Apply();
  // "Запомнить" with the name the name dialog returned.
  void RememberAs(const std::string& name);
  // "Выбрать" and "Удалить" on the selected preset.
  void ChooseSelected();
  void DeleteSelected();

 private:
  void FillPresets(int select);
  void Show(const ChannelFilter& filter);
  void UpdateEnabling();
  ChannelFilter PageContents() const;

  SettingsStore& store_;
  UserPrompts& prompts_;
  double sampleRate_;
  std::function<void(const ChannelFilter&)> apply_;
  bool modified_ = false;
  QLineEdit* low_ = nullptr;
  QLineEdit* high_ = nullptr;
  QLineEdit* order_ = nullptr;
  QButtonGroup* types_ = nullptr;
  QCheckBox* zeroPhase_ = nullptr;
  QListWidget* presets_ = nullptr;
};

// "Конструктор фильтра": two bounds, order, type and zero phase; the formula
// text on OK.
class CFilterWizard : public QDialog {
  Q_OBJECT

 public:
  explicit CFilterWizard(QWidget* parent = nullptr);
  std::string Formula() const;

  QLineEdit* lowEdit() const { return low_; }
  QLineEdit* highEdit() const { return high_; }
  QLineEdit* orderEdit() const { return order_; }
  QButtonGroup* types() const { return types_; }
  QCheckBox* zeroPhase() const { return zeroPhase_; }

 private:
  QLineEdit* low_ = nullptr;
  QLineEdit* high_ = nullptr;
  QLineEdit* order_ = nullptr;
  QButtonGroup* types_ = nullptr;
  QCheckBox* zeroPhase_ = nullptr;
};

}  // namespace nuv
