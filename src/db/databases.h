#pragma once
// The two ODBC connections of the workstation: the main database (archive
// index, stations, results) and the optional CSS 3.0 database, with the
// dialect of the main connection, the comments-column flag, the schema
// upgrade and identifier allocation from LASTID.

#include <string>
#include <vector>

#include "platform/odbc.h"

namespace nuv {

struct Config;
class ProfileFile;
class UserPrompts;

// "DSN=" src ";" "UID=" user ";" "PWD=" password ";" with each part taken
// from the command-line override when given, else from NUV.INI [DATABASE]
// (ODBC up to 32 characters, default "NUV"; USER and PASSWORD up to 64,
// defaults built in).
std::string MainConnectionString(const Config& config, const ProfileFile& ini);
// The same for the CSS database from ODBC_CSS, USER_CSS and PASSWORD_CSS;
// "" when the data source or the user is empty (no CSS database).
std::string CssConnectionString(const Config& config, const ProfileFile& ini);

// One statement of the schema upgrade and how it went.
struct UpgradeStep {
  std::string table, column;
  bool existed = false;
  std::string sql;  // empty when nothing had to be done (SQLite, column present)
  bool ok = true;
  std::string error;  // the driver's text when the statement failed
};

class Databases {
 public:
  Databases() = default;
  Databases(const Databases&) = delete;
  Databases& operator=(const Databases&) = delete;

  odbc::Connection& main() { return main_; }
  odbc::Connection& css() { return css_; }
  bool mainOpen() const { return main_.IsOpen(); }
  // The flag every user of the CSS database tests first.
  bool cssOpen() const { return cssOpen_; }
  int dialect() const { return dialect_; }
  // Whether ORIGIN has COMMENTS; without it the older COMMENT column is used.
  bool hasCommentsColumn() const { return hasComments_; }
  const char* CommentColumn() const { return hasComments_ ? "COMMENTS" : "COMMENT"; }
  // The strings of the last opening attempts (shown by the settings sheet).
  const std::string& mainConnectionString() const { return mainString_; }
  const std::string& cssConnectionString() const { return cssString_; }

  // Opens the main connection. On failure shows the driver's text, a line
  // feed and the connection string, and returns false. On success recognises
  // the dialect, sets the comments-column flag and, with CHKDB, runs the
  // schema upgrade.
  bool OpenMain(const Config& config, const ProfileFile& ini, UserPrompts& prompts);
  // Opens the CSS connection; true also when none is configured (then WFD is
  // cleared without a message). On failure shows "Ошибка инициализации
  // интерфейса к базе данных CSS" with the driver's text, a line feed and the
  // connection string, clears WFD and returns false.
  bool OpenCss(Config& config, const ProfileFile& ini, UserPrompts& prompts);
  // Closes the CSS connection (when open) and the main connection. A driver
  // error while closing is shown through `prompts` when given.
  void CloseAll(UserPrompts* prompts = nullptr);

  // "select %s from %s where 1=0" on a fresh statement of the main connection.
  bool ColumnExists(const std::string& table, const std::string& column);
  // Reads the comments-column flag from the database again.
  void RefreshCommentsFlag();

  // The next value of LASTID counter `key` (incremented before it is read),
  // from the main database when `localLastId`, else from the CSS database;
  // -1 on any failure, also when the CSS database is needed but not open.
  // The counter row must exist: it is never created here.
  long long AllocateId(const std::string& key, bool localLastId) {
    return AllocateIds(key, 1, localLastId);
  }
  // Reserves `count` (>= 1) consecutive identifiers with one update and
  // returns the last of them (the first is that minus count-1); -1 on failure.
  long long AllocateIds(const std::string& key, int count, bool localLastId);

  // Runs one statement on the main connection; throws odbc::Error with the
  // driver's text.
  void Execute(const std::string& sql);

  // The CHKDB schema upgrade on the main connection: every listed column is
  // added when missing, or has its type changed with the dialect's verb when
  // present (SQLite only adds). Each failed statement is shown through
  // `prompts`; the upgrade goes on with the next column.
  std::vector<UpgradeStep> UpgradeSchema(UserPrompts& prompts);

 private:
  odbc::Connection main_;
  odbc::Connection css_;
  bool cssOpen_ = false;
  int dialect_ = 0;
  bool hasComments_ = false;
  std::string mainString_, cssString_;
};

}  // namespace nuv
