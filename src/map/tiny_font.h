#pragma once
// A 5 × 7 pixel font for the labels of the map picture drawn without Qt:
// digits, Latin capitals (small letters are drawn as capitals), '-', '.',
// '°' and the blank. Other characters show as an empty box.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace nuv::map {

inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kGlyphAdvance = 6;

// Seven rows, the five low bits of each a row of pixels (bit 4 = left).
using Glyph = std::array<uint8_t, kGlyphHeight>;

// The characters of a UTF-8 text as code points (a broken sequence gives U+FFFD).
std::vector<char32_t> DecodeUtf8(const std::string& text);
const Glyph& GlyphOf(char32_t c);
int TextWidth(const std::string& text);

}  // namespace nuv::map
