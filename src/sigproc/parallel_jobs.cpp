#include "sigproc/parallel_jobs.h"

#include <algorithm>

namespace nuv {

ParallelJobs::ParallelJobs(unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  workers_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) workers_.emplace_back([this] { WorkerLoop(); });
}

ParallelJobs::~ParallelJobs() {
  Cancel();
  Wait();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void ParallelJobs::Start(std::size_t count, std::function<void(std::size_t)> job) {
  Wait();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = std::move(job);
    count_ = count;
    next_ = 0;
    finished_ = 0;
    failed_ = 0;
    cancelled_ = false;
    ++batch_;
  }
  wake_.notify_all();
}

bool ParallelJobs::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return done_.wait_for(lock, timeout, [this] { return finished_ >= count_; });
}

void ParallelJobs::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return finished_ >= count_; });
}

void ParallelJobs::WorkerLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || next_ < count_; });
    if (stopping_) return;
    const std::size_t index = next_++;
    const std::function<void(std::size_t)> job = job_;
    lock.unlock();
    bool ok = true;
    if (!cancelled_) {
      try {
        job(index);
      } catch (...) {
        ok = false;
      }
    }
    lock.lock();
    if (!ok) ++failed_;
    if (++finished_ >= count_) done_.notify_all();
  }
}

void ParallelJobs::RunAll(std::size_t count, const std::function<void(std::size_t)>& job,
                          unsigned threads) {
  ParallelJobs jobs(threads);
  jobs.Start(count, job);
  jobs.Wait();
}

}  // namespace nuv
