#pragma once
// What a document window offers the frame: the commands it carries out,
// their enabled and checked states, the drop-down menus of its toolbar
// buttons, and the release of its contents before the frame closes. A
// command that no window carries out is shown disabled.

#include <optional>

class QMenu;

namespace nuv {

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;

  // True when this window carries out command `id`.
  virtual bool HandlesCommand(int id) const = 0;
  virtual bool IsCommandEnabled(int id) const { return HandlesCommand(id); }
  // A check mark for toggling commands; nullopt for plain commands.
  virtual std::optional<bool> IsCommandChecked(int /*id*/) const { return std::nullopt; }
  virtual void OnCommand(int id) = 0;
  // Fills the drop-down list of a toolbar button (sort, filter, formula,
  // amplitude on the "WAVEFORMS" bar); an empty menu shows nothing.
  virtual void FillDropDownMenu(int /*id*/, QMenu& /*menu*/) {}
  // Called before the frame closes: the waveform window releases its traces.
  virtual void ReleaseBeforeClose() {}
};

}  // namespace nuv
