// Signal-processing commands: Butterworth design, trace filtering and the
// formula language, on plain-text sample files (one value per line).

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "cli.h"
#include "platform/strformat.h"
#include "sigproc/butterworth.h"
#include "sigproc/formula.h"
#include "sigproc/sample_file.h"

namespace nuv::cli {
namespace {

// "BP", "LP", "BR", "HP" (any letter case) or the index 0..3.
int ParseFilterType(const std::string& text) {
  for (int type = kBandPass; type <= kHighPass; ++type) {
    if (EqualsNoCase(text, ButterworthTypeName(type)) || text == std::to_string(type)) return type;
  }
  throw CliError("filter type must be BP, LP, BR, HP or 0..3: " + text);
}

std::vector<double> ReadSamples(const std::string& path) {
  auto samples = ReadSampleFile(path);
  if (!samples) throw CliError(StrFormat("Ошибка открытия файла %s", path.c_str()));
  return *samples;
}

// "N=VALUE" of --w and --dx.
std::pair<int, std::string> IndexedValue(const std::string& text, const char* option) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos)
    throw CliError(StrFormat("%s expects N=VALUE: %s", option, text.c_str()));
  const long long index = ParseInteger(text.substr(0, eq), option);
  if (index < 0 || index > 31) throw CliError(StrFormat("%s: window index must be 0..31", option));
  return {static_cast<int>(index), text.substr(eq + 1)};
}

nlohmann::json RunFormula(Session&, const Args& input) {
  Args args = input;
  InMemoryFormulaData data;
  std::map<int, double> steps;
  while (auto dx = TakeOption(args, "--dx")) {
    const auto [index, value] = IndexedValue(*dx, "--dx");
    steps[index] = ParseDouble(value, "--dx");
  }
  std::map<int, std::vector<double>> windows;
  while (auto w = TakeOption(args, "--w")) {
    const auto [index, path] = IndexedValue(*w, "--w");
    windows[index] = ReadSamples(path);
  }
  if (args.size() != 1) throw CliError("usage: formula \"EXPR\" [--w N=FILE ...] [--dx N=DX ...]");
  // Windows up to the highest index named are in use; unnamed ones are empty.
  int count = 0;
  for (const auto& [index, samples] : windows) count = std::max(count, index + 1);
  for (const auto& [index, step] : steps) count = std::max(count, index + 1);
  data.SetWindowCount(count);
  for (auto& [index, samples] : windows) {
    const auto step = steps.find(index);
    data.SetWindow(index, Signal(std::move(samples), step == steps.end() ? 1.0 : step->second));
  }
  const FormulaResult result = EvaluateFormula(args[0], data);
  if (!result.ok) throw CliError(result.error);
  return {
      {"count", result.value.count()}, {"dx", result.value.dx}, {"samples", result.value.samples}};
}

nlohmann::json RunButterDesign(Session&, const Args& args) {
  if (args.size() != 5) throw CliError("usage: butter-design TYPE ORDER FL FH DT");
  const int type = ParseFilterType(args[0]);
  const long long order = ParseInteger(args[1], "order");
  const double fl = ParseDouble(args[2], "lower cut-off");
  const double fh = ParseDouble(args[3], "upper cut-off");
  const double dt = ParseDouble(args[4], "sample interval");
  if (order < 1 || order > kMaxButterworthOrder) throw CliError("order must be 1..10");
  if (!(dt > 0) || !std::isfinite(dt)) throw CliError("the sample interval must be positive");
  const ButterworthSections f =
      DesignButterworth(static_cast<int>(order), ButterworthTypeName(type), static_cast<float>(fl),
                        static_cast<float>(fh), static_cast<float>(dt));
  nlohmann::json sections = nlohmann::json::array();
  for (int s = 0; s < f.nsects; ++s) {
    sections.push_back({{"b", {f.sn[3 * s], f.sn[3 * s + 1], f.sn[3 * s + 2]}},
                        {"a", {f.sd[3 * s], f.sd[3 * s + 1], f.sd[3 * s + 2]}}});
  }
  return {{"sections", sections}};
}

nlohmann::json RunFilter(Session&, const Args& input) {
  Args args = input;
  const bool zeroPhase = TakeFlag(args, "--zero-phase");
  const auto rate = TakeOption(args, "--rate");
  if (args.size() != 6 || !rate)
    throw CliError("usage: filter TYPE ORDER FL FH --rate R [--zero-phase] IN OUT");
  const int type = ParseFilterType(args[0]);
  const long long order = ParseInteger(args[1], "order");
  const double fl = ParseDouble(args[2], "lower cut-off");
  const double fh = ParseDouble(args[3], "upper cut-off");
  const double sps = ParseDouble(*rate, "sampling rate");
  if (!(sps > 0) || !std::isfinite(sps)) throw CliError("the sampling rate must be positive");
  // Cut-offs that would give NaN or an integrator are refused before reading.
  const std::string refusal = ButterworthCutoffError(type, fl, fh, 1.0 / sps);
  if (!refusal.empty()) throw CliError(refusal);
  const std::vector<double> samples = ReadSamples(args[4]);
  std::vector<float> trace(samples.begin(), samples.end());
  // FilterTrace clamps the order to 1..10 as the trace pane does.
  const int clamped = static_cast<int>(std::clamp<long long>(order, 0, 100));
  FilterTrace(trace.data(), trace.size(), static_cast<float>(1.0 / sps), type, clamped,
              static_cast<float>(fl), static_cast<float>(fh), zeroPhase);
  if (!WriteSampleFile(args[5], std::vector<double>(trace.begin(), trace.end())))
    throw CliError(StrFormat("Ошибка открытия файла %s", args[5].c_str()));
  return {{"count", trace.size()}};
}

}  // namespace

std::vector<Command> SigprocCommands() {
  return {
      {"formula", "\"EXPR\" [--w N=FILE ...] [--dx N=DX ...]", RunFormula},
      {"butter-design", "TYPE ORDER FL FH DT", RunButterDesign},
      {"filter", "TYPE ORDER FL FH --rate R [--zero-phase] IN OUT", RunFilter},
  };
}

}  // namespace nuv::cli
