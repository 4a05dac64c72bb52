#pragma once
// What the seismological commands work on: the workstation (phase list,
// current event, stations, databases), the window their dialogs belong to,
// and what must be redrawn after they change phases or the origin.

#include <QWidget>
#include <functional>

namespace nuv {

class Workstation;
class waveform;

struct SeismoSite {
  Workstation* ws = nullptr;
  QWidget* parent = nullptr;
  // The waveform window for the commands on its panes (null for none).
  waveform* window = nullptr;
  // The phase table, the phase marks and the map are brought up to date.
  std::function<void()> phasesChanged;

  void Changed() const {
    if (phasesChanged) phasesChanged();
  }
};

}  // namespace nuv
