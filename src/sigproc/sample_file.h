#pragma once
// Plain-text sample files as the workspace writes them: one value per line,
// with as many digits as it takes to read the same value back (older files
// written with six decimals read as before). Reading takes decimal values separated by any white
// space until the end of the file or the first text that is not a number.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nuv {

// The values, or nullopt when the file cannot be opened.
std::optional<std::vector<double>> ReadSampleFile(const std::filesystem::path& path);

// Writes every value on a line of its own, exactly (RoundTripText). Returns false when the file
// cannot be written.
bool WriteSampleFile(const std::filesystem::path& path, const std::vector<double>& samples);

}  // namespace nuv
