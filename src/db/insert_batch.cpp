#include "db/insert_batch.h"

#include <utility>

#include "db/dialect.h"
#include "platform/odbc.h"

namespace nuv {

bool MultiRowInsert(int dialect) {
  return dialect == kDialectSqlite || dialect == kDialectPostgres || dialect == kDialectMySql;
}

InsertBatch::InsertBatch(odbc::Connection& db, std::string head, bool multiRow,
                         size_t rowsPerStatement)
    : db_(db),
      head_(std::move(head)),
      multiRow_(multiRow),
      rowsPerStatement_(rowsPerStatement == 0 ? 1 : rowsPerStatement) {}

void InsertBatch::Add(std::string_view values) {
  sql_ += pending_ == 0 ? head_ : std::string(", ");
  sql_ += values;
  ++pending_;
  if (!multiRow_ || pending_ >= rowsPerStatement_) Flush();
}

void InsertBatch::Flush() {
  if (pending_ == 0) return;
  std::string sql;
  sql.swap(sql_);
  pending_ = 0;
  db_.Execute(sql);
  ++statements_;
}

}  // namespace nuv
