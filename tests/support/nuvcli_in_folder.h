#pragma once
// Runs the built nuvcli in a folder of a test, with the settings folder
// "settings" there, and collects its exit status, standard output and
// standard error.

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace nuv::test {

struct FolderCliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// The program, or "" when it has not been built.
inline std::string NuvcliProgram() {
  const std::string program = std::string(NUV_BINARY_DIR) + "/app/nuvcli";
  return std::filesystem::exists(program) ? program : std::string();
}

inline FolderCliRun RunNuvcli(const TempDir& dir, const std::string& program,
                              const std::string& args) {
  const std::string errFile = (dir / "stderr.txt").string();
  const std::string command = "cd '" + dir.path().string() + "' && NUV_CONFIG_DIR='" +
                              (dir / "settings").string() + "' '" + program + "' " + args + " 2>'" +
                              errFile + "'";
  FolderCliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = TempDir::ReadFile(errFile);
  return run;
}

}  // namespace nuv::test
