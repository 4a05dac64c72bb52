#include "archive/disk_loop.h"

#include <filesystem>
#include <utility>

#include "archive/archive_paths.h"
#include "archive/wfd_file.h"
#include "db/dialect.h"
#include "db/station_table.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDeleteRows =
    "delete from FILELIST where CPATH='%s' and ((FOFF = 512) OR (FOFF is NULL))";
constexpr const char* kStationRows =
    "select CPATH, FOFF from FILELIST where tbegin>=%lf and tbegin<%lf and sta='%s' and ((FOFF = "
    "512) OR (FOFF is NULL))";
constexpr const char* kFileNotDeleted = "Ошибка удаления файла %s";

// A file moved aside while its rows are being deleted. The aside name lies in
// the same directory (a rename, never a copy) and never replaces a file.
class FileAside {
 public:
  explicit FileAside(std::string fullName) : fullName_(std::move(fullName)) {}

  // Moves the file aside. True also when there is no file (nothing to keep);
  // false when a file is there but cannot be moved (or is a directory).
  bool MoveAside() {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(fullName_, ec);
    if (!fs::exists(status)) return true;
    if (fs::is_directory(status)) return false;
    for (int n = 0; n < 1000; ++n) {
      std::string candidate = fullName_ + ".deleting";
      if (n > 0) candidate += "." + std::to_string(n);
      if (fs::exists(fs::symlink_status(candidate, ec))) continue;
      fs::rename(fullName_, candidate, ec);
      if (ec) return false;
      aside_ = std::move(candidate);
      return true;
    }
    return false;
  }
  // Puts the file back under its own name.
  void Restore() {
    if (aside_.empty()) return;
    std::error_code ec;
    fs::rename(aside_, fullName_, ec);
    aside_.clear();
  }
  // Removes the file for good; false when it is still there.
  bool Remove() {
    if (aside_.empty()) return true;
    std::error_code ec;
    const bool removed = fs::remove(aside_, ec) && !ec;
    if (removed) aside_.clear();
    return removed;
  }

 private:
  std::string fullName_;
  std::string aside_;
};

void RollbackQuietly(odbc::Connection& connection) {
  try {
    connection.Rollback();
  } catch (const odbc::Error&) {
    // The first error is the one to report.
  }
}

long long CountRows(odbc::Connection& connection, int dialect, const std::string& cpath) {
  odbc::Statement statement = connection.Query(
      StrFormat("select count(*) from FILELIST where CPATH='%s'", SqlText(cpath, dialect).c_str()));
  return statement.Fetch() ? statement.GetInt(1).value_or(0) : 0;
}

bool RefuseWithoutDataDirectory(const DiskLoopTarget& target) {
  if (HasDataDirectory(target.dataDir)) return false;
  target.prompts.ShowError(kNoDataDirectory);
  return true;
}

}  // namespace

std::string DiskLoopDeleteStatement(const std::string& cpath, int dialect) {
  return StrFormat(kDeleteRows, SqlText(cpath, dialect).c_str());
}

std::string DiskLoopStationQuery(const std::string& station, long from, long to, int dialect) {
  return StrFormat(kStationRows, static_cast<double>(from), static_cast<double>(to),
                   SqlText(station, dialect).c_str());
}

bool DeleteDiskLoopFile(const DiskLoopTarget& target, const std::string& cpath,
                        std::optional<long long> foff) {
  if (foff && *foff != kWfdHeaderSize) return false;  // part of a shared file: kept
  if (RefuseWithoutDataDirectory(target)) return false;
  const std::string fullName = FileListFullPath(target.dataDir, cpath);
  odbc::Connection& connection = target.connection;
  FileAside file(fullName);
  try {
    connection.BeginTransaction();
  } catch (const odbc::Error& error) {
    target.prompts.ShowError(error.what());
    return false;
  }
  try {
    connection.Execute(DiskLoopDeleteStatement(cpath, target.dialect));
    // Rows with other offsets into the same file keep it (and their data).
    const bool stillUsed = CountRows(connection, target.dialect, cpath) > 0;
    if (!stillUsed && !file.MoveAside()) {
      RollbackQuietly(connection);
      target.prompts.Message(StrFormat(kFileNotDeleted, fullName.c_str()), kAppTitle,
                             PromptIcon::Warning, PromptButtons::Ok);
      return false;
    }
    connection.Commit();
  } catch (const odbc::Error& error) {
    // A failed commit may leave the transaction open: end it before the file
    // comes back, so the rows and the file agree again.
    RollbackQuietly(connection);
    file.Restore();
    target.prompts.ShowError(error.what());
    return false;
  }
  if (!file.Remove()) {
    // The rows are gone; the file is put back under its name rather than
    // left under the aside name, and the analyst is told.
    file.Restore();
    target.prompts.Message(StrFormat(kFileNotDeleted, fullName.c_str()), kAppTitle,
                           PromptIcon::Warning, PromptButtons::Ok);
  }
  return true;
}

std::vector<std::string> DeleteStationFiles(const DiskLoopTarget& target,
                                            const std::string& station, long from, long to) {
  std::vector<std::string> deleted;
  if (RefuseWithoutDataDirectory(target)) return deleted;
  std::vector<std::pair<std::string, std::optional<long long>>> rows;
  try {
    odbc::Statement statement =
        target.connection.Query(DiskLoopStationQuery(station, from, to, target.dialect));
    while (statement.Fetch()) {
      std::optional<std::string> cpath = statement.GetText(1);
      std::optional<long long> foff = statement.GetInt(2);
      if (cpath) rows.emplace_back(std::move(*cpath), foff);
    }
  } catch (const odbc::Error& error) {
    target.prompts.ShowError(error.what());
    return deleted;
  }
  for (const auto& [cpath, foff] : rows)
    if (DeleteDiskLoopFile(target, cpath, foff)) deleted.push_back(cpath);
  return deleted;
}

std::optional<std::vector<std::string>> DeleteStationInterval(const DiskLoopTarget& target,
                                                              const std::string& station, long from,
                                                              long to) {
  if (RefuseWithoutDataDirectory(target)) return std::nullopt;
  const std::string question =
      StrFormat("Удалить файлы  с данными станции %s в интервале %s - %s", station.c_str(),
                DiskLoopFieldText(from).c_str(), DiskLoopFieldText(to).c_str());
  if (!target.prompts.AskYesNo(question, kAppTitle)) return std::nullopt;
  return DeleteStationFiles(target, station, from, to);
}

std::optional<std::vector<std::string>> DeleteNetworkInterval(const DiskLoopTarget& target,
                                                              const StationTable& stations,
                                                              const std::string& network,
                                                              const std::string& members, long from,
                                                              long to) {
  if (RefuseWithoutDataDirectory(target)) return std::nullopt;
  const std::string question =
      StrFormat("Удалить файлы с данными группы станций %s в интервале %s - %s", network.c_str(),
                DiskLoopFieldText(from).c_str(), DiskLoopFieldText(to).c_str());
  if (!target.prompts.AskYesNo(question, kAppTitle)) return std::nullopt;
  std::vector<std::string> deleted;
  for (const std::string& code : NetworkMemberCodes(stations, members)) {
    std::vector<std::string> some = DeleteStationFiles(target, code, from, to);
    deleted.insert(deleted.end(), some.begin(), some.end());
  }
  return deleted;
}

std::string DiskLoopFieldText(long t) {
  const CalendarTime c = EpochToCalendar(static_cast<double>(t));
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", c.day, c.month, c.year, c.hour, c.minute,
                   static_cast<int>(c.second));
}

std::vector<std::string> NetworkMemberCodes(const StationTable& stations,
                                            const std::string& members) {
  std::vector<std::string> codes;
  size_t from = 0;
  while (from <= members.size()) {
    size_t to = members.find(';', from);
    if (to == std::string::npos) to = members.size();
    const int index = stations.FindStation(Trim(std::string_view(members).substr(from, to - from)));
    if (index >= 0) codes.push_back(stations[index].code);
    from = to + 1;
  }
  return codes;
}

}  // namespace nuv
