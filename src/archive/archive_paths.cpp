#include "archive/archive_paths.h"

#include "platform/paths.h"

namespace nuv {

bool IsAbsoluteFileListPath(std::string_view cpath) {
  if (cpath.size() >= 2 && cpath[1] == ':') return true;
  if (cpath.starts_with("//") || cpath.starts_with("\\\\")) return true;
  return cpath.starts_with("/");
}

bool HasDataDirectory(std::string_view dataDir) {
  for (char c : dataDir)
    if (c != '/' && c != '\\' && c != ' ' && c != '\t') return true;
  return false;
}

std::string FileListFullPath(std::string_view dataDir, std::string_view cpath) {
  if (IsAbsoluteFileListPath(cpath)) return NativePath(cpath);
  if (cpath.starts_with("\\")) cpath.remove_prefix(1);
  return JoinPath(dataDir, cpath);
}

std::string WfdiscFullPath(std::string_view dataDir, const DirectoryMap& dirsMap,
                           std::string_view dir, std::string_view dfile) {
  for (const auto& [name, local] : dirsMap)
    if (name == dir) return JoinPath(local, dfile);
  if (IsAbsoluteFileListPath(dir)) return JoinPath(dir, dfile);
  return JoinPath(JoinPath(dataDir, dir), dfile);
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string BareFileName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace nuv
