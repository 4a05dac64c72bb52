#pragma once
// The formula language over signals: "butter((current-mean(current)),0.5,2,3)",
// "w1*w2+1". Every value is a Signal; a number is a signal of one sample.
// Variables reach the workspace windows and the panes of the active waveform
// window through FormulaDataSource, so the language works (and is tested)
// without any window. The functions callable from formulas are in
// formula_functions.cpp.

#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sigproc/signal.h"

namespace nuv {

// Which samples of a pane a name asks for: "dN", "tN", "sdN", "stN" (and the
// forms "STA:CHAN", "STA:CHAN:t", "STA:CHAN:s", "STA:CHAN:st").
enum class PaneSignal { kSource, kTransformed, kSelectedSource, kSelectedTransformed };

// A pane of the active waveform window as the language sees it.
struct FormulaPane {
  int channel = 0;  // the pane's channel number N of "dN"
  std::string station;
  std::string channelName;
};

// Where variables get their values: the workspace (Part of the DSP window)
// and the active waveform window implement it.
class FormulaDataSource {
 public:
  virtual ~FormulaDataSource() = default;
  // Number of workspace windows in use; "wI" has a value only for I below it.
  virtual int WindowCount() const = 0;
  // Window I's data (I < WindowCount()); an empty window gives no samples.
  virtual Signal WindowData(int index) const = 0;
  // Panes of the active waveform window.
  virtual std::vector<FormulaPane> Panes() const = 0;
  // The pane's samples with dx = 1/sps, or nullopt when it has none of that kind.
  virtual std::optional<Signal> PaneData(int channel, PaneSignal kind) const = 0;
};

// A source with neither windows nor panes.
class EmptyFormulaData : public FormulaDataSource {
 public:
  int WindowCount() const override { return 0; }
  Signal WindowData(int) const override { return Signal(); }
  std::vector<FormulaPane> Panes() const override { return {}; }
  std::optional<Signal> PaneData(int, PaneSignal) const override { return std::nullopt; }
};

// Windows and panes held in memory (tests, the command line).
class InMemoryFormulaData : public FormulaDataSource {
 public:
  // Window I's data; windows below I that were never set are empty.
  void SetWindow(int index, Signal data);
  void SetWindowCount(int count);
  void AddPane(const FormulaPane& pane);
  void SetPaneData(int channel, PaneSignal kind, Signal data);

  int WindowCount() const override { return static_cast<int>(windows_.size()); }
  Signal WindowData(int index) const override;
  std::vector<FormulaPane> Panes() const override { return panes_; }
  std::optional<Signal> PaneData(int channel, PaneSignal kind) const override;

 private:
  std::vector<std::optional<Signal>> windows_;
  std::vector<FormulaPane> panes_;
  std::map<std::pair<int, PaneSignal>, Signal> paneData_;
};

// Bounds on one evaluation. The defaults only refuse what memory could not
// hold; the fuzz target sets tight ones so every input finishes quickly.
struct FormulaLimits {
  // Largest signal any operation may create.
  size_t maxSamples = size_t{1} << 28;
  // Arithmetic operations (sample products, window positions) one evaluation may spend.
  double maxWork = std::numeric_limits<double>::infinity();
};

struct FormulaResult {
  bool ok = false;
  Signal value;       // the fresh value on failure
  std::string error;  // at most 1023 bytes, empty on success
};

// Evaluates a formula with no "current" alias (the workspace windows).
FormulaResult EvaluateFormula(std::string_view formula, const FormulaDataSource& data,
                              const FormulaLimits& limits = {});

// Evaluates a formula with "current" standing for `alias` (a pane: "d" and
// its channel number). On success: single-precision samples and the sampling
// rate 1/dx as float.
struct TraceFormulaResult {
  bool ok = false;
  std::vector<float> samples;
  float rate = 0;
  std::string error;
};
TraceFormulaResult EvaluateForTrace(std::string_view formula, std::string_view alias,
                                    const FormulaDataSource& data,
                                    const FormulaLimits& limits = {});

// What the formula dialog talks to (the trace pane and the waveform window).
class FormulaInterface {
 public:
  // Evaluates the stored formula and shows the result.
  virtual void ApplyFormula() = 0;
  virtual void SetFormula(const std::string& text) = 0;
  virtual std::string GetFormula() const = 0;
  virtual ~FormulaInterface() = default;
};

// Messages of the interpreter core.
inline constexpr const char* kFormulaError = "Ошибка";
inline constexpr const char* kMissingBracket = "Отсутствует )";
inline constexpr const char* kUndefinedName = "'%s' - undefined variables or function";
// Caption of the message box a failing pane formula shows.
inline constexpr const char* kFormulaErrorCaption = "Ошибка интерпретатора формул";

// Names of the function table in registration order (43 names).
const std::vector<std::string>& FormulaFunctionNames();

// Restarts the sequence of rand() in formulas (the program starts at seed 1,
// as an unseeded C library generator does).
void SeedFormulaRandom(unsigned seed);

}  // namespace nuv
