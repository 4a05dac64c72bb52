#pragma once
// An FFTW plan made and destroyed under one lock. FFTW's planner keeps
// process-wide state and is not reentrant, while transforms of several panes
// run on worker threads at once; executing a finished plan needs no lock.

#include <fftw3.h>

#include <mutex>
#include <utility>

namespace nuv {

class FftwPlan {
 public:
  // `make` calls one of the fftw_plan_* functions.
  template <typename Make>
  explicit FftwPlan(Make&& make) {
    const std::lock_guard<std::mutex> lock(PlannerMutex());
    plan_ = std::forward<Make>(make)();
  }
  ~FftwPlan() {
    const std::lock_guard<std::mutex> lock(PlannerMutex());
    if (plan_) fftw_destroy_plan(plan_);
  }
  FftwPlan(const FftwPlan&) = delete;
  FftwPlan& operator=(const FftwPlan&) = delete;

  void Execute() const { fftw_execute(plan_); }

 private:
  static std::mutex& PlannerMutex();

  fftw_plan plan_ = nullptr;
};

}  // namespace nuv
