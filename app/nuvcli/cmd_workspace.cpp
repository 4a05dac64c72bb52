// The signal-processing workspace on the command line: a saved worksheet is
// loaded, data files are put into its windows, every window is computed
// (a window after the windows it refers to) and the windows' data printed
// and, on request, written as data files.

#include <cmath>
#include <filesystem>
#include <map>

#include "cli.h"
#include "platform/strformat.h"
#include "workspace/dsp_files.h"
#include "workspace/workspace.h"

namespace nuv::cli {
namespace {

constexpr const char* kRunUsage = "WORKSHEET [--load N=FILE ...] [--out DIR]";

// "N=FILE" of --load.
std::pair<int, std::string> WindowFile(const std::string& text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) throw CliError("--load expects N=FILE: " + text);
  const long long index = ParseInteger(text.substr(0, eq), "--load");
  if (index < 0 || index >= kMaxDspWindows)
    throw CliError(StrFormat("--load: window index must be 0..%d", kMaxDspWindows - 1));
  return {static_cast<int>(index), text.substr(eq + 1)};
}

// NaN and infinities have no JSON form; they are written as null.
nlohmann::json Samples(const std::vector<double>& data) {
  nlohmann::json out = nlohmann::json::array();
  for (double v : data) out.push_back(std::isfinite(v) ? nlohmann::json(v) : nlohmann::json());
  return out;
}

nlohmann::json RunWorkspace(Session&, const Args& input) {
  Args args = input;
  std::map<int, std::string> loads;
  while (auto load = TakeOption(args, "--load")) loads.insert(WindowFile(*load));
  const auto outDir = TakeOption(args, "--out");
  if (args.size() != 1) throw CliError(std::string("usage: workspace run ") + kRunUsage);

  auto read = ReadWorksheet(args[0]);
  if (auto* message = std::get_if<std::string>(&read)) throw CliError(*message);
  const auto& formulas = std::get<std::vector<std::string>>(read);
  Workspace workspace;
  if (!workspace.ReplaceWindows(formulas))
    throw CliError(StrFormat("Рабочая область %s не содержит окон", args[0].c_str()));
  for (const auto& [index, path] : loads) {
    if (index >= workspace.WindowCount())
      throw CliError(StrFormat("--load: no window W%d in the worksheet", index));
    auto data = ReadDataFile(path);
    if (auto* message = std::get_if<std::string>(&data)) throw CliError(*message);
    workspace.LoadData(index, std::move(std::get<std::vector<double>>(data)), 1.0);
  }
  const std::vector<int> order = workspace.RecomputeAll();

  std::string failures;
  for (int i = 0; i < workspace.WindowCount(); ++i) {
    const std::string& error = workspace.window(i).error;
    if (!error.empty())
      failures += StrFormat("%sW%d: %s", failures.empty() ? "" : "\n", i, error.c_str());
  }
  if (!failures.empty()) throw CliError(failures);

  nlohmann::json windows = nlohmann::json::array();
  for (int i = 0; i < workspace.WindowCount(); ++i) {
    const DspWindow& w = workspace.window(i);
    nlohmann::json item = {{"window", StrFormat("W%d", i)},
                           {"formula", w.formula},
                           {"fixed", w.fixed},
                           {"count", w.count()},
                           {"dx", w.dx},
                           {"min", w.storedMin},
                           {"max", w.storedMax},
                           {"samples", Samples(w.data)}};
    if (outDir) {
      const std::filesystem::path file = std::filesystem::path(*outDir) / StrFormat("W%d.dat", i);
      if (auto message = SaveDataFile(w, file); message && w.count() > 0) throw CliError(*message);
      item["file"] = file.string();
    }
    windows.push_back(std::move(item));
  }
  return {{"order", order}, {"windows", windows}};
}

}  // namespace

std::vector<Command> WorkspaceCommands() {
  return {
      {"workspace run", kRunUsage, RunWorkspace},
  };
}

}  // namespace nuv::cli
