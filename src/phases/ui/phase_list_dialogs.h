#pragma once
// The dialogs the phase-list window opens, behind an interface so that the
// desktop program shows the real ones and tests hand in their answers; and
// the hooks through which later subsystems (the origin choosers of the
// secondary database and of the automatic-location tables, the arrivals
// dialogs, the phase-insertion dialog) add their commands to the window.

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace nuv {

class Workstation;
struct SEISMIC_PHASE;

// The row taken in the event chooser.
struct ChosenEvent {
  std::string eventId;
  std::string comment;
};

class PhaseListDialogs {
 public:
  virtual ~PhaseListDialogs() = default;
  // "Выберите индекс" in save (true) or load mode; nothing when cancelled.
  virtual std::optional<ChosenEvent> ChooseEvent(QWidget* parent, Workstation& ws,
                                                 bool saveMode) = 0;
  // "Редактирование фазы" on a copy of `phase`; true when it was changed.
  virtual bool EditPhase(QWidget* parent, Workstation& ws, SEISMIC_PHASE& phase) = 0;
};

std::unique_ptr<PhaseListDialogs> MakeQtPhaseListDialogs();

// "Начать обработку нового землетрясения" (the waveform window's command):
// true when a new event was started. `loadReb`, when given, is the bulletin
// reading behind "Загрузить REB".
bool RunNewEventDialog(Workstation& ws, QWidget* parent, std::function<void()> loadReb = {});

}  // namespace nuv
