#pragma once
// The command-line face of the core. Each group of subcommands lives in its
// own file and lists itself in commands.cpp; every command prints JSON on
// standard output, or throws CliError with the system's message, which main
// prints on standard error with a non-zero exit.

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/scripted_prompts.h"
#include "workstation/workstation.h"

namespace nuv::cli {

class CliError : public std::runtime_error {
 public:
  explicit CliError(const std::string& message) : std::runtime_error(message) {}
};

// Messages shown by the core go to standard error; questions get "No"
// unless --yes was given.
class ConsolePrompts : public ScriptedPrompts {
 public:
  PromptAnswer Message(const std::string& text, const std::string& caption, PromptIcon icon,
                       PromptButtons buttons) override;
};

class Session {
 public:
  explicit Session(std::vector<std::string> keys) : keys_(std::move(keys)) {}
  // The workstation on first use (commands that need no configuration never
  // build it): the core start-up sequence from the command-line keys and
  // NUV.INI, both connections opened and the station table, networks and
  // controlled regions loaded. Connection failures are reported on standard
  // error and the workstation runs with what opened.
  Workstation& workstation();
  ConsolePrompts& prompts() { return prompts_; }
  const std::vector<std::string>& keys() const { return keys_; }

 private:
  std::vector<std::string> keys_;
  ConsolePrompts prompts_;
  std::unique_ptr<Workstation> workstation_;
};

using Args = std::vector<std::string>;

struct Command {
  std::string name;  // may hold two words ("db init")
  std::string usage;
  // Returns the JSON to print.
  nlohmann::json (*run)(Session& session, const Args& args);
};

// Every command of the program (commands.cpp).
std::vector<Command> AllCommands();

// Argument helpers: they throw CliError with a usage-style message.
double ParseDouble(const std::string& text, const std::string& what);
long long ParseInteger(const std::string& text, const std::string& what);
// Removes "--name VALUE" from args and returns VALUE.
std::optional<std::string> TakeOption(Args& args, const std::string& name);
// Removes a "--name" flag and says whether it was there.
bool TakeFlag(Args& args, const std::string& name);

// The workstation connected to the main database, with its phase-type and
// travel-time tables loaded; CliError without the connection.
Workstation& EventWorkstation(Session& session);
// The same workstation with the stored event `eventId` made current;
// CliError when there is no such event or it cannot be loaded.
Workstation& LoadStoredEvent(Session& session, const std::string& eventId);

}  // namespace nuv::cli
