#pragma once
// Commands by id: what each one does, when it is enabled, its check mark and
// the drop-down menu of its toolbar button. A window or the frame owns one
// registry; every subsystem's ui/ folder adds the commands it carries out, so
// a new command is a new entry in its own folder rather than a new case in a
// window's switch.

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QMenu;

namespace nuv {

struct CommandHandler {
  std::function<void()> run;
  // Empty: enabled whenever registered.
  std::function<bool()> enabled;
  // Empty: a plain command without a check mark.
  std::function<bool()> checked;
  // Empty: the toolbar button has no drop-down list.
  std::function<void(QMenu&)> dropDown;
};

class CommandRegistry {
 public:
  // Registers `handler` for `id`, replacing an earlier one.
  void Add(int id, CommandHandler handler);
  // Shorthands for the common shapes.
  void Add(int id, std::function<void()> run);
  void AddToggle(int id, std::function<void()> run, std::function<bool()> checked);
  void Remove(int id) { handlers_.erase(id); }

  bool Has(int id) const { return handlers_.count(id) != 0; }
  bool IsEnabled(int id) const;
  // nullopt for plain commands and unknown ids.
  std::optional<bool> IsChecked(int id) const;
  // Runs an enabled command; false when `id` is unknown or disabled.
  bool Run(int id) const;
  void FillDropDown(int id, QMenu& menu) const;
  std::vector<int> Ids() const;

 private:
  std::map<int, CommandHandler> handlers_;
};

}  // namespace nuv
