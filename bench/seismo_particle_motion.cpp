// The particle-motion window's redraw: the three hodograms of a marked
// interval drawn into the window's picture and painted, for a short P
// window and for a long interval, at the window's usual size and at a
// large one. Paints offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "offscreen_waveform.h"
#include "seismo/ui/particle_motion_window.h"

namespace {

using namespace nuv;

// An elliptically polarised wave train in noise on three components.
struct ThreeComponents {
  std::vector<float> z, x, y;
};

ThreeComponents Wave(int n) {
  ThreeComponents c;
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0.f, 0.05f);
  for (int i = 0; i < n; ++i) {
    const double t = i / 100.0;
    const double envelope = std::exp(-t / 20.0);
    c.z.push_back(float(envelope * std::sin(2 * M_PI * 1.5 * t)) + noise(random));
    c.x.push_back(float(0.6 * envelope * std::cos(2 * M_PI * 1.5 * t)) + noise(random));
    c.y.push_back(float(0.3 * envelope * std::sin(2 * M_PI * 1.5 * t + 0.4)) + noise(random));
  }
  return c;
}

// Arguments: samples in the interval, side of the window in pixels.
void BM_ParticleMotionRedraw(benchmark::State& state) {
  bench::OffscreenApp();
  const int n = static_cast<int>(state.range(0));
  const int side = static_cast<int>(state.range(1));
  const ThreeComponents wave = Wave(n);
  CPartMotion area;
  area.resize(side, side);
  area.show();
  for (auto _ : state) {
    area.Draw(wave.z, wave.x, wave.y, 0, n);
    area.repaint();
  }
  state.counters["samples"] = n;
}
BENCHMARK(BM_ParticleMotionRedraw)
    ->Args({300, 400})
    ->Args({6000, 400})
    ->Args({60000, 400})
    ->Args({6000, 1000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
