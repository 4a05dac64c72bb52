#pragma once
// FILELIST rows named by one data-file path. Paths are compared whole and
// exactly, "/" and "\" counting as the same separator: the rows of station
// ABC never match those of ABCD, and "_" or "%" in a file name are plain
// characters.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/odbc.h"

namespace nuv {

// The LIKE pattern that finds every spelling of `path`: "%", "_" and the
// escape character "!" escaped with "!", each separator one "_" (any single
// character; the exact comparison follows).
std::string CpathLikePattern(std::string_view path);

// "select CPATH, TBEGIN from FILELIST where CPATH like '<pattern>' escape '!'"
std::string CpathCandidatesQuery(std::string_view path, int dialect);

// "delete from FILELIST where CPATH='<cpath>'", the text escaped for the dialect.
std::string DeleteCpathStatement(std::string_view cpath, int dialect);

// Whether two paths are the same once every "\" is read as "/".
bool SameCpath(std::string_view a, std::string_view b);

struct CpathRow {
  std::string cpath;  // as stored
  std::optional<double> tbegin;
};

// Whether the row's TBEGIN is `start` (written with full precision and read
// back as a double).
bool StartsAt(const CpathRow& row, double start);

// The rows whose CPATH is `path` in either spelling. Throws odbc::Error.
std::vector<CpathRow> RowsOfPath(odbc::Connection& connection, int dialect, std::string_view path);

// Deletes the rows whose CPATH is `path` in either spelling and returns how
// many spellings were removed. Throws odbc::Error; run it inside the
// caller's transaction when it must go together with other statements.
int DeleteRowsOfPath(odbc::Connection& connection, int dialect, std::string_view path);

}  // namespace nuv
