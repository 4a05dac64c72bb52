#include "platform/odbc.h"

#include <vector>

#include "platform/text_codec.h"

namespace nuv::odbc {

std::string DiagnosticText(SQLSMALLINT handleType, SQLHANDLE handle) {
  std::string text;
  SQLCHAR state[6];
  SQLCHAR message[SQL_MAX_MESSAGE_LENGTH];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  for (SQLSMALLINT record = 1; SQLGetDiagRec(handleType, handle, record, state, &native, message,
                                             sizeof message, &length) == SQL_SUCCESS;
       ++record) {
    if (!text.empty()) text += "\n";
    text += DecodeText(reinterpret_cast<const char*>(message));
  }
  if (text.empty()) text = "ODBC error";
  return text;
}

std::string DiagnosticState(SQLSMALLINT handleType, SQLHANDLE handle) {
  SQLCHAR state[6] = {0};
  SQLCHAR message[8];
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  const SQLRETURN rc =
      SQLGetDiagRec(handleType, handle, 1, state, &native, message, sizeof message, &length);
  if (!SQL_SUCCEEDED(rc)) return "";
  return reinterpret_cast<const char*>(state);
}

namespace {

[[noreturn]] void Fail(SQLSMALLINT handleType, SQLHANDLE handle) {
  // The state is read first: reading the records does not clear them.
  std::string state = DiagnosticState(handleType, handle);
  throw Error(DiagnosticText(handleType, handle), std::move(state));
}

void Check(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle) {
  if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) return;
  Fail(handleType, handle);
}

}  // namespace

Connection::Connection() {
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_)))
    throw Error("Cannot allocate the ODBC environment");
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
}

Connection::~Connection() {
  Close();
  if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void Connection::Open(const std::string& connectionString) {
  Close();
  if (dbc_ == SQL_NULL_HDBC)
    Check(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_), SQL_HANDLE_ENV, env_);
  std::vector<SQLCHAR> in(connectionString.begin(), connectionString.end());
  in.push_back(0);
  SQLCHAR out[1024];
  SQLSMALLINT outLength = 0;
  const SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, in.data(), SQL_NTS, out, sizeof out,
                                        &outLength, SQL_DRIVER_NOPROMPT);
  if (!SQL_SUCCEEDED(rc)) Fail(SQL_HANDLE_DBC, dbc_);
  open_ = true;
}

void Connection::Close() {
  if (open_) {
    SQLDisconnect(dbc_);
    open_ = false;
  }
}

void Connection::CloseChecked() {
  if (!open_) return;
  open_ = false;
  if (SQL_SUCCEEDED(SQLDisconnect(dbc_))) return;
  const std::string text = DiagnosticText(SQL_HANDLE_DBC, dbc_);
  SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
  SQLDisconnect(dbc_);
  throw Error(text);
}

std::string Connection::DbmsName() const {
  SQLCHAR name[256] = {0};
  SQLSMALLINT length = 0;
  Check(SQLGetInfo(dbc_, SQL_DBMS_NAME, name, sizeof name, &length), SQL_HANDLE_DBC, dbc_);
  return reinterpret_cast<const char*>(name);
}

void Connection::Execute(const std::string& sql) {
  Statement statement(*this);
  statement.Execute(sql);
}

Statement Connection::Query(const std::string& sql) {
  Statement statement(*this);
  statement.Execute(sql);
  return statement;
}

void Connection::BeginTransaction() {
  Check(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                          reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
        SQL_HANDLE_DBC, dbc_);
}

void Connection::Commit() {
  const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_COMMIT);
  std::string failure;
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO && rc != SQL_NO_DATA) {
    failure = DiagnosticText(SQL_HANDLE_DBC, dbc_);
    // A refused commit may leave the transaction open (SQLite keeps it when a
    // deferred constraint fails): roll it back, or its changes would stay
    // visible on this connection and be committed by the next statement.
    SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
  }
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  if (!failure.empty()) throw Error(failure);
}

bool Connection::InTransaction() const {
  SQLULEN autocommit = SQL_AUTOCOMMIT_ON;
  const SQLRETURN rc = SQLGetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, &autocommit, 0, nullptr);
  return (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) && autocommit == SQL_AUTOCOMMIT_OFF;
}

void Connection::Rollback() {
  const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  Check(rc, SQL_HANDLE_DBC, dbc_);
}

Statement::Statement(Connection& connection) {
  if (!connection.IsOpen()) throw Error("Нет соединения с базой данных");
  Check(SQLAllocHandle(SQL_HANDLE_STMT, connection.handle(), &stmt_), SQL_HANDLE_DBC,
        connection.handle());
}

Statement::~Statement() {
  if (stmt_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

Statement::Statement(Statement&& other) noexcept : stmt_(other.stmt_) {
  other.stmt_ = SQL_NULL_HSTMT;
}

void Statement::Execute(const std::string& sql) {
  std::vector<SQLCHAR> text(sql.begin(), sql.end());
  text.push_back(0);
  Check(SQLExecDirect(stmt_, text.data(), SQL_NTS), SQL_HANDLE_STMT, stmt_);
}

bool Statement::Fetch() {
  const SQLRETURN rc = SQLFetch(stmt_);
  if (rc == SQL_NO_DATA) return false;
  Check(rc, SQL_HANDLE_STMT, stmt_);
  return true;
}

int Statement::ColumnCount() const {
  SQLSMALLINT count = 0;
  SQLNumResultCols(stmt_, &count);
  return count;
}

std::optional<std::string> Statement::GetText(int column) {
  std::string value;
  char buffer[4096];
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt_, static_cast<SQLUSMALLINT>(column), SQL_C_CHAR, buffer,
                                    sizeof buffer, &indicator);
    if (rc == SQL_NO_DATA) break;
    Check(rc, SQL_HANDLE_STMT, stmt_);
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    if (indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)) {
      value.append(buffer, sizeof buffer - 1);  // more pieces follow
      if (rc == SQL_SUCCESS) break;
      continue;
    }
    value.append(buffer, static_cast<size_t>(indicator));
    break;
  }
  return DecodeText(value);
}

std::optional<double> Statement::GetDouble(int column) {
  double value = 0;
  SQLLEN indicator = 0;
  Check(SQLGetData(stmt_, static_cast<SQLUSMALLINT>(column), SQL_C_DOUBLE, &value, 0, &indicator),
        SQL_HANDLE_STMT, stmt_);
  if (indicator == SQL_NULL_DATA) return std::nullopt;
  return value;
}

std::optional<long long> Statement::GetInt(int column) {
  SQLBIGINT value = 0;
  SQLLEN indicator = 0;
  Check(SQLGetData(stmt_, static_cast<SQLUSMALLINT>(column), SQL_C_SBIGINT, &value, 0, &indicator),
        SQL_HANDLE_STMT, stmt_);
  if (indicator == SQL_NULL_DATA) return std::nullopt;
  return static_cast<long long>(value);
}

}  // namespace nuv::odbc
