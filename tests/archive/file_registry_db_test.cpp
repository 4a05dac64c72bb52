// Removal of FILELIST rows, the disk-loop deletion rules and the index
// listings of the archive dialogs, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/file_registry.h"
#include "archive/index_listing.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;
namespace fs = std::filesystem;

class FileRegistryTest : public DatabaseTest {
 protected:
  test::TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }
  std::string dataDir() { return (db().dir().path() / "data").string(); }
  fs::path DataFile(const std::string& cpath) { return db().dir().path() / "data" / cpath; }
  void AddRow(const std::string& sta, const std::string& ch, const std::string& cpath,
              double tbegin, const std::string& foff = "512",
              const std::string& creator = "CSS2NUV_import") {
    db().Exec(
        StrFormat("insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, FOFF, CREATER) "
                  "values ('%s', '%s', '%s', %.3f, 3600, 100, %s, '%s')",
                  SqlEscape(sta).c_str(), ch.c_str(), SqlEscape(cpath).c_str(), tbegin,
                  foff.c_str(), creator.c_str()));
  }
  std::string Count(const std::string& where = "1=1") {
    return db().QueryValue("select count(*) from FILELIST where " + where).value_or("?");
  }
};

TEST_P(FileRegistryTest, RemovingRowsMatchesEitherSeparator) {
  AddRow("ABC", "BHZ", "ABC/x.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC\\x.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/y.BHZ", 1000);
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "ABC/x.BHZ", prompts));
  EXPECT_EQ(Count(), "1");
  EXPECT_EQ(Count("CPATH='ABC/y.BHZ'"), "1");
  EXPECT_TRUE(prompts.records.empty());

  db().Exec("drop table FILELIST");
  EXPECT_FALSE(RemoveFileRows(db().main(), db().dialect(), "ABC/y.BHZ", prompts));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_TRUE(prompts.records[0].text.starts_with(
      "Ошибка базы данных: Error of delete record in NUV-DB (FILELIST -> ABC/y.BHZ)\n"));
  EXPECT_GT(prompts.records[0].text.size(), 80u);  // the driver's text follows
}

TEST_P(FileRegistryTest, RemovingRowsMatchesThePathExactly) {
  AddRow("ABC", "BHZ", "ABC/x.BHZ", 1000);
  AddRow("ABCD", "BHZ", "ABCD/x.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/a_b.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/aXb.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/100%.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/1000.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC\\x!y.BHZ", 1000);
  AddRow("ABC", "BHZ", "ABC/xy.BHZ", 1000);
  AddRow("AB_", "BHZ", "AB_/x.BHZ", 1000);
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "ABC/x.BHZ", prompts));
  EXPECT_EQ(Count("CPATH='ABCD/x.BHZ'"), "1");
  EXPECT_EQ(Count("CPATH='AB_/x.BHZ'"), "1");
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "ABC/a_b.BHZ", prompts));
  EXPECT_EQ(Count("CPATH='ABC/aXb.BHZ'"), "1");
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "ABC/100%.BHZ", prompts));
  EXPECT_EQ(Count("CPATH='ABC/1000.BHZ'"), "1");
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "ABC/x!y.BHZ", prompts));
  EXPECT_EQ(Count("CPATH='ABC/xy.BHZ'"), "1");
  EXPECT_TRUE(RemoveFileRows(db().main(), db().dialect(), "AB_\\x.BHZ", prompts));
  EXPECT_EQ(Count(), "4");
  EXPECT_EQ(Count("CPATH in ('ABCD/x.BHZ', 'ABC/aXb.BHZ', 'ABC/1000.BHZ', 'ABC/xy.BHZ')"), "4");
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(FileRegistryTest, ListingsFilterAndOrderTheRows) {
  AddRow("ABC", "BHZ", "ABC/1.BHZ", 1000, "512", "NUVREC");
  AddRow("ABC", "BHN", "ABC/1.BHN", 1000);
  AddRow("ABC", "BHZ", "ABC/2.BHZ", 5000, "NULL");
  AddRow("DEF", "BHZ", "DEF/1.BHZ", 1000);
  const std::vector<IndexRow> all =
      ListIndexRows(db().main(), false, FileListDialogFilter(false, "ABC", std::nullopt, nullptr));
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].path, "ABC/2.BHZ");  // newest first
  EXPECT_FALSE(all[0].foff);
  EXPECT_EQ(all[1].channel, "BHZ");  // channels descending
  EXPECT_EQ(all[1].creator, "NUVREC");
  EXPECT_EQ(all[1].foff, 512);
  EXPECT_EQ(all[1].duration, 3600);
  EXPECT_EQ(all[1].rate, 100);
  EXPECT_EQ(all[2].channel, "BHN");

  const std::vector<std::string> channels = {"BHN"};
  const auto selected = ListIndexRows(
      db().main(), false, FileListDialogFilter(false, "ABC", IndexInterval{0, 2000}, &channels));
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0].path, "ABC/1.BHN");
  EXPECT_EQ(
      ListIndexRows(db().main(), false, DiskLoopFilter("ABC", IndexInterval{4000, 6000})).size(),
      1u);

  db().ExecCss(
      "insert into wfdisc (sta, chan, time, nsamp, samprate, dir, dfile) values ('ABC', 'bhz', "
      "1000, 400, 40, '/css', 'a.w')");
  const std::vector<std::string> upper = {"BHZ"};
  const auto css = ListIndexRows(db().css(), true,
                                 FileListDialogFilter(true, "ABC", IndexInterval{0, 2000}, &upper));
  ASSERT_EQ(css.size(), 1u);
  EXPECT_EQ(css[0].duration, 10);
  EXPECT_EQ(css[0].path, "/css/a.w");

  db().Exec("drop table FILELIST");
  EXPECT_THROW(ListIndexRows(db().main(), false, DiskLoopFilter("ABC", std::nullopt)), odbc::Error);
}

TEST(IndexListing, FilterTextsAreTheDialogs) {
  const std::vector<std::string> channels = {"BHZ", "B'N"};
  EXPECT_EQ(FileListDialogFilter(false, "A'B", std::nullopt, nullptr), "STA='A''B'");
  EXPECT_EQ(FileListDialogFilter(false, "ABC", IndexInterval{10, 20}, &channels),
            "STA='ABC' and (TBEGIN between 10 and 20) and (  1=0  or CH='BHZ'  or CH='B''N'   ) ");
  EXPECT_EQ(FileListDialogFilter(true, "ABC", IndexInterval{10, 20}, nullptr),
            "sta='ABC' and (TIME between 10 and 20)");
  EXPECT_EQ(DiskLoopFilter("ABC", std::nullopt), "sta='ABC'");
  EXPECT_EQ(DiskLoopFilter("ABC", IndexInterval{10, 20}),
            "sta='ABC' and (tbegin between 10 and 20)");
}

TEST(IndexListing, ColumnTexts) {
  const double t = CalendarToEpoch(2009, 8, 5, 7, 6, 5.25);
  EXPECT_EQ(FileListStartText(t), "05/08/2009 07:06:5.250");
  EXPECT_EQ(FileListDurationText(5405.5), "01:30:5.5000");
  EXPECT_EQ(FileListRateText(100), "100");
  EXPECT_EQ(FileListRateText(20), " 20");
  EXPECT_EQ(FileListRateText(0.5), "0.500");
  EXPECT_EQ(DiskLoopStartText(t), "05/08/2009 07:06:05");
  EXPECT_EQ(DiskLoopDurationText(90000), "25:00:0.000");
  EXPECT_EQ(DiskLoopRateText(20), "20.000");
}

NUV_DATABASE_TEST_SUITE(FileRegistryTest);

}  // namespace
}  // namespace nuv
