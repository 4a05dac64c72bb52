#include "bulletins/bulletin_time.h"

#include <cmath>

#include "platform/time_base.h"

namespace nuv {
namespace {

// Days from 1970-01-01 to the given civil date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

BulletinTime SplitBulletinTime(double t, int units, bool round) {
  BulletinTime out;
  if (!std::isfinite(t)) return out;
  const double scaled = t * units;
  const double whole = round ? std::floor(scaled + 0.5) : std::floor(scaled);
  // Beyond +-1e15 seconds no calendar makes sense; clamp to keep the maths finite.
  const double limited = std::fmax(std::fmin(whole, 1e15 * units), -1e15 * units);
  const double seconds = std::floor(limited / units);
  out.fraction = static_cast<int>(limited - seconds * units);
  const CalendarTime c = EpochToCalendar(seconds);
  out.year = c.year;
  out.month = c.month;
  out.day = c.day;
  out.hour = c.hour;
  out.minute = c.minute;
  out.second = static_cast<int>(std::floor(c.second + 1e-6));
  return out;
}

double BulletinEpoch(int year, int month, int day, int hour, int minute, double second) {
  if (month < 1 || month > 12) month = 1;
  if (day < 1 || day > 31) day = 1;
  return static_cast<double>(
             DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day))) *
             86400.0 +
         hour * 3600.0 + minute * 60.0 + second;
}

}  // namespace nuv
