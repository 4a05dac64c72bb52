#pragma once
// A small pool of worker threads for independent jobs, such as transforming
// the samples of several trace panes. The caller starts the jobs, waits in
// short steps (keeping its own thread alive and showing progress), may
// cancel them, and applies the results itself once Wait reports the end: the
// jobs only compute, they never touch the panes.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace nuv {

class ParallelJobs {
 public:
  // `threads` workers (0: one per processor core).
  explicit ParallelJobs(unsigned threads = 0);
  // Cancels what has not started and waits for the running jobs.
  ~ParallelJobs();
  ParallelJobs(const ParallelJobs&) = delete;
  ParallelJobs& operator=(const ParallelJobs&) = delete;

  // Runs job(0) ... job(count - 1) on the workers, each index once. Returns at
  // once; a batch still running is waited for first. An exception thrown by a
  // job is caught and counts the job as failed.
  void Start(std::size_t count, std::function<void(std::size_t)> job);
  // Waits up to `timeout` for the batch; true when every job has ended.
  bool WaitFor(std::chrono::milliseconds timeout);
  void Wait();
  // Jobs not yet started are skipped; running ones finish.
  void Cancel() { cancelled_ = true; }

  bool cancelled() const { return cancelled_; }
  std::size_t finished() const { return finished_; }
  std::size_t failed() const { return failed_; }
  std::size_t count() const { return count_; }
  unsigned threads() const { return static_cast<unsigned>(workers_.size()); }

  // Runs job(i) for every index and waits: the simple form for code that
  // has nothing to do meanwhile.
  static void RunAll(std::size_t count, const std::function<void(std::size_t)>& job,
                     unsigned threads = 0);

 private:
  void WorkerLoop();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  std::function<void(std::size_t)> job_;
  std::size_t count_ = 0;
  std::size_t next_ = 0;
  std::size_t batch_ = 0;  // increases with every Start
  std::atomic<std::size_t> finished_{0};
  std::atomic<std::size_t> failed_{0};
  std::atomic<bool> cancelled_{false};
  bool stopping_ = false;
};

}  // namespace nuv
