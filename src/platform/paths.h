#pragma once
// Paths read from data of older systems may use "\" as the separator; the
// system accepts both and works with "/".

#include <string>
#include <string_view>

namespace nuv {

// Every "\" turned into "/".
std::string NativePath(std::string_view path);

// True for "/x", "//server", "\\server" and drive-letter forms ("C:...").
bool IsAbsolutePath(std::string_view path);

// `dir` and `name` joined with exactly one "/" between them.
std::string JoinPath(std::string_view dir, std::string_view name);

}  // namespace nuv
