#pragma once
// Starts an outside program with its arguments (no shell in between) and
// waits for it up to a time limit; a program that overstays is stopped
// together with whatever it started.

#include <chrono>
#include <string>
#include <vector>

namespace nuv {

struct ProgramRun {
  enum class Outcome { Finished, NotStarted, TimedOut };
  Outcome outcome = Outcome::NotStarted;
  int exitCode = -1;  // when Finished: the exit status, or 128 + signal
  std::string error;  // when NotStarted: the system's text
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds timeout);

}  // namespace nuv
