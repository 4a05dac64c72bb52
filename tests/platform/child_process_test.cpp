// Running outside programs: starts that fail, the working directory, how a
// run ended, and output that arrives on both streams.

#include "platform/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/error_text.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

ChildRun Shell(const std::string& script, const std::string& dir = "", int timeoutMs = 20000) {
  ChildRequest r;
  r.program = "sh";
  r.args = {"-c", script};
  r.workingDir = dir;
  r.timeoutMs = timeoutMs;
  return RunChild(r);
}

TEST(ChildProcessTest, StartsThatFailSayWhy) {
  test::TempDir dir;
  const std::string plain = dir.WriteFile("plain.txt", "not a program").string();
  ChildRequest r;
  r.program = plain;
  ChildRun run = RunChild(r);
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.startError, SystemErrorText(EACCES));
  EXPECT_EQ(FindProgram(plain), "");

  r.program = "no-such-program-anywhere";
  run = RunChild(r);
  EXPECT_FALSE(run.started);
  EXPECT_FALSE(run.startError.empty());

  run = Shell("echo hi", (dir / "missing").string());
  EXPECT_FALSE(run.started);
  EXPECT_EQ(run.startError, SystemErrorText(ENOENT));
  EXPECT_TRUE(run.output.empty());
}

TEST(ChildProcessTest, WorkingDirectoryStreamsAndEndings) {
  test::TempDir dir;
  ChildRun run = Shell("pwd; echo to-stderr >&2; exit 5", dir.path().string());
  ASSERT_TRUE(run.started) << run.startError;
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.exitCode, 5);
  EXPECT_NE(run.output.find(std::filesystem::canonical(dir.path()).string()), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("to-stderr"), std::string::npos);

  run = Shell("kill -TERM $$");
  EXPECT_FALSE(run.exited);
  EXPECT_EQ(run.signal, SIGTERM);

  // Descriptors of the caller (here one opened without close-on-exec) stay
  // with the caller.
  const int fd = ::open(dir.WriteFile("held.txt", "x").c_str(), O_RDONLY);
  ASSERT_GE(fd, 3);
  run = Shell("[ -e /proc/self/fd/" + std::to_string(fd) + " ] && echo open || echo closed");
  ::close(fd);
  EXPECT_EQ(run.output, "closed\n");

  // Arguments reach the program as they are, with no shell between.
  const std::string odd = (dir.path() / "a b;$(x)").string();
  ChildRequest request;
  request.program = "/bin/sh";
  request.args = {"-c", "echo hi > \"$1\"", "sh", odd};
  run = RunChild(request);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(test::TempDir::ReadFile(odd), "hi\n");

  // Standard input is empty, not the caller's terminal.
  run = Shell("cat; echo done");
  EXPECT_EQ(run.output, "done\n");

  // A child that closes its output and keeps running is still timed out.
  run = Shell("exec >/dev/null 2>&1; sleep 30", "", 200);
  EXPECT_TRUE(run.timedOut);
  EXPECT_EQ(run.signal, SIGKILL);
}

TEST(ChildProcessTest, OutputBeyondTheLimitIsCutNotBlocking) {
  ChildRequest r;
  r.program = "sh";
  r.args = {"-c", "head -c 300000 /dev/zero | tr '\\0' x; echo; echo end"};
  r.maxOutput = 1000;
  const ChildRun run = RunChild(r);
  EXPECT_TRUE(run.exited);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.truncated);
  EXPECT_EQ(run.output, std::string(1000, 'x'));
}

TEST(ChildProcessTest, CancelStopsTheChildBeforeItsTimeOut) {
  std::atomic<bool> cancel{false};
  ChildRequest r;
  r.program = "sh";
  r.args = {"-c", "echo begun; sleep 30"};
  r.timeoutMs = 60000;
  r.cancel = &cancel;
  std::thread stopper([&cancel] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    cancel = true;
  });
  const ChildRun run = RunChild(r);
  stopper.join();
  EXPECT_TRUE(run.cancelled);
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(run.output, "begun\n");
}

}  // namespace
}  // namespace nuv
