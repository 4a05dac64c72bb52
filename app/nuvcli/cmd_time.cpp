#include "archive/time_base.h"
#include "cli.h"

namespace nuv::cli {
namespace {

nlohmann::json CalendarJson(double t) {
  const CalendarTime c = EpochToCalendar(t);
  const int doy = DayOfYear(c.year, c.month, c.day);
  return {{"epoch", t},          {"year", c.year},       {"month", c.month},
          {"day", c.day},        {"hour", c.hour},       {"minute", c.minute},
          {"second", c.second},  {"dayOfYear", doy},     {"jdate", JulianDate(c.year, doy)}};
}

nlohmann::json RunTime(Session&, const Args& input) {
  Args args = input;
  if (TakeFlag(args, "--epoch")) {
    if (args.size() != 6) throw CliError("usage: time --epoch Y M D h m s");
    const double t = CalendarToEpoch(
        static_cast<int>(ParseInteger(args[0], "year")), static_cast<int>(ParseInteger(args[1], "month")),
        static_cast<int>(ParseInteger(args[2], "day")), static_cast<int>(ParseInteger(args[3], "hour")),
        static_cast<int>(ParseInteger(args[4], "minute")), ParseDouble(args[5], "second"));
    return CalendarJson(t);
  }
  if (auto t = TakeOption(args, "--calendar")) return CalendarJson(ParseDouble(*t, "time"));
  throw CliError("usage: time --epoch Y M D h m s | time --calendar T");
}

}  // namespace

std::vector<Command> TimeCommands() {
  return {{"time", "--epoch Y M D h m s | --calendar T", RunTime}};
}

}  // namespace nuv::cli
