#pragma once
// The formula dialog's two lists: the recent formulas (up to 30, newest
// first) kept in the program's profile file, section "Formulas list", keys
// "formula1", "formula2", ...; and the saved formulas (description and
// formula pairs) in the file "SavedFormulas" of the home directory.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nuv {

class ProfileFile;

inline constexpr int kMaxRecentFormulas = 30;

// Non-empty entries of the section in key order.
std::vector<std::string> ReadRecentFormulas(const ProfileFile& profile);

// Puts `formula` at the top (an equal entry moves up), keeps 30 entries and
// writes the list: the section is removed, then every non-empty entry is
// written as formula1, formula2, ... Returns the new list.
std::vector<std::string> AddRecentFormula(ProfileFile& profile, std::string_view formula);

struct SavedFormula {
  std::string description;
  std::string formula;
};

inline constexpr int kMaxSavedFormulasRead = 20;
// The dialog adds a pair only while fewer than this many are stored.
inline constexpr int kMaxSavedFormulasAdded = 19;

// "<home>/SavedFormulas": description and formula lines, each ended by a
// carriage return; at most 20 pairs of lines of up to 512 characters are read.
// A missing file is created empty.
std::vector<SavedFormula> ReadSavedFormulas(const std::filesystem::path& file);
bool WriteSavedFormulas(const std::filesystem::path& file, const std::vector<SavedFormula>& list);

// The name typed in "Save as ": nullopt and the message when it is refused,
// else the name without leading blanks.
struct FormulaNameCheck {
  std::optional<std::string> name;
  std::string message;
};
FormulaNameCheck CheckFormulaName(std::string_view typed);

// Adds the pair at the top and rewrites the file; false when 19 or more pairs
// are stored or the file cannot be written.
bool AddSavedFormula(const std::filesystem::path& file, const SavedFormula& entry);
// Removes pair `index` and rewrites the file.
bool RemoveSavedFormula(const std::filesystem::path& file, size_t index);

}  // namespace nuv
