#include "cli.h"
#include "platform/time_base.h"

namespace nuv::cli {
namespace {

// Calendar conversions are defined for the years 1 to 9999.
constexpr double kFirstEpoch = -62135596800.0;  // 0001-01-01 00:00:00
constexpr double kEndEpoch = 253402300800.0;    // 10000-01-01 00:00:00

nlohmann::json CalendarJson(double t) {
  if (!(t >= kFirstEpoch && t < kEndEpoch))
    throw CliError("time out of range (years 1 to 9999): " + std::to_string(t));
  const CalendarTime c = EpochToCalendar(t);
  const int doy = DayOfYear(c.year, c.month, c.day);
  return {{"epoch", t},         {"year", c.year},   {"month", c.month},
          {"day", c.day},       {"hour", c.hour},   {"minute", c.minute},
          {"second", c.second}, {"dayOfYear", doy}, {"jdate", JulianDate(c.year, doy)}};
}

nlohmann::json RunTime(Session&, const Args& input) {
  Args args = input;
  if (TakeFlag(args, "--epoch")) {
    if (args.size() != 6) throw CliError("usage: time --epoch Y M D h m s");
    const long long year = ParseInteger(args[0], "year");
    const long long month = ParseInteger(args[1], "month");
    const long long day = ParseInteger(args[2], "day");
    const long long hour = ParseInteger(args[3], "hour");
    const long long minute = ParseInteger(args[4], "minute");
    const double second = ParseDouble(args[5], "second");
    // A field out of its range would silently roll into the next one.
    if (year < 1 || year > 9999) throw CliError("year out of range 1..9999: " + args[0]);
    if (month < 1 || month > 12) throw CliError("month out of range 1..12: " + args[1]);
    const int monthDays[12] = {
        31, IsLeapYear(static_cast<int>(year)) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day < 1 || day > monthDays[month - 1])
      throw CliError("no such day in that month: " + args[2]);
    if (hour < 0 || hour > 23) throw CliError("hour out of range 0..23: " + args[3]);
    if (minute < 0 || minute > 59) throw CliError("minute out of range 0..59: " + args[4]);
    if (!(second >= 0 && second < 60)) throw CliError("second out of range [0, 60): " + args[5]);
    return CalendarJson(CalendarToEpoch(static_cast<int>(year), static_cast<int>(month),
                                        static_cast<int>(day), static_cast<int>(hour),
                                        static_cast<int>(minute), second));
  }
  if (auto t = TakeOption(args, "--calendar")) return CalendarJson(ParseDouble(*t, "time"));
  throw CliError("usage: time --epoch Y M D h m s | time --calendar T");
}

}  // namespace

std::vector<Command> TimeCommands() {
  return {{"time", "--epoch Y M D h m s | --calendar T", RunTime}};
}

}  // namespace nuv::cli
