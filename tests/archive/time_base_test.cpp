#include "platform/time_base.h"

#include <gtest/gtest.h>

#include "archive/data_block.h"

namespace nuv {
namespace {

TEST(TimeBase, CalendarToEpochMatchesKnownInstants) {
  EXPECT_EQ(CalendarToEpoch(1970, 1, 1, 0, 0, 0), 0.0);
  EXPECT_EQ(CalendarToEpoch(2000, 3, 1, 0, 0, 0), 951868800.0);
  EXPECT_EQ(CalendarToEpoch(2009, 12, 31, 23, 59, 59.5), 1262303999.5);
  // Before 1970 the leap days are counted down exactly.
  EXPECT_EQ(CalendarToEpoch(1960, 6, 1, 0, 0, 0), -302486400.0);
  EXPECT_EQ(CalendarToEpoch(1969, 12, 31, 0, 0, 0), -86400.0);
  EXPECT_EQ(CalendarToEpoch(1900, 3, 1, 0, 0, 0), -2203891200.0);
}

TEST(TimeBase, EveryDayFrom1900To2100RoundTrips) {
  double expected = CalendarToEpoch(1900, 1, 1, 12, 0, 0);
  for (int year = 1900; year <= 2100; ++year)
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= 28; ++day) {
        const double t = CalendarToEpoch(year, month, day, 12, 0, 0);
        const CalendarTime c = EpochToCalendar(t);
        ASSERT_TRUE(c.year == year && c.month == month && c.day == day)
            << year << "-" << month << "-" << day;
        if (day == 1) expected = t;  // days within a month are consecutive
        ASSERT_EQ(t, expected + (day - 1) * 86400.0);
      }
}

TEST(TimeBase, RoundTripsAcrossLeapDaysAndCenturies) {
  for (int year : {1970, 1999, 2000, 2008, 2100, 2400}) {
    for (int month : {1, 2, 3, 12}) {
      const double t =
          CalendarToEpoch(year, month, month == 2 && IsLeapYear(year) ? 29 : 28, 13, 7, 41.25);
      const CalendarTime c = EpochToCalendar(t);
      EXPECT_EQ(c.year, year);
      EXPECT_EQ(c.month, month);
      EXPECT_EQ(c.hour, 13);
      EXPECT_EQ(c.minute, 7);
      EXPECT_DOUBLE_EQ(c.second, 41.25);
    }
  }
}

TEST(TimeBase, LeapYearsDaysOfYearAndJulianDates) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  int month = 0, day = 0;
  DayOfYearToMonthDay(2008, 60, month, day);
  EXPECT_EQ(month, 2);
  EXPECT_EQ(day, 29);
  EXPECT_EQ(JulianDate(2009, DayOfYear(2009, 2, 1)), 2009032);
  EXPECT_EQ(JulianDateOfEpoch(CalendarToEpoch(2009, 8, 5, 17, 56, 41.5)), 2009217);
}

TEST(ChannelSpans, WidenMatchingEntriesAndKeepCaseDistinct) {
  CXChanArray spans;
  spans.Add("A", "BHZ", 10, 20);
  spans.Add("A", "BHZ", 5, 15);
  spans.Add("A", "bhz", 0, 1);
  ASSERT_EQ(spans.size(), 2);
  EXPECT_EQ(spans[0].first, 5);
  EXPECT_EQ(spans[0].last, 20);
  EXPECT_EQ(spans[1].channel, "bhz");
}

}  // namespace
}  // namespace nuv
