#include "archive/file_registry.h"

#include <ctime>
#include <filesystem>
#include <vector>

#include "archive/archive_paths.h"
#include "archive/cpath_rows.h"
#include "archive/wfd_file.h"
#include "db/dialect.h"
#include "platform/local_time.h"
#include "platform/paths.h"
#include "platform/strformat.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

constexpr const char* kInsertRow =
    "insert into FILELIST (STA, SPS, GAIN, CPATH, DATATYPE, CH, CREATER, LDDATE, TBEGIN, TQTY, "
    "CALIB, CALPER, FOFF, TEND, LCODE) values ('%s', %.17g, 1, '%s', %d, '%s', '%s', {ts '%s'}, "
    "%.17g, %.17g, %.17g, %.17g, %d, %s, %s)";

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

void RegisterFile(odbc::Connection& connection, int dialect, bool useTend,
                  const RegisteredFile& file) {
  const std::string& station = file.station;
  const std::string& channel = file.channel;
  const std::string cpath = NativePath(file.relativeName);
  const std::string tend = useTend ? StrFormat("%.17g", file.start + file.duration) : "NULL";
  const std::string lcode = file.lcode.empty() ? "NULL" : "'" + SqlText(file.lcode, dialect) + "'";
  const std::string insert = StrFormat(
      kInsertRow, SqlText(station, dialect).c_str(), file.rate, SqlText(cpath, dialect).c_str(),
      kWfdDataType, SqlText(channel, dialect).c_str(), SqlText(file.creator, dialect).c_str(),
      LocalTimestampNow().c_str(), file.start, file.duration, file.calib, file.calper,
      kWfdHeaderSize, tend.c_str(), lcode.c_str());
  InTransaction(connection, [&] {
    // Rows of an earlier import of this very file (same path, same start)
    // are replaced; the path is compared exactly, in either spelling.
    bool registered = false;
    for (const CpathRow& row : RowsOfPath(connection, dialect, cpath))
      if (StartsAt(row, file.start)) registered = true;
    if (registered) DeleteRowsOfPath(connection, dialect, cpath);
    connection.Execute(insert);
  });
}

bool RemoveFileRows(odbc::Connection& connection, int dialect, const std::string& path,
                    UserPrompts& prompts) {
  try {
    InTransaction(connection, [&] { DeleteRowsOfPath(connection, dialect, path); });
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
