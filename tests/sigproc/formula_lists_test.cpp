#include "sigproc/formula_lists.h"

#include <gtest/gtest.h>

#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "support/temp_dir.h"

namespace nuv {
namespace {

TEST(RecentFormulas, NewestFirstWithoutDuplicatesAndAtMostThirty) {
  test::TempDir dir;
  ProfileFile profile(dir / "NUV.INI");
  EXPECT_TRUE(ReadRecentFormulas(profile).empty());
  AddRecentFormula(profile, "w1*2");
  AddRecentFormula(profile, "mean(w0)");
  AddRecentFormula(profile, "w1*2");
  EXPECT_EQ(ReadRecentFormulas(profile), (std::vector<std::string>{"w1*2", "mean(w0)"}));
  EXPECT_EQ(profile.Find("Formulas list", "formula1"), "w1*2");
  EXPECT_EQ(profile.Find("Formulas list", "formula2"), "mean(w0)");
  for (int i = 0; i < 40; ++i) AddRecentFormula(profile, "f" + std::to_string(i));
  const auto list = ReadRecentFormulas(profile);
  ASSERT_EQ(list.size(), 30u);
  EXPECT_EQ(list.front(), "f39");
  EXPECT_EQ(list.back(), "f10");
  EXPECT_FALSE(profile.Find("Formulas list", "formula31"));
}

TEST(RecentFormulas, RewritingRemovesEntriesInsteadOfLeavingEmptyKeys) {
  test::TempDir dir;
  // A list with holes and blank entries, as an older version or a hand edit
  // leaves it, beside a section that must survive.
  const auto file = dir.WriteFile("NUV.INI",
                                  "[Formulas list]\r\nformula1=a\r\nformula2=\r\nformula3=b\r\n"
                                  "formula7=c\r\nformula30=\r\n[Other]\r\nkey=1\r\n");
  ProfileFile profile(file);
  EXPECT_EQ(AddRecentFormula(profile, "b"), (std::vector<std::string>{"b", "a", "c"}));
  const std::string text = test::TempDir::ReadFile(file);
  EXPECT_NE(text.find("formula1=b"), std::string::npos);
  EXPECT_NE(text.find("formula2=a"), std::string::npos);
  EXPECT_NE(text.find("formula3=c"), std::string::npos);
  EXPECT_EQ(text.find("formula4"), std::string::npos);
  EXPECT_EQ(text.find("formula7"), std::string::npos);
  EXPECT_EQ(text.find("formula30"), std::string::npos);
  EXPECT_EQ(profile.Find("Other", "key"), "1");
  EXPECT_TRUE(profile.DeleteSection("missing"));
}

TEST(SavedFormulas, PairsEndedByCarriageReturnsNewestFirst) {
  test::TempDir dir;
  const auto file = dir / "SavedFormulas";
  EXPECT_TRUE(ReadSavedFormulas(file).empty());
  EXPECT_TRUE(std::filesystem::exists(file));  // a missing file is created empty
  ASSERT_TRUE(AddSavedFormula(file, {"Полоса 1-5", "butter(current,1,5,3)"}));
  ASSERT_TRUE(AddSavedFormula(file, {"Модуль", "abs(current)"}));
  EXPECT_EQ(test::TempDir::ReadFile(file),
            "Модуль\rabs(current)\rПолоса 1-5\rbutter(current,1,5,3)\r");
  auto list = ReadSavedFormulas(file);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].formula, "butter(current,1,5,3)");
  ASSERT_TRUE(RemoveSavedFormula(file, 0));
  EXPECT_EQ(ReadSavedFormulas(file)[0].description, "Полоса 1-5");
  EXPECT_FALSE(RemoveSavedFormula(file, 5));
  for (int i = 0; i < 18; ++i) ASSERT_TRUE(AddSavedFormula(file, {"d", "f"}));
  EXPECT_FALSE(AddSavedFormula(file, {"d", "f"}));  // 19 stored
  EXPECT_EQ(ReadSavedFormulas(file).size(), 19u);
}

TEST(SavedFormulas, ReadsAtMostTwentyPairsAndCutsLongLines) {
  test::TempDir dir;
  std::string text;
  for (int i = 0; i < 25; ++i) text += StrFormat("d%d\r\nf%d\r\n", i, i);
  text += std::string(600, 'x') + "\r" + "tail";
  const auto file = dir.WriteFile("SavedFormulas", text);
  const auto list = ReadSavedFormulas(file);
  ASSERT_EQ(list.size(), 20u);
  EXPECT_EQ(list[19].formula, "f19");
  const auto longFile = dir.WriteFile("Long", std::string(600, 'x') + "\rformula\r");
  EXPECT_EQ(ReadSavedFormulas(longFile)[0].description.size(), 512u);
}

TEST(SavedFormulas, NameChecks) {
  EXPECT_EQ(CheckFormulaName("").message, "Пожалуйста, введите имя формулы");
  EXPECT_EQ(CheckFormulaName("   ").message, "Имя формулы не может состоять из пробелов");
  EXPECT_EQ(CheckFormulaName("  Фильтр").name, "Фильтр");
}

}  // namespace
}  // namespace nuv
