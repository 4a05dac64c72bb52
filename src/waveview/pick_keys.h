#pragma once
// Keyboard picking: with the pointer over a trace, a key places a phase at
// the pointer without the pick dialog. The bindings (phase name -> key text
// as a key sequence writes it, "1", "F5", "Shift+P") live in NUV.INI,
// section "PICK KEYS"; an empty text unbinds a phase.

#include <string>
#include <string_view>
#include <vector>

namespace nuv {

class ProfileFile;

inline constexpr const char* kPickKeySection = "PICK KEYS";

struct PickKeyBinding {
  std::string phase;
  std::string key;
  bool operator==(const PickKeyBinding&) const = default;
};

// P, S, Pn, Pg, Sn, Sg on the keys 1..6.
std::vector<PickKeyBinding> DefaultPickKeys();
// The defaults with the keys of the file where it names them.
std::vector<PickKeyBinding> ReadPickKeys(const ProfileFile& ini);
// False when the file cannot be written.
bool WritePickKeys(ProfileFile& ini, const std::vector<PickKeyBinding>& keys);
// The phase bound to `key` (compared without regard to case), "" when none.
std::string PhaseForKey(const std::vector<PickKeyBinding>& keys, std::string_view key);
// The first key bound to two phases, "" when every key is unique.
std::string DuplicatePickKey(const std::vector<PickKeyBinding>& keys);

}  // namespace nuv
