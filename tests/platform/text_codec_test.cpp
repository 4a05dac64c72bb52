#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include "platform/strformat.h"

namespace nuv {
namespace {

TEST(TextCodec, DecodesCodePage1251AndKeepsUtf8) {
  EXPECT_EQ(DecodeText("plain"), "plain");
  EXPECT_EQ(DecodeText("Ошибка"), "Ошибка");
  EXPECT_EQ(DecodeText("\xCE\xF8\xE8\xE1\xEA\xE0"), "Ошибка");
  EXPECT_EQ(DecodeText("\xA8\xB8\xB9"), "Ёё№");
  EXPECT_EQ(Utf8ToCp1251("Ёё№ ok"), "\xA8\xB8\xB9 ok");
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));  // overlong
  EXPECT_FALSE(IsValidUtf8("\xD0"));      // cut short
}

TEST(StrFormat, FormatsEscapesAndReadsLeadingIntegers) {
  EXPECT_EQ(StrFormat("%s=%.3f", "t", 1.5), "t=1.500");
  EXPECT_EQ(SqlEscape("O'Brien''s"), "O''Brien''''s");
  EXPECT_EQ(LeadingInteger(" -42abc"), -42);
  EXPECT_EQ(LeadingInteger("abc"), 0);
  EXPECT_TRUE(EqualsNoCase("bhZ", "BHz"));
  EXPECT_FALSE(EqualsNoCase("BHZ", "BHZ1"));
}

}  // namespace
}  // namespace nuv
