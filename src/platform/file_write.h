#pragma once
// Replacing a settings file as one step: the new text goes to a temporary
// file beside it, which takes the file's place only when every byte was
// written, so a failed write leaves the old file as it was.

#include <filesystem>
#include <string_view>

namespace nuv {

// Writes `bytes` to `path` (parent folders created), through "<path>.tmp"
// and a rename. Returns false, leaving `path` untouched and no temporary
// file behind, when any step fails (folder, open, write, close or rename).
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace nuv
