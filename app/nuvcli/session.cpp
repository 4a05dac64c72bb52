#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "app/startup.h"
#include "cli.h"
#include "platform/strformat.h"

namespace nuv::cli {
namespace {

std::string ExecutableDir() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("./") : exe.parent_path().string() + "/";
}

}  // namespace

PromptAnswer ConsolePrompts::Message(const std::string& text, const std::string& caption,
                                     PromptIcon icon, PromptButtons buttons) {
  std::cerr << text << std::endl;
  return ScriptedPrompts::Message(text, caption, icon, buttons);
}

Workstation& Session::workstation() {
  if (!workstation_) {
    StartupOptions options;
    options.args = keys_;
    options.settingsDir = DefaultSettingsDir();
    options.executableDir = ExecutableDir();
    workstation_ = CreateWorkstation(options, prompts_);
    ConnectWorkstation(*workstation_);
  }
  return *workstation_;
}

double ParseDouble(const std::string& text, const std::string& what) {
  try {
    size_t used = 0;
    const double value = std::stod(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  throw CliError("not a number for " + what + ": " + text);
}

long long ParseInteger(const std::string& text, const std::string& what) {
  try {
    size_t used = 0;
    const long long value = std::stoll(text, &used);
    if (used == text.size()) return value;
  } catch (const std::exception&) {
  }
  throw CliError("not an integer for " + what + ": " + text);
}

std::optional<std::string> TakeOption(Args& args, const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) throw CliError("missing value after " + name);
    std::string value = args[i + 1];
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
               args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return value;
  }
  return std::nullopt;
}

bool TakeFlag(Args& args, const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

}  // namespace nuv::cli
