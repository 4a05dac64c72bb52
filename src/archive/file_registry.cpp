#include "archive/file_registry.h"

#include <ctime>
#include <filesystem>
#include <vector>

#include "archive/archive_paths.h"
#include "archive/wfd_file.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

constexpr const char* kSameFileRows =
    "select CPATH from FILELIST where sta='%s' and ch='%s' and CPATH like '%%%s' and tbegin=%f";
constexpr const char* kInsertRow =
    "insert into FILELIST (STA, SPS, GAIN, CPATH, DATATYPE, CH, CREATER, LDDATE, TBEGIN, TQTY, "
    "CALIB, CALPER, FOFF, TEND) values ('%s', %.17g, 1, '%s', %d, '%s', 'CSS2NUV_import', {ts "
    "'%s'}, %.17g, %.17g, %.17g, %.17g, %d, %s)";
constexpr const char* kDeleteLike = "delete from FILELIST where CPATH like '%s'";

std::string LocalTimestampNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// The like-delete statement with both separators turned into "%".
std::string DeleteLikeStatement(const std::string& path) {
  std::string sql = StrFormat(kDeleteLike, SqlEscape(path).c_str());
  for (char& c : sql)
    if (c == '/' || c == '\\') c = '%';
  return sql;
}

// Runs `work` inside a transaction; rolls back and rethrows on any error.
template <typename Work>
void InTransaction(odbc::Connection& connection, Work&& work) {
  connection.BeginTransaction();
  try {
    work();
    connection.Commit();
  } catch (...) {
    try {
      connection.Rollback();
    } catch (const odbc::Error&) {
      // The first error is the one to report.
    }
    throw;
  }
}

}  // namespace

void RegisterFile(odbc::Connection& connection, bool useTend, const RegisteredFile& file) {
  const std::string station = ToUpperAscii(file.station);
  const std::string channel = ToUpperAscii(file.channel);
  const std::string cpath = NativePath(file.relativeName);
  // Rows are compared with the texts they were stored with (upper case), so a
  // second import finds them on case-sensitive databases too.
  const std::string findSame =
      StrFormat(kSameFileRows, SqlEscape(station).c_str(), SqlEscape(channel).c_str(),
                SqlEscape(BareFileName(cpath)).c_str(), file.start);
  const std::string tend = useTend ? StrFormat("%.17g", file.start + file.duration) : "NULL";
  const std::string insert =
      StrFormat(kInsertRow, SqlEscape(station).c_str(), file.rate, SqlEscape(cpath).c_str(),
                kWfdDataType, SqlEscape(channel).c_str(), LocalTimestampNow().c_str(), file.start,
                file.duration, file.calib, file.calper, kWfdHeaderSize, tend.c_str());
  InTransaction(connection, [&] {
    bool registered = false;
    {
      odbc::Statement rows = connection.Query(findSame);
      while (rows.Fetch())
        if (rows.GetText(1).value_or("") == cpath) registered = true;
    }
    if (registered) connection.Execute(DeleteLikeStatement(cpath));
    connection.Execute(insert);
  });
}

bool RemoveFileRows(odbc::Connection& connection, const std::string& path, UserPrompts& prompts) {
  try {
    connection.Execute(DeleteLikeStatement(path));
    return true;
  } catch (const odbc::Error& error) {
    prompts.ShowError(
        std::string("Ошибка базы данных: ") +
        StrFormat("Error of delete record in NUV-DB (FILELIST -> %s)\n", path.c_str()) +
        error.what());
    return false;
  }
}

}  // namespace nuv
