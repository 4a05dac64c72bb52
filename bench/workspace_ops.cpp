// The workspace recomputing 32 windows of 65,536 samples: Enter on W0 of a
// chain where every window refers to the one before it, the whole worksheet
// of mixed functions computed in reference order, and the exchange of one
// window through the clipboard text and a data file.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "workspace/dsp_files.h"
#include "workspace/workspace.h"

namespace {

constexpr int kPoints = 65536;

std::string Source() {
  return "gsin(" + std::to_string(kPoints) + ",0.01,2,0)+gsin(" + std::to_string(kPoints) +
         ",0.01,17,1)";
}

// W0 the source, Wi = w(i-1)*0.99 + w0 for i = 1..31.
void BM_Recompute32WindowsChain(benchmark::State& state) {
  nuv::Workspace ws;
  while (ws.WindowCount() < nuv::kMaxDspWindows) ws.AddWindow();
  ws.SetFormula(0, Source());
  for (int i = 1; i < nuv::kMaxDspWindows; ++i)
    ws.SetFormula(i, "w" + std::to_string(i - 1) + "*0.99+w0");
  for (auto _ : state) {
    const auto order = ws.Recompute(0);
    if (order.size() != nuv::kMaxDspWindows) state.SkipWithError("not every window recomputed");
    benchmark::DoNotOptimize(ws.window(31).data.data());
  }
  state.SetItemsProcessed(state.iterations() * nuv::kMaxDspWindows * kPoints);
}
BENCHMARK(BM_Recompute32WindowsChain)->Unit(benchmark::kMillisecond);

// A worksheet of the functions an analyst uses, every window computed.
void BM_Recompute32WindowsMixed(benchmark::State& state) {
  const char* kinds[] = {"butter(w0,1,10,4)", "deriv(w0)", "integ(w0)",    "abs(w0)-mean(w0)",
                         "hanning(w0)",       "w0*w0+1",   "smooth(w0,5)", "sqrt(abs(w0))"};
  nuv::Workspace ws;
  while (ws.WindowCount() < nuv::kMaxDspWindows) ws.AddWindow();
  ws.SetFormula(0, Source());
  for (int i = 1; i < nuv::kMaxDspWindows; ++i) ws.SetFormula(i, kinds[(i - 1) % 8]);
  for (auto _ : state) {
    ws.RecomputeAll();
    for (int i = 0; i < nuv::kMaxDspWindows; ++i)
      if (!ws.window(i).error.empty()) state.SkipWithError(ws.window(i).error.c_str());
    benchmark::DoNotOptimize(ws.window(31).data.data());
  }
  state.SetItemsProcessed(state.iterations() * nuv::kMaxDspWindows * kPoints);
}
BENCHMARK(BM_Recompute32WindowsMixed)->Unit(benchmark::kMillisecond);

// One window of 65,536 samples to the clipboard text and back, and to a data
// file and back.
void BM_ExchangeOneWindow(benchmark::State& state) {
  nuv::Workspace ws;
  ws.SetFormula(0, Source());
  ws.Evaluate(0);
  const auto path = std::filesystem::temp_directory_path() / "bench_workspace_ops.dat";
  for (auto _ : state) {
    auto pasted = nuv::ParseClipboard(nuv::ClipboardText(ws.window(0)));
    if (!pasted || pasted->count() != kPoints) state.SkipWithError("clipboard round trip");
    if (nuv::SaveDataFile(ws.window(0), path)) state.SkipWithError("data file not written");
    auto read = nuv::ReadDataFile(path);
    benchmark::DoNotOptimize(read);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_ExchangeOneWindow)->Unit(benchmark::kMillisecond);

}  // namespace
