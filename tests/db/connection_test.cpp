// Opening and closing the two connections, their messages, the connection
// strings, the comments-column flag, the schema upgrade, identifier
// allocation and the reconnect command, on SQLite and PostgreSQL.

#include <gtest/gtest.h>

#include "app/startup.h"
#include "db/databases.h"
#include "db/dialect.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv {
namespace {

using test::DatabaseTest;
using test::TestDatabaseOptions;

constexpr const char* kMissingSource = "NUV_NO_SUCH_SOURCE";

// The driver's text for a connection string that does not open.
std::string OpenError(const std::string& connectionString) {
  try {
    odbc::Connection connection;
    connection.Open(connectionString);
  } catch (const odbc::Error& error) {
    return error.what();
  }
  return "";
}

TEST(ConnectionStringTest, OverridesComeBeforeNuvIniAndDefaultsAreBuiltIn) {
  test::TempDir dir;
  ProfileFile ini(dir / "NUV.INI");
  Config config;
  EXPECT_EQ(MainConnectionString(config, ini), "DSN=NUV;UID=nuv;PWD=nuv;");
  EXPECT_EQ(CssConnectionString(config, ini), "");

  ini.WriteString("DATABASE", "ODBC", "Archive");
  ini.WriteString("DATABASE", "USER", "reader");
  ini.WriteString("DATABASE", "PASSWORD", "pw");
  ini.WriteString("DATABASE", "ODBC_CSS", "Results");
  EXPECT_EQ(MainConnectionString(config, ini), "DSN=Archive;UID=reader;PWD=pw;");
  EXPECT_EQ(CssConnectionString(config, ini), "DSN=Results;UID=nuv;PWD=nuv;");

  ApplyCommandLine({"USER=Analyst", "ODBC_CSS=Other", "PASSWORD_CSS=x"}, config);
  EXPECT_EQ(MainConnectionString(config, ini), "DSN=Archive;UID=Analyst;PWD=pw;");
  EXPECT_EQ(CssConnectionString(config, ini), "DSN=Other;UID=nuv;PWD=x;");

  // The data source name is read into 32 characters.
  ini.WriteString("DATABASE", "ODBC", std::string(40, 'A'));
  EXPECT_EQ(MainConnectionString(Config{}, ini),
            "DSN=" + std::string(31, 'A') + ";UID=reader;PWD=pw;");
}

TEST(ConnectionStringTest, EmptyCssSourceOrUserMeansNoCssDatabase) {
  test::TempDir dir;
  ProfileFile ini(dir / "NUV.INI");
  ini.WriteString("DATABASE", "ODBC_CSS", "Results");
  ini.WriteString("DATABASE", "USER_CSS", "");
  EXPECT_EQ(CssConnectionString(Config{}, ini), "");
  Config config;
  ApplyCommandLine({"USER_CSS=someone", "ODBC_CSS="}, config);
  EXPECT_EQ(CssConnectionString(config, ini), "");
}

class ConnectionTest : public DatabaseTest {};

TEST_P(ConnectionTest, NoCssDatabaseConfiguredMeansNoMessageAndWfdOff) {
  db().Ini().WriteString("DATABASE", "WFD", "1");
  Workstation& ws = StartWorkstation({"ODBC_CSS="});
  EXPECT_TRUE(ws.databases().mainOpen());
  EXPECT_FALSE(ws.databases().cssOpen());
  EXPECT_EQ(ws.databases().cssConnectionString(), "");
  EXPECT_FALSE(ws.config().wfd);
  EXPECT_TRUE(prompts.records.empty());

  StartWorkstation({"ODBC_CSS=Results", "USER_CSS="});
  EXPECT_FALSE(workstation().databases().cssOpen());
  EXPECT_FALSE(workstation().config().wfd);
  EXPECT_TRUE(prompts.records.empty());
}

TEST_P(ConnectionTest, MainDatabaseDownIsReportedAndStartGoesOn) {
  db().Exec("insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('OBN', 1, 0.1, 55.1, 36.6)");
  Workstation& ws = StartWorkstation({std::string("ODBC=") + kMissingSource});
  const std::string connection = std::string("DSN=") + kMissingSource + ";UID=" + db().user() +
                                 ";PWD=" + db().password() + ";";
  EXPECT_FALSE(ws.databases().mainOpen());
  EXPECT_EQ(prompts.MessageTexts(),
            (std::vector<std::string>{OpenError(connection) + "\n" + connection,
                                      "Ошибка инициализации интерфейса к базе данных NUV"}));
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);
  EXPECT_TRUE(ws.stations().empty());
  EXPECT_TRUE(ws.networks().empty());
  EXPECT_TRUE(ws.regions().empty());
  ws.config().localLastId = true;
  EXPECT_EQ(ws.AllocateId("orid"), -1);
  EXPECT_FALSE(ws.databases().ColumnExists("SITE", "STA"));
  EXPECT_THROW(ws.databases().Execute("delete from SITE"), odbc::Error);
}

TEST_P(ConnectionTest, CssDatabaseDownIsReportedAndClearsWfd) {
  db().Ini().WriteString("DATABASE", "WFD", "1");
  Workstation& ws =
      StartWorkstation({std::string("ODBC_CSS=") + kMissingSource, "USER_CSS=u", "PASSWORD_CSS=p"});
  const std::string connection = std::string("DSN=") + kMissingSource + ";UID=u;PWD=p;";
  EXPECT_TRUE(ws.databases().mainOpen());
  EXPECT_FALSE(ws.databases().cssOpen());
  EXPECT_FALSE(ws.config().wfd);
  EXPECT_EQ(prompts.MessageTexts(),
            (std::vector<std::string>{"Ошибка инициализации интерфейса к базе данных CSS" +
                                          OpenError(connection) + "\n" + connection,
                                      "Ошибка инициализации интерфейса к базе данных CSS"}));
}

TEST_P(ConnectionTest, RefusedStatementCarriesTheDriverText) {
  Workstation& ws = workstation();
  try {
    ws.databases().Execute("insert into NO_SUCH_TABLE (A) values (1)");
    FAIL() << "the statement was accepted";
  } catch (const odbc::Error& error) {
    EXPECT_NE(ToUpperAscii(error.what()).find("NO_SUCH_TABLE"), std::string::npos) << error.what();
  }
  EXPECT_TRUE(ws.databases().ColumnExists("SITE", "NINDEX"));
  EXPECT_FALSE(ws.databases().ColumnExists("SITE", "NO_SUCH_COLUMN"));
  EXPECT_FALSE(ws.databases().ColumnExists("NO_SUCH_TABLE", "STA"));
}

TEST_P(ConnectionTest, OlderCommentColumnIsUsedWhenCommentsIsMissing) {
  db().Exec("DROP TABLE ORIGIN");
  db().Exec(
      "CREATE TABLE ORIGIN (EVENTID VARCHAR(32), LAT FLOAT, LON FLOAT, DEPTH FLOAT, "
      "ORIGINTIME FLOAT, COMMENT VARCHAR(255))");
  Workstation& ws = workstation();
  EXPECT_FALSE(ws.databases().hasCommentsColumn());
  EXPECT_STREQ(ws.databases().CommentColumn(), "COMMENT");
}

TEST_P(ConnectionTest, UpgradeOnACompleteDatabase) {
  Workstation& ws = workstation();
  const std::vector<UpgradeStep> steps = ws.databases().UpgradeSchema(prompts);
  ASSERT_EQ(steps.size(), 37u);
  EXPECT_TRUE(prompts.records.empty());
  for (const UpgradeStep& step : steps) {
    EXPECT_TRUE(step.existed) << step.table << "." << step.column;
    EXPECT_TRUE(step.ok) << step.sql << ": " << step.error;
  }
  if (db().dialect() == kDialectSqlite) {
    // SQLite cannot change a column's type and does not need to: nothing is run.
    for (const UpgradeStep& step : steps) EXPECT_EQ(step.sql, "") << step.column;
  } else {
    EXPECT_EQ(steps[0].sql, "ALTER TABLE FILELIST ALTER LCODE TYPE VARCHAR(8)");
    EXPECT_EQ(steps[1].sql, "ALTER TABLE FILELIST ALTER CALPER TYPE FLOAT");
    EXPECT_EQ(steps[10].sql, "ALTER TABLE SITE ALTER ONDATE TYPE DATE");
    EXPECT_EQ(steps[36].sql, "ALTER TABLE ARRIVAL ALTER ML TYPE FLOAT");
  }
}

TEST_P(ConnectionTest, UpgradeReportsOnlyTheStatementsTheDriverRejects) {
  if (db().dialect() == kDialectSqlite) GTEST_SKIP() << "SQLite never changes a column type";
  db().Exec("ALTER TABLE SITE ALTER COD TYPE VARCHAR(20)");
  db().Exec(
      "insert into SITE (STA, NGROUPS, ELEV, LAT, LON, COD) values ('OBN', 1, 0, 0, 0, "
      "'much too long')");
  Workstation& ws = workstation();
  const auto steps = ws.databases().UpgradeSchema(prompts);
  const std::vector<std::string> texts = prompts.MessageTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_TRUE(
      texts[0].starts_with("Ошибка базы данных: Ошибка добавления поля COD в таблицу SITE\n"))
      << texts[0];
  EXPECT_GT(texts[0].size(),
            std::string("Ошибка базы данных: Ошибка добавления поля COD в таблицу SITE\n").size());
  int failed = 0;
  for (const auto& step : steps) failed += step.ok ? 0 : 1;
  EXPECT_EQ(failed, 1);
}

TEST_P(ConnectionTest, UpgradeAddsMissingColumnsAndGoesOnAfterFailures) {
  db().Exec("DROP TABLE FILELIST");
  db().Exec(
      "CREATE TABLE FILELIST (STA VARCHAR(20), SPS FLOAT, GAIN INTEGER, CPATH VARCHAR(255), "
      "DATATYPE INTEGER, CH VARCHAR(16), CREATER VARCHAR(64), TBEGIN FLOAT, TQTY FLOAT)");
  db().Exec("DROP TABLE ORIGIN");
  db().Exec(
      "CREATE TABLE ORIGIN (EVENTID VARCHAR(32), LAT FLOAT, LON FLOAT, DEPTH FLOAT, "
      "ORIGINTIME FLOAT, COMMENT VARCHAR(255))");
  db().Exec("DROP TABLE ARRIVAL");
  // CHKDB on the command line runs the upgrade when the main connection opens.
  Workstation& ws = StartWorkstation({"CHKDB"});
  EXPECT_TRUE(ws.databases().hasCommentsColumn());
  for (const char* column : {"LCODE", "CALPER", "CALIB", "FOFF", "TEND"})
    EXPECT_TRUE(ws.databases().ColumnExists("FILELIST", column)) << column;
  for (const char* column : {"COMMENTS", "ORID", "MB", "MBUNC", "MS", "MSUNC"})
    EXPECT_TRUE(ws.databases().ColumnExists("ORIGIN", column)) << column;
  EXPECT_TRUE(ws.databases().ColumnExists("ORIGIN", "COMMENT"));

  // Every ARRIVAL column failed on its own, with its own message, in order.
  const std::vector<std::string> texts = prompts.MessageTexts();
  const char* arrivalColumns[] = {"ARID",     "DIST",     "MB",       "CODA",     "MS",
                                  "AMPTIME",  "REGCLASS", "MCODA",    "MPSP",     "MPLP",
                                  "CHANTYPE", "REMARK",   "AFILTYPE", "PFILTYPE", "ML"};
  ASSERT_EQ(texts.size(), std::size(arrivalColumns));
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_TRUE(texts[i].starts_with(std::string("Ошибка базы данных: Ошибка добавления поля ") +
                                     arrivalColumns[i] + " в таблицу ARRIVAL\n"))
        << texts[i];
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Error);

  // The ADD statements have their exact form.
  prompts.records.clear();
  db().Exec("DROP TABLE EVENTLIST");
  db().Exec("CREATE TABLE EVENTLIST (STA VARCHAR(20))");
  db().Exec("DROP TABLE SITECHAN");
  db().Exec("CREATE TABLE SITECHAN (STA VARCHAR(20))");
  const auto steps = ws.databases().UpgradeSchema(prompts);
  EXPECT_EQ(steps[15].sql, "ALTER TABLE SITECHAN ADD LCODE   VARCHAR(8)");
  EXPECT_FALSE(steps[15].existed);
  EXPECT_TRUE(steps[15].ok);
}

TEST_P(ConnectionTest, LocalAllocationCountsUpFromTheMainDatabase) {
  db().Ini().WriteString("DATABASE", "LOCALLASTID", "1");
  db().Exec("update LASTID set KEYVALUE=2147483645 where KEYNAME='magid'");
  Workstation& ws = workstation();
  EXPECT_EQ(ws.AllocateId("orid"), 1);
  EXPECT_EQ(ws.AllocateId("orid"), 2);
  EXPECT_EQ(ws.AllocateId("arid"), 1);
  EXPECT_EQ(ws.AllocateId("magid"), 2147483646);
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='orid'"), "2");
  // A counter that does not exist is not created; a quote in the key is harmless.
  EXPECT_EQ(ws.AllocateId("noSuchKey"), -1);
  EXPECT_EQ(ws.AllocateId("or'id"), -1);
  EXPECT_EQ(db().QueryValue("select count(*) from LASTID"), "5");
  db().Exec("DROP TABLE LASTID");
  EXPECT_EQ(ws.AllocateId("orid"), -1);
}

TEST_P(ConnectionTest, AllocationWithoutCssConnectionLeavesTheMainDatabaseAlone) {
  Workstation& ws = workstation();
  ASSERT_FALSE(ws.config().localLastId);
  EXPECT_EQ(ws.AllocateId("orid"), -1);
  EXPECT_EQ(ws.AllocateId("arid"), -1);
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='orid'"), "0");
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='arid'"), "0");
}

TEST_P(ConnectionTest, ReconnectAsksFirstAndReopensBoth) {
  Workstation& ws = workstation();
  prompts.answers = {PromptAnswer::No};
  EXPECT_FALSE(ReconnectDatabases(ws));
  ASSERT_EQ(prompts.records.size(), 1u);
  EXPECT_EQ(prompts.records[0].text, "Переподключиться к БД?");
  EXPECT_EQ(prompts.records[0].caption, "Внимание!");
  EXPECT_EQ(prompts.records[0].icon, PromptIcon::Warning);
  EXPECT_EQ(prompts.records[0].buttons, PromptButtons::YesNo);
  EXPECT_TRUE(ws.databases().mainOpen());

  prompts.records.clear();
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ReconnectDatabases(ws));
  EXPECT_EQ(prompts.records.size(), 1u);
  EXPECT_TRUE(ws.databases().mainOpen());
  EXPECT_TRUE(ws.databases().ColumnExists("ORIGIN", "COMMENTS"));
}

TEST_P(ConnectionTest, ReconnectRepeatsWhileTheAnalystAsks) {
  Workstation& ws = workstation();
  ws.config().mainOverrides.dataSource = kMissingSource;
  prompts.answers = {PromptAnswer::Yes, PromptAnswer::Yes, PromptAnswer::No};
  EXPECT_FALSE(ReconnectDatabases(ws));
  EXPECT_FALSE(ws.databases().mainOpen());
  const std::vector<std::string> texts = prompts.MessageTexts();
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[0], "Переподключиться к БД?");
  EXPECT_EQ(texts[2], "Ошибка инициализации интерфейса к базе данных NUV");
  EXPECT_EQ(texts[3], "Произошла ошибка подключеня к БД.\n Повторить?");
  EXPECT_EQ(texts[5], "Ошибка инициализации интерфейса к базе данных NUV");
  EXPECT_EQ(texts[6], "Произошла ошибка подключеня к БД.\n Повторить?");

  // The database comes back: the next reconnect succeeds.
  ws.config().mainOverrides.dataSource = db().dsn();
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ReconnectDatabases(ws));
  EXPECT_TRUE(ws.databases().mainOpen());
}

TEST_P(ConnectionTest, ClosedConnectionsRefuseWork) {
  Workstation& ws = workstation();
  ws.config().localLastId = true;
  CloseDatabases(ws);
  EXPECT_FALSE(ws.databases().mainOpen());
  EXPECT_FALSE(ws.databases().cssOpen());
  EXPECT_EQ(ws.AllocateId("orid"), -1);
  EXPECT_THROW(ws.databases().Execute("delete from SITE"), odbc::Error);
  CloseDatabases(ws);  // closing twice is harmless
  EXPECT_TRUE(prompts.records.empty());
}

NUV_DATABASE_TEST_SUITE(ConnectionTest);

class CssConnectionTest : public DatabaseTest {
 protected:
  TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }
};

TEST_P(CssConnectionTest, IdentifiersComeFromTheCssDatabase) {
  db().Ini().WriteString("DATABASE", "WFD", "1");
  Workstation& ws = workstation();
  ASSERT_TRUE(ws.databases().cssOpen());
  EXPECT_TRUE(ws.config().wfd);
  EXPECT_EQ(ws.databases().cssConnectionString(), db().CssConnectionString());
  EXPECT_EQ(ws.AllocateId("orid"), 1);
  EXPECT_EQ(ws.AllocateId("orid"), 2);
  EXPECT_EQ(db().QueryCssValue("select keyvalue from lastid where keyname='orid'"), "2");
  EXPECT_EQ(db().QueryValue("select KEYVALUE from LASTID where KEYNAME='orid'"), "0");
  ws.config().localLastId = true;
  EXPECT_EQ(ws.AllocateId("orid"), 1);
}

TEST_P(CssConnectionTest, ReconnectClosesAndReopensTheCssConnection) {
  Workstation& ws = workstation();
  prompts.answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ReconnectDatabases(ws));
  EXPECT_TRUE(ws.databases().cssOpen());
  EXPECT_EQ(ws.AllocateId("commid"), 1);
  CloseDatabases(ws);
  EXPECT_FALSE(ws.databases().cssOpen());
  EXPECT_EQ(ws.AllocateId("commid"), -1);
}

NUV_DATABASE_TEST_SUITE(CssConnectionTest);

}  // namespace
}  // namespace nuv
