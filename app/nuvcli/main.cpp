#include <iostream>
#include <string_view>

#include "cli.h"
#include "platform/strformat.h"

namespace {

// The program's own command-line keys, accepted before the subcommand.
bool IsProgramKey(const std::string& arg) {
  const std::string upper = nuv::ToUpperAscii(arg);
  for (const char* prefix : {"ODBC=", "USER=", "PASSWORD=", "ODBC_CSS=", "USER_CSS=",
                             "PASSWORD_CSS=", "DATA=", "DIR=", "CHKDB"})
    if (upper.starts_with(prefix)) return true;
  return false;
}

void PrintUsage(const std::vector<nuv::cli::Command>& commands) {
  std::cerr << "usage: nuvcli [ODBC=..] [USER=..] [PASSWORD=..] [ODBC_CSS=..] [USER_CSS=..]\n"
               "              [PASSWORD_CSS=..] [DATA=..] [CHKDB] COMMAND [ARGS]\n\ncommands:\n";
  for (const auto& command : commands)
    std::cerr << "  " << command.name << " " << command.usage << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> keys;
  std::vector<std::string> rest;
  int i = 1;
  for (; i < argc && IsProgramKey(argv[i]); ++i) keys.emplace_back(argv[i]);
  for (; i < argc; ++i) rest.emplace_back(argv[i]);

  const auto commands = nuv::cli::AllCommands();
  // The longest command name that the arguments start with ("db init" before "db").
  const nuv::cli::Command* chosen = nullptr;
  size_t chosenWords = 0;
  for (const auto& command : commands) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start <= command.name.size()) {
      const size_t space = command.name.find(' ', start);
      words.push_back(command.name.substr(start, space - start));
      if (space == std::string::npos) break;
      start = space + 1;
    }
    if (words.size() > rest.size() || words.size() <= chosenWords) continue;
    bool match = true;
    for (size_t w = 0; w < words.size(); ++w) match = match && rest[w] == words[w];
    if (match) {
      chosen = &command;
      chosenWords = words.size();
    }
  }
  if (!chosen) {
    PrintUsage(commands);
    return 2;
  }
  nuv::cli::Args args(rest.begin() + static_cast<std::ptrdiff_t>(chosenWords), rest.end());
  try {
    nuv::cli::Session session(keys);
    const nlohmann::json result = chosen->run(session, args);
    std::cout << result.dump(2) << std::endl;
    return 0;
  } catch (const std::exception& error) {
    std::cerr << error.what() << std::endl;
    return 1;
  }
}
