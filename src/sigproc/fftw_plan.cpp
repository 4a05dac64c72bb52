#include "sigproc/fftw_plan.h"

namespace nuv {

std::mutex& FftwPlan::PlannerMutex() {
  // One planner per process, so one lock per process.
  static std::mutex mutex;
  return mutex;
}

}  // namespace nuv
