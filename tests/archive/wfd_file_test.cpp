#include "archive/wfd_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/time_base.h"

namespace nuv {
namespace {

TEST(WfdFile, HeaderLinesAndPaddingByteForByte) {
  const double start = CalendarToEpoch(2009, 8, 5, 17, 56, 41.25);
  const std::string header = BuildWfdHeader("ABC", "BHZ", start, 3600, 40);
  const std::string lines =
      "[NUV4.0]\r\n"
      "Data offset=512\r\n"
      "Start time=17 56 41\r\n"
      "Start date=05 08 2009\r\n"
      "Time duration=01 00 00\r\n"
      "Data Type=FLOAT\r\n"
      "SpS=40.000000\r\n"
      "Station=ABC\r\n"
      "Channels=\"BHZ\"\r\n";
  ASSERT_EQ(header.size(), 512u);
  EXPECT_EQ(header.substr(0, lines.size()), lines);
  EXPECT_EQ(header.substr(lines.size()), std::string(512 - lines.size(), '\0'));
}

TEST(WfdFile, DurationIsTakenModuloOneDay) {
  const std::string header = BuildWfdHeader("ABC", "BHZ", 0, 90000, 100);
  EXPECT_NE(header.find("\r\nTime duration=01 00 00\r\n"), std::string::npos);
  const std::string odd = BuildWfdHeader("ABC", "BHZ", 0, 86399.9, 0.5);
  EXPECT_NE(odd.find("\r\nTime duration=23 59 59\r\n"), std::string::npos);
  EXPECT_NE(odd.find("\r\nSpS=0.500000\r\n"), std::string::npos);
  EXPECT_NE(odd.find("\r\nStart date=01 01 1970\r\n"), std::string::npos);
}

TEST(WfdFile, NameHasTheWholeSecondsOfTheFirstSample) {
  EXPECT_EQ(WfdFileName("ABC", "BHZ", CalendarToEpoch(2009, 8, 5, 17, 56, 41.25)),
            "ABC/175641-05082009.BHZ");
  EXPECT_EQ(WfdFileName("K1", "SHE", CalendarToEpoch(2010, 1, 2, 3, 4, 5.999)),
            "K1/030405-02012010.SHE");
}

TEST(WfdFile, DamagedTimesStillGiveAFileNameAndHeader) {
  // A wfdisc time of 1e17 (it fits the 17-character column) or a NaN once
  // led to conversions of out-of-range doubles to integers.
  EXPECT_EQ(WfdFileName("ABC", "BHZ", 1e17), "ABC/235959-31129999.BHZ");
  EXPECT_EQ(WfdFileName("ABC", "BHZ", -1e17), "ABC/000000-01010001.BHZ");
  EXPECT_EQ(WfdFileName("ABC", "BHZ", std::nan("")), "ABC/000000-01011970.BHZ");
  const std::string header =
      BuildWfdHeader("ABC", "BHZ", std::numeric_limits<double>::infinity(), 1, 40);
  ASSERT_EQ(header.size(), 512u);
  EXPECT_NE(header.find("Start date=31 12 9999\r\n"), std::string::npos);
  // Durations beyond every integer (a rate of 1e-30) are still taken modulo
  // one day: 1e300 s is 63360 s past a whole day.
  EXPECT_NE(BuildWfdHeader("ABC", "BHZ", 0, 1e300, 1e-30).find("Time duration=17 36 00\r\n"),
            std::string::npos);
  EXPECT_NE(BuildWfdHeader("ABC", "BHZ", 0, -1e300, 1).find("Time duration=06 24 00\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace nuv
