#include "waveview/channel_list.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/temp_dir.h"
#include "waveview/channel_selection.h"

namespace nuv {
namespace {

StationTable Inventory() {
  StationTable table;
  CScreenFields a;
  a.code = "ABC";
  a.channels[0].name = "BHZ";
  a.channels[1].name = "BHN";
  a.channels[2].name = "SHZ";
  a.channels[2].lcode = "00";
  table.records().push_back(a);
  CScreenFields b;
  b.code = "KUR";
  b.channels[0].name = "SHZ";
  table.records().push_back(b);
  return table;
}

TEST(ChannelList, SavedListsComeBackInTextOrder) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  std::vector<ChannelListEntry> entries;
  for (int i = 0; i < 12; ++i) {
    ChannelListEntry e;
    e.sta = "ABC";
    e.chan = "C" + std::to_string(i);
    e.activeWindow = i % 2 ? "1" : "0";
    entries.push_back(e);
  }
  entries[3].mainWindow = "1";
  ASSERT_TRUE(SaveChannelList(store, "night", entries));
  EXPECT_EQ(ChannelListNames(store), (std::vector<std::string>{"night"}));
  const auto loaded = LoadChannelList(store, "night");
  ASSERT_EQ(loaded.size(), 12u);
  std::vector<std::string> keys;
  for (const auto& e : loaded) keys.push_back(e.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"0", "1", "10", "11", "2", "3", "4", "5", "6", "7", "8",
                                            "9"}));
  EXPECT_EQ(loaded[2].chan, "C10");
  EXPECT_TRUE(loaded[5].IsMain());
  EXPECT_TRUE(loaded[1].IsActive());
  EXPECT_FALSE(loaded[0].IsActive());
  EXPECT_EQ(loaded[0].lcode, "??");

  // Saving under the same name replaces the whole list.
  ASSERT_TRUE(SaveChannelList(store, "night", {entries[0]}));
  EXPECT_EQ(LoadChannelList(store, "night").size(), 1u);
  // Missing values take their defaults.
  store.SetString("NUV\\waveforms-\\bare\\0", "STA", "KUR");
  const auto bare = LoadChannelList(store, "bare");
  ASSERT_EQ(bare.size(), 1u);
  EXPECT_EQ(bare[0].beam, "0");
  EXPECT_EQ(bare[0].chan, "");
  EXPECT_EQ(bare[0].lcode, "??");

  EXPECT_TRUE(DeleteChannelList(store, "night"));
  EXPECT_TRUE(LoadChannelList(store, "night").empty());
  EXPECT_EQ(ChannelListNames(store), (std::vector<std::string>{"bare"}));
  // A name that would address another key is refused.
  EXPECT_FALSE(SaveChannelList(store, "a\\b", entries));
  EXPECT_FALSE(SaveChannelList(store, "  ", entries));
  EXPECT_TRUE(LoadChannelList(store, "..\\Time").empty());
}

TEST(ChannelList, EntriesResolveAgainstTheInventory) {
  const StationTable table = Inventory();
  ChannelListEntry e;
  e.sta = "abc";
  e.chan = "bhn";
  auto ref = ResolveChannelListEntry(table, e);
  ASSERT_TRUE(ref);
  EXPECT_EQ(ref->station, 0);
  EXPECT_EQ(ref->channel, 1);
  e.chan = "SHZ";  // stored with location code 00
  EXPECT_FALSE(ResolveChannelListEntry(table, e));
  e.lcode = "00";
  ASSERT_TRUE(ResolveChannelListEntry(table, e));
  EXPECT_EQ(ResolveChannelListEntry(table, e)->channel, 2);
  e.sta = "XYZ";
  EXPECT_FALSE(ResolveChannelListEntry(table, e));
}

TEST(ChannelList, TimeWindowsPersistAsDoubles) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  EXPECT_FALSE(LoadTimeWindow(store, "ABC", "BHZ"));
  ASSERT_TRUE(SaveTimeWindow(store, "ABC", "BHZ", 1249495001.25, 600));
  const auto w = LoadTimeWindow(store, "ABC", "BHZ");
  ASSERT_TRUE(w);
  EXPECT_DOUBLE_EQ(w->start, 1249495001.25);
  EXPECT_DOUBLE_EQ(w->length, 600);
  EXPECT_EQ(store.GetBinary("NUV\\Time\\ABC\\BHZ", "Tbegin")->size(), 8u);
  // Another store on the same file sees it.
  SettingsStore again(dir / "registry.txt");
  EXPECT_TRUE(LoadTimeWindow(again, "abc", "bhz"));

  // Damaged entries count as missing, so the pane keeps its default window.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, double> damaged[] = {
      {nan, 600}, {1249495001.0, nan}, {1249495001.0, 0}, {1249495001.0, -60},
      {inf, 600}, {1249495001.0, inf}, {1e300, 600},      {-1e12, 600}};
  for (const auto& [start, length] : damaged) {
    ASSERT_TRUE(SaveTimeWindow(store, "ABC", "BHN", start, length));
    EXPECT_FALSE(LoadTimeWindow(store, "ABC", "BHN")) << start << " " << length;
  }
  // A value of the wrong size is no window either.
  store.SetBinary("NUV\\Time\\ABC\\BHE", "Tbegin", {1, 2, 3, 4});
  store.SetDouble("NUV\\Time\\ABC\\BHE", "Tqty", 60);
  EXPECT_FALSE(LoadTimeWindow(store, "ABC", "BHE"));
  // A short window is still a window.
  ASSERT_TRUE(SaveTimeWindow(store, "ABC", "BHN", 1249495001.0, 0.25));
  EXPECT_TRUE(LoadTimeWindow(store, "ABC", "BHN"));
}

TEST(ChannelSelection, MatrixTreeAndPatterns) {
  const StationTable table = Inventory();
  SelectionMatrix m;
  m.Resize(table.size());
  m.Set(2, 0, true);
  m.Set(0, 1, true);
  m.Set(0, 0, true);
  EXPECT_EQ(m.Count(), 3);
  EXPECT_EQ(m.SetCells(), (std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {1, 0}}));
  m.ClearStation(0);
  EXPECT_EQ(m.Count(), 1);
  m.Clear();
  EXPECT_EQ(m.Count(), 0);
  EXPECT_FALSE(m.Get(30, 0));

  const auto tree = BuildStationTree(table, {{"North", "KUR; nope;ABC"}}, true);
  ASSERT_EQ(tree.size(), 2u);
  EXPECT_EQ(tree[0].text, "Сейсмические станции");
  ASSERT_EQ(tree[0].children.size(), 2u);
  ASSERT_EQ(tree[0].children[0].children.size(), 3u);
  EXPECT_EQ(tree[0].children[0].children[0].text, "BHZ ??");
  EXPECT_EQ(tree[0].children[0].children[2].text, "SHZ 00");
  EXPECT_EQ(tree[0].children[0].children[2].channel, 2);
  ASSERT_EQ(tree[1].children.size(), 2u);
  EXPECT_EQ(tree[1].children[0].text, "KUR");
  EXPECT_EQ(tree[1].children[1].station, 0);

  EXPECT_TRUE(MatchChannelPattern("BHZ", "?hz"));
  EXPECT_TRUE(MatchChannelPattern("SHZ", "?HZ"));
  EXPECT_FALSE(MatchChannelPattern("BHN", "?HZ"));
  EXPECT_TRUE(MatchChannelPattern("BHN", "*"));
  EXPECT_TRUE(MatchChannelPattern("BHN", "B*N"));
  EXPECT_FALSE(MatchChannelPattern("BHNE", "B*N"));
  EXPECT_FALSE(MatchChannelPattern("BH", "BH?"));
}

TEST(ChannelSelection, FieldsAreReadWithTheScanFormats) {
  auto t = ParseTimeField("12:34:56.789");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->hour, 12);
  EXPECT_EQ(t->millisecond, 789);
  EXPECT_TRUE(ParseTimeField("01,02 03"));
  EXPECT_FALSE(ParseTimeField("25:00:00.000"));
  EXPECT_FALSE(ParseTimeField("__:__:__.___"));
  EXPECT_FALSE(ParseTimeField("12:61:00.000"));
  const auto d = ParseDateField("05/08/2009");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->day, 5);
  EXPECT_EQ(d->month, 8);
  EXPECT_EQ(d->year, 2009);
  EXPECT_FALSE(ParseDateField("30/02/2009"));
  const LengthFields l = ParseLengthField("01:02:03");
  EXPECT_EQ(l.hours * 3600 + l.minutes * 60 + l.seconds, 3723);

  SelectionWindow w;
  ASSERT_TRUE(StoreSelectionFields(w, "05/08/2009", "17:56:41.500", "00:10:00"));
  EXPECT_DOUBLE_EQ(w.StartEpoch(), 1249495001.5);
  EXPECT_DOUBLE_EQ(w.LengthSeconds(), 600);
  EXPECT_EQ(DateFieldText(w), "05/08/2009");
  EXPECT_EQ(TimeFieldText(w), "17:56:41.500");
  EXPECT_EQ(LengthFieldText(w), "00:10:00");
  // A bad time keeps the window.
  EXPECT_FALSE(StoreSelectionFields(w, "05/08/2009", "xx", "00:01:00"));
  EXPECT_DOUBLE_EQ(w.LengthSeconds(), 600);
}

TEST(ChannelSelection, RememberedChoiceRoundTrips) {
  test::TempDir dir;
  ProfileFile ini(dir / "NUV.INI");
  EXPECT_EQ(ReadRememberedChoice(ini).groupName, "");
  WriteRememberedChoice(ini, {"North", "KURCHATOVX"});
  const RememberedChoice c = ReadRememberedChoice(ini);
  EXPECT_EQ(c.groupName, "North");
  EXPECT_EQ(c.stationName, "KURCHATOV");  // nine characters are kept
}

}  // namespace
}  // namespace nuv
