#pragma once
// Temporary databases for the database suites.
//
// A TestDatabase is a fresh main database (and, on request, a CSS database)
// reached through ODBC under a data source name of its own, created with the
// project's own schema code, plus a temporary settings folder; it builds
// Workstations connected to it the way the program does (command-line keys
// ODBC=, USER=, PASSWORD= and, with a CSS database, ODBC_CSS=, USER_CSS=,
// PASSWORD_CSS=).
//
// Back ends:
// - SQLite: a database file in the temporary folder through the "SQLite3"
//   driver of /etc/odbcinst.ini.
// - PostgreSQL: the server named by the data source in NUV_TEST_PG_DSN
//   (scripts/start-test-postgres.sh sets it up). Each TestDatabase works in a
//   schema of its own, created on the server and dropped at the end; its data
//   source is a copy of NUV_TEST_PG_DSN whose ConnSettings set the
//   search_path to that schema, so unqualified table names stay private.
//
// Data source names: unixODBC reads the user's data sources from the file
// that ODBCINI names (else ~/.odbc.ini) on every connect, and still consults
// /etc/odbc.ini. On first use the fixture copies that file into a private
// odbc.ini in a temporary folder (so every data source defined before stays
// usable, the PostgreSQL one included), points ODBCINI at the copy for the
// rest of the process, and adds and removes one section per data source it
// creates.
//
// Typical use, every case on both back ends:
//
//   class StationLoadTest : public nuv::test::DatabaseTest {};
//   TEST_P(StationLoadTest, Something) {
//     db().Exec("insert into SITE ...");
//     Workstation& ws = workstation();  // connected, stations loaded
//   }
//   NUV_DATABASE_TEST_SUITE(StationLoadTest);
//
// PostgreSQL cases are skipped (GTEST_SKIP) when NUV_TEST_PG_DSN is unset.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/odbc.h"
#include "platform/profile_file.h"
#include "platform/scripted_prompts.h"
#include "support/temp_dir.h"
#include "workstation/workstation.h"

namespace nuv::test {

enum class DbBackend { Sqlite, Postgres };

// The PostgreSQL data source of this run (NUV_TEST_PG_DSN), "" when none.
std::string PostgresDataSource();
bool PostgresAvailable();

// Adds a data source to the process's private odbc.ini (see above), replacing
// one of the same name; `keys` are the section's lines "Key=Value".
void RegisterDataSource(const std::string& name, const std::vector<std::string>& keys);
void UnregisterDataSource(const std::string& name);
// A data source name unique in this process ("NUVT_<pid>_<n>").
std::string UniqueDataSourceName();

struct TestDatabaseOptions {
  bool mainSchema = true;  // create the main tables and LASTID counters
  bool css = false;        // also a CSS database (a second data source)
  bool cssSchema = true;   // create the CSS tables in it
};

class TestDatabase {
 public:
  explicit TestDatabase(DbBackend backend, TestDatabaseOptions options = {});
  ~TestDatabase();
  TestDatabase(const TestDatabase&) = delete;
  TestDatabase& operator=(const TestDatabase&) = delete;

  DbBackend backend() const { return backend_; }
  // Dialect value the workstation should recognise (5 SQLite, 4 PostgreSQL).
  int dialect() const;
  const std::string& dsn() const { return main_.dsn; }
  const std::string& cssDsn() const { return css_.dsn; }
  const std::string& user() const { return user_; }
  const std::string& password() const { return password_; }
  // "DSN=..;UID=..;PWD=..;" of the main and the CSS database.
  std::string ConnectionString() const;
  std::string CssConnectionString() const;

  // Command-line keys that point a workstation at these databases.
  std::vector<std::string> Keys() const;

  // The fixture's own connections, for arranging and checking rows.
  odbc::Connection& main() { return *main_.connection; }
  odbc::Connection& css() { return *css_.connection; }
  void Exec(const std::string& sql) { main().Execute(sql); }
  void ExecCss(const std::string& sql) { css().Execute(sql); }
  // The first column of the first row as text ("" when NULL, nullopt when no row).
  std::optional<std::string> QueryValue(const std::string& sql);
  std::optional<std::string> QueryCssValue(const std::string& sql);

  // The temporary folder: settings/ holds NUV.INI and the store, home/ is the
  // home directory when NUV.INI names none.
  const TempDir& dir() const { return dir_; }
  std::filesystem::path settingsDir() const { return dir_.path() / "settings"; }
  std::string homeDir() const { return (dir_.path() / "home").string() + "/"; }
  // NUV.INI of the settings folder; write keys before building a workstation.
  ProfileFile Ini() const { return ProfileFile(settingsDir() / "NUV.INI"); }

  // A workstation started like the program: the command line (Keys() and then
  // `extraArgs`), NUV.INI of the settings folder, and, with `connect`, both
  // connections opened and the station table, networks and regions loaded.
  std::unique_ptr<Workstation> MakeWorkstation(UserPrompts& prompts,
                                               const std::vector<std::string>& extraArgs = {},
                                               bool connect = true) const;

 private:
  struct Source {
    std::string dsn;
    std::string schema;  // PostgreSQL only
    std::unique_ptr<odbc::Connection> connection;
  };
  void CreateSource(Source& source, const std::string& fileName);
  void DropSource(Source& source);

  DbBackend backend_;
  TempDir dir_;
  std::string user_ = "nuv", password_ = "nuv";
  Source main_, css_;
};

// Base of parameterised database suites (see above).
class DatabaseTest : public ::testing::TestWithParam<DbBackend> {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Override to ask for a CSS database or an empty one.
  virtual TestDatabaseOptions DatabaseOptions() const { return {}; }

  TestDatabase& db() { return *db_; }
  // Built on first use with the fixture's prompts; connected, lists loaded.
  Workstation& workstation();
  // Builds it now with extra command-line arguments (replacing an earlier one).
  Workstation& StartWorkstation(const std::vector<std::string>& extraArgs, bool connect = true);

  ScriptedPrompts prompts;

 private:
  std::unique_ptr<TestDatabase> db_;
  std::unique_ptr<Workstation> workstation_;
};

std::string DbBackendName(const ::testing::TestParamInfo<DbBackend>& info);

}  // namespace nuv::test

// Runs every TEST_P of `Suite` (a DatabaseTest) on SQLite and on PostgreSQL.
#define NUV_DATABASE_TEST_SUITE(Suite)                                                     \
  INSTANTIATE_TEST_SUITE_P(                                                                \
      Db, Suite,                                                                           \
      ::testing::Values(::nuv::test::DbBackend::Sqlite, ::nuv::test::DbBackend::Postgres), \
      ::nuv::test::DbBackendName)
