#pragma once
// Deletion of old files from the disk loop (the rolling archive on disk): a
// WFD file and its FILELIST rows go together or not at all. Only rows whose
// FOFF is 512 or NULL are ever deleted; a row with another offset points into
// a multi-channel file that other rows share.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_paths.h"
#include "platform/odbc.h"

namespace nuv {

class StationTable;
class UserPrompts;

// Shown instead of deleting when no data directory is configured: relative
// paths would otherwise be taken below "/".
inline constexpr const char* kNoDataDirectory =
    "Не задан каталог данных (DATA= или [DATA] DIR в NUV.INI). Удаление файлов невозможно.";

// (HasDataDirectory of archive_paths.h says whether one is.)

// Where the deletion works: the main connection, the data directory that
// relative CPATH values lie below, and the prompts that report per file.
struct DiskLoopTarget {
  odbc::Connection& connection;
  std::string dataDir;
  UserPrompts& prompts;
  int dialect = 0;  // of `connection`: texts in its statements are escaped for it
};

// The statements of the deletion, their texts escaped for `dialect` as the
// import escapes its own (a backslash of a path doubled on MySQL):
// "delete from FILELIST where CPATH='%s' and ((FOFF = 512) OR (FOFF is NULL))"
// and the station procedure's "select CPATH, FOFF from FILELIST where
// tbegin>=%lf and tbegin<%lf and sta='%s' and ((FOFF = 512) OR (FOFF is NULL))".
std::string DiskLoopDeleteStatement(const std::string& cpath, int dialect);
std::string DiskLoopStationQuery(const std::string& station, long from, long to, int dialect);

// Deletes the file of `cpath` (resolved as the segment reader resolves it:
// absolute paths as they are, relative ones below the data directory, "\"
// accepted) and the rows "CPATH='%s' and ((FOFF = 512) OR (FOFF is NULL))"
// in one transaction. The file is first moved aside, the rows are deleted and
// committed, and only then is the file removed; a refused statement or commit
// puts the file back, so a row never goes while its file stays and a file
// never goes while its row stays. A file that is missing already lets the rows
// go; so does a file that other rows (with other offsets) still point into,
// and the file stays for them. A file that cannot be moved keeps its rows ("Ошибка удаления файла
// %s", warning); a database error shows the driver's text. Without a data directory nothing is done
// and kNoDataDirectory is shown. Returns true when the rows were deleted.
bool DeleteDiskLoopFile(const DiskLoopTarget& target, const std::string& cpath,
                        std::optional<long long> foff);

// The station procedure: every row of `station` with from <= TBEGIN < to
// (whole seconds) whose FOFF is 512 or NULL, deleted by the rule above.
// Returns the CPATH of every row deleted. A failing query shows the driver's
// text.
std::vector<std::string> DeleteStationFiles(const DiskLoopTarget& target,
                                            const std::string& station, long from, long to);

// The interval deletion of the dialog's check box, with its question (Yes and
// No): "Удалить файлы  с данными станции %s в интервале %s - %s" for a
// station, "Удалить файлы с данными группы станций %s в интервале %s - %s"
// for a network, whose members found in `stations` get the station procedure
// one after the other. The two times are shown as the dialog's fields show
// them (DiskLoopFieldText). nullopt when the analyst said No or no data
// directory is configured.
std::optional<std::vector<std::string>> DeleteStationInterval(const DiskLoopTarget& target,
                                                              const std::string& station, long from,
                                                              long to);
std::optional<std::vector<std::string>> DeleteNetworkInterval(const DiskLoopTarget& target,
                                                              const StationTable& stations,
                                                              const std::string& network,
                                                              const std::string& members, long from,
                                                              long to);

// "%02d/%02d/%04d %02d:%02d:%02d": a whole-second time as the interval fields show it.
std::string DiskLoopFieldText(long t);

// The codes of the stations of a network list (";"-separated, blanks around
// a code ignored) that the station table holds, in list order, as the table
// spells them.
std::vector<std::string> NetworkMemberCodes(const StationTable& stations,
                                            const std::string& members);

}  // namespace nuv
