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
    "CALIB, CALPER, FOFF, TEND, LCODE) values ('%s', %.17g, 1, '%s', %d, '%s', '%s', {ts '%s'}, "
    "%.17g, %.17g, %.17g, %.17g, %d, %s, %s)";
constexpr const char* kDeleteLike = "delete from FILELIST where CPATH like '%s'";
constexpr const char* kDeleteDiskLoopRows =
    "delete from FILELIST where CPATH='%s' and ((FOFF = 512) OR (FOFF is NULL))";
constexpr const char* kStationDiskLoopRows =
    "select CPATH, FOFF from FILELIST where tbegin>=%lf and tbegin<%lf and sta='%s' and ((FOFF = "
    "512) OR (FOFF is NULL))";

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

// Thrown inside a deletion's transaction when its file has to stay.
struct FileKept {};

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
  const std::string lcode = file.lcode.empty() ? "NULL" : "'" + SqlEscape(file.lcode) + "'";
  const std::string insert =
      StrFormat(kInsertRow, SqlEscape(station).c_str(), file.rate, SqlEscape(cpath).c_str(),
                kWfdDataType, SqlEscape(channel).c_str(), SqlEscape(file.creator).c_str(),
                LocalTimestampNow().c_str(), file.start, file.duration, file.calib, file.calper,
                kWfdHeaderSize, tend.c_str(), lcode.c_str());
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

bool DeleteDiskLoopFile(odbc::Connection& connection, const std::string& dataDir,
                        const std::string& cpath, std::optional<long long> foff,
                        UserPrompts& prompts) {
  if (foff && *foff != kWfdHeaderSize) return false;  // part of a shared file: kept
  const std::string fullName = JoinPath(dataDir, cpath);
  bool deleted = false;
  try {
    // The rows go first inside the transaction, the file next, and the commit
    // last: a database that refuses keeps the file, a file that stays keeps
    // its rows.
    InTransaction(connection, [&] {
      connection.Execute(StrFormat(kDeleteDiskLoopRows, SqlEscape(cpath).c_str()));
      std::error_code ec;
      const auto status = std::filesystem::symlink_status(fullName, ec);
      if (std::filesystem::exists(status)) {
        const bool removable = !std::filesystem::is_directory(status);
        if (!removable || !std::filesystem::remove(fullName, ec) || ec) {
          prompts.Message(StrFormat("Ошибка удаления файла %s", fullName.c_str()), kAppTitle,
                          PromptIcon::Warning, PromptButtons::Ok);
          throw FileKept{};
        }
      }
    });
    deleted = true;
  } catch (const FileKept&) {
    deleted = false;  // already reported; the rows were rolled back
  } catch (const odbc::Error& error) {
    prompts.ShowError(error.what());
    deleted = false;
  }
  return deleted;
}

int DeleteStationFiles(odbc::Connection& connection, const std::string& dataDir,
                       const std::string& station, long from, long to, UserPrompts& prompts) {
  std::vector<std::pair<std::string, std::optional<long long>>> rows;
  try {
    odbc::Statement statement =
        connection.Query(StrFormat(kStationDiskLoopRows, static_cast<double>(from),
                                   static_cast<double>(to), SqlEscape(station).c_str()));
    while (statement.Fetch()) {
      std::optional<std::string> cpath = statement.GetText(1);
      std::optional<long long> foff = statement.GetInt(2);
      if (cpath) rows.emplace_back(std::move(*cpath), foff);
    }
  } catch (const odbc::Error& error) {
    prompts.ShowError(error.what());
    return 0;
  }
  int deleted = 0;
  for (const auto& [cpath, foff] : rows)
    if (DeleteDiskLoopFile(connection, dataDir, cpath, foff, prompts)) ++deleted;
  return deleted;
}

}  // namespace nuv
