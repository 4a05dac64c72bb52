#include "admin/directory_map.h"

#include "platform/odbc.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"

namespace nuv {

void SetDirectoryMapEntry(DirectoryMap& map, const std::string& name, const std::string& dir) {
  // Kept as the start-up reads it: with "/" separators.
  const std::string native = NativePath(dir);
  for (auto& [entryName, entryDir] : map) {
    if (entryName == name) {
      entryDir = native;
      return;
    }
  }
  map.emplace_back(name, native);
}

bool DeleteDirectoryMapEntry(DirectoryMap& map, const std::string& name) {
  for (auto it = map.begin(); it != map.end(); ++it) {
    if (it->first == name) {
      map.erase(it);
      return true;
    }
  }
  return false;
}

bool WriteDirectoryMap(ProfileFile& ini, const DirectoryMap& map) {
  // The pairs first and the count last: a write that fails half-way leaves a
  // count that names only pairs written before.
  bool ok = true;
  for (size_t i = 0; i < map.size(); ++i) {
    ok = ini.WriteString("DIRSMAP", StrFormat("NAME%zu", i), map[i].first) && ok;
    ok = ini.WriteString("DIRSMAP", StrFormat("DIR%zu", i), map[i].second) && ok;
  }
  ok = ini.WriteString("DIRSMAP", "#", std::to_string(map.size())) && ok;
  return ok;
}

std::string DirectoryMapWriteFailedText(const ProfileFile& ini) {
  return StrFormat("Ошибка записи файла %s: отображения каталогов не сохранены",
                   ini.path().string().c_str());
}

std::vector<std::string> LoadCatalogueNames(odbc::Connection* css) {
  std::vector<std::string> names;
  if (!css || !css->IsOpen()) return names;
  try {
    odbc::Statement statement = css->Query("SELECT DISTINCT DIR FROM WFDISC");
    while (statement.Fetch())
      if (auto dir = statement.GetText(1)) names.push_back(*dir);
  } catch (const odbc::Error&) {
    names.clear();
  }
  return names;
}

}  // namespace nuv
