#include "sigproc/filter_presets.h"

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

TEST(FilterPresets, WriteListReadAndDelete) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  EXPECT_TRUE(ListFilterPresets(store).empty());

  ChannelFilter page;
  page.lowText = "1.5";
  page.highText = "4";
  page.type = kBandReject;
  page.order = 6;
  page.zeroPhase = 0;
  ASSERT_TRUE(WriteFilterPreset(store, "Regional", ChannelFilterToPreset(page)));
  ASSERT_TRUE(WriteFilterPreset(store, "Alpha", FilterPreset{}));
  EXPECT_EQ(ListFilterPresets(store), (std::vector<std::string>{"Alpha", "Regional"}));

  EXPECT_EQ(store.GetString("NUV\\Butter Filter\\Regional", "FilterType"), "BR");
  EXPECT_EQ(store.GetString("NUV\\Butter Filter\\Regional", "ZeroPhase"), "FALSE");
  EXPECT_EQ(store.GetString("NUV\\Butter Filter\\Regional", "FilterOrder"), "6");
  const ChannelFilter back = PresetToChannelFilter(ReadFilterPreset(store, "Regional"));
  EXPECT_EQ(back.type, kBandReject);
  EXPECT_EQ(back.order, 6);
  EXPECT_EQ(back.zeroPhase, 0);
  EXPECT_EQ(back.lowText, "1.5");
  EXPECT_FLOAT_EQ(back.lowCut, 1.5f);
  EXPECT_FLOAT_EQ(back.highCut, 4.0f);

  EXPECT_TRUE(DeleteFilterPreset(store, "Regional"));
  EXPECT_FALSE(store.KeyExists("NUV\\Butter Filter\\Regional"));
  EXPECT_FALSE(DeleteFilterPreset(store, "Regional"));
  EXPECT_EQ(ListFilterPresets(store), (std::vector<std::string>{"Alpha"}));
}

TEST(FilterPresets, MissingValuesAndUnknownTypesFallBackToDefaults) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  store.CreateKey("NUV\\Butter Filter\\Bare");
  store.SetString("NUV\\Butter Filter\\Bare", "High", "2.5");
  const FilterPreset bare = ReadFilterPreset(store, "Bare");
  EXPECT_EQ(bare.low, "0.7");
  EXPECT_EQ(bare.high, "2.5");
  const ChannelFilter filter = PresetToChannelFilter(bare);
  EXPECT_EQ(filter.type, kBandPass);
  EXPECT_EQ(filter.zeroPhase, 1);
  EXPECT_EQ(filter.order, 3);
  EXPECT_FLOAT_EQ(filter.lowCut, 0.7f);

  FilterPreset odd;
  odd.filterType = "SPWWSS";
  odd.zeroPhase = "true";  // only "TRUE" switches zero phase on
  odd.filterOrder = "7x";
  const ChannelFilter spwwss = PresetToChannelFilter(odd);
  EXPECT_EQ(spwwss.type, kPresetSpwwss);
  EXPECT_EQ(spwwss.zeroPhase, 0);
  EXPECT_EQ(spwwss.order, 7);
  EXPECT_EQ(ChannelFilterToPreset(spwwss).filterType, "SPWWSS");
  odd.filterType = "bp";
  EXPECT_EQ(PresetToChannelFilter(odd).type, kBandPass);
  odd.filterType = "HP";
  EXPECT_EQ(PresetToChannelFilter(odd).type, kHighPass);

  // Reading a preset that does not exist leaves every default in place.
  EXPECT_EQ(ReadFilterPreset(store, "None").filterOrder, "3");
}

TEST(FilterPresets, NamesThatWouldNestKeysAreRefused) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  EXPECT_FALSE(WriteFilterPreset(store, "", FilterPreset{}));
  EXPECT_FALSE(WriteFilterPreset(store, "a\\b", FilterPreset{}));
  EXPECT_FALSE(WriteFilterPreset(store, std::string(129, 'x'), FilterPreset{}));
  EXPECT_TRUE(WriteFilterPreset(store, std::string(128, 'x'), FilterPreset{}));
  EXPECT_TRUE(WriteFilterPreset(store, "Фильтр 1-5 Гц", FilterPreset{}));
  EXPECT_EQ(ListFilterPresets(store).size(), 2u);
}

}  // namespace
}  // namespace nuv
