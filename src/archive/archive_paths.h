#pragma once
// Where the data file of an index row lies. FILELIST paths are absolute or
// relative to the data directory; wfdisc rows name a directory that the
// directory map may translate. Paths from older data carry "\": both
// separators are accepted and the result always uses "/".

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv {

using DirectoryMap = std::vector<std::pair<std::string, std::string>>;

// True for the absolute forms of a FILELIST path: two leading slashes or
// backslashes, a drive letter ("C:..."), or a single leading "/" (a path
// written by this system on Linux). A single leading "\" is relative: older
// rows wrote "\STA\file" meaning "below the data directory".
bool IsAbsoluteFileListPath(std::string_view cpath);

// The data file of a FILELIST row: absolute paths as they are, every other
// path below the data directory (one leading "\" dropped).
std::string FileListFullPath(std::string_view dataDir, std::string_view cpath);

// The data file of a wfdisc row: the directory map entry whose catalogue name
// equals `dir` exactly gives the directory; otherwise an absolute `dir` is
// used as it is and a relative one lies below the data directory.
std::string WfdiscFullPath(std::string_view dataDir, const DirectoryMap& dirsMap,
                           std::string_view dir, std::string_view dfile);

// The message of a command that would write or delete below the data
// directory while none is configured.
inline constexpr const char* kNoDataDirectoryMessage =
    "Не задан каталог с данными. Укажите его в окне \"Установки\" (\"Каталог с данными\") "
    "или ключом DATA= командной строки.";

// Whether `dataDir` names a data directory: an empty text, or one of only
// blanks and separators (the default "\" of NUV.INI), names none, and the
// archive must never write below the root instead.
bool HasDataDirectory(std::string_view dataDir);

// The directory part of a file name, up to and including the last "/" or "\"
// (empty when there is none).
std::string DirectoryOf(std::string_view path);

// The name after the last "/" or "\".
std::string BareFileName(std::string_view path);

}  // namespace nuv
