#pragma once
// Rows of one INSERT gathered into multi-row statements ("insert into T (...)
// values (...), (...), ...") where the dialect takes them, so that a save of
// hundreds of rows costs a handful of round trips to the server instead of
// one per row. On other dialects every row is sent at once as its own
// statement, exactly as it would be without the batch.

#include <cstddef>
#include <string>
#include <string_view>

namespace nuv {

namespace odbc {
class Connection;
}

// True where "values (...), (...)" is accepted: SQLite, PostgreSQL, MySQL.
bool MultiRowInsert(int dialect);

class InsertBatch {
 public:
  // `head` is the statement up to and including "values " (the column list
  // names the columns of every row).
  InsertBatch(odbc::Connection& db, std::string head, bool multiRow, size_t rowsPerStatement = 100);
  InsertBatch(const InsertBatch&) = delete;
  InsertBatch& operator=(const InsertBatch&) = delete;

  // Adds one row, `values` being its parenthesised list. Sends a full
  // statement when the batch holds `rowsPerStatement` rows (or at once when
  // multi-row statements are off). Throws odbc::Error with the driver's text.
  void Add(std::string_view values);
  // Sends the rows gathered so far. Rows still pending when the batch is
  // destroyed are dropped: a save that failed before its flush must not
  // write half an event.
  void Flush();

  size_t statementsSent() const { return statements_; }

 private:
  odbc::Connection& db_;
  std::string head_;
  std::string sql_;
  bool multiRow_;
  size_t rowsPerStatement_;
  size_t pending_ = 0;
  size_t statements_ = 0;
};

}  // namespace nuv
