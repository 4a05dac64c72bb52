#pragma once
// A profile file with the semantics of the classic private-profile calls:
// sections and keys compared case-insensitively, a missing file or key gives
// the default, integers are read from their leading digits, text values are
// cut to the caller's buffer size, and every write goes to the file at once
// (other sections, keys and comments are kept). The file is read anew on each
// call, so two objects on one file always agree.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nuv {

class ProfileFile {
 public:
  explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }

  // The value, or `def` when the section or key is missing; at most
  // bufferSize - 1 bytes (never cutting a UTF-8 character), as a buffer of
  // bufferSize bytes would hold. A value enclosed in a pair of quotes loses them.
  std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                        size_t bufferSize) const;

  // Leading decimal digits of the value (a value without digits gives 0);
  // `def` when the key is missing.
  int GetInt(std::string_view section, std::string_view key, int def) const;

  // The raw value when present.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Writes or replaces one key, creating the file and section when needed.
  // Returns false when the file cannot be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);

  // Removes the section with all its keys (nothing happens when it is
  // missing). Returns false when the file cannot be written.
  bool DeleteSection(std::string_view section);

 private:
  std::filesystem::path path_;
};

// What the analyst is shown when a settings file could not be written:
// "Ошибка записи файла FILE: установки не сохранены".
std::string SettingsNotSavedMessage(const std::filesystem::path& file);

}  // namespace nuv
