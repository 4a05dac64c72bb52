#include "db/last_id.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "db/dialect.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

constexpr const char* kIncrement = "update lastid set keyvalue=keyvalue+%d where keyname='%s'";
constexpr const char* kRead = "select keyvalue from LASTID where keyname='%s'";

// Attempts and pauses: about two seconds of waiting in all before -1.
constexpr int kAttempts = 14;
constexpr int kFirstPauseMs = 2;
constexpr int kLongestPauseMs = 250;

// The counter of the current row, read as text of up to 64 characters.
std::optional<long long> CounterOf(odbc::Statement& statement) {
  if (!statement.Fetch()) return std::nullopt;
  const std::optional<std::string> text = statement.GetText(1);
  if (!text) return std::nullopt;
  return LeadingInteger(text->substr(0, 64));
}

std::optional<long long> IncrementReturning(odbc::Connection& connection, const std::string& key,
                                            int count) {
  odbc::Statement statement(connection);
  statement.Execute(StrFormat(kIncrement, count, key.c_str()) + " returning keyvalue");
  return CounterOf(statement);
}

std::optional<long long> IncrementThenRead(odbc::Connection& connection, const std::string& key,
                                           int count) {
  connection.Execute(StrFormat(kIncrement, count, key.c_str()));
  odbc::Statement statement(connection);
  statement.Execute(StrFormat(kRead, key.c_str()));
  return CounterOf(statement);
}

// `begin`, the increment and the read, then `commit`; `rollback` on any error.
template <typename Begin, typename Commit, typename Rollback>
std::optional<long long> InTransaction(odbc::Connection& connection, const std::string& key,
                                       int count, Begin begin, Commit commit, Rollback rollback) {
  begin();
  try {
    const std::optional<long long> value = IncrementThenRead(connection, key, count);
    commit();
    return value;
  } catch (const odbc::Error&) {
    try {
      rollback();
    } catch (const odbc::Error&) {
      // The first error is the one that counts.
    }
    throw;
  }
}

std::optional<long long> AllocateOnce(odbc::Connection& connection, int dialect,
                                      const std::string& key, int count) {
  if (dialect == kDialectPostgres) return IncrementReturning(connection, key, count);
  // Inside the caller's transaction the update's lock holds until its
  // commit: the increment and the read are one unit already.
  if (connection.InTransaction()) return IncrementThenRead(connection, key, count);
  if (dialect == kDialectSqlite) {
    // A deferred transaction would read under a shared lock that another
    // writer may hold too; IMMEDIATE takes the write lock first.
    return InTransaction(
        connection, key, count, [&] { connection.Execute("BEGIN IMMEDIATE"); },
        [&] { connection.Execute("COMMIT"); }, [&] { connection.Execute("ROLLBACK"); });
  }
  return InTransaction(
      connection, key, count, [&] { connection.BeginTransaction(); }, [&] { connection.Commit(); },
      [&] { connection.Rollback(); });
}

}  // namespace

bool IsLockConflict(const odbc::Error& error) {
  const std::string& state = error.state();
  if (state == "40001" || state == "40P01" || state == "HYT00" || state == "HYT01") return true;
  const std::string text = ToLowerAscii(error.what());
  for (const char* word : {"locked", "busy", "deadlock", "could not serialize"})
    if (text.find(word) != std::string::npos) return true;
  return false;
}

long long AllocateLastId(odbc::Connection& connection, int dialect, const std::string& key,
                         int count) {
  if (count < 1) return -1;
  const std::string escaped = SqlEscape(key);
  // Processes that collide once should not collide again in step.
  int pause = kFirstPauseMs + static_cast<int>(getpid() % 3);
  for (int attempt = 1;; ++attempt) {
    try {
      return AllocateOnce(connection, dialect, escaped, count).value_or(-1);
    } catch (const odbc::Error& error) {
      if (attempt == kAttempts || !IsLockConflict(error)) return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    pause = std::min(pause * 2, kLongestPauseMs);
  }
}

}  // namespace nuv
