#include "workspace/workspace.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "db/inventory.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool RefersToWindow(std::string_view formula, int index) {
  const std::string lower = ToLowerAscii(formula);
  const std::string name = "w" + std::to_string(index);
  for (size_t pos = lower.find(name); pos != std::string::npos; pos = lower.find(name, pos + 1)) {
    const size_t end = pos + name.size();
    if (end == lower.size() || !IsNameChar(lower[end])) return true;
  }
  return false;
}

Workspace::Workspace() : windows_(2) {}

Signal Workspace::WindowData(int index) const {
  if (index < 0 || index >= WindowCount()) return Signal({}, 1.0);
  const DspWindow& w = window(index);
  return Signal(w.data, w.dx);
}

std::vector<FormulaPane> Workspace::Panes() const {
  return panes_ ? panes_->Panes() : std::vector<FormulaPane>{};
}

std::optional<Signal> Workspace::PaneData(int channel, PaneSignal kind) const {
  return panes_ ? panes_->PaneData(channel, kind) : std::nullopt;
}

bool Workspace::SetActive(int index) {
  if (index < 0 || index >= WindowCount()) return false;
  active_ = index;
  return true;
}

void Workspace::NextWindow() {
  for (int step = 1; step <= WindowCount(); ++step) {
    const int next = (active_ + step) % WindowCount();
    if (window(next).shown) {
      active_ = next;
      return;
    }
  }
}

bool Workspace::AddWindow() {
  if (WindowCount() >= kMaxDspWindows) return false;
  windows_.emplace_back();
  active_ = WindowCount() - 1;
  return true;
}

bool Workspace::DeleteWindow() {
  if (WindowCount() <= 1) return false;
  windows_.erase(windows_.begin() + active_);
  if (active_ > 0) --active_;
  return true;
}

bool Workspace::SetFormula(int index, std::string_view text) {
  DspWindow& w = window(index);
  if (w.fixed) return false;
  w.formula = LimitText(std::string(text), kDspFormulaLength);
  return true;
}

void Workspace::Evaluate(int index) {
  FormulaResult result = EvaluateFormula(window(index).formula, *this, limits_);
  DspWindow& w = window(index);
  w.error = result.ok ? std::string() : result.error;
  if (!result.ok) result.value = Signal();
  w.SetData(std::move(result.value.samples), result.value.dx);
}

void Workspace::RecomputeFrom(int index, std::vector<bool>& done, std::vector<int>& order) {
  if (window(index).fixed) return;
  Evaluate(index);
  done[static_cast<size_t>(index)] = true;
  order.push_back(index);
  for (int j = 0; j < WindowCount(); ++j) {
    if (!done[static_cast<size_t>(j)] && RefersToWindow(window(j).formula, index))
      RecomputeFrom(j, done, order);
  }
}

std::vector<int> Workspace::Recompute(int index) {
  std::vector<bool> done(static_cast<size_t>(WindowCount()), false);
  std::vector<int> order;
  if (index >= 0 && index < WindowCount()) RecomputeFrom(index, done, order);
  return order;
}

std::vector<int> Workspace::RecomputeAll() {
  enum State { kNew, kVisiting, kDone };
  std::vector<State> state(static_cast<size_t>(WindowCount()), kNew);
  std::vector<int> order;
  // Depth first over references; a reference back into the current path
  // (a cycle) is taken with the data the window has at that moment.
  std::function<void(int)> visit = [&](int i) {
    state[static_cast<size_t>(i)] = kVisiting;
    for (int j = 0; j < WindowCount(); ++j) {
      if (j != i && state[static_cast<size_t>(j)] == kNew && RefersToWindow(window(i).formula, j))
        visit(j);
    }
    if (!window(i).fixed) {
      Evaluate(i);
      order.push_back(i);
    }
    state[static_cast<size_t>(i)] = kDone;
  };
  for (int i = 0; i < WindowCount(); ++i)
    if (state[static_cast<size_t>(i)] == kNew) visit(i);
  return order;
}

void Workspace::LoadData(int index, std::vector<double> samples, double dx) {
  DspWindow& w = window(index);
  w.SetData(std::move(samples), dx);
  w.error.clear();
  w.fixed = true;
}

std::vector<std::string> Workspace::SetOverlays(const std::vector<std::string>& formulas) {
  std::vector<std::string> errors(kDspOverlaySlots);
  for (size_t slot = 0; slot < static_cast<size_t>(kDspOverlaySlots); ++slot) {
    DspOverlay overlay;
    const std::string text = slot < formulas.size() ? std::string(Trim(formulas[slot])) : "";
    if (!text.empty()) {
      FormulaResult result = EvaluateFormula(text, *this, limits_);
      if (result.ok && result.value.count() > 1) {
        overlay.formula = text;
        overlay.data = std::move(result.value.samples);
        overlay.dx = result.value.dx;
      } else if (!result.ok) {
        errors[slot] = result.error;
      }
    }
    activeWindow().overlays[slot] = std::move(overlay);
  }
  return errors;
}

std::vector<FormulaName> Workspace::Names() const {
  std::vector<FormulaName> names;
  for (const FormulaPane& pane : Panes())
    names.push_back(
        {StrFormat("d%d", pane.channel),
         StrFormat("Волновая форма %s:%s", pane.station.c_str(), pane.channelName.c_str())});
  for (int i = 0; i < WindowCount(); ++i) names.push_back({StrFormat("w%d", i), window(i).formula});
  return names;
}

bool Workspace::ReplaceWindows(const std::vector<std::string>& formulas) {
  if (formulas.empty() || formulas.size() > static_cast<size_t>(kMaxDspWindows)) return false;
  windows_.assign(formulas.size(), DspWindow());
  for (size_t i = 0; i < formulas.size(); ++i)
    windows_[i].formula = LimitText(formulas[i], kDspFormulaLength);
  active_ = 0;
  return true;
}

}  // namespace nuv
