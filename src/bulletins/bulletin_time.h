#pragma once
// Splitting epoch times into the calendar fields the bulletins print, with
// the sub-second part rounded or truncated to a fixed number of digits and
// the carry taken into the seconds (so 59.996 s never prints as "59.100").
// Dates before 1970 and after 2038 are exact (proleptic Gregorian).

namespace nuv {

struct BulletinTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  int fraction = 0;  // in units of 1/`units` of a second
};

// `units` is 10, 100 or 1000; `round` rounds to the nearest unit, else truncates.
BulletinTime SplitBulletinTime(double t, int units, bool round);

// Epoch seconds of a calendar date and time (proleptic Gregorian, any year).
double BulletinEpoch(int year, int month, int day, int hour, int minute, double second);

}  // namespace nuv
