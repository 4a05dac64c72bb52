// The waveform window with 24 channels of one hour, and of one day, at 100
// samples/s, read from WFD files: adding them from the selection dialog's
// "Ok" until the last pane is painted, with the growth of the resident
// memory; a shift, a zoom and a vertical stretch of all panes with the
// repaint. Panes paint offscreen into images.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "archive/block_reader.h"
#include "archive/wfd_file.h"
#include "offscreen_waveform.h"
#include "platform/scripted_prompts.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "waveview/waveform_commands.h"
#include "workstation/workstation.h"

namespace {

namespace fs = std::filesystem;
using namespace nuv;

constexpr int kStations = 8;
constexpr double kRate = 100;
constexpr double kStart = 1249495001.0;
const char* const kChannels[] = {"BHZ", "BHN", "BHE"};

long ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * sysconf(_SC_PAGESIZE);
}

// A settings folder, the inventory and one WFD file per channel, each
// `hours` long.
class Environment {
 public:
  explicit Environment(int hours) : seconds_(3600.0 * hours) {
    const int samplesPerChannel = static_cast<int>(kRate * seconds_);
    std::string pattern = (fs::temp_directory_path() / "nuvwaveview-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir_ = pattern;
    Config config;
    config.settingsDir = dir_ / "settings";
    ws_ = std::make_unique<Workstation>(config, prompts_);
    std::vector<float> samples(samplesPerChannel);
    for (int s = 0; s < kStations; ++s) {
      CScreenFields station;
      station.code = "ST" + std::to_string(s);
      for (int c = 0; c < 3; ++c) {
        station.channels[static_cast<size_t>(c)].name = kChannels[c];
        station.channels[static_cast<size_t>(c)].rate = kRate;
        for (int i = 0; i < samplesPerChannel; ++i)
          samples[static_cast<size_t>(i)] = static_cast<float>(
              1000 * std::sin(i * 0.05 + c) + (i * 7919LL + s * 104729LL) % 200 - 100);
        const std::string header =
            BuildWfdHeader(station.code, kChannels[c], kStart, seconds_, kRate);
        std::ofstream out(FileOf(station.code, kChannels[c]), std::ios::binary);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
        out.write(reinterpret_cast<const char*>(samples.data()),
                  static_cast<std::streamsize>(samples.size() * sizeof(float)));
      }
      station.selection.SetStartEpoch(kStart);
      station.selection.SetLengthSeconds(seconds_);
      ws_->stations().records().push_back(station);
    }
  }
  ~Environment() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string FileOf(const std::string& station, const std::string& channel) const {
    return (dir_ / (station + "-" + channel + ".wfd")).string();
  }

  // A shown window whose panes read the files as the archive does.
  std::unique_ptr<waveform> MakeWindow() {
    auto window = std::make_unique<waveform>(*ws_);
    window->SetDialogs(std::make_unique<bench::SelectAllChannels>(kStations));
    window->SetSegmentLoader([this](const std::string& sta, const std::string& chan,
                                    const std::string&, double t1, double t2,
                                    NUVDataBlockArray& out) {
      out.Clear();
      BlockFile file{FileOf(sta, chan), 512, kStart, seconds_, kRate, 3};
      if (auto block = ReadBlock(file, t1, t2)) out.Append(std::move(*block));
    });
    window->resize(1600, 1200);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }

 private:
  double seconds_;
  fs::path dir_;
  ScriptedPrompts prompts_;
  std::unique_ptr<Workstation> ws_;
};

// One environment per length, made on first use and kept for the run.
Environment& Env(int hours) {
  bench::OffscreenApp();
  static std::map<int, std::unique_ptr<Environment>> envs;
  auto& env = envs[hours];
  if (!env) env = std::make_unique<Environment>(hours);
  return *env;
}

// Paints every pane (not only those scrolled into view).
void PaintAll(waveform& window, QImage& image) {
  for (CZoomWindow* pane : window.panes()) {
    QPainter painter(&image);
    pane->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  }
}

void AddChannelsAndPaint(benchmark::State& state, int hours) {
  Environment& env = Env(hours);
  QImage image(1600, 400, QImage::Format_RGB32);
  long memory = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = env.MakeWindow();
    const long before = ResidentBytes();
    state.ResumeTiming();
    window->ExecuteCommand(kCmdAddChannels);
    PaintAll(*window, image);
    state.PauseTiming();
    if (window->panes().size() != 24) state.SkipWithError("not 24 panes");
    // The first iteration grows the heap; later ones reuse what it freed.
    memory = std::max(memory, ResidentBytes() - before);
    double samples = 0;
    for (CZoomWindow* pane : window->panes())
      for (const NUVDataBlock& b : pane->pane().blocks) samples += b.count;
    state.counters["sample_MB"] = samples * sizeof(float) / (1024.0 * 1024.0);
    window.reset();
    state.ResumeTiming();
  }
  state.counters["resident_growth_MB"] = static_cast<double>(memory) / (1024.0 * 1024.0);
}

void BM_AddChannelsAndPaint(benchmark::State& state) {
  AddChannelsAndPaint(state, 1);
}
BENCHMARK(BM_AddChannelsAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// 24 channels of 24 hours: 207 M samples.
void BM_DayAddChannelsAndPaint(benchmark::State& state) {
  AddChannelsAndPaint(state, 24);
}
BENCHMARK(BM_DayAddChannelsAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShiftAllPanes(benchmark::State& state) {
  Environment& env = Env(static_cast<int>(state.range(0)));
  auto window = env.MakeWindow();
  window->ExecuteCommand(kCmdAddChannels);
  QImage image(1600, 400, QImage::Format_RGB32);
  bool right = true;
  for (auto _ : state) {
    window->ExecuteCommand(right ? kCmdShiftRight : kCmdShiftLeft);
    PaintAll(*window, image);
    right = !right;
  }
}
BENCHMARK(BM_ShiftAllPanes)
    ->ArgName("hours")
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ZoomAllPanes(benchmark::State& state) {
  Environment& env = Env(static_cast<int>(state.range(0)));
  auto window = env.MakeWindow();
  window->ExecuteCommand(kCmdAddChannels);
  QImage image(1600, 400, QImage::Format_RGB32);
  bool in = true;
  for (auto _ : state) {
    window->ExecuteCommand(in ? kCmdStretchHorizontal : kCmdCompressHorizontal);
    PaintAll(*window, image);
    in = !in;
  }
}
BENCHMARK(BM_ZoomAllPanes)
    ->ArgName("hours")
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_VerticalStretchAllPanes(benchmark::State& state) {
  Environment& env = Env(static_cast<int>(state.range(0)));
  auto window = env.MakeWindow();
  window->ExecuteCommand(kCmdAddChannels);
  QImage image(1600, 400, QImage::Format_RGB32);
  bool stretch = true;
  for (auto _ : state) {
    window->ExecuteCommand(stretch ? kCmdStretchVertical : kCmdCompressVertical);
    PaintAll(*window, image);
    stretch = !stretch;
  }
}
BENCHMARK(BM_VerticalStretchAllPanes)
    ->ArgName("hours")
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 45-minute windows panned through the day: every shift reads the half
// window the panes do not hold yet (and drops what the budget no longer
// allows), unlike the back-and-forth cases above.
void BM_DayPanAllPanes(benchmark::State& state) {
  Environment& env = Env(24);
  auto window = env.MakeWindow();
  window->ExecuteCommand(kCmdAddChannels);
  for (int i = 0; i < 5; ++i) window->ExecuteCommand(kCmdStretchHorizontal);  // 24 h -> 45 min
  QImage image(1600, 400, QImage::Format_RGB32);
  int shifts = 0;
  for (auto _ : state) {
    if (shifts == 18) {  // the history holds 20 windows
      state.PauseTiming();
      for (; shifts > 0; --shifts) window->ExecuteCommand(kCmdBack);
      state.ResumeTiming();
    }
    window->ExecuteCommand(kCmdShiftRight);
    PaintAll(*window, image);
    ++shifts;
  }
}
BENCHMARK(BM_DayPanAllPanes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
