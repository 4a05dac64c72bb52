#include "archive/cpath_rows.h"

#include <algorithm>
#include <cmath>

#include "db/dialect.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

constexpr char kLikeEscape = '!';

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

std::string CpathLikePattern(std::string_view path) {
  std::string pattern;
  pattern.reserve(path.size() + 8);
  for (char c : path) {
    if (IsSeparator(c)) {
      pattern.push_back('_');
      continue;
    }
    if (c == '%' || c == '_' || c == kLikeEscape) pattern.push_back(kLikeEscape);
    pattern.push_back(c);
  }
  return pattern;
}

std::string CpathCandidatesQuery(std::string_view path, int dialect) {
  return StrFormat("select CPATH, TBEGIN from FILELIST where CPATH like '%s' escape '%c'",
                   SqlText(CpathLikePattern(path), dialect).c_str(), kLikeEscape);
}

std::string DeleteCpathStatement(std::string_view cpath, int dialect) {
  return StrFormat("delete from FILELIST where CPATH='%s'", SqlText(cpath, dialect).c_str());
}

bool SameCpath(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return x == y || (IsSeparator(x) && IsSeparator(y));
         });
}

bool StartsAt(const CpathRow& row, double start) {
  return row.tbegin && std::fabs(*row.tbegin - start) < 1e-6;
}

std::vector<CpathRow> RowsOfPath(odbc::Connection& connection, int dialect, std::string_view path) {
  std::vector<CpathRow> rows;
  odbc::Statement statement = connection.Query(CpathCandidatesQuery(path, dialect));
  while (statement.Fetch()) {
    std::optional<std::string> cpath = statement.GetText(1);
    if (!cpath || !SameCpath(*cpath, path)) continue;
    rows.push_back({std::move(*cpath), statement.GetDouble(2)});
  }
  return rows;
}

int DeleteRowsOfPath(odbc::Connection& connection, int dialect, std::string_view path) {
  std::vector<std::string> spellings;
  for (CpathRow& row : RowsOfPath(connection, dialect, path))
    if (std::find(spellings.begin(), spellings.end(), row.cpath) == spellings.end())
      spellings.push_back(std::move(row.cpath));
  for (const std::string& cpath : spellings)
    connection.Execute(DeleteCpathStatement(cpath, dialect));
  return static_cast<int>(spellings.size());
}

}  // namespace nuv
