#pragma once
// The signal-processing workspace: up to 32 data windows W0…W31, each with
// a formula whose result is its data, working like a small spreadsheet of
// signals. A window's formula reaches the other windows as "wN" and the
// panes of the active waveform window through a pane source the desktop
// program hands in. Recomputing a window recomputes, in the same pass, every
// window that refers to it, each at most once.

#include <string>
#include <string_view>
#include <vector>

#include "sigproc/formula.h"
#include "workspace/dsp_window.h"

namespace nuv {

inline constexpr int kMaxDspWindows = 32;

// True when the formula (in lower case) holds "w" and `index` not followed
// by a letter or digit, anywhere.
bool RefersToWindow(std::string_view formula, int index);

// A name the formula dialog's "Выбрать окно" offers, with its comment.
struct FormulaName {
  std::string name;
  std::string comment;
};

class Workspace : public FormulaDataSource {
 public:
  // Two empty windows, W0 active.
  Workspace();

  // The formula language's view: windows in use and their data.
  int WindowCount() const override { return static_cast<int>(windows_.size()); }
  Signal WindowData(int index) const override;
  std::vector<FormulaPane> Panes() const override;
  std::optional<Signal> PaneData(int channel, PaneSignal kind) const override;
  // Where "dN", "tN", "sdN", "stN" come from (none: no panes).
  void SetPaneSource(const FormulaDataSource* panes) { panes_ = panes; }
  void SetLimits(const FormulaLimits& limits) { limits_ = limits; }

  const DspWindow& window(int index) const { return windows_.at(static_cast<size_t>(index)); }
  DspWindow& window(int index) { return windows_.at(static_cast<size_t>(index)); }
  int active() const { return active_; }
  DspWindow& activeWindow() { return window(active_); }
  const DspWindow& activeWindow() const { return window(active_); }
  // False for an index outside the windows in use.
  bool SetActive(int index);
  // 33103: the next shown window, wrapping around.
  void NextWindow();
  // 33082: a new window at the end, made active; false at 32 windows.
  bool AddWindow();
  // 33083: removes the active window; false when it is the only one.
  bool DeleteWindow();
  // 33108.
  void ToggleFixed() { activeWindow().fixed = !activeWindow().fixed; }

  // Stores a formula (cut to kDspFormulaLength bytes, never inside a UTF-8
  // character); false, storing nothing, when the window's formula is fixed.
  bool SetFormula(int index, std::string_view text);
  // Evaluates one window: its data becomes the result (one 0.0 on failure)
  // and its error text is kept.
  void Evaluate(int index);
  // Enter in the formula edit: the window and, transitively, every window
  // referring to it, each once. Returns the windows recomputed, in order.
  std::vector<int> Recompute(int index);
  // Every window not fixed, each once, a window after the windows it refers
  // to (windows in a cycle in index order). Returns the order.
  std::vector<int> RecomputeAll();

  // Loaded data (a data file, the clipboard): the window gets the values
  // with `dx`, its ranges follow them and its formula becomes fixed.
  void LoadData(int index, std::vector<double> samples, double dx);
  // Evaluates the formulas of the overlay dialog for the active window: a
  // formula that succeeds with more than one sample fills its slot; an
  // empty or failing one clears it. Returns the error texts by slot.
  std::vector<std::string> SetOverlays(const std::vector<std::string>& formulas);

  // The names a formula here can use: "dN" of every pane ("Волновая форма
  // STA:CHAN") and "wI" of every window (its formula).
  std::vector<FormulaName> Names() const;

  // A loaded worksheet: `formulas.size()` shown windows (1..32) with these
  // formulas, no data, W0 active. False, changing nothing, for a count
  // outside 1..32.
  bool ReplaceWindows(const std::vector<std::string>& formulas);

 private:
  void RecomputeFrom(int index, std::vector<bool>& done, std::vector<int>& order);

  std::vector<DspWindow> windows_;
  int active_ = 0;
  const FormulaDataSource* panes_ = nullptr;
  FormulaLimits limits_;
};

}  // namespace nuv
