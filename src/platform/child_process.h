#pragma once
// Running an outside program to its end: its standard output and standard
// error go into one pipe that is read while it runs (so a talkative program
// never blocks on a full pipe), the wait has a time-out, and a program still
// running at the time-out is stopped with its whole process group.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

namespace nuv {

struct ChildRequest {
  // A path (used as it is) or a bare name looked up in PATH.
  std::string program;
  std::vector<std::string> args;  // argv[1..]
  std::string workingDir;         // "" keeps the caller's
  int timeoutMs = 60000;
  size_t maxOutput = 32000;  // bytes kept of what the child writes
  // Set from another thread to stop the child before its time-out.
  const std::atomic<bool>* cancel = nullptr;
};

struct ChildRun {
  bool started = false;    // the program was found and began to run
  std::string startError;  // why it did not start
  bool timedOut = false;   // still running at the time-out, and stopped
  bool cancelled = false;  // stopped because `cancel` was set
  bool exited = false;     // ended by itself (exitCode is valid)
  int exitCode = -1;
  int signal = 0;          // the signal that ended it, 0 for none
  std::string output;      // stdout and stderr as written, at most maxOutput bytes
  bool truncated = false;  // it wrote more than maxOutput bytes
};

// Starts `request.program` with standard input from /dev/null and waits for
// it. Never throws; every failure is described in the result.
ChildRun RunChild(const ChildRequest& request);

// The program `name` would run as: itself when it holds a '/' and is an
// executable file, else the first executable file of that name in PATH; ""
// when there is none.
std::string FindProgram(const std::string& name);
bool IsExecutableFile(const std::string& path);

}  // namespace nuv
