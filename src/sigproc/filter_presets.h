#pragma once
// Named filter presets in the per-user store under "NUV\Butter Filter": one
// subkey per preset with the string values Low, High, FilterType, ZeroPhase
// and FilterOrder. Nothing is cached: every call reads or writes the store.

#include <string>
#include <string_view>
#include <vector>

#include "sigproc/butterworth.h"

namespace nuv {

class SettingsStore;

inline constexpr const char* kFilterPresetKey = "NUV\\Butter Filter";

// The five values as stored; a missing value keeps its default.
struct FilterPreset {
  std::string low = "0.7";
  std::string high = "1.4";
  std::string filterType = "BP";
  std::string zeroPhase = "TRUE";
  std::string filterOrder = "3";
};

// Preset names in the store's enumeration order.
std::vector<std::string> ListFilterPresets(const SettingsStore& store);

// The preset's values with defaults for the missing ones (a missing preset
// gives all defaults, as a failed registry read does).
FilterPreset ReadFilterPreset(const SettingsStore& store, std::string_view name);

// A preset name the store can hold as one subkey: not empty, no backslash
// (which would nest keys), at most 128 characters as the name dialog allows.
bool IsValidFilterPresetName(std::string_view name);

// Creates or replaces the preset. Returns false for an invalid name or when
// the store cannot be written.
bool WriteFilterPreset(SettingsStore& store, std::string_view name, const FilterPreset& preset);

// Deletes the preset's values and key. Returns false when it did not exist.
bool DeleteFilterPreset(SettingsStore& store, std::string_view name);

// The preset as a channel filter: "BP" 0, "LP" 1, "BR" 2, "HP" 3, "SPWWSS" 4,
// anything else 0; zero phase when the text is "TRUE"; the cut-offs and the
// order by decimal conversion of their texts.
ChannelFilter PresetToChannelFilter(const FilterPreset& preset);

// The page's contents as a preset (type text by radio index, "TRUE"/"FALSE",
// order with "%d").
FilterPreset ChannelFilterToPreset(const ChannelFilter& filter);

}  // namespace nuv
