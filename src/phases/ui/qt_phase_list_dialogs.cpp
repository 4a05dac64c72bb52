// The real dialogs of the phase-list window.

#include <QApplication>
#include <ctime>

#include "phases/current_event.h"
#include "phases/ui/edit_phase_dialog.h"
#include "phases/ui/event_dialogs.h"
#include "phases/ui/phase_list_dialogs.h"

namespace nuv {
namespace {

class QtPhaseListDialogs : public PhaseListDialogs {
 public:
  std::optional<ChosenEvent> ChooseEvent(QWidget* parent, Workstation& ws, bool saveMode) override {
    CEventChooser chooser(ws, saveMode, parent);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return ChosenEvent{chooser.chosenId(), chooser.chosenComment()};
  }
  bool EditPhase(QWidget* parent, Workstation& ws, SEISMIC_PHASE& phase) override {
    CEditPhase editor(ws, phase, parent);
    if (editor.exec() != QDialog::Accepted) return false;
    phase = editor.phase();
    return true;
  }
};

}  // namespace

std::unique_ptr<PhaseListDialogs> MakeQtPhaseListDialogs() {
  return std::make_unique<QtPhaseListDialogs>();
}

bool RunNewEventDialog(Workstation& ws, QWidget* parent, std::function<void()> loadReb) {
  CNewEventDialog dialog(ws, true, parent);
  if (loadReb) dialog.SetLoadReb(std::move(loadReb));
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace nuv
