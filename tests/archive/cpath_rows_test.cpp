// The statements that find and delete the rows of one data file: exact
// paths, LIKE characters taken literally, MySQL's backslashes.

#include "archive/cpath_rows.h"

#include <gtest/gtest.h>

#include "db/dialect.h"

namespace nuv {
namespace {

TEST(CpathRowsTest, LikePatternEscapesItsCharactersAndWidensOnlySeparators) {
  EXPECT_EQ(CpathLikePattern("ABC/175641-05082009.BHZ"), "ABC_175641-05082009.BHZ");
  EXPECT_EQ(CpathLikePattern("A_B\\x%y!z.BHZ"), "A!_B_x!%y!!z.BHZ");
  EXPECT_EQ(CpathLikePattern(""), "");
}

TEST(CpathRowsTest, StatementsQuoteForTheDialect) {
  EXPECT_EQ(CpathCandidatesQuery("O'B/a_1.BHZ", kDialectPostgres),
            "select CPATH, TBEGIN from FILELIST where CPATH like 'O''B_a!_1.BHZ' escape '!'");
  EXPECT_EQ(DeleteCpathStatement("C:\\data\\AB'C\\x.BHZ", kDialectPostgres),
            "delete from FILELIST where CPATH='C:\\data\\AB''C\\x.BHZ'");
  // On MySQL a backslash escapes the next character: each one is doubled.
  EXPECT_EQ(DeleteCpathStatement("C:\\data\\ABC\\x.BHZ", kDialectMySql),
            "delete from FILELIST where CPATH='C:\\\\data\\\\ABC\\\\x.BHZ'");
  EXPECT_EQ(DeleteCpathStatement("\\\\srv\\d", kDialectMySql),
            "delete from FILELIST where CPATH='\\\\\\\\srv\\\\d'");
}

TEST(CpathRowsTest, PathsAreTheSameOnlyWhole) {
  EXPECT_TRUE(SameCpath("ABC/x.BHZ", "ABC\\x.BHZ"));
  EXPECT_TRUE(SameCpath("a\\b/c", "a/b\\c"));
  EXPECT_FALSE(SameCpath("ABC/x.BHZ", "ABCD/x.BHZ"));
  EXPECT_FALSE(SameCpath("ABC/a_b.BHZ", "ABC/aXb.BHZ"));
  EXPECT_FALSE(SameCpath("ABC/x.BHZ", "ABC_x.BHZ"));
  EXPECT_FALSE(SameCpath("abc/x.BHZ", "ABC/x.BHZ"));
}

}  // namespace
}  // namespace nuv
