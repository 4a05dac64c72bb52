#include "workspace/dsp_files.h"

#include <cmath>
#include <fstream>
#include <system_error>

#include "platform/file_write.h"
#include "platform/profile_file.h"
#include "platform/strformat.h"
#include "sigproc/sample_file.h"

namespace nuv {
namespace {

std::string OpenError(const std::filesystem::path& path) {
  return StrFormat(kFileOpenError, path.string().c_str());
}

// The clipboard's lines: separated by any run of carriage returns and line
// feeds, each cut at 1022 characters.
std::vector<std::string_view> ClipboardLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) ++pos;
    if (pos == text.size()) break;
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(pos, std::min<size_t>(end - pos, 1022)));
    pos = end;
  }
  return lines;
}

}  // namespace

std::optional<std::string> SaveDataFile(const DspWindow& window,
                                        const std::filesystem::path& path) {
  if (!WriteSampleFile(path, window.data)) return OpenError(path);
  if (window.data.empty()) return std::string(kEmptyDataSet);
  return std::nullopt;
}

std::variant<std::vector<double>, std::string> ReadDataFile(const std::filesystem::path& path) {
  std::error_code ec;
  // A folder opens as a stream on this system but reads nothing: it is not
  // an empty data file.
  if (std::filesystem::is_directory(path, ec)) return OpenError(path);
  auto values = ReadSampleFile(path);
  if (!values) return OpenError(path);
  if (values->empty()) return StrFormat(kFileEmpty, path.string().c_str());
  return std::move(*values);
}

std::string ClipboardText(const DspWindow& window) {
  const double rate = window.dx != 0 ? 1.0 / window.dx : 0.0;
  std::string text = "DSP NUV\r\n";
  text += "SPS=" + RoundTripText(rate) + "\r\n";
  text += StrFormat("QTY=%d\r\n", window.count());
  for (double v : window.data) text += RoundTripText(v) + "\r\n";
  return text;
}

bool IsWorkspaceClipboard(std::string_view text) {
  return text.starts_with("DSP NUV");
}

std::optional<Signal> ParseClipboard(std::string_view text) {
  const std::vector<std::string_view> lines = ClipboardLines(text);
  if (lines.size() < 3 || !lines[0].starts_with("DSP NUV") || !lines[1].starts_with("SPS=") ||
      !lines[2].starts_with("QTY="))
    return std::nullopt;
  const std::string rateText(lines[1].substr(4));
  const double rate = StrToDouble(rateText.c_str(), nullptr);
  // A rate of 0 would give an infinite sample interval.
  if (!std::isfinite(rate) || rate <= 0) return std::nullopt;
  std::vector<double> samples;
  for (size_t i = 3; i < lines.size(); ++i) {
    const std::string line(lines[i]);
    samples.push_back(StrToDouble(line.c_str(), nullptr));
  }
  if (samples.empty()) return std::nullopt;
  return Signal(std::move(samples), 1.0 / rate);
}

bool SaveWorksheet(const Workspace& workspace, const std::filesystem::path& path) {
  std::string text = StrFormat("[WORKSHEET]\nWINDOWS=%d\n", workspace.WindowCount());
  for (int i = 0; i < workspace.WindowCount(); ++i)
    text += StrFormat("[W%d]\nCOMMAND=%s\n", i, workspace.window(i).formula.c_str());
  return ReplaceFile(path, text);
}

std::variant<std::vector<std::string>, std::string> ReadWorksheet(
    const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return OpenError(path);
  std::ifstream probe(path);
  if (!probe) return OpenError(path);
  const ProfileFile file(path);
  const int count = file.GetInt("WORKSHEET", "WINDOWS", 0);
  std::vector<std::string> formulas;
  if (count == 0) return formulas;
  if (count < 0 || count > kMaxDspWindows)
    return StrFormat(kWorksheetWindows, path.string().c_str(), count);
  for (int i = 0; i < count; ++i)
    formulas.push_back(file.GetString(StrFormat("W%d", i), "COMMAND", "", kDspFormulaLength + 1));
  return formulas;
}

}  // namespace nuv
