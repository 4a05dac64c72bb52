#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/error_text.h"

namespace nuv {
bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Only async-signal-safe calls between fork and exec: the parent may run
// other threads. A failure is sent to the parent as errno through `report`.
[[noreturn]] void ExecChild(const char* program, char* const* argv, const char* dir, int out,
                            int report) {
  ::setpgid(0, 0);
  const int in = ::open("/dev/null", O_RDONLY);
  if (in >= 0) ::dup2(in, STDIN_FILENO);
  ::dup2(out, STDOUT_FILENO);
  ::dup2(out, STDERR_FILENO);
  // Nothing else of ours (database sockets, files) goes to the program; the
  // report pipe stays open until the exec. Older kernels leave them be.
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  if (dir && *dir && ::chdir(dir) != 0) {
    const int error = errno;
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
  }
  ::execv(program, argv);
  const int error = errno;
  (void)!::write(report, &error, sizeof error);
  ::_exit(127);
}

void Append(ChildRun& run, const char* data, size_t size, size_t limit) {
  const size_t room = run.output.size() < limit ? limit - run.output.size() : 0;
  if (size > room) run.truncated = true;
  run.output.append(data, size < room ? size : room);
}

// Reads what is there without waiting; false at the end of the pipe.
bool Drain(int fd, ChildRun& run, size_t limit) {
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      Append(run, buffer, static_cast<size_t>(n), limit);
      continue;
    }
    if (n == 0) return false;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  }
}

void Record(ChildRun& run, int status) {
  if (WIFEXITED(status)) {
    run.exited = true;
    run.exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    run.signal = WTERMSIG(status);
  }
}

}  // namespace

std::string FindProgram(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : "";
  const char* path = std::getenv("PATH");
  std::string list = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(':', start), list.size());
    const std::string dir = end > start ? list.substr(start, end - start) : ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return "";
}

ChildRun RunChild(const ChildRequest& request) {
  ChildRun run;
  // A path is tried as it is, so that exec tells why it cannot run it.
  const std::string program = request.program.find('/') != std::string::npos
                                  ? request.program
                                  : FindProgram(request.program);
  if (program.empty()) {
    run.startError = SystemErrorText(ENOENT);
    return run;
  }
  // Everything the child needs is made before the fork.
  std::vector<std::string> words{request.program};
  words.insert(words.end(), request.args.begin(), request.args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  int out[2] = {-1, -1}, report[2] = {-1, -1};
  if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(report, O_CLOEXEC) != 0) {
    run.startError = SystemErrorText(errno);
    for (int* fd : {&out[0], &out[1], &report[0], &report[1]}) CloseFd(*fd);
    return run;
  }
  const pid_t pid = ::fork();
  if (pid == 0)
    ExecChild(program.c_str(), argv.data(), request.workingDir.c_str(), out[1], report[1]);
  CloseFd(out[1]);
  CloseFd(report[1]);
  if (pid < 0) {
    run.startError = SystemErrorText(errno);
    CloseFd(out[0]);
    CloseFd(report[0]);
    return run;
  }
  // The report pipe closes at the exec (close-on-exec) or carries its errno.
  int error = 0;
  ssize_t got;
  do got = ::read(report[0], &error, sizeof error);
  while (got < 0 && errno == EINTR);
  CloseFd(report[0]);
  if (got == static_cast<ssize_t>(sizeof error)) {
    run.startError = SystemErrorText(error);
    CloseFd(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return run;
  }
  run.started = true;
  ::fcntl(out[0], F_SETFL, ::fcntl(out[0], F_GETFL) | O_NONBLOCK);

  const auto deadline = Clock::now() + std::chrono::milliseconds(request.timeoutMs);
  bool pipeOpen = true, reaped = false;
  int status = 0;
  while (!reaped) {
    if (request.cancel && request.cancel->load()) break;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    if (pipeOpen) {
      pollfd p{out[0], POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(std::min<long long>(left, 50))) > 0)
        pipeOpen = Drain(out[0], run, request.maxOutput);
    } else {
      ::usleep(10000);
    }
    reaped = ::waitpid(pid, &status, WNOHANG) == pid;
  }
  if (reaped) {
    Record(run, status);
  } else {
    // Still running: the program and whatever it started are stopped.
    run.cancelled = request.cancel && request.cancel->load();
    run.timedOut = !run.cancelled;
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    Record(run, status);
  }
  // What is left in the pipe; a grandchild keeping it open is not waited for.
  if (pipeOpen) Drain(out[0], run, request.maxOutput);
  CloseFd(out[0]);
  return run;
}

}  // namespace nuv
