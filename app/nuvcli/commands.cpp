#include "cli.h"

namespace nuv::cli {

// Each group of commands is defined in its own file.
std::vector<Command> TimeCommands();
std::vector<Command> ResponseCommands();
std::vector<Command> ArchiveCommands();
std::vector<Command> SeismoCommands();
std::vector<Command> SigprocCommands();
std::vector<Command> DbCommands();
std::vector<Command> AdminCommands();
std::vector<Command> BulletinCommands();
std::vector<Command> EventCommands();
std::vector<Command> MapCommands();
std::vector<Command> WorkspaceCommands();

std::vector<Command> AllCommands() {
  std::vector<Command> all;
  for (auto group : {TimeCommands, ResponseCommands, ArchiveCommands, SeismoCommands,
                     SigprocCommands, DbCommands, AdminCommands, BulletinCommands, EventCommands,
                     MapCommands, WorkspaceCommands}) {
    auto commands = group();
    all.insert(all.end(), commands.begin(), commands.end());
  }
  return all;
}

}  // namespace nuv::cli
