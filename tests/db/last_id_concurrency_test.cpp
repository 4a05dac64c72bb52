// Identifier allocation from LASTID by several processes at once, and a
// busy SQLite database that frees itself while an allocation waits.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <vector>

#include "db/last_id.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;

constexpr int kWriters = 4;
constexpr int kAllocationsEach = 500;

class LastIdConcurrencyTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped()) return;
    db().Ini().WriteString("DATABASE", "LOCALLASTID", "1");
  }

  // Forks a writer that waits until the write end of the `start` pipe is
  // closed, allocates "arid" kAllocationsEach times through a workstation of
  // its own and writes the values to `out`, one a line. The child never returns.
  pid_t ForkWriter(const int start[2], const std::filesystem::path& out) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    int status = 1;
    try {
      close(start[1]);
      char go;
      while (read(start[0], &go, 1) > 0) {
      }
      ScriptedPrompts quiet;
      auto ws = db().MakeWorkstation(quiet);
      std::ofstream file(out);
      for (int i = 0; i < kAllocationsEach; ++i) file << ws->AllocateId("arid") << "\n";
      status = file.good() ? 0 : 1;
    } catch (...) {
      status = 2;
    }
    _exit(status);
  }
};

TEST_P(LastIdConcurrencyTest, FourWritersNeverShareAnIdentifier) {
  int start[2];
  ASSERT_EQ(pipe(start), 0);
  std::vector<pid_t> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.push_back(ForkWriter(start, db().dir() / ("ids" + std::to_string(w))));
  close(start[0]);
  close(start[1]);  // every writer starts now
  for (pid_t pid : writers) {
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::multiset<long long> all;
  for (int w = 0; w < kWriters; ++w) {
    std::ifstream in(db().dir() / ("ids" + std::to_string(w)));
    for (long long id; in >> id;) all.insert(id);
  }
  const int total = kWriters * kAllocationsEach;
  ASSERT_EQ(all.size(), static_cast<size_t>(total));
  EXPECT_EQ(all.count(-1), 0u);
  const std::set<long long> distinct(all.begin(), all.end());
  EXPECT_EQ(distinct.size(), all.size()) << "duplicates: " << all.size() - distinct.size();
  EXPECT_EQ(*distinct.begin(), 1);
  EXPECT_EQ(*distinct.rbegin(), total);
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='arid'"),
            std::to_string(total));
}

TEST_P(LastIdConcurrencyTest, AllocationWaitsForAnotherWritersCommit) {
  // A second data source on the same database that gives up on a lock at once,
  // so only the allocation's own retries can wait for the other writer.
  std::string impatient = db().dsn();
  if (GetParam() == test::DbBackend::Sqlite) {
    impatient = test::UniqueDataSourceName();
    test::RegisterDataSource(
        impatient, {"Driver=SQLite3", "Database=" + (db().dir() / "main.db").string(), "Timeout=1",
                    "JournalMode=MEMORY"});
  }
  int held[2];
  ASSERT_EQ(pipe(held), 0);
  const pid_t holder = fork();
  if (holder == 0) {
    int status = 1;
    try {
      odbc::Connection connection;
      connection.Open(db().ConnectionString());
      connection.BeginTransaction();
      connection.Execute("update LASTID set KEYVALUE=KEYVALUE+1 where KEYNAME='orid'");
      (void)!write(held[1], "x", 1);
      usleep(400 * 1000);
      connection.Commit();
      status = 0;
    } catch (...) {
      status = 2;
    }
    _exit(status);
  }
  close(held[1]);
  char x = 0;
  ASSERT_EQ(read(held[0], &x, 1), 1);
  close(held[0]);

  Workstation& ws = StartWorkstation({"ODBC=" + impatient});
  EXPECT_EQ(ws.AllocateId("orid"), 2);  // after the other writer's 1
  int status = -1;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  if (impatient != db().dsn()) test::UnregisterDataSource(impatient);
}

NUV_DATABASE_TEST_SUITE(LastIdConcurrencyTest);

TEST(LockConflictTest, BusyDeadlockAndSerialisationFailuresAreRetried) {
  EXPECT_TRUE(IsLockConflict(odbc::Error("database is locked (5)", "HY000")));
  EXPECT_TRUE(IsLockConflict(odbc::Error("ERROR: deadlock detected", "40P01")));
  EXPECT_TRUE(IsLockConflict(odbc::Error("x", "40001")));
  EXPECT_FALSE(IsLockConflict(odbc::Error("no such table: lastid (1)", "HY000")));
  EXPECT_FALSE(IsLockConflict(odbc::Error("syntax error", "42601")));
}

}  // namespace
}  // namespace nuv
