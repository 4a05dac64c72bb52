#pragma once
// Three component traces of the waveform window for the polarization
// analyses: the panes activated first, second and third (vertical, north,
// east), the traces named as the formula language names them ("dN" the
// source, "tN" the transformed trace of pane N; "sdN", "stN" their interval),
// and the samples of an interval.

#include <optional>
#include <string>
#include <vector>

namespace nuv {

class TracePane;

inline constexpr const char* kMsgNoThreePanes = "Не выбраны три окна для вычисления азимута.";
inline constexpr const char* kMsgMainNotAmongThree =
    "Главное окно не находится среди выбраных для вычисления азимута окон.";
inline constexpr const char* kMsgNoMainInterval = "Не выбран временной интервал в главном окне";
inline constexpr const char* kMsgIntervalOutsideMain =
    "Временной интервал находится вне пределов главного окна ";
inline constexpr const char* kMsgNoInterval = "Не выбран интервал";
inline constexpr const char* kMsgIntervalOutsideTrace = "Интервал вне трассы";
inline constexpr const char* kMsgDifferentRates = "Каналы имеют разную частоту квантования";
inline constexpr const char* kMsgDataError = "Ошибка данных";
inline constexpr const char* kMsgNoMainPane = "Не выбрано главное окно";

// The panes with activation numbers 1, 2 and 3 (null where missing).
struct ThreePanes {
  const TracePane* panes[3] = {nullptr, nullptr, nullptr};
  const TracePane* main = nullptr;
};
ThreePanes FindThreePanes(const std::vector<const TracePane*>& panes);
// The checks of the three-component azimuth before its dialog: "" when the
// panes 1..3 exist, one of them is the main pane and the main pane has an
// interval inside its window; else the message.
std::string CheckThreePanes(const ThreePanes& three);

// "d%d" or "t%d" of a pane.
std::string PaneTraceName(const TracePane& pane, bool transformed);

// The samples of a trace over its window.
struct PaneTrace {
  std::vector<float> samples;
  double dx = 0;     // sampling interval, s
  double start = 0;  // time of the first sample
};
// The trace a name denotes among the panes: "dN", "tN", "sdN" or "stN";
// nullopt when no pane has that number or that kind of samples.
std::optional<PaneTrace> TraceByName(const std::vector<const TracePane*>& panes,
                                     const std::string& name);

// The three components over [t1, t2): n = trunc((t2 - t1) / dx) samples from
// the first at or after t1 (the interval must lie within each trace).
struct ComponentSamples {
  std::string message;  // empty on success
  std::vector<float> v, h1, h2;
  double dx = 0;
};
ComponentSamples CutComponents(const PaneTrace& v, const PaneTrace& h1, const PaneTrace& h2,
                               double t1, double t2);

}  // namespace nuv
