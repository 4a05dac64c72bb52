#include "platform/time_base.h"

#include <algorithm>
#include <cmath>

namespace nuv {
namespace {

constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr double kFirstEpoch = -62135596800.0;  // 0001-01-01 00:00:00
constexpr double kLastEpoch = 253402300799.0;   // 9999-12-31 23:59:59

}  // namespace

bool IsLeapYear(int year) {
  return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

double CalendarToEpoch(int year, int month, int day, int hour, int minute, double second) {
  // Days from 1970-01-01 in the proleptic Gregorian calendar, counted from
  // March so that the leap day ends a year; floor division keeps years
  // before 1970 exact. Months outside 1..12 count as January.
  if (month < 1 || month > 12) month = 1;
  const long y = static_cast<long>(year) - (month <= 2 ? 1 : 0);
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yearOfEra = y - era * 400;
  const long monthFromMarch = (month + 9) % 12;
  const long dayOfYear = (153 * monthFromMarch + 2) / 5 + day - 1;
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const long days = era * 146097 + dayOfEra - 719468;
  return days * 86400.0 + hour * 3600.0 + minute * 60.0 + second;
}

CalendarTime EpochToCalendar(double t) {
  if (std::isnan(t)) t = 0;
  t = std::clamp(t, kFirstEpoch, kLastEpoch);
  CalendarTime c;
  double dayNumber = std::floor(t / 86400.0);
  double secondsOfDay = t - dayNumber * 86400.0;
  if (secondsOfDay >= 86400.0) {  // rounding at the very end of a day
    dayNumber += 1;
    secondsOfDay = 0;
  }
  // Days from 0001-01-01 (proleptic Gregorian) to 1970-01-01 are 719162.
  long long days = static_cast<long long>(dayNumber) + 719162;
  long long year = 1;
  const long long cycles400 = days / 146097;
  days -= cycles400 * 146097;
  if (days < 0) {  // dates before year 1 are outside any use; keep arithmetic sane
    days += 146097;
    year -= 400;
  }
  year += cycles400 * 400;
  long long cycles100 = days / 36524;
  if (cycles100 == 4) cycles100 = 3;
  days -= cycles100 * 36524;
  year += cycles100 * 100;
  const long long cycles4 = days / 1461;
  days -= cycles4 * 1461;
  year += cycles4 * 4;
  long long years = days / 365;
  if (years == 4) years = 3;
  days -= years * 365;
  year += years;
  c.year = static_cast<int>(year);
  DayOfYearToMonthDay(c.year, static_cast<int>(days) + 1, c.month, c.day);
  const int wholeSeconds = static_cast<int>(secondsOfDay);
  c.hour = wholeSeconds / 3600;
  c.minute = (wholeSeconds % 3600) / 60;
  c.second = secondsOfDay - c.hour * 3600.0 - c.minute * 60.0;
  return c;
}

int DayOfYear(int year, int month, int day) {
  int doy = kDaysBeforeMonth[(month >= 1 && month <= 12) ? month - 1 : 0] + day;
  if (IsLeapYear(year) && month > 2) ++doy;
  return doy;
}

void DayOfYearToMonthDay(int year, int dayOfYear, int& month, int& day) {
  const bool leap = IsLeapYear(year);
  int remaining = dayOfYear;
  for (month = 1; month <= 12; ++month) {
    int length = (month == 2)                                              ? (leap ? 29 : 28)
                 : (month == 4 || month == 6 || month == 9 || month == 11) ? 30
                                                                           : 31;
    if (remaining <= length) {
      day = remaining;
      return;
    }
    remaining -= length;
  }
  month = 12;
  day = 31;
}

int JulianDate(int year, int dayOfYear) {
  return year * 1000 + dayOfYear;
}

int JulianDateOfEpoch(double t) {
  const CalendarTime c = EpochToCalendar(t);
  return JulianDate(c.year, DayOfYear(c.year, c.month, c.day));
}

}  // namespace nuv
