#include "fk/program_run.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace nuv {

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds timeout) {
  ProgramRun run;
  if (access(program.c_str(), X_OK) != 0) {
    run.error = std::strerror(errno);
    return run;
  }
  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);

  // A process group of its own, so that a time-out stops its children too.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const int spawned =
      posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (spawned != 0) {
    run.error = std::strerror(spawned);
    return run;
  }

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      run.outcome = ProgramRun::Outcome::Finished;
      run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return run;
    }
    if (done < 0 && errno != EINTR) {
      run.outcome = ProgramRun::Outcome::Finished;
      run.exitCode = -1;
      return run;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      run.outcome = ProgramRun::Outcome::TimedOut;
      return run;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

}  // namespace nuv
