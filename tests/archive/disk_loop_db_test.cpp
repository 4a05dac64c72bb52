// Deletion of old files from the disk loop: file and rows go together or not
// at all, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/disk_loop.h"
#include "db/dialect.h"
#include "db/station_table.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;
namespace fs = std::filesystem;

class DiskLoopTest : public DatabaseTest {
 protected:
  std::string dataDir() { return (db().dir().path() / "data").string(); }
  DiskLoopTarget Target() { return {db().main(), dataDir(), prompts, db().dialect()}; }
  DiskLoopTarget TargetWithout(const std::string& dir) {
    return {db().main(), dir, prompts, db().dialect()};
  }
  fs::path DataFile(const std::string& cpath) { return db().dir().path() / "data" / cpath; }
  void AddRow(const std::string& sta, const std::string& cpath, double tbegin,
              const std::string& foff = "512") {
    db().Exec(
        StrFormat("insert into FILELIST (STA, CH, CPATH, TBEGIN, TQTY, SPS, FOFF) values ('%s', "
                  "'BHZ', '%s', %.3f, 3600, 100, %s)",
                  SqlEscape(sta).c_str(), SqlEscape(cpath).c_str(), tbegin, foff.c_str()));
  }
  std::string Count(const std::string& where = "1=1") {
    return db().QueryValue("select count(*) from FILELIST where " + where).value_or("?");
  }
  // Every commit after a FILELIST deletion fails: the deletion inserts a row
  // whose deferred reference is checked only at the commit.
  void ArmCommitFailure() {
    db().Exec("create table NUVT_ANCHOR (ID integer primary key)");
    db().Exec(
        "create table NUVT_GUARD (REF integer references NUVT_ANCHOR(ID) deferrable initially "
        "deferred)");
    if (GetParam() == test::DbBackend::Sqlite) {
      db().Exec("PRAGMA foreign_keys = ON");
      db().Exec(
          "create trigger NUVT_FAIL after delete on FILELIST begin insert into NUVT_GUARD "
          "values (1); end");
    } else {
      db().Exec(
          "create function nuvt_fail() returns trigger as $$ begin insert into NUVT_GUARD values "
          "(1); return old; end $$ language plpgsql");
      db().Exec(
          "create trigger NUVT_FAIL after delete on FILELIST for each row execute procedure "
          "nuvt_fail()");
    }
  }
  void DisarmCommitFailure() {
    db().Exec(GetParam() == test::DbBackend::Sqlite ? "drop trigger NUVT_FAIL"
                                                    : "drop trigger NUVT_FAIL on FILELIST");
  }
};

TEST_P(DiskLoopTest, FilesGoWithTheirRowsWhereverTheyLie) {
  db().dir().WriteFile("data/ABC/a.BHZ", "a");
  AddRow("ABC", "ABC/a.BHZ", 1000);
  AddRow("ABC", "ABC/a.BHZ", 1000, "NULL");
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "ABC/a.BHZ", 512));
  EXPECT_FALSE(fs::exists(DataFile("ABC/a.BHZ")));
  EXPECT_EQ(Count(), "0");

  // Rows written by older systems: "\" separators and a leading "\".
  db().dir().WriteFile("data/ABC/b.BHZ", "b");
  AddRow("ABC", "\\ABC\\b.BHZ", 1000);
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "\\ABC\\b.BHZ", 512));
  EXPECT_FALSE(fs::exists(DataFile("ABC/b.BHZ")));

  // An absolute CPATH names its file outside the data directory; a file of
  // the same name below the data directory is not it.
  const fs::path outside = db().dir().WriteFile("elsewhere/c.BHZ", "c");
  const fs::path decoy = db().dir().WriteFile("data" + outside.string(), "decoy");
  AddRow("ABC", outside.string(), 1000);
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), outside.string(), std::nullopt));
  EXPECT_FALSE(fs::exists(outside));
  EXPECT_TRUE(fs::exists(decoy));
  EXPECT_EQ(Count(), "0");

  // A row whose file is already gone is removed all the same.
  AddRow("ABC", "ABC/gone.BHZ", 1000);
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "ABC/gone.BHZ", std::nullopt));
  EXPECT_EQ(Count(), "0");
  EXPECT_TRUE(prompts.records.empty());
  // Nothing is left under an aside name.
  EXPECT_TRUE(fs::is_empty(DataFile("ABC")));
}

TEST_P(DiskLoopTest, AFailedCommitKeepsFileAndRows) {
  db().dir().WriteFile("data/ABC/a.BHZ", "samples");
  AddRow("ABC", "ABC/a.BHZ", 1000);
  ArmCommitFailure();
  EXPECT_FALSE(DeleteDiskLoopFile(Target(), "ABC/a.BHZ", 512));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_EQ(test::TempDir::ReadFile(DataFile("ABC/a.BHZ")), "samples");
  EXPECT_EQ(Count(), "1");
  EXPECT_EQ(std::distance(fs::directory_iterator(DataFile("ABC")), fs::directory_iterator()), 1);

  // The connection is usable again and the next attempt goes through.
  DisarmCommitFailure();
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "ABC/a.BHZ", 512));
  EXPECT_FALSE(fs::exists(DataFile("ABC/a.BHZ")));
  EXPECT_EQ(Count(), "0");
}

TEST_P(DiskLoopTest, WithoutADataDirectoryNothingIsDeleted) {
  const fs::path outside = db().dir().WriteFile("elsewhere/c.BHZ", "c");
  AddRow("ABC", outside.string(), 1000);
  AddRow("ABC", "ABC/a.BHZ", 1000);
  for (const std::string dir : {"", "/", "\\", " "}) {
    prompts.records.clear();
    EXPECT_FALSE(DeleteDiskLoopFile(TargetWithout(dir), outside.string(), 512)) << dir;
    EXPECT_TRUE(DeleteStationFiles(TargetWithout(dir), "ABC", 0, 5000).empty());
    EXPECT_FALSE(DeleteStationInterval(TargetWithout(dir), "ABC", 0, 5000));
    ASSERT_EQ(prompts.MessageTexts(), std::vector<std::string>(3, kNoDataDirectory)) << dir;
  }
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_EQ(Count(), "2");
}

TEST_P(DiskLoopTest, SharedAndUndeletableFilesStay) {
  // FOFF 1024: a channel inside a multi-channel file is never deleted, and
  // the file stays while such a row points into it.
  db().dir().WriteFile("data/MULTI/all.dat", "x");
  AddRow("ABC", "MULTI/all.dat", 1000, "1024");
  AddRow("DEF", "MULTI/all.dat", 1000, "512");
  EXPECT_FALSE(DeleteDiskLoopFile(Target(), "MULTI/all.dat", 1024));
  EXPECT_EQ(Count(), "2");
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "MULTI/all.dat", 512));
  EXPECT_TRUE(fs::exists(DataFile("MULTI/all.dat")));
  EXPECT_EQ(Count("FOFF=1024"), "1");
  EXPECT_EQ(Count(), "1");

  // A name that cannot be deleted as a file: warning, rows stay.
  db().dir().WriteFile("data/ABC/dir.BHZ/inner", "x");
  AddRow("ABC", "ABC/dir.BHZ", 1000);
  EXPECT_FALSE(DeleteDiskLoopFile(Target(), "ABC/dir.BHZ", 512));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].text, "Ошибка удаления файла " + DataFile("ABC/dir.BHZ").string());
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Warning);
  EXPECT_EQ(Count("CPATH='ABC/dir.BHZ'"), "1");

  // A file that happens to carry the aside name is never replaced.
  db().dir().WriteFile("data/ABC/e.BHZ", "e");
  db().dir().WriteFile("data/ABC/e.BHZ.deleting", "keep");
  AddRow("ABC", "ABC/e.BHZ", 1000);
  EXPECT_TRUE(DeleteDiskLoopFile(Target(), "ABC/e.BHZ", 512));
  EXPECT_FALSE(fs::exists(DataFile("ABC/e.BHZ")));
  EXPECT_EQ(test::TempDir::ReadFile(DataFile("ABC/e.BHZ.deleting")), "keep");

  // A database that refuses the statement keeps the file.
  db().dir().WriteFile("data/ABC/b.BHZ", "b");
  db().Exec("drop table FILELIST");
  prompts.records.clear();
  EXPECT_FALSE(DeleteDiskLoopFile(Target(), "ABC/b.BHZ", 512));
  EXPECT_TRUE(fs::exists(DataFile("ABC/b.BHZ")));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
}

TEST_P(DiskLoopTest, StationProcedureDeletesItsIntervalOnly) {
  for (const char* name : {"ABC/1.BHZ", "ABC/2.BHZ", "ABC/3.BHZ", "ABC/4.BHZ", "DEF/1.BHZ"})
    db().dir().WriteFile(std::string("data/") + name, "x");
  AddRow("ABC", "ABC/1.BHZ", 1000);            // first second of the interval
  AddRow("ABC", "ABC/2.BHZ", 1999.5, "NULL");  // inside
  AddRow("ABC", "ABC/3.BHZ", 2000);            // the end is excluded
  AddRow("ABC", "ABC/4.BHZ", 1500, "1024");    // shared file
  AddRow("DEF", "DEF/1.BHZ", 1500);            // another station
  EXPECT_EQ(DeleteStationFiles(Target(), "ABC", 1000, 2000),
            (std::vector<std::string>{"ABC/1.BHZ", "ABC/2.BHZ"}));
  EXPECT_FALSE(fs::exists(DataFile("ABC/1.BHZ")));
  EXPECT_FALSE(fs::exists(DataFile("ABC/2.BHZ")));
  for (const char* kept : {"ABC/3.BHZ", "ABC/4.BHZ", "DEF/1.BHZ"})
    EXPECT_TRUE(fs::exists(DataFile(kept))) << kept;
  EXPECT_EQ(Count(), "3");
  // A quote in the station code is part of the code, nothing more.
  EXPECT_TRUE(DeleteStationFiles(Target(), "A' or '1'='1", 0, 5000).empty());
  EXPECT_EQ(Count(), "3");
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(DiskLoopTest, IntervalDeletionAsksFirstAndCoversTheNetwork) {
  StationTable stations;
  for (const char* code : {"ABC", "DEF", "GHI"}) {
    CScreenFields station;
    station.code = code;
    stations.records().push_back(station);
  }
  AddRow("ABC", "ABC/1.BHZ", 1500);
  AddRow("DEF", "DEF/1.BHZ", 1500);
  AddRow("GHI", "GHI/1.BHZ", 1500);
  const long from = static_cast<long>(CalendarToEpoch(1970, 1, 1, 0, 0, 0));
  const long to = static_cast<long>(CalendarToEpoch(2009, 8, 5, 17, 56, 41));

  EXPECT_FALSE(DeleteStationInterval(Target(), "ABC", from, to));  // the answer is No
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Удалить файлы  с данными станции ABC в интервале 01/01/1970 00:00:00 - 05/08/2009 "
            "17:56:41");
  EXPECT_EQ(Count(), "3");
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_EQ(DeleteStationInterval(Target(), "ABC", from, to),
            std::vector<std::string>{"ABC/1.BHZ"});

  // Members are found case-insensitively; unknown codes and blanks are skipped.
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_EQ(DeleteNetworkInterval(Target(), stations, "KNET", " ghi;XYZ;;DEF;", from, to),
            (std::vector<std::string>{"GHI/1.BHZ", "DEF/1.BHZ"}));
  EXPECT_EQ(prompts.MessageTexts().back(),
            "Удалить файлы с данными группы станций KNET в интервале 01/01/1970 00:00:00 - "
            "05/08/2009 17:56:41");
  EXPECT_EQ(Count(), "0");
}

NUV_DATABASE_TEST_SUITE(DiskLoopTest);

TEST(DiskLoopStatements, TextsAreEscapedForTheDialectAsTheImportEscapesThem) {
  // On MySQL a backslash escapes the next character: "D:\a\b" must stay itself.
  EXPECT_EQ(DiskLoopDeleteStatement("D:\\arch\\O'B.BHZ", kDialectMySql),
            "delete from FILELIST where CPATH='D:\\\\arch\\\\O''B.BHZ' and ((FOFF = 512) OR "
            "(FOFF is NULL))");
  EXPECT_EQ(DiskLoopDeleteStatement("D:\\arch", kDialectPostgres),
            "delete from FILELIST where CPATH='D:\\arch' and ((FOFF = 512) OR (FOFF is NULL))");
  EXPECT_EQ(DiskLoopStationQuery("O\\B", 10, 20, kDialectMySql),
            "select CPATH, FOFF from FILELIST where tbegin>=10.000000 and tbegin<20.000000 and "
            "sta='O\\\\B' and ((FOFF = 512) OR (FOFF is NULL))");
}

}  // namespace
}  // namespace nuv
