#include "sigproc/filter_presets.h"

#include "platform/settings_store.h"
#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {
namespace {

std::string PresetKey(std::string_view name) {
  return std::string(kFilterPresetKey) + "\\" + std::string(name);
}

}  // namespace

std::vector<std::string> ListFilterPresets(const SettingsStore& store) {
  return store.SubKeys(kFilterPresetKey);
}

FilterPreset ReadFilterPreset(const SettingsStore& store, std::string_view name) {
  FilterPreset preset;
  if (!IsValidFilterPresetName(name)) return preset;
  const std::string key = PresetKey(name);
  if (auto v = store.GetString(key, "Low")) preset.low = *v;
  if (auto v = store.GetString(key, "High")) preset.high = *v;
  if (auto v = store.GetString(key, "FilterType")) preset.filterType = *v;
  if (auto v = store.GetString(key, "ZeroPhase")) preset.zeroPhase = *v;
  if (auto v = store.GetString(key, "FilterOrder")) preset.filterOrder = *v;
  return preset;
}

bool IsValidFilterPresetName(std::string_view name) {
  return !name.empty() && name.size() <= 128 && name.find('\\') == std::string_view::npos;
}

bool WriteFilterPreset(SettingsStore& store, std::string_view name, const FilterPreset& preset) {
  if (!IsValidFilterPresetName(name)) return false;
  const std::string key = PresetKey(name);
  return store.CreateKey(key) && store.SetString(key, "Low", preset.low) &&
         store.SetString(key, "High", preset.high) &&
         store.SetString(key, "FilterType", preset.filterType) &&
         store.SetString(key, "ZeroPhase", preset.zeroPhase) &&
         store.SetString(key, "FilterOrder", preset.filterOrder);
}

bool DeleteFilterPreset(SettingsStore& store, std::string_view name) {
  if (!IsValidFilterPresetName(name)) return false;
  return store.DeleteKey(PresetKey(name));
}

ChannelFilter PresetToChannelFilter(const FilterPreset& preset) {
  ChannelFilter filter;
  filter.lowText = preset.low;
  filter.highText = preset.high;
  filter.lowCut = static_cast<float>(DecimalPrefix(preset.low));
  filter.highCut = static_cast<float>(DecimalPrefix(preset.high));
  if (preset.filterType == "LP")
    filter.type = kLowPass;
  else if (preset.filterType == "BR")
    filter.type = kBandReject;
  else if (preset.filterType == "HP")
    filter.type = kHighPass;
  else if (preset.filterType == "SPWWSS")
    filter.type = kPresetSpwwss;
  else
    filter.type = kBandPass;
  filter.zeroPhase = preset.zeroPhase == "TRUE" ? 1 : 0;
  filter.order = IntegerPrefix(preset.filterOrder);
  return filter;
}

FilterPreset ChannelFilterToPreset(const ChannelFilter& filter) {
  FilterPreset preset;
  preset.low = filter.lowText;
  preset.high = filter.highText;
  // A loaded "SPWWSS" preset is written back under its own name.
  preset.filterType = filter.type == kPresetSpwwss ? "SPWWSS" : ButterworthTypeName(filter.type);
  preset.zeroPhase = filter.zeroPhase ? "TRUE" : "FALSE";
  preset.filterOrder = StrFormat("%d", filter.order);
  return preset;
}

}  // namespace nuv
