// The HTML report of a period over a main database.

#include "catalogue/event_report.h"

#include <gtest/gtest.h>

#include "platform/strformat.h"
#include "platform/text_codec.h"
#include "support/test_database.h"

namespace nuv {
namespace {

class EventReportTest : public test::DatabaseTest {
 protected:
  void Event(const char* id, const char* comment, double time) {
    db().Exec(StrFormat(
        "insert into ORIGIN (EVENTID, LAT, LON, DEPTH, ORIGINTIME, COMMENTS) values ('%s', 42.5, "
        "74.25, 10, %.3f, %s)",
        id, time, comment ? ("'" + SqlEscape(comment) + "'").c_str() : "NULL"));
  }
  void Arrival(const char* id, double time, const char* extra) {
    db().Exec(StrFormat(
        "insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME%s) values ('%s', 'DM01', 'SHZ', "
        "'P', %.3f%s)",
        extra[0] ? ", MB, ML" : "", id, time, extra));
  }
};

TEST_P(EventReportTest, RowsPhasesMagnitudesAndEscaping) {
  Event("E1", "Первое <b>", 1.7e9);
  Event("E2", nullptr, 1.7e9 + 100);  // no comment: not in the report
  Event("E3", "Третье", 1.7e9 + 200);
  Event("E4", "Вне периода", 1.6e9);
  Arrival("E1", 1.7e9 + 30, ", 4.5, 3.1");
  db().Exec(
      "insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME, REGCLASS, AMPL, RESIDUALS) values "
      "('E3', 'DM02', 'SHZ', 'S', 1700000250.5, 9.8, 1.5, -0.25)");
  Arrival("E2", 1.7e9 + 120, "");
  ReportOptions options;
  options.from = 1.7e9 - 10;
  options.to = 1.7e9 + 1000;
  options.fromText = "14.11.2023 22:13:10";
  options.toText = "<по>";
  options.withPhases = true;
  options.ascending = true;
  const auto records = ReadReportRecords(workstation(), options);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].eventId, "E1");
  EXPECT_EQ(records[1].eventId, "E3");
  EXPECT_EQ(records[0].lat, "42.500");
  EXPECT_EQ(records[0].time, "14/11/2023 22:13:20");
  ASSERT_EQ(records[0].arrivals.size(), 1u);
  EXPECT_EQ(records[0].arrivals[0].magName, "Ml");
  EXPECT_EQ(records[0].arrivals[0].magValue, "3.1");
  EXPECT_EQ(records[0].arrivals[0].time, "22:13:50.00");
  ASSERT_EQ(records[1].arrivals.size(), 1u);
  const ReportArrival& s = records[1].arrivals[0];
  EXPECT_EQ(s.magName, "K");
  EXPECT_EQ(s.magValue, "9.8");
  EXPECT_EQ(s.amp, "");  // amplitude without a period
  EXPECT_EQ(s.per, "");
  EXPECT_EQ(s.residual, "-0.2");
  EXPECT_EQ(s.delta, "-");
  options.ascending = false;
  EXPECT_EQ(ReadReportRecords(workstation(), options)[0].eventId, "E3");

  const std::string html = FormatEventReport(records, options);
  EXPECT_EQ(html.rfind("<html><head><meta http-equiv=\"Content-Type\"", 0), 0u);
  EXPECT_NE(html.find("<title><b>Отчет 14.11.2023 22:13:10 - &lt;по&gt;</b></title>"),
            std::string::npos);
  EXPECT_NE(html.find("<td>Первое &lt;b&gt;</td>"), std::string::npos);
  EXPECT_EQ(html.find("<b>Первое"), std::string::npos);
  EXPECT_NE(html.find("&nbsp;Ml&nbsp;3.1&nbsp;"), std::string::npos);
  EXPECT_EQ(html.substr(html.size() - 15), "</table></html>");
  const std::string path = (db().dir().path() / "report.html").string();
  ASSERT_TRUE(WriteEventReport(path, html));
  const std::string bytes = test::TempDir::ReadFile(path);
  EXPECT_FALSE(IsValidUtf8(bytes));  // code page 1251 as the header says
  EXPECT_EQ(Cp1251ToUtf8(bytes), html);
  EXPECT_FALSE(WriteEventReport((db().dir().path() / "no/x.html").string(), html));
}

TEST(EventReportQuery, DialectForms) {
  const std::string access = ReportQuery(0, "ORIGIN.COMMENTS", 1, 2, false);
  EXPECT_NE(access.find("LEFT  JOIN ARRIVAL"), std::string::npos);
  EXPECT_NE(access.find("order by min(ARRIVAL.ITIME)  desc "), std::string::npos);
  EXPECT_NE(ReportQuery(2, "C", 1, 2, true).find("FROM ORIGIN,ARRIVAL where"), std::string::npos);
  EXPECT_NE(ReportQuery(3, "C", 1, 2, true).find("order by ITIME  asc "), std::string::npos);
}

NUV_DATABASE_TEST_SUITE(EventReportTest);

}  // namespace
}  // namespace nuv
