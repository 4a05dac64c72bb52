// Redrawing the phase marks of 24 panes after one change of a phase list of
// 200 phases (the marks and labels re-recorded from the list), and the same
// with every pane then painted offscreen into an image.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "offscreen_waveform.h"
#include "platform/scripted_prompts.h"
#include "waveview/ui/pick_controller.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "workstation/workstation.h"

namespace {

namespace fs = std::filesystem;
using namespace nuv;

constexpr double kStart = 1249495001.0;
constexpr double kLength = 600;

// 8 stations of 3 channels, 24 panes of ten minutes at 20 samples/s, and
// 200 phases spread over the channels.
struct Scene {
  Scene() {
    bench::OffscreenApp();
    std::string pattern = (fs::temp_directory_path() / "nuvmarks-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    dir = pattern;
    Config config;
    config.settingsDir = dir;
    ws = std::make_unique<Workstation>(config, prompts);
    ws->phaseTypes().LoadNames("/nonexistent/");
    const char* channels[] = {"BHZ", "BHN", "BHE"};
    for (int s = 0; s < 8; ++s) {
      CScreenFields st;
      st.code = "ST" + std::to_string(s);
      for (int c = 0; c < 3; ++c) {
        st.channels[static_cast<size_t>(c)].name = channels[c];
        st.channels[static_cast<size_t>(c)].rate = 20;
      }
      st.selection.SetStartEpoch(kStart);
      st.selection.SetLengthSeconds(kLength);
      ws->stations().records().push_back(st);
    }
    window = std::make_unique<waveform>(*ws);
    window->SetDialogs(std::make_unique<bench::SelectAllChannels>(8));
    window->SetSegmentLoader([](const std::string& sta, const std::string& chan, const std::string&,
                                double t1, double t2, NUVDataBlockArray& out) {
      out.Clear();
      out.station = sta;
      out.channel = chan;
      NUVDataBlock b;
      b.rate = 20;
      b.start = t1;
      b.Allocate(static_cast<int>((t2 - t1) * 20));
      for (int i = 0; i < b.count; ++i)
        b.samples[static_cast<size_t>(i)] = static_cast<float>(500 * std::sin(i * 0.07));
      out.Append(std::move(b));
    });
    window->resize(1600, 1200);
    window->show();
    QCoreApplication::processEvents();
    InstallPicking(*window);
    window->ExecuteCommand(32701);
    const int types = std::min(9, ws->phaseTypes().Count());
    for (int i = 0; i < 200; ++i) {
      SEISMIC_PHASE p;
      p.station = (i / types) % 8;
      p.channel = (i / types / 8) % 3;
      p.phaseType = i % types;
      p.defining = i % 2;
      p.SetTime(kStart + 10 + (i * 37) % 580);
      ws->phases().Add(p);
    }
  }
  ~Scene() {
    window.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // One change of the list: the controller redraws the marks of every pane.
  void Change(int n) {
    ws->phases().Modify(0, 0, 0, [n](SEISMIC_PHASE& p) { p.SetTime(kStart + 20 + n % 50); });
  }
  fs::path dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Workstation> ws;
  std::unique_ptr<waveform> window;
};

void BM_PhaseMarksAfterChange(benchmark::State& state) {
  Scene scene;
  if (scene.window->panes().size() != 24 || scene.ws->phases().Count() != 200) {
    state.SkipWithError("scene not built");
    return;
  }
  int n = 0;
  for (auto _ : state) scene.Change(++n);
  state.counters["panes"] = static_cast<double>(scene.window->panes().size());
}
BENCHMARK(BM_PhaseMarksAfterChange)->Unit(benchmark::kMillisecond);

void BM_PhaseMarksAfterChangeAndPaint(benchmark::State& state) {
  Scene scene;
  QImage image(1600, 400, QImage::Format_RGB32);
  int n = 0;
  for (auto _ : state) {
    scene.Change(++n);
    for (CZoomWindow* pane : scene.window->panes()) {
      QPainter painter(&image);
      pane->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
  }
}
BENCHMARK(BM_PhaseMarksAfterChangeAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace
