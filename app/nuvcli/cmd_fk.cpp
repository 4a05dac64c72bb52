// F-K analysis of an array: every station's transformed samples in a
// sample file starting at time 0, the marked interval on that scale, the
// station offsets (DNORTH, DEAST) from the station table.

#include <algorithm>
#include <cmath>

#include "cli.h"
#include "fk/fk_search.h"
#include "platform/strformat.h"
#include "sigproc/sample_file.h"

namespace nuv::cli {
namespace {

constexpr const char* kArguments =
    "--rate R --from T1 --to T2 [--min P] [--max P] [--intervals N] STA=FILE ...";
std::string Usage() {
  return std::string("usage: fk ") + kArguments;
}

FkPane ReadPane(Workstation& ws, const std::string& argument, double rate, double t1, double t2) {
  const size_t eq = argument.find('=');
  if (eq == std::string::npos || eq == 0 || eq + 1 == argument.size())
    throw CliError(std::string("STA=FILE expected: ") + argument + "\n" + Usage());
  FkPane pane;
  pane.station = argument.substr(0, eq);
  const int station = ws.stations().FindStation(pane.station);
  if (station < 0)
    throw CliError(StrFormat("Станция %s отсутствует в списке станций", pane.station.c_str()));
  const CScreenFields& site = ws.stations()[station];
  pane.station = site.code;
  pane.deast = site.deast;
  pane.dnorth = site.dnorth;
  const std::string file = argument.substr(eq + 1);
  const auto samples = ReadSampleFile(file);
  if (!samples) throw CliError(StrFormat("Ошибка открытия файла %s", file.c_str()));
  pane.samples.assign(samples->begin(), samples->end());
  pane.rate = rate;
  pane.start = 0;
  pane.windowLength = static_cast<double>(pane.samples.size()) / rate;
  // The interval must lie within the station's samples, as it must lie
  // within a pane's window on the screen.
  if (t2 > std::trunc(pane.windowLength))
    throw CliError(StrFormat(
        "Выбранный временной интервал находится вне пределов данных станции '%s' (%.2f с)",
        pane.station.c_str(), pane.windowLength));
  pane.intervalStart = t1;
  pane.intervalEnd = t2;
  pane.hasInterval = true;
  return pane;
}

nlohmann::json RunFk(Session& session, const Args& input) {
  Args args = input;
  const auto rateText = TakeOption(args, "--rate");
  const auto fromText = TakeOption(args, "--from");
  const auto toText = TakeOption(args, "--to");
  FkGrid grid;
  if (auto v = TakeOption(args, "--min")) grid.min = static_cast<float>(ParseDouble(*v, "--min"));
  if (auto v = TakeOption(args, "--max")) grid.max = static_cast<float>(ParseDouble(*v, "--max"));
  if (auto v = TakeOption(args, "--intervals")) {
    const long long n = ParseInteger(*v, "--intervals");
    grid.intervals = static_cast<int>(std::clamp<long long>(n, -1, FkGrid::kMaxIntervals + 1));
  }
  if (!rateText || !fromText || !toText || args.empty()) throw CliError(Usage());
  const double rate = ParseDouble(*rateText, "--rate");
  const double t1 = ParseDouble(*fromText, "--from");
  const double t2 = ParseDouble(*toText, "--to");
  if (!(rate > 0) || !std::isfinite(rate)) throw CliError("the sampling rate must be positive");
  if (!(t1 >= 0) || !(t2 > t1) || !std::isfinite(t2))
    throw CliError("the interval needs 0 <= --from < --to");
  if (std::string error = FkGridError(grid); !error.empty()) throw CliError(error);

  Workstation& ws = session.workstation();
  std::vector<FkPane> panes;
  for (const std::string& a : args) panes.push_back(ReadPane(ws, a, rate, t1, t2));
  FkSearchResult result;
  if (std::string error = FkSearch(panes, rate, grid, result); !error.empty())
    throw CliError(error);
  nlohmann::json stations = nlohmann::json::array();
  for (const FkPane& p : panes)
    stations.push_back({{"station", p.station}, {"deast", p.deast}, {"dnorth", p.dnorth}});
  return {{"px", result.bestPx},
          {"py", result.bestPy},
          {"slowness", result.slowness},
          {"azimuth", result.azimuth},
          {"velocity", result.slowness > 0 ? nlohmann::json(1.0 / result.slowness) : nullptr},
          {"power", result.bestPower},
          {"reference", panes.front().station},
          {"stations", stations}};
}

}  // namespace

std::vector<Command> FkCommands() {
  return {{"fk", kArguments, RunFk}};
}

}  // namespace nuv::cli
