#include "archive/wfdisc_format.h"

#include <gtest/gtest.h>

#include "platform/time_base.h"

namespace nuv {
namespace {

// The line of a 100-sample block of ABC/BHZ at 20 SPS starting 2009-08-05
// 17:56:41.5, saved in format 2, written out by hand column by column.
const std::string kGoldenLine =
    std::string("ABC   ") + " " + "bhz     " + " " + " 1249495001.50000" + " " + "      -1" + " " +
    "      -1" + " " + " 2009217" + " " + " 1249495006.50000" + " " + "     100" + " " +
    " 20.0000000" + " " + "        1.000000" + " " + "        1.000000" + " " + "-     " + " " +
    "-" + " " + "s4" + " " + "-" + " " + "." + std::string(63, ' ') + " " +
    "0-17564105082009-ABC-bhz.w      " + " " + "         0" + " " + "      -1" + " " +
    "2009:217-17:56:41" + "\n";

WfdiscRecord GoldenRecord() {
  WfdiscRecord r;
  r.sta = "ABC";
  r.chan = "bhz";
  r.time = CalendarToEpoch(2009, 8, 5, 17, 56, 41.5);
  r.jdate = 2009217;
  r.endtime = r.time + 5.0;
  r.nsamp = 100;
  r.samprate = 20;
  r.calib = 1;
  r.calper = 1;
  r.datatype = "s4";
  r.dir = ".";
  r.dfile = "0-17564105082009-ABC-bhz.w";
  r.foff = 0;
  r.lddate = "2009:217-17:56:41";
  return r;
}

TEST(WfdiscFormat, WritesTheFixedColumnLine) {
  ASSERT_EQ(kGoldenLine.size(), 284u);
  EXPECT_EQ(FormatWfdiscLine(GoldenRecord()), kGoldenLine);
}

TEST(WfdiscFormat, ReadsItsFieldsBack) {
  const auto r = ParseWfdiscLine(std::string_view(kGoldenLine).substr(0, 283));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->sta, "ABC");
  EXPECT_EQ(r->chan, "bhz");
  EXPECT_EQ(r->time, 1249495001.5);
  EXPECT_EQ(r->wfid, -1);
  EXPECT_EQ(r->jdate, 2009217);
  EXPECT_EQ(r->endtime, 1249495006.5);
  EXPECT_EQ(r->nsamp, 100);
  EXPECT_EQ(r->samprate, 20);
  EXPECT_EQ(r->calib, 1);
  EXPECT_EQ(r->segtype, '-');
  EXPECT_EQ(r->datatype, "s4");
  EXPECT_EQ(r->dir, ".");
  EXPECT_EQ(r->dfile, "0-17564105082009-ABC-bhz.w");
  EXPECT_EQ(r->foff, 0);
  EXPECT_EQ(r->commid, -1);
  EXPECT_EQ(r->lddate, "2009:217-17:56:41");
  // Rates are read as 32-bit floats.
  WfdiscRecord odd = GoldenRecord();
  odd.samprate = 0.1;
  const auto back = ParseWfdiscLine(FormatWfdiscLine(odd).substr(0, 283));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->samprate, static_cast<double>(0.1f));
}

TEST(WfdiscFormat, OnlyLinesOfExactly283CharactersAreRecords) {
  const std::string line = kGoldenLine.substr(0, 283);
  EXPECT_FALSE(ParseWfdiscLine(line.substr(0, 282)));
  EXPECT_FALSE(ParseWfdiscLine(line + " "));
  EXPECT_FALSE(ParseWfdiscLine(""));
  // A text-mode line end (CR LF) is a line end.
  EXPECT_TRUE(ParseWfdiscLine(line + "\r"));
  const std::string text = "# comment\n" + line + "\n" + line.substr(0, 282) + "\n" + line +
                           "\r\n" + line;  // the last line has no line feed
  EXPECT_EQ(ParseWfdiscText(text).size(), 3u);
}

TEST(WfdiscFormat, MalformedNumbersMakeTheLineNoRecord) {
  std::string line = kGoldenLine.substr(0, 283);
  std::string badTime = line;
  badTime.replace(16, 17, "      12x45.00000");
  EXPECT_FALSE(ParseWfdiscLine(badTime));
  std::string blankNsamp = line;
  blankNsamp.replace(79, 8, std::string(8, ' '));
  EXPECT_FALSE(ParseWfdiscLine(blankNsamp));
  std::string nanRate = line;
  nanRate.replace(88, 11, "        nan");
  EXPECT_FALSE(ParseWfdiscLine(nanRate));
  std::string noStation = line;
  noStation.replace(0, 6, "      ");
  EXPECT_FALSE(ParseWfdiscLine(noStation));
}

TEST(WfdiscFormat, DirectoryLosesItsBlanks) {
  std::string line = kGoldenLine.substr(0, 283);
  line.replace(148, 64, "/data/my css/" + std::string(51, ' '));
  const auto r = ParseWfdiscLine(line);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->dir, "/data/mycss/");
}

TEST(WfdiscFormat, WideNumbersKeepTheColumns) {
  WfdiscRecord r = GoldenRecord();
  r.samprate = 1000;  // "%11.7f" would need 12 characters
  r.calib = 123456789.5;
  const std::string line = FormatWfdiscLine(r);
  ASSERT_EQ(line.size(), 284u);
  EXPECT_EQ(line.substr(88, 11), "1000.000000");
  EXPECT_EQ(line.substr(100, 16), "123456789.500000");
  const auto back = ParseWfdiscLine(line.substr(0, 283));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->samprate, 1000);
  r.nsamp = 123456789;  // nine digits cannot be written in eight
  EXPECT_THROW(FormatWfdiscLine(r), std::length_error);
}

TEST(WfdiscFormat, DataFileNamesAndLoadDates) {
  const double start = CalendarToEpoch(2009, 8, 5, 17, 56, 41.5);
  EXPECT_EQ(WfdiscDataFileName(0, "ABC", "BHZ", start), "0-17564105082009-ABC-bhz.w");
  EXPECT_EQ(WfdiscDataFileName(12, "ABC", "bhz", start), "12-17564105082009-ABC-bhz.w");
  EXPECT_EQ(WfdiscLddate(start), "2009:217-17:56:41");
  // A name longer than the dfile column is cut so the line names the file.
  EXPECT_EQ(WfdiscDataFileName(3, "LONGSTATION", "BHZ_EXTRA", start),
            "3-17564105082009-LONGSTATION-bhz");
}

}  // namespace
}  // namespace nuv
