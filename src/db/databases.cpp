#include "db/databases.h"

#include "db/dialect.h"
#include "platform/config.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

std::string Part(const std::optional<std::string>& override, const ProfileFile& ini,
                 const char* key, const char* def, size_t limit) {
  if (override) return *override;
  return ini.GetString("DATABASE", key, def, limit);
}

std::string Compose(const std::string& source, const std::string& user,
                    const std::string& password) {
  return "DSN=" + source + ";" + "UID=" + user + ";" + "PWD=" + password + ";";
}

// The columns of the schema upgrade, in their fixed order; the type is
// "REAL" or "DATE" for the dialect's own names, otherwise written as is.
struct UpgradeColumn {
  const char* table;
  const char* column;
  const char* type;
};

constexpr UpgradeColumn kUpgradeColumns[] = {
    {"FILELIST", "LCODE", "VARCHAR(8)"},
    {"FILELIST", "CALPER", "REAL"},
    {"FILELIST", "CALIB", "REAL"},
    {"FILELIST", "FOFF", "INT"},
    {"FILELIST", "TEND", "REAL"},
    {"SITE", "NINDEX", "INT"},
    {"SITE", "COD", "VARCHAR(6)"},
    {"SITE", "STATYPE", "VARCHAR(50)"},
    {"SITE", "STANAME", "VARCHAR(50)"},
    {"SITE", "UNDERGROUND", "VARCHAR(250)"},
    {"SITE", "ONDATE", "DATE"},
    {"SITE", "OFFDATE", "DATE"},
    {"SITE", "REFSTA", "VARCHAR(16)"},
    {"SITE", "DNORTH", "REAL"},
    {"SITE", "DEAST", "REAL"},
    {"SITECHAN", "LCODE", "VARCHAR(8)"},
    {"ORIGIN", "COMMENTS", "VARCHAR(255)"},
    {"ORIGIN", "ORID", "INT"},
    {"ORIGIN", "MB", "REAL"},
    {"ORIGIN", "MBUNC", "REAL"},
    {"ORIGIN", "MS", "REAL"},
    {"ORIGIN", "MSUNC", "REAL"},
    {"ARRIVAL", "ARID", "INT"},
    {"ARRIVAL", "DIST", "REAL"},
    {"ARRIVAL", "MB", "REAL"},
    {"ARRIVAL", "CODA", "REAL"},
    {"ARRIVAL", "MS", "REAL"},
    {"ARRIVAL", "AMPTIME", "REAL"},
    {"ARRIVAL", "REGCLASS", "REAL"},
    {"ARRIVAL", "MCODA", "REAL"},
    {"ARRIVAL", "MPSP", "REAL"},
    {"ARRIVAL", "MPLP", "REAL"},
    {"ARRIVAL", "CHANTYPE", "VARCHAR(4)"},
    {"ARRIVAL", "REMARK", "VARCHAR(128)"},
    {"ARRIVAL", "AFILTYPE", "VARCHAR(128)"},
    {"ARRIVAL", "PFILTYPE", "VARCHAR(128)"},
    {"ARRIVAL", "ML", "REAL"},
};

}  // namespace

std::string MainConnectionString(const Config& config, const ProfileFile& ini) {
  return Compose(Part(config.mainOverrides.dataSource, ini, "ODBC", "NUV", 32),
                 Part(config.mainOverrides.user, ini, "USER", DefaultDbUser(), 64),
                 Part(config.mainOverrides.password, ini, "PASSWORD", DefaultDbPassword(), 64));
}

std::string CssConnectionString(const Config& config, const ProfileFile& ini) {
  const std::string source = Part(config.cssOverrides.dataSource, ini, "ODBC_CSS", "", 32);
  const std::string user = Part(config.cssOverrides.user, ini, "USER_CSS", DefaultDbUser(), 64);
  if (source.empty() || user.empty()) return "";
  return Compose(source, user,
                 Part(config.cssOverrides.password, ini, "PASSWORD_CSS", DefaultDbPassword(), 64));
}

bool Databases::OpenMain(const Config& config, const ProfileFile& ini, UserPrompts& prompts) {
  mainString_ = MainConnectionString(config, ini);
  try {
    main_.Open(mainString_);
  } catch (const odbc::Error& error) {
    prompts.ShowError(std::string(error.what()) + "\n" + mainString_);
    return false;
  }
  try {
    dialect_ = RecogniseDialect(main_.DbmsName());
  } catch (const odbc::Error&) {
    dialect_ = kDialectAccess;
  }
  RefreshCommentsFlag();
  if (config.checkDb) UpgradeSchema(prompts);
  return true;
}

bool Databases::OpenCss(Config& config, const ProfileFile& ini, UserPrompts& prompts) {
  cssOpen_ = false;
  cssString_ = CssConnectionString(config, ini);
  if (cssString_.empty()) {
    config.wfd = false;
    return true;
  }
  try {
    css_.Open(cssString_);
  } catch (const odbc::Error& error) {
    prompts.ShowError("Ошибка инициализации интерфейса к базе данных CSS" +
                      std::string(error.what()) + "\n" + cssString_);
    config.wfd = false;
    return false;
  }
  cssOpen_ = true;
  return true;
}

void Databases::CloseAll(UserPrompts* prompts) {
  auto close = [&](odbc::Connection& connection) {
    try {
      connection.CloseChecked();
    } catch (const odbc::Error& error) {
      if (prompts) prompts->ShowError(error.what());
    }
  };
  if (cssOpen_) close(css_);
  cssOpen_ = false;
  close(main_);
}

bool Databases::ColumnExists(const std::string& table, const std::string& column) {
  try {
    odbc::Statement statement(main_);
    statement.Execute(StrFormat("select %s from %s where 1=0", column.c_str(), table.c_str()));
    return true;
  } catch (const odbc::Error&) {
    return false;
  }
}

void Databases::RefreshCommentsFlag() {
  hasComments_ = ColumnExists("ORIGIN", "COMMENTS");
}

long long Databases::AllocateIds(const std::string& key, int count, bool localLastId) {
  if (count < 1) return -1;
  odbc::Connection* connection = &main_;
  if (!localLastId) {
    if (!cssOpen_) return -1;
    connection = &css_;
  }
  try {
    odbc::Statement statement(*connection);
    statement.Execute(StrFormat("update lastid set keyvalue=keyvalue+%d where keyname='%s'", count,
                                SqlEscape(key).c_str()));
  } catch (const odbc::Error&) {
    return -1;
  }
  try {
    odbc::Statement statement(*connection);
    statement.Execute(
        StrFormat("select keyvalue from LASTID where keyname='%s'", SqlEscape(key).c_str()));
    if (!statement.Fetch()) return -1;
    const std::optional<std::string> text = statement.GetText(1);
    if (!text) return -1;
    return LeadingInteger(text->substr(0, 64));
  } catch (const odbc::Error&) {
    return -1;
  }
}

void Databases::Execute(const std::string& sql) {
  main_.Execute(sql);
}

std::vector<UpgradeStep> Databases::UpgradeSchema(UserPrompts& prompts) {
  std::vector<UpgradeStep> steps;
  for (const UpgradeColumn& entry : kUpgradeColumns) {
    UpgradeStep step;
    step.table = entry.table;
    step.column = entry.column;
    step.existed = ColumnExists(entry.table, entry.column);
    const std::string type = std::string_view(entry.type) == "REAL"   ? UpgradeRealType(dialect_)
                             : std::string_view(entry.type) == "DATE" ? UpgradeDateType(dialect_)
                                                                      : entry.type;
    if (!(step.existed && dialect_ == kDialectSqlite)) {
      const bool change = step.existed;
      const char* verb = change ? AlterColumnVerb(dialect_) : "ADD";
      const char* keyword = change && dialect_ == kDialectPostgres ? "TYPE" : " ";
      step.sql = StrFormat("ALTER TABLE %s %s %s %s %s", entry.table, verb, entry.column, keyword,
                           type.c_str());
      try {
        Execute(step.sql);
      } catch (const odbc::Error& error) {
        step.ok = false;
        step.error = error.what();
        prompts.ShowError(
            "Ошибка базы данных: " +
            StrFormat("Ошибка добавления поля %s в таблицу %s\n", entry.column, entry.table) +
            step.error);
      }
    }
    if (std::string_view(entry.table) == "ORIGIN" && std::string_view(entry.column) == "COMMENTS")
      RefreshCommentsFlag();
    steps.push_back(std::move(step));
  }
  return steps;
}

}  // namespace nuv
