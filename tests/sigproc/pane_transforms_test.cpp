#include "sigproc/pane_transforms.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>

#include "sigproc/parallel_jobs.h"
#include "sigproc/simulation.h"

namespace nuv {
namespace {

// A pane of `seconds` at `rate` holding a sine of 1 Hz plus one of 20 Hz.
TracePane MakePane(int number, double rate = 100.0, double seconds = 20.0) {
  TracePane pane;
  pane.number = number;
  pane.stationName = "ABC";
  pane.channelName = "BHZ";
  pane.channelRate = rate;
  pane.SetWindowStart(1000.0);
  pane.windowLength = seconds;
  NUVDataBlock block;
  block.rate = rate;
  block.start = 1000.0;
  block.Allocate(static_cast<int>(seconds * rate));
  for (int i = 0; i < block.count; ++i) {
    const double t = i / rate;
    block.samples[static_cast<size_t>(i)] =
        static_cast<float>(50.0 + std::sin(2 * M_PI * t) + std::sin(2 * M_PI * 20 * t));
  }
  pane.blocks.Append(block);
  return pane;
}

ChannelFilter LowPass(float cut, int order = 4) {
  ChannelFilter f;
  f.type = kLowPass;
  f.order = order;
  f.highCut = cut;
  f.zeroPhase = 1;
  return f;
}

class FakeLoader : public ResponseLoader {
 public:
  std::optional<PoleZeroResponse> poleZero;
  std::optional<CAPResponse> fap;
  bool fail = false;
  std::optional<PoleZeroResponse> LoadPoleZero(const ResponseChannel&,
                                               std::optional<double>) override {
    if (fail) throw std::runtime_error("Связь с базой данных потеряна");
    return poleZero;
  }
  std::optional<CAPResponse> LoadFapFromDatabase(const ResponseChannel&,
                                                 std::optional<double>) override {
    return std::nullopt;
  }
  std::optional<CAPResponse> LoadFapFile(const ResponseChannel&) override { return fap; }
};

TEST(PaneTransforms, AFilterReplacesTheTransformedSignalAndCanBeRemoved) {
  TracePane pane = MakePane(3);
  PaneTransformTask task;
  ASSERT_TRUE(PreparePaneTransform(pane, {kLowPass, LowPass(5)}, nullptr, task));
  ASSERT_EQ(task.samples.size(), 2000u);
  ComputePaneTransform(task);
  ASSERT_TRUE(task.ok) << task.error;
  ApplyPaneTransform(pane, task);
  ASSERT_EQ(pane.transformed.size(), 2000u);
  EXPECT_EQ(pane.transformCode, kLowPass);
  EXPECT_EQ(pane.TransformName(), "0.0000 5.0000 4 L 0");
  // The 20 Hz component and the offset are gone, the 1 Hz one stays.
  double peak = 0;
  for (size_t i = 400; i < 1600; ++i) peak = std::max(peak, std::fabs(double(pane.transformed[i])));
  EXPECT_NEAR(peak, 1.0, 0.05);
  EXPECT_LT(pane.transMin, -0.9);
  EXPECT_GT(pane.transMax, 0.9);
  // Limits already set are kept by the next application.
  pane.transMin = -7;
  pane.transMax = 7;
  ASSERT_TRUE(PreparePaneTransform(pane, {kLowPass, LowPass(2)}, nullptr, task));
  ComputePaneTransform(task);
  ApplyPaneTransform(pane, task);
  EXPECT_EQ(pane.transMax, 7);
  EXPECT_EQ(PaneChannelFilter(pane).highCut, 2.0f);
  RemovePaneTransform(pane);
  EXPECT_FALSE(pane.HasTransformed());
  EXPECT_EQ(pane.TransformName(), "unfilter");
  EXPECT_FALSE(pane.retransform);
}

TEST(PaneTransforms, RefusedFiltersAndMissingResponsesLeaveThePaneAlone) {
  TracePane pane = MakePane(1);
  PaneTransformTask task;
  // A high-pass at the Nyquist frequency would give NaN.
  ChannelFilter high;
  high.type = kHighPass;
  high.order = 2;
  high.lowCut = 50;
  ASSERT_TRUE(PreparePaneTransform(pane, {kHighPass, high}, nullptr, task));
  ComputePaneTransform(task);
  EXPECT_FALSE(task.ok);
  EXPECT_NE(task.error.find("Найквиста"), std::string::npos) << task.error;

  FakeLoader loader;
  EXPECT_FALSE(PreparePaneTransform(pane, {1004, {}}, &loader, task));
  EXPECT_EQ(task.error, "Ошибка открытия таблицы калибровок для канала 'BHZ' станции 'ABC'");
  EXPECT_FALSE(PreparePaneTransform(pane, {1015, {}}, &loader, task));
  EXPECT_EQ(task.error, "");  // only a beep
  loader.fail = true;
  EXPECT_FALSE(PreparePaneTransform(pane, {1001, {}}, &loader, task));
  EXPECT_EQ(task.error, "Связь с базой данных потеряна");

  TracePane empty;
  EXPECT_FALSE(PreparePaneTransform(empty, {kLowPass, LowPass(5)}, nullptr, task));
  EXPECT_FALSE(task.error.empty());
}

TEST(PaneTransforms, SimulationsRunOnTheLoadedResponse) {
  TracePane pane = MakePane(2, 100.0, 10.0);
  FakeLoader loader;
  loader.poleZero = PoleZeroResponse{1e9, {}, {{-1.0, 0.0}}};
  PaneTransformTask task;
  ASSERT_TRUE(PreparePaneTransform(pane, {1004, {}}, &loader, task));
  const std::vector<float> input = task.samples;
  ComputePaneTransform(task);
  ASSERT_TRUE(task.ok) << task.error;
  PoleZeroResponse pz = *loader.poleZero;
  EXPECT_EQ(task.samples, SimulatePoleZero(input, 100.0, pz, 1004));
  ApplyPaneTransform(pane, task);
  EXPECT_EQ(pane.TransformName(), "WA");
  EXPECT_EQ(pane.transRate, 100.0);
}

TEST(PaneTransforms, SimulationsOnSeveralThreadsAtOnceGiveWhatOneThreadGives) {
  // Each simulation makes and destroys FFTW plans; the planner is shared by
  // the whole process, so worker threads must not plan at the same moment.
  const PoleZeroResponse pz{1e9, {}, {{-1.0, 0.0}}};
  std::vector<float> input(3000);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<float>(std::sin(0.01 * i));
  const std::vector<float> expected = SimulatePoleZero(input, 100.0, pz, 1004);
  std::vector<std::thread> threads;
  std::atomic<int> mismatches{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int round = 0; round < 25; ++round)
        if (SimulatePoleZero(input, 100.0, pz, 1004) != expected) ++mismatches;
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
}

TEST(PaneTransforms, ManyPanesOnThePoolGiveWhatOneThreadGives) {
  // Seven panes with one filter (one of them shorter), two with others.
  std::vector<TracePane> panes;
  for (int i = 0; i < 9; ++i) panes.push_back(MakePane(i, 100.0, i == 4 ? 15.0 : 20.0));
  std::vector<PaneTransformTask> tasks(panes.size());
  for (size_t i = 0; i < panes.size(); ++i) {
    const float cut = i == 2 ? 3.0f : (i == 7 ? 8.0f : 5.0f);
    ASSERT_TRUE(PreparePaneTransform(panes[i], {kLowPass, LowPass(cut)}, nullptr, tasks[i]));
    // Different samples in every pane, so a mixed-up lane would show.
    for (float& v : tasks[i].samples) v *= 1.0f + 0.1f * static_cast<float>(i);
  }
  const auto groups = PaneTransformGroups(tasks, std::vector<bool>(tasks.size(), true));
  ASSERT_EQ(groups.size(), 5u);  // {0,1,3,5} {2} {4} {6,8} {7}
  EXPECT_EQ(groups[0], (std::vector<size_t>{0, 1, 3, 5}));
  EXPECT_EQ(groups[3], (std::vector<size_t>{6, 8}));
  std::vector<bool> some(tasks.size(), true);
  some[1] = false;
  EXPECT_EQ(PaneTransformGroups(tasks, some)[0], (std::vector<size_t>{0, 3, 5, 6}));
  std::vector<PaneTransformTask> serial = tasks;
  ParallelJobs jobs(3);
  ComputePaneTransforms(tasks, jobs);
  for (size_t i = 0; i < tasks.size(); ++i) {
    ComputePaneTransform(serial[i]);
    ASSERT_TRUE(tasks[i].ok);
    EXPECT_EQ(tasks[i].samples, serial[i].samples) << i;
  }
}

TEST(ParallelJobs, EveryIndexRunsOnceFailuresAreCountedAndCancelSkipsTheRest) {
  ParallelJobs jobs(2);
  std::vector<std::atomic<int>> runs(100);
  jobs.Start(runs.size(), [&](size_t i) {
    ++runs[i];
    if (i % 10 == 0) throw std::runtime_error("job");
  });
  jobs.Wait();
  for (auto& r : runs) EXPECT_EQ(r.load(), 1);
  EXPECT_EQ(jobs.finished(), 100u);
  EXPECT_EQ(jobs.failed(), 10u);

  // Cancelled while the first jobs block: the others never start.
  std::atomic<bool> release{false};
  std::atomic<int> started{0};
  jobs.Start(50, [&](size_t) {
    ++started;
    while (!release) std::this_thread::yield();
  });
  while (started < 2) std::this_thread::yield();
  EXPECT_FALSE(jobs.WaitFor(std::chrono::milliseconds(20)));
  jobs.Cancel();
  release = true;
  EXPECT_TRUE(jobs.WaitFor(std::chrono::seconds(10)));
  EXPECT_TRUE(jobs.cancelled());
  EXPECT_EQ(started.load(), 2);
  EXPECT_EQ(jobs.finished(), 50u);
  // An empty batch ends at once.
  jobs.Start(0, [](size_t) {});
  EXPECT_TRUE(jobs.WaitFor(std::chrono::milliseconds(0)));
}

TEST(PaneFormulaData, PanesAreReachedByNumberWithTheirIntervals) {
  TracePane a = MakePane(1, 10.0, 10.0);
  TracePane b = MakePane(2, 10.0, 10.0);
  b.transformed = {1, 2, 3};
  b.transRate = 5;
  a.hasInterval = true;
  a.intervalStart = 1002.0;
  a.intervalEnd = 1003.0;
  PaneFormulaData data({&a, &b});
  ASSERT_EQ(data.Panes().size(), 2u);
  EXPECT_EQ(data.Panes()[1].station, "ABC");
  const auto source = data.PaneData(1, PaneSignal::kSource);
  ASSERT_TRUE(source);
  EXPECT_EQ(source->size(), 100u);
  EXPECT_DOUBLE_EQ(source->dx, 0.1);
  const auto selected = data.PaneData(1, PaneSignal::kSelectedSource);
  ASSERT_TRUE(selected);
  EXPECT_EQ(selected->size(), 10u);
  EXPECT_EQ(selected->samples[0], source->samples[20]);
  EXPECT_FALSE(data.PaneData(1, PaneSignal::kTransformed));
  EXPECT_FALSE(data.PaneData(2, PaneSignal::kSelectedSource));  // no interval
  const auto transformed = data.PaneData(2, PaneSignal::kTransformed);
  ASSERT_TRUE(transformed);
  EXPECT_EQ(transformed->samples, (std::vector<double>{1, 2, 3}));
  EXPECT_DOUBLE_EQ(transformed->dx, 0.2);
  EXPECT_FALSE(data.PaneData(7, PaneSignal::kSource));

  // A formula over two panes; a failing one keeps the previous result.
  a.formula = "current*2-d2";
  ASSERT_FALSE(ApplyPaneFormula(a, data));
  ASSERT_EQ(a.transformed.size(), 100u);
  EXPECT_FLOAT_EQ(a.transformed[5], float(source->samples[5]));
  EXPECT_TRUE(a.formulaOn);
  EXPECT_FLOAT_EQ(a.transRate, 10.0f);
  a.formula = "(current";
  const auto error = ApplyPaneFormula(a, data);
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "Отсутствует )");
  EXPECT_EQ(a.transformed.size(), 100u);
}

}  // namespace
}  // namespace nuv
