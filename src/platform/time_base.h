#pragma once
// The time base of the whole system: seconds since 1970-01-01 00:00:00 UTC
// held as doubles, with the calendar conversions shared by every subsystem.

namespace nuv {

struct CalendarTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0;
  double second = 0;  // with fraction
};

bool IsLeapYear(int year);

// Days are counted with truncating divisions exactly as the archive's
// original conversion does (identical to the Gregorian count from 1901 on).
double CalendarToEpoch(int year, int month, int day, int hour, int minute, double second);
// Times outside the years 1 to 9999 are taken as the nearest end of that
// range and NaN as 0, so that a damaged time read from a file still has a
// calendar form (file names, headers) instead of undefined conversions.
CalendarTime EpochToCalendar(double t);

// Day of year (1-based) of a date, and the reverse.
int DayOfYear(int year, int month, int day);
void DayOfYearToMonthDay(int year, int dayOfYear, int& month, int& day);

// year * 1000 + day of year (the CSS 3.0 jdate).
int JulianDate(int year, int dayOfYear);
int JulianDateOfEpoch(double t);

}  // namespace nuv
