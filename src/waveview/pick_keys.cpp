#include "waveview/pick_keys.h"

#include <set>

#include "platform/profile_file.h"
#include "platform/strformat.h"

namespace nuv {

std::vector<PickKeyBinding> DefaultPickKeys() {
  return {{"P", "1"}, {"S", "2"}, {"Pn", "3"}, {"Pg", "4"}, {"Sn", "5"}, {"Sg", "6"}};
}

std::vector<PickKeyBinding> ReadPickKeys(const ProfileFile& ini) {
  std::vector<PickKeyBinding> keys = DefaultPickKeys();
  for (PickKeyBinding& k : keys)
    if (const std::optional<std::string> v = ini.Find(kPickKeySection, k.phase))
      k.key = std::string(Trim(*v));
  return keys;
}

bool WritePickKeys(ProfileFile& ini, const std::vector<PickKeyBinding>& keys) {
  for (const PickKeyBinding& k : keys)
    if (!ini.WriteString(kPickKeySection, k.phase, k.key)) return false;
  return true;
}

std::string PhaseForKey(const std::vector<PickKeyBinding>& keys, std::string_view key) {
  if (key.empty()) return {};
  for (const PickKeyBinding& k : keys)
    if (EqualsNoCase(k.key, key)) return k.phase;
  return {};
}

std::string DuplicatePickKey(const std::vector<PickKeyBinding>& keys) {
  std::set<std::string> seen;
  for (const PickKeyBinding& k : keys) {
    if (k.key.empty()) continue;
    if (!seen.insert(ToUpperAscii(k.key)).second) return k.key;
  }
  return {};
}

}  // namespace nuv
