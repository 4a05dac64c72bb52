#include "phases/event_sql.h"

#include <ctime>

#include "db/dialect.h"
#include "platform/local_time.h"
#include "platform/strformat.h"

namespace nuv {

std::string NowText() {
  return LocalTimestampNow();
}

std::string TimestampLiteral(const std::string& text, int dialect) {
  if (dialect == kDialectSqlite || dialect == kDialectPostgres) return "{ts '" + text + "'}";
  return "TO_DATE('" + text + "','YYYY-MM-DD HH24:MI:SS')";
}

std::string Quoted(std::string_view text) {
  return "'" + SqlEscape(text) + "'";
}

std::string Fixed3OrNull(double value, bool present) {
  return present ? StrFormat("%.3f", value) : std::string("NULL");
}

std::string ExactOrNull(double value, bool present) {
  return present ? StrFormat("%.17g", value) : std::string("NULL");
}

}  // namespace nuv
