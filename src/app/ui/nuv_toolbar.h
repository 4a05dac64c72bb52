#pragma once
// The frame's toolbars: a toolbar that remembers its name and the buttons it
// was loaded with, saves and restores its state as text, and the
// customisation dialog that edits which of the loaded buttons it shows.

#include <QDialog>
#include <QToolBar>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/ui/command_icons.h"

class QListWidget;
class QMenu;

namespace nuv {

// A separator in a button list.
inline constexpr int kToolbarSeparator = 0;

// The buttons of the bars "WAVEFORMS" (128), "MAP" (130), "PHASELIST" (160)
// and "DSP" (203), in their loaded order.
std::vector<int> ToolbarResourceButtons(const std::string& name);
// The resource number of a bar ("WAVEFORMS" 128 ...), 0 for an unknown name.
int ToolbarResourceId(const std::string& name);
// The bar's Russian title ("Волновые формы" for "WAVEFORMS" ...): the
// text of its entry in the frame's toolbar menu.
QString ToolbarTitle(const std::string& name);
// The tool-tip text of a toolbar command (its menu text where it has one).
std::string ToolbarCommandText(int id);

class CNUVToolbar : public QToolBar {
  Q_OBJECT
 public:
  using ActionFactory = std::function<QAction*(int id)>;

  // Loads `buttons` (command ids, 0 for separators); `actionFor` gives the
  // frame's action of a command.
  CNUVToolbar(const QString& name, std::vector<int> buttons, ActionFactory actionFor,
              QWidget* parent = nullptr);

  const std::string& name() const { return name_; }
  // The buttons the bar was loaded with: the buttons the customisation offers.
  const std::vector<int>& loadedButtons() const { return loaded_; }
  const std::vector<int>& currentButtons() const { return current_; }
  // Shows these buttons in this order; ids not loaded with the bar are dropped.
  void SetButtons(const std::vector<int>& ids);

  // A widget that stays after the buttons (the network list of "MAP").
  void SetTrailingWidget(QWidget* widget);
  // A drop-down arrow beside button `id`; `fill` fills its menu when opened.
  void SetDropDown(int id, std::function<void(int, QMenu&)> fill);

  // "BUTTONS=<ids separated by commas>;VISIBLE=<0|1>".
  std::string SaveState() const;
  // Restores a saved state; a state that cannot be read leaves the bar as it is.
  bool RestoreState(const std::string& state);

 signals:
  void changed();

 private:
  void Rebuild();

  std::string name_;
  std::vector<int> loaded_;
  std::vector<int> current_;
  ActionFactory actionFor_;
  QWidget* trailing_ = nullptr;
  std::map<int, std::function<void(int, QMenu&)>> dropDowns_;
  std::vector<QMenu*> menus_;
};

// The customisation dialog "Настройка панели инструментов": the buttons
// offered (the bar's loaded buttons not shown, and a separator) and the
// bar's buttons, with Add, Remove, Up, Down, Reset and Close. The state at
// its start is kept by the caller (value "TMP"); Reset restores it.
class CToolbarCustomizeDialog : public QDialog {
  Q_OBJECT
 public:
  CToolbarCustomizeDialog(CNUVToolbar& bar, std::string startState, QWidget* parent = nullptr);

  QListWidget* availableList() const { return available_; }
  QListWidget* currentList() const { return current_; }

  void AddSelected();
  void RemoveSelected();
  void MoveSelected(int delta);
  void Reset();

 private:
  void Fill();
  void Apply();

  CNUVToolbar& bar_;
  std::string startState_;
  QListWidget* available_;
  QListWidget* current_;
};

}  // namespace nuv
