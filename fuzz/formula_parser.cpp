// Feeds arbitrary text to the formula interpreter: every input must end in a
// value or a message, never a crash, a hang or a sanitizer report. Tight
// limits keep each evaluation short whatever counts the text asks for.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sigproc/formula.h"

namespace {

const nuv::InMemoryFormulaData& Data() {
  static const nuv::InMemoryFormulaData data = [] {
    nuv::InMemoryFormulaData d;
    d.SetWindow(0, nuv::Signal({1, 2, 3, 4, 5, 6, 7, 8}, 0.01));
    d.SetWindow(1, nuv::Signal({0.5, -1, 2}, 0.02));
    d.SetWindowCount(3);
    d.AddPane({1, "ABC", "BHZ"});
    d.SetPaneData(1, nuv::PaneSignal::kSource, nuv::Signal({3, 1, 4, 1, 5, 9, 2, 6}, 0.01));
    return d;
  }();
  return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 4096) return 0;
  nuv::FormulaLimits limits;
  limits.maxSamples = 1 << 14;
  limits.maxWork = 2e6;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  nuv::EvaluateFormula(text, Data(), limits);
  nuv::EvaluateForTrace(text, "d1", Data(), limits);
  return 0;
}
