#include "seismo/three_component.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/strformat.h"
#include "waveview/trace_pane.h"

namespace nuv {
namespace {

// "d12" -> ("d", 12); nullopt for anything else.
std::optional<std::pair<std::string, int>> SplitName(const std::string& text) {
  std::string name;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)))
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t digits = 0;
  while (digits < name.size() && std::isalpha(static_cast<unsigned char>(name[digits]))) ++digits;
  const std::string prefix = name.substr(0, digits);
  if (prefix != "d" && prefix != "t" && prefix != "sd" && prefix != "st") return std::nullopt;
  if (digits == name.size() || name.size() - digits > 6) return std::nullopt;
  for (size_t i = digits; i < name.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::nullopt;
  return std::make_pair(prefix, std::stoi(name.substr(digits)));
}

}  // namespace

ThreePanes FindThreePanes(const std::vector<const TracePane*>& panes) {
  ThreePanes three;
  for (const TracePane* p : panes) {
    if (p->isMain) three.main = p;
    if (p->selectionNumber >= 1 && p->selectionNumber <= 3) three.panes[p->selectionNumber - 1] = p;
  }
  return three;
}

std::string CheckThreePanes(const ThreePanes& three) {
  for (const TracePane* p : three.panes)
    if (p == nullptr) return kMsgNoThreePanes;
  const TracePane* main = nullptr;
  for (const TracePane* p : three.panes)
    if (p == three.main) main = p;
  if (main == nullptr) return kMsgMainNotAmongThree;
  if (!main->hasInterval) return kMsgNoMainInterval;
  if (main->intervalStart < main->WindowStart() || main->intervalEnd > main->WindowEnd())
    return kMsgIntervalOutsideMain;
  return "";
}

std::string PaneTraceName(const TracePane& pane, bool transformed) {
  return StrFormat(transformed ? "t%d" : "d%d", pane.number);
}

std::optional<PaneTrace> TraceByName(const std::vector<const TracePane*>& panes,
                                     const std::string& name) {
  const auto parts = SplitName(name);
  if (!parts) return std::nullopt;
  const auto& [prefix, number] = *parts;
  const TracePane* pane = nullptr;
  for (const TracePane* p : panes)
    if (p->number == number) pane = p;
  if (pane == nullptr) return std::nullopt;
  PaneTrace trace;
  trace.start = pane->WindowStart();
  const bool transformed = prefix.back() == 't';
  if (transformed) {
    if (!pane->HasTransformed()) return std::nullopt;
    const double rate = pane->transRate > 0 ? pane->transRate : pane->SampleRate();
    if (!(rate > 0)) return std::nullopt;
    trace.samples = pane->transformed;
    trace.dx = 1 / rate;
  } else {
    const double rate = pane->SampleRate();
    if (!(rate > 0)) return std::nullopt;
    try {
      trace.samples = pane->WindowSampleArray(rate);
    } catch (const std::bad_alloc&) {
      return std::nullopt;
    }
    trace.dx = 1 / rate;
  }
  if (prefix.front() == 's') {
    // The interval of the pane only.
    if (!pane->hasInterval) return std::nullopt;
    const double first = std::trunc((pane->intervalStart - trace.start) / trace.dx);
    const double count = std::trunc((pane->intervalEnd - pane->intervalStart) / trace.dx);
    if (first < 0 || first + count > static_cast<double>(trace.samples.size())) return std::nullopt;
    const auto begin = trace.samples.begin() + static_cast<std::ptrdiff_t>(first);
    trace.samples = std::vector<float>(begin, begin + static_cast<std::ptrdiff_t>(count));
    trace.start += first * trace.dx;
  }
  return trace;
}

ComponentSamples CutComponents(const PaneTrace& v, const PaneTrace& h1, const PaneTrace& h2,
                               double t1, double t2) {
  ComponentSamples out;
  if (!(t2 > t1)) {
    out.message = kMsgNoInterval;
    return out;
  }
  const PaneTrace* traces[3] = {&v, &h1, &h2};
  std::vector<float>* parts[3] = {&out.v, &out.h1, &out.h2};
  for (const PaneTrace* t : traces) {
    if (!(t->dx > 0) || t1 < t->start ||
        t2 > t->start + static_cast<double>(t->samples.size()) * t->dx + 1e-9) {
      out.message = kMsgIntervalOutsideTrace;
      return out;
    }
  }
  if (h1.dx != v.dx || h2.dx != v.dx) {
    out.message = kMsgDifferentRates;
    return out;
  }
  out.dx = v.dx;
  const double count = std::trunc((t2 - t1) / v.dx);
  for (int c = 0; c < 3; ++c) {
    const PaneTrace& t = *traces[c];
    // A time a hair before a sample (rounding of the pixel times) is that sample.
    const double first = std::ceil((t1 - t.start) / t.dx - 1e-6);
    const double n = std::min(count, static_cast<double>(t.samples.size()) - first);
    if (first < 0 || n < 2) {
      out.message = kMsgDataError;
      return out;
    }
    const auto begin = t.samples.begin() + static_cast<std::ptrdiff_t>(first);
    parts[c]->assign(begin, begin + static_cast<std::ptrdiff_t>(n));
  }
  const size_t n = std::min({out.v.size(), out.h1.size(), out.h2.size()});
  for (std::vector<float>* p : parts) p->resize(n);
  return out;
}

}  // namespace nuv
