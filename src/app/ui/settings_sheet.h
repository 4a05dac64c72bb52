#pragma once
// The settings sheet "Установки": working parameters, CSS 3.0 output,
// amplitude and period options, phase sets, the waveform window and the
// external F-K program. Each page is filled from the configuration and
// NUV.INI when the sheet opens and writes its keys when the sheet is accepted.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

// The display switches of the waveform window that its settings page edits
// (drawWaveforms, timeGrid, autoScale); they hold for the run.
#include "waveview/display_settings.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace nuv {

class UserPrompts;
class Workstation;

// What the sheet needs besides the configuration.
struct SettingsContext {
  bool cssConnected = false;         // a CSS connection is open
  int phaseCount = 0;                // phases in the current list
  std::string mainConnectionString;  // as the connection was built
  std::string cssConnectionString;   // empty without a CSS connection
  WaveformDisplaySettings* waveform = nullptr;
  std::function<void()> reloadTravelTimes;  // after another travel-time set was chosen
};

class CSettingsPage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  // Takes the page's values; false when a key could not be written.
  virtual bool Apply() = 0;
  // Why a value could not be kept as the page shows it (a text longer than
  // NUV.INI gives back at the next start) and its field; an empty message
  // when every value can.
  struct Problem {
    std::string message;
    QWidget* field = nullptr;
  };
  virtual Problem Check() const { return {}; }
};

// "Установки": directories, travel-time set, waveform source and flags.
class CWorkParamsPage : public CSettingsPage {
  Q_OBJECT
 public:
  CWorkParamsPage(Workstation& ws, const SettingsContext& context, QWidget* parent = nullptr);
  bool Apply() override;
  Problem Check() const override;

  QLineEdit* dataDirEdit;
  QLineEdit* outDirEdit;
  QComboBox* travelTimeSets;
  QRadioButton* fromMainDb;
  QRadioButton* fromCssDb;
  QCheckBox* useTend;
  QCheckBox* saveToCssDb;
  QLineEdit* imsRebPathEdit;
  QLineEdit* cssDataPathEdit;
  QLineEdit* mainDbEdit;
  QLineEdit* cssDbEdit;

 private:
  Workstation& ws_;
  SettingsContext context_;
  int initialSet_ = -1;
  QString shownDataDir_;  // as the page opened
};

// "Параметры сохранения данных в формате CSS 3.0".
class CCss30OutputPage : public CSettingsPage {
  Q_OBJECT
 public:
  explicit CCss30OutputPage(Workstation& ws, QWidget* parent = nullptr);
  bool Apply() override;
  Problem Check() const override;

  QLineEdit* dirEdit;
  QButtonGroup* format;

 private:
  Workstation& ws_;
};

// "Расчет амплитуды по умолчанию" (buttons 1074, 1075, 1076).
class SetupCalpAmpOptions : public CSettingsPage {
  Q_OBJECT
 public:
  explicit SetupCalpAmpOptions(Workstation& ws, QWidget* parent = nullptr);
  bool Apply() override;

  QButtonGroup* mode;

 private:
  Workstation& ws_;
};

// The phase sets of [PRESELECTED PHASES] and which of them is active.
class CPhaseSetPage : public CSettingsPage {
  Q_OBJECT
 public:
  explicit CPhaseSetPage(Workstation& ws, QWidget* parent = nullptr);
  bool Apply() override;
  Problem Check() const override;

  QButtonGroup* active;    // 0 Teleseismic, 1 Regional, 2 Local, 3 Full
  QLineEdit* setEdits[3];  // Teleseismic, Regional, Local

 private:
  Workstation& ws_;
};

// "Установки окна "Волновые формы"".
class CWaveformSetupPage : public CSettingsPage {
  Q_OBJECT
 public:
  CWaveformSetupPage(WaveformDisplaySettings* settings, QWidget* parent = nullptr);
  bool Apply() override;

  QCheckBox* drawWaveforms;
  QCheckBox* timeGrid;
  QCheckBox* autoScale;

 private:
  WaveformDisplaySettings* settings_;
};

// "Настройка параметров внешней программы F-K анализа" ([FKEXT] MODULE and WFD).
class CExtProgFKSetup : public CSettingsPage {
  Q_OBJECT
 public:
  explicit CExtProgFKSetup(Workstation& ws, QWidget* parent = nullptr);
  bool Apply() override;
  Problem Check() const override;

  QLineEdit* programEdit;
  QLineEdit* exchangeDirEdit;

 private:
  Workstation& ws_;
};

// The sheet itself. With `waveformPageOnly` it holds only the waveform
// window's page (its own command "Установки...").
class CSettingsSheet : public QDialog {
  Q_OBJECT
 public:
  CSettingsSheet(Workstation& ws, const SettingsContext& context, bool waveformPageOnly = false,
                 QWidget* parent = nullptr);

  QTabWidget* tabs() const { return tabs_; }
  template <typename Page>
  Page* page() const {
    for (CSettingsPage* p : pages_)
      if (auto* found = qobject_cast<Page*>(p)) return found;
    return nullptr;
  }

  // Applies every page (OK); when NUV.INI could not be written shows
  // SettingsNotSavedMessage. A value that NUV.INI could not keep as shown
  // is named instead, its page opened, and the sheet stays.
  void accept() override;

 private:
  UserPrompts& prompts_;
  std::string iniPath_;
  QTabWidget* tabs_;
  std::vector<CSettingsPage*> pages_;
};

// The phase names of a set text, each followed by ";" (the form the editor writes).
std::string NormalizePhaseSet(const std::string& text);

}  // namespace nuv
