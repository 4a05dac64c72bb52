#pragma once
// Text decoding. The system works in UTF-8; files and database texts from
// older systems come in code page 1251. Text that is not valid UTF-8 is read
// as code page 1251 so such data still loads.

#include <string>
#include <string_view>

namespace nuv {

bool IsValidUtf8(std::string_view bytes);

// UTF-8 as it is when valid, otherwise converted from code page 1251.
std::string DecodeText(std::string_view bytes);

std::string Cp1251ToUtf8(std::string_view bytes);

// Characters without a code page 1251 form become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

}  // namespace nuv
