#include "widgets/ui/command_registry.h"

namespace nuv {

void CommandRegistry::Add(int id, CommandHandler handler) {
  handlers_[id] = std::move(handler);
}

void CommandRegistry::Add(int id, std::function<void()> run) {
  CommandHandler handler;
  handler.run = std::move(run);
  Add(id, std::move(handler));
}

void CommandRegistry::AddToggle(int id, std::function<void()> run, std::function<bool()> checked) {
  CommandHandler handler;
  handler.run = std::move(run);
  handler.checked = std::move(checked);
  Add(id, std::move(handler));
}

bool CommandRegistry::IsEnabled(int id) const {
  auto it = handlers_.find(id);
  if (it == handlers_.end()) return false;
  return !it->second.enabled || it->second.enabled();
}

std::optional<bool> CommandRegistry::IsChecked(int id) const {
  auto it = handlers_.find(id);
  if (it == handlers_.end() || !it->second.checked) return std::nullopt;
  return it->second.checked();
}

bool CommandRegistry::Run(int id) const {
  auto it = handlers_.find(id);
  if (it == handlers_.end() || !IsEnabled(id) || !it->second.run) return false;
  // A copy: the command may replace its own registration while it runs.
  const std::function<void()> run = it->second.run;
  run();
  return true;
}

void CommandRegistry::FillDropDown(int id, QMenu& menu) const {
  auto it = handlers_.find(id);
  if (it != handlers_.end() && it->second.dropDown) it->second.dropDown(menu);
}

std::vector<int> CommandRegistry::Ids() const {
  std::vector<int> ids;
  ids.reserve(handlers_.size());
  for (const auto& entry : handlers_) ids.push_back(entry.first);
  return ids;
}

}  // namespace nuv
