#include "support/test_database.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include "app/startup.h"
#include "db/dialect.h"
#include "db/schema.h"
#include "platform/strformat.h"

namespace nuv::test {
namespace {

struct IniSection {
  std::string name;
  std::vector<std::string> lines;  // "Key=Value"
};

std::vector<IniSection> ParseIni(const std::filesystem::path& path) {
  std::vector<IniSection> sections;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    const std::string text(Trim(line));
    if (text.empty() || text[0] == '#' || text[0] == ';') continue;
    if (text.front() == '[' && text.back() == ']') {
      sections.push_back({text.substr(1, text.size() - 2), {}});
    } else if (!sections.empty()) {
      sections.back().lines.push_back(text);
    }
  }
  return sections;
}

std::optional<std::string> SectionValue(const IniSection& section,
                                        std::initializer_list<const char*> keys) {
  for (const std::string& line : section.lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key(Trim(std::string_view(line).substr(0, eq)));
    for (const char* wanted : keys)
      if (EqualsNoCase(key, wanted))
        return std::string(Trim(std::string_view(line).substr(eq + 1)));
  }
  return std::nullopt;
}

// The private odbc.ini of this process (see the header).
class PrivateOdbcIni {
 public:
  static PrivateOdbcIni& Instance() {
    static PrivateOdbcIni instance;
    return instance;
  }

  void Set(const std::string& name, const std::vector<std::string>& lines) {
    std::lock_guard lock(mutex_);
    Remove(name);
    sections_.push_back({name, lines});
    Write();
  }

  void Unset(const std::string& name) {
    std::lock_guard lock(mutex_);
    Remove(name);
    Write();
  }

  // A section of the data sources defined before the fixture (the user's
  // file or ODBCINI first, then the system file).
  std::optional<IniSection> Original(const std::string& name) const {
    for (const auto& section : original_)
      if (EqualsNoCase(section.name, name)) return section;
    for (const auto& section : ParseIni("/etc/odbc.ini"))
      if (EqualsNoCase(section.name, name)) return section;
    return std::nullopt;
  }

  ~PrivateOdbcIni() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  PrivateOdbcIni() {
    std::filesystem::path source;
    if (const char* odbcini = std::getenv("ODBCINI"); odbcini && *odbcini) {
      source = odbcini;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
      source = std::filesystem::path(home) / ".odbc.ini";
    }
    if (!source.empty()) original_ = ParseIni(source);
    sections_ = original_;
    std::string pattern = (std::filesystem::temp_directory_path() / "nuvodbc-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
      throw std::runtime_error("mkdtemp failed for the odbc.ini folder");
    dir_ = pattern;
    file_ = dir_ / "odbc.ini";
    Write();
    setenv("ODBCINI", file_.c_str(), 1);
  }

  void Remove(const std::string& name) {
    std::erase_if(sections_, [&](const IniSection& s) { return EqualsNoCase(s.name, name); });
  }

  void Write() const {
    const std::filesystem::path temp = file_.string() + ".new";
    {
      std::ofstream out(temp, std::ios::trunc);
      for (const auto& section : sections_) {
        out << "[" << section.name << "]\n";
        for (const auto& line : section.lines) out << line << "\n";
        out << "\n";
      }
    }
    std::filesystem::rename(temp, file_);
  }

  std::mutex mutex_;
  std::filesystem::path dir_, file_;
  std::vector<IniSection> original_, sections_;
};

std::atomic<int> sourceCounter{0};

// One connection to the PostgreSQL data source per process creates and drops
// the schemas (connecting is the slow part of a PostgreSQL test).
odbc::Connection& PostgresAdmin(const std::string& connectionString) {
  static odbc::Connection admin;
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  if (!admin.IsOpen()) admin.Open(connectionString);
  return admin;
}

std::string Compose(const std::string& dsn, const std::string& user, const std::string& password) {
  return "DSN=" + dsn + ";" + "UID=" + user + ";" + "PWD=" + password + ";";
}

}  // namespace

std::string PostgresDataSource() {
  const char* dsn = std::getenv("NUV_TEST_PG_DSN");
  return dsn ? dsn : "";
}

bool PostgresAvailable() {
  return !PostgresDataSource().empty();
}

void RegisterDataSource(const std::string& name, const std::vector<std::string>& keys) {
  PrivateOdbcIni::Instance().Set(name, keys);
}

void UnregisterDataSource(const std::string& name) {
  PrivateOdbcIni::Instance().Unset(name);
}

std::string UniqueDataSourceName() {
  return StrFormat("NUVT_%d_%d", static_cast<int>(getpid()), ++sourceCounter);
}

TestDatabase::TestDatabase(DbBackend backend, TestDatabaseOptions options) : backend_(backend) {
  std::filesystem::create_directories(settingsDir());
  std::filesystem::create_directories(homeDir());
  if (backend_ == DbBackend::Postgres) {
    const std::string base = PostgresDataSource();
    if (base.empty()) throw std::runtime_error("NUV_TEST_PG_DSN is not set");
    const auto section = PrivateOdbcIni::Instance().Original(base);
    if (!section) throw std::runtime_error("data source " + base + " is not defined in odbc.ini");
    user_ = SectionValue(*section, {"Username", "UserName", "UID", "User"}).value_or("postgres");
    password_ = SectionValue(*section, {"Password", "PWD"}).value_or("");
  }
  CreateSource(main_, "main.db");
  if (options.mainSchema) CreateMainSchema(main(), dialect());
  if (options.css) {
    CreateSource(css_, "css.db");
    if (options.cssSchema) CreateCssSchema(css(), dialect());
  }
}

TestDatabase::~TestDatabase() {
  DropSource(css_);
  DropSource(main_);
}

int TestDatabase::dialect() const {
  return backend_ == DbBackend::Sqlite ? kDialectSqlite : kDialectPostgres;
}

void TestDatabase::CreateSource(Source& source, const std::string& fileName) {
  source.dsn = UniqueDataSourceName();
  if (backend_ == DbBackend::Sqlite) {
    RegisterDataSource(source.dsn,
                       {"Driver=SQLite3", "Database=" + (dir_.path() / fileName).string(),
                        "Timeout=10000", "SyncPragma=OFF", "JournalMode=MEMORY"});
  } else {
    const std::string base = PostgresDataSource();
    source.schema = ToLowerAscii(source.dsn);
    // Stale schemas of a crashed run with the same process id go first.
    odbc::Connection& admin = PostgresAdmin(Compose(base, user_, password_));
    admin.Execute("DROP SCHEMA IF EXISTS " + source.schema + " CASCADE");
    admin.Execute("CREATE SCHEMA " + source.schema);
    IniSection copy = *PrivateOdbcIni::Instance().Original(base);
    std::erase_if(copy.lines, [](const std::string& line) {
      return EqualsNoCase(std::string(Trim(std::string_view(line).substr(0, line.find('=')))),
                          "ConnSettings");
    });
    copy.lines.push_back("ConnSettings=SET search_path TO " + source.schema);
    RegisterDataSource(source.dsn, copy.lines);
  }
  source.connection = std::make_unique<odbc::Connection>();
  source.connection->Open(Compose(source.dsn, user_, password_));
}

void TestDatabase::DropSource(Source& source) {
  if (source.dsn.empty()) return;
  source.connection.reset();
  if (!source.schema.empty()) {
    try {
      PostgresAdmin(Compose(PostgresDataSource(), user_, password_))
          .Execute("DROP SCHEMA IF EXISTS " + source.schema + " CASCADE");
    } catch (const odbc::Error&) {
      // A schema left behind is dropped by the next run with this process id.
    }
  }
  UnregisterDataSource(source.dsn);
  source.dsn.clear();
}

std::string TestDatabase::ConnectionString() const {
  return Compose(main_.dsn, user_, password_);
}

std::string TestDatabase::CssConnectionString() const {
  return css_.dsn.empty() ? "" : Compose(css_.dsn, user_, password_);
}

std::vector<std::string> TestDatabase::Keys() const {
  std::vector<std::string> keys = {"ODBC=" + main_.dsn, "USER=" + user_, "PASSWORD=" + password_};
  if (!css_.dsn.empty()) {
    keys.push_back("ODBC_CSS=" + css_.dsn);
    keys.push_back("USER_CSS=" + user_);
    keys.push_back("PASSWORD_CSS=" + password_);
  }
  return keys;
}

namespace {

std::optional<std::string> FirstValue(odbc::Connection& connection, const std::string& sql) {
  odbc::Statement statement = connection.Query(sql);
  if (!statement.Fetch()) return std::nullopt;
  return statement.GetText(1).value_or("");
}

}  // namespace

std::optional<std::string> TestDatabase::QueryValue(const std::string& sql) {
  return FirstValue(main(), sql);
}

std::optional<std::string> TestDatabase::QueryCssValue(const std::string& sql) {
  return FirstValue(css(), sql);
}

std::unique_ptr<Workstation> TestDatabase::MakeWorkstation(
    UserPrompts& prompts, const std::vector<std::string>& extraArgs, bool connect) const {
  StartupOptions options;
  options.args = Keys();
  options.args.insert(options.args.end(), extraArgs.begin(), extraArgs.end());
  options.settingsDir = settingsDir();
  options.executableDir = homeDir();
  auto workstation = CreateWorkstation(options, prompts);
  if (connect) ConnectWorkstation(*workstation);
  return workstation;
}

void DatabaseTest::SetUp() {
  if (GetParam() == DbBackend::Postgres && !PostgresAvailable())
    GTEST_SKIP() << "NUV_TEST_PG_DSN is not set: no PostgreSQL data source";
  db_ = std::make_unique<TestDatabase>(GetParam(), DatabaseOptions());
}

void DatabaseTest::TearDown() {
  workstation_.reset();
  db_.reset();
}

Workstation& DatabaseTest::workstation() {
  if (!workstation_) workstation_ = db_->MakeWorkstation(prompts);
  return *workstation_;
}

Workstation& DatabaseTest::StartWorkstation(const std::vector<std::string>& extraArgs,
                                            bool connect) {
  workstation_.reset();
  workstation_ = db_->MakeWorkstation(prompts, extraArgs, connect);
  return *workstation_;
}

std::string DbBackendName(const ::testing::TestParamInfo<DbBackend>& info) {
  return info.param == DbBackend::Sqlite ? "SQLite" : "PostgreSQL";
}

}  // namespace nuv::test
