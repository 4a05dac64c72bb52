#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace nuv {
namespace {

TEST(ProfileFile, MissingFileAndKeysGiveDefaults) {
  test::TempDir dir;
  ProfileFile ini(dir / "NUV.INI");
  EXPECT_EQ(ini.GetString("DATABASE", "ODBC", "NUV", 32), "NUV");
  EXPECT_EQ(ini.GetInt("DATABASE", "SAVETOCSSDB", 1), 1);
  EXPECT_FALSE(ini.Find("DATABASE", "ODBC"));
}

TEST(ProfileFile, SectionsAndKeysIgnoreCaseAndIntegersUseLeadingDigits) {
  test::TempDir dir;
  auto path =
      dir.WriteFile("nuv.ini",
                    "; comment\r\n[Database]\r\n odbc = MyDsn \r\nWFD=12abc\r\nUSE_TEND=x\r\n"
                    "[OTHER]\r\nodbc=wrong\r\n");
  ProfileFile ini(path);
  EXPECT_EQ(ini.GetString("DATABASE", "ODBC", "NUV", 32), "MyDsn");
  EXPECT_EQ(ini.GetInt("database", "wfd", 0), 12);
  EXPECT_EQ(ini.GetInt("DATABASE", "USE_TEND", 5), 0);  // present without digits
  EXPECT_EQ(ini.GetInt("DATABASE", "missing", 7), 7);
}

TEST(ProfileFile, ValuesAreCutToTheBufferAndLoseEnclosingQuotes) {
  test::TempDir dir;
  auto path = dir.WriteFile("NUV.INI", "[A]\nlong=abcdefghij\nq=\"C:\\data\"\nru=ЖЖЖЖ\n");
  ProfileFile ini(path);
  EXPECT_EQ(ini.GetString("A", "long", "", 5), "abcd");
  EXPECT_EQ(ini.GetString("A", "q", "", 100), "C:\\data");
  EXPECT_EQ(ini.GetString("A", "ru", "", 4), "Ж");  // never half a character
}

TEST(ProfileFile, WritesKeepOtherContentAndReplaceKeys) {
  test::TempDir dir;
  ProfileFile ini(dir / "sub" / "NUV.INI");
  ASSERT_TRUE(ini.WriteString("OUT", "DIR", "/tmp/out"));
  ASSERT_TRUE(ini.WriteString("FONT", "lfHeight", "-12"));
  ASSERT_TRUE(ini.WriteString("out", "dir", "/tmp/other"));
  ASSERT_TRUE(ini.WriteString("OUT", "EXTRA", "1"));
  EXPECT_EQ(ini.GetString("OUT", "DIR", "", 120), "/tmp/other");
  EXPECT_EQ(ini.GetInt("FONT", "lfHeight", 0), -12);
  EXPECT_EQ(ini.GetInt("OUT", "EXTRA", 0), 1);
  const std::string text = test::TempDir::ReadFile(ini.path());
  EXPECT_EQ(text.find("[OUT]"), text.rfind("[OUT]"));  // one section, not two
}

TEST(ProfileFile, ReadsCodePage1251Files) {
  test::TempDir dir;
  // "Тест" in code page 1251.
  auto path = dir.WriteFile("NUV.INI", std::string("[A]\nname=\xD2\xE5\xF1\xF2\n"));
  EXPECT_EQ(ProfileFile(path).GetString("A", "name", "", 100), "Тест");
}

TEST(ProfileFile, FailedWritesReportFailureAndLoseNothing) {
  test::TempDir dir;
  const auto path = dir.WriteFile("NUV.INI", "[OUT]\r\nDIR=/out\r\n[A]\r\nB=1\r\n");
  ProfileFile ini(path);
  std::filesystem::create_directory(dir / "NUV.INI.tmp");
  EXPECT_FALSE(ini.WriteString("OUT", "DIR", "/new"));
  EXPECT_EQ(ini.GetString("OUT", "DIR", "", 100), "/out");

  // A settings file that exists but cannot be read is not rewritten from
  // nothing (its other sections would be lost).
  std::filesystem::create_directory(dir / "cfg");
  std::filesystem::create_directory(dir / "cfg/NUV.INI");
  EXPECT_FALSE(ProfileFile(dir / "cfg/NUV.INI").WriteString("OUT", "DIR", "/x"));
  EXPECT_FALSE(ProfileFile(dir.WriteFile("plain", "x") / "NUV.INI").WriteString("A", "B", "2"));
  EXPECT_EQ(SettingsNotSavedMessage("/cfg/NUV.INI"),
            "Ошибка записи файла /cfg/NUV.INI: установки не сохранены");
}

}  // namespace
}  // namespace nuv
