#pragma once
// A thin RAII layer over the unixODBC driver manager: one environment per
// connection, statements that free themselves, NULL-aware column reads and
// the driver's own error text in every exception.

#include <sql.h>
#include <sqlext.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nuv::odbc {

// A failed ODBC call; what() is the driver's diagnostic text and state() the
// SQLSTATE of its first diagnostic record ("" when there was none).
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message, std::string state = "")
      : std::runtime_error(message), state_(std::move(state)) {}
  const std::string& state() const { return state_; }

 private:
  std::string state_;
};

class Statement;

class Connection {
 public:
  Connection();
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Opens with SQLDriverConnect (no prompting: there is no window to prompt in).
  // Throws Error with the driver's text.
  void Open(const std::string& connectionString);
  void Close();
  // Closes like Close() but throws Error with the driver's text when the
  // disconnection fails (the connection is closed anyway: a pending
  // transaction is rolled back first).
  void CloseChecked();
  bool IsOpen() const { return dbc_ != SQL_NULL_HDBC && open_; }

  // SQL_DBMS_NAME of the open connection.
  std::string DbmsName() const;

  // Runs one statement; throws Error carrying the driver's text.
  void Execute(const std::string& sql);
  // Runs a query and returns the statement positioned before its first row.
  Statement Query(const std::string& sql);

  // Manual-commit transactions; Commit and Rollback return to auto-commit. A
  // commit that fails rolls the transaction back before it throws.
  void BeginTransaction();
  void Commit();
  void Rollback();
  // True while a manual-commit transaction is open (auto-commit is off).
  bool InTransaction() const;

  SQLHDBC handle() const { return dbc_; }

 private:
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool open_ = false;
};

class Statement {
 public:
  explicit Statement(Connection& connection);
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&&) = delete;
  Statement(const Statement&) = delete;

  void Execute(const std::string& sql);
  // Advances to the next row; false after the last. Throws Error on a fetch error.
  bool Fetch();
  int ColumnCount() const;

  // Column values of the current row, columns counted from 1; nullopt for NULL.
  std::optional<std::string> GetText(int column);
  std::optional<double> GetDouble(int column);
  std::optional<long long> GetInt(int column);

  SQLHSTMT handle() const { return stmt_; }

 private:
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

// The diagnostic records of a handle joined into one text.
std::string DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle);
// The SQLSTATE of the first diagnostic record, "" when there is none.
std::string DiagnosticState(SQLSMALLINT handleType, SQLHANDLE handle);

}  // namespace nuv::odbc
