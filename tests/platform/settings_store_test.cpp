#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace nuv {
namespace {

TEST(SettingsStore, ValuesSurviveReopeningAndIgnoreCase) {
  test::TempDir dir;
  {
    SettingsStore store(dir / "registry.txt");
    ASSERT_TRUE(store.SetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin", 1262303999.5));
    ASSERT_TRUE(store.SetString("NUV\\Filter\\ABC\\BHZ", "name", "a=b [x]\nline%"));
    ASSERT_TRUE(store.SetInt("NUV\\TOOLBAR", "Bars", -3));
  }
  SettingsStore store(dir / "registry.txt");
  EXPECT_EQ(store.GetDouble("nuv\\time\\abc\\bhz", "TBEGIN"), 1262303999.5);
  EXPECT_EQ(store.GetString("NUV\\Filter\\ABC\\BHZ", "name"), "a=b [x]\nline%");
  EXPECT_EQ(store.GetInt("NUV\\TOOLBAR", "Bars"), -3);
  EXPECT_FALSE(store.GetDouble("NUV\\Filter\\ABC\\BHZ", "name"));  // wrong kind
  EXPECT_FALSE(store.GetString("NUV\\Nothing", "x"));
}

TEST(SettingsStore, SubkeysAreListedInNameOrderAndDeletedRecursively) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  store.SetString("NUV\\waveforms-\\zeta", "v", "1");
  store.SetString("NUV\\waveforms-\\Alpha\\deep", "v", "1");
  store.CreateKey("NUV\\waveforms-\\beta");
  EXPECT_EQ(store.SubKeys("NUV\\waveforms-"), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
  EXPECT_TRUE(store.DeleteKey("NUV\\waveforms-\\alpha"));
  EXPECT_FALSE(store.KeyExists("NUV\\waveforms-\\Alpha\\deep"));
  EXPECT_EQ(store.SubKeys("NUV\\waveforms-"), (std::vector<std::string>{"beta", "zeta"}));
  EXPECT_FALSE(store.DeleteKey("NUV\\waveforms-\\alpha"));
}

TEST(SettingsStore, SeesChangesMadeByAnotherInstance) {
  test::TempDir dir;
  SettingsStore first(dir / "registry.txt");
  SettingsStore second(dir / "registry.txt");
  first.SetString("NUV\\A", "x", "one");
  EXPECT_EQ(second.GetString("NUV\\A", "x"), "one");
  second.SetString("NUV\\A", "y", "two-longer");
  EXPECT_EQ(first.GetString("NUV\\A", "y"), "two-longer");
  EXPECT_EQ(first.GetString("NUV\\A", "x"), "one");
}

TEST(SettingsStore, AFailedWriteDoesNotLookSaved) {
  test::TempDir dir;
  SettingsStore store(dir / "registry.txt");
  ASSERT_TRUE(store.SetString("NUV\\Time\\ABC\\BHZ", "name", "kept"));
  // The temporary file's name taken by a folder: every save fails, for root too.
  std::filesystem::create_directory(dir / "registry.txt.tmp");
  EXPECT_FALSE(store.SetString("NUV\\Time\\ABC\\BHZ", "name", "lost"));
  EXPECT_FALSE(store.SetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin", 5));
  EXPECT_FALSE(store.CreateKey("NUV\\New"));
  EXPECT_EQ(store.GetString("NUV\\Time\\ABC\\BHZ", "name"), "kept");
  EXPECT_FALSE(store.GetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin").has_value());
  EXPECT_FALSE(store.KeyExists("NUV\\New"));

  // Without any file yet, a store below a regular file saves nothing and holds nothing.
  SettingsStore blocked(dir.WriteFile("plain", "x") / "registry.txt");
  EXPECT_FALSE(blocked.SetString("NUV\\A", "x", "one"));
  EXPECT_FALSE(blocked.GetString("NUV\\A", "x").has_value());
}

TEST(SettingsStore, ABatchWritesOnceWhenItCloses) {
  test::TempDir dir;
  const std::filesystem::path file = dir / "registry.txt";
  SettingsStore store(file);
  ASSERT_TRUE(store.SetString("NUV\\A", "x", "before"));
  SettingsStore other(file);
  {
    const SettingsStore::Batch outer(store);
    {
      const SettingsStore::Batch inner(store);
      EXPECT_TRUE(store.SetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin", 7.5));
      EXPECT_TRUE(store.SetString("NUV\\A", "x", "after"));
    }
    // Not written while a batch is open, but read back from memory.
    EXPECT_EQ(other.GetString("NUV\\A", "x"), "before");
    EXPECT_EQ(store.GetString("NUV\\A", "x"), "after");
    EXPECT_EQ(store.GetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin"), 7.5);
  }
  EXPECT_EQ(other.GetString("NUV\\A", "x"), "after");
  EXPECT_EQ(other.GetDouble("NUV\\Time\\ABC\\BHZ", "Tbegin"), 7.5);

  // A batch whose write fails leaves nothing that looks saved.
  std::filesystem::create_directory(dir / "registry.txt.tmp");
  {
    const SettingsStore::Batch batch(store);
    EXPECT_TRUE(store.SetString("NUV\\A", "x", "lost"));
  }
  EXPECT_EQ(store.GetString("NUV\\A", "x"), "after");
  // An empty batch writes nothing and changes nothing.
  std::filesystem::remove(dir / "registry.txt.tmp");
  { const SettingsStore::Batch batch(store); }
  EXPECT_EQ(other.GetString("NUV\\A", "x"), "after");
}

}  // namespace
}  // namespace nuv
