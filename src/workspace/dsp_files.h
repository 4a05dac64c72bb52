#pragma once
// The workspace's exchange with the outside: data files (one sample per
// line), the clipboard text "DSP NUV" and worksheet files (the windows'
// formulas in profile-file syntax). Every failure comes back as the text the
// analyst is shown.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "workspace/workspace.h"

namespace nuv {

inline constexpr const char* kDspCaption = "ПОС";
inline constexpr const char* kDataFileFilter =
    "Файлы с данными (*.dat)|*.dat|Все файлы (*.*)|*.*||";
inline constexpr const char* kWorksheetFilter = "Рабочие листы (*.wks)|*.wks|Все файлы (*.*)|*.*||";
inline constexpr const char* kEmptyDataSet = "Набор данных пуст";
inline constexpr const char* kFileEmpty = "Файл %s пуст";
inline constexpr const char* kFileOpenError = "Ошибка открытия файла %s";
inline constexpr const char* kWorksheetWindows = "Неверное число окон в рабочей области %s: %d";

// Writes the window's data, one sample per line, exactly (the smallest values
// too). An empty window writes an empty file and gives kEmptyDataSet; a file
// that cannot be written gives kFileOpenError. Nothing on success.
std::optional<std::string> SaveDataFile(const DspWindow& window, const std::filesystem::path& path);

// Reads a data file: its values, or the message (a missing or unreadable
// file, a folder, or a file without values).
std::variant<std::vector<double>, std::string> ReadDataFile(const std::filesystem::path& path);

// "DSP NUV", "SPS=" with the rate, "QTY=%d" and one line per sample, numbers
// written exactly (RoundTripText), each line ended by a carriage return and a
// line feed. Texts with six decimals from older copies paste as before.
std::string ClipboardText(const DspWindow& window);
// True when the text may be pasted (it begins with "DSP NUV").
bool IsWorkspaceClipboard(std::string_view text);
// The samples with dx = 1/SPS, or nothing when the first three lines do not
// match, the rate is not a positive finite number, or no sample follows.
std::optional<Signal> ParseClipboard(std::string_view text);

// Writes section "WORKSHEET" key "WINDOWS" and one section "W%d" per window
// with key "COMMAND", replacing the file in one step; false on failure.
bool SaveWorksheet(const Workspace& workspace, const std::filesystem::path& path);
// The formulas of a worksheet, or the message: a file that cannot be read,
// or a window count outside 1..32. A count of 0 (or none) gives no formulas.
std::variant<std::vector<std::string>, std::string> ReadWorksheet(
    const std::filesystem::path& path);

}  // namespace nuv
