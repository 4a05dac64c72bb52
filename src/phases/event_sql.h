#pragma once
// Small pieces of the SQL text written by the event saves: numbers or NULL,
// quoted texts and the timestamp of "now" in a form the dialect keeps.

#include <string>
#include <string_view>

namespace nuv {

// The local time as "%Y-%m-%d %H:%M:%S".
std::string NowText();
// A timestamp literal of `text` ("%Y-%m-%d %H:%M:%S"): the ODBC escape
// {ts '...'} on SQLite and PostgreSQL (where TO_DATE is missing or drops the
// time of day), TO_DATE('...','YYYY-MM-DD HH24:MI:SS') on every other dialect.
std::string TimestampLiteral(const std::string& text, int dialect);
// `text` in single quotes with quotes doubled.
std::string Quoted(std::string_view text);
// "%.3f" of `value`, or NULL when `present` is false.
std::string Fixed3OrNull(double value, bool present);
// A double that reads back exactly ("%.17g"), or NULL.
std::string ExactOrNull(double value, bool present);

}  // namespace nuv
