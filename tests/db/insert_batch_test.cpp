// Multi-row inserts: every row arrives with its values whatever the batch
// size, a bad row fails its statement with the driver's text, and rows not
// flushed are never written.

#include "db/insert_batch.h"

#include <gtest/gtest.h>

#include <string>

#include "db/dialect.h"
#include "platform/odbc.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv {
namespace {

class InsertBatchTest : public test::DatabaseTest {
 protected:
  void SetUp() override {
    test::DatabaseTest::SetUp();
    if (IsSkipped()) return;
    db().Exec("create table BATCHT (N integer not null primary key, TXT varchar(20), X float)");
  }
  std::string Value(const std::string& sql) { return db().QueryValue(sql).value_or("<no row>"); }
  static constexpr const char* kHead = "insert into BATCHT (N, TXT, X) values ";
};

TEST_P(InsertBatchTest, EveryRowArrivesWhateverTheBatchSize) {
  ASSERT_TRUE(MultiRowInsert(db().dialect()));
  // 7 rows in statements of 3: two full statements and one flushed at the end.
  for (const bool multiRow : {true, false}) {
    db().Exec("delete from BATCHT");
    InsertBatch batch(db().main(), kHead, multiRow, 3);
    for (int i = 1; i <= 7; ++i)
      batch.Add(StrFormat("(%d, 'it''s %d', %.17g)", i, i, i * 0.1 + 1e-12));
    batch.Flush();
    batch.Flush();  // nothing left: no empty statement
    EXPECT_EQ(batch.statementsSent(), multiRow ? 3u : 7u);
    EXPECT_EQ(Value("select count(*) from BATCHT"), "7");
    EXPECT_EQ(Value("select TXT from BATCHT where N=5"), "it's 5");
    EXPECT_NEAR(std::stod(Value("select X from BATCHT where N=7")), 0.7 + 1e-12, 1e-15);
  }
}

TEST_P(InsertBatchTest, BadRowFailsItsStatementInsideTheTransaction) {
  odbc::Connection& c = db().main();
  c.BeginTransaction();
  InsertBatch batch(c, kHead, true, 100);
  batch.Add("(1, 'a', 1)");
  batch.Add("(2, 'b', 2)");
  batch.Add("(1, 'duplicate key', 3)");
  try {
    batch.Flush();
    FAIL() << "a duplicate key was accepted";
  } catch (const odbc::Error& error) {
    EXPECT_FALSE(std::string(error.what()).empty());
  }
  c.Rollback();
  EXPECT_EQ(Value("select count(*) from BATCHT"), "0");
  // The failed rows are gone from the batch: the next flush sends only new ones.
  batch.Add("(3, 'c', 3)");
  batch.Flush();
  EXPECT_EQ(Value("select count(*) from BATCHT"), "1");
}

TEST_P(InsertBatchTest, RowsNotFlushedAreNeverWritten) {
  {
    InsertBatch batch(db().main(), kHead, true, 100);
    batch.Add("(1, 'pending', 1)");
  }
  EXPECT_EQ(Value("select count(*) from BATCHT"), "0");
  // A batch size of 0 is taken as one row per statement.
  InsertBatch single(db().main(), kHead, true, 0);
  single.Add("(2, 'now', 2)");
  EXPECT_EQ(Value("select count(*) from BATCHT"), "1");
}

TEST(InsertBatchDialects, MultiRowOnlyWhereTheDialectTakesIt) {
  EXPECT_TRUE(MultiRowInsert(kDialectSqlite));
  EXPECT_TRUE(MultiRowInsert(kDialectPostgres));
  EXPECT_TRUE(MultiRowInsert(kDialectMySql));
  EXPECT_FALSE(MultiRowInsert(kDialectOracle));
  EXPECT_FALSE(MultiRowInsert(kDialectAccess));
}

NUV_DATABASE_TEST_SUITE(InsertBatchTest);

}  // namespace
}  // namespace nuv
