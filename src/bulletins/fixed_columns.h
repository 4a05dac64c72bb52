#pragma once
// Fixed-column text lines and the field helpers every bulletin writer and
// reader uses. A writer never lets a field run past its room: a value whose
// text does not fit is written as the format's null (blanks, or the null
// value the caller gives), so the columns after it never shift. Readers cut
// fields at columns and convert them with the decimal point whatever the
// locale.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

class ColumnLine {
 public:
  explicit ColumnLine(size_t width) : text_(width, ' ') {}

  // Copies `text` from 1-based `column` into at most `room` characters; text
  // longer than the room is cut (labels and names).
  void Put(int column, std::string_view text, int room);
  // Copies `text` when it fits into `room`, else leaves the field blank
  // (numbers: a cut number would be a wrong number).
  void PutFitting(int column, std::string_view text, int room);
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

// printf of one value; "" when the result is wider than `room`.
std::string FitNumber(const char* format, double value, int room);
std::string FitInteger(const char* format, long long value, int room);
// `value` when "%<room>.<precision>f" of it fits into `room`, else `null`.
double FitOrNull(double value, int room, int precision, double null);
long long FitOrNull(long long value, int room, long long null);

// Characters `first`..`last` (1-based, inclusive) of `line`, shorter or
// empty when the line ends before.
std::string_view Columns(std::string_view line, int first, int last);
// True when the text holds only blanks, tabs, CR or LF.
bool IsBlankField(std::string_view text);
// The number at the start of the field (after blanks); nullopt when the
// field is blank or does not start with a number.
std::optional<double> ReadNumber(std::string_view field);
std::optional<int> ReadInteger(std::string_view field);
// The first blank-delimited word of the field ("" when blank).
std::string FirstWord(std::string_view field);
// Splits a line at blanks and tabs.
std::vector<std::string> SplitWords(std::string_view line);

// Lines of a text without their line ends (LF, CR LF or a lone CR at the end).
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  // Starts at byte `offset`, counting lines from `firstLine` (the number the
  // line at `offset` gets).
  LineReader(std::string_view text, size_t offset, int firstLine)
      : text_(text), pos_(offset), number_(firstLine - 1) {}
  // False at the end of the text.
  bool Next(std::string_view& line);
  // 1-based number of the line last returned.
  int number() const { return number_; }
  // Byte offset of the line last returned.
  size_t lineStart() const { return lineStart_; }

 private:
  std::string_view text_;
  size_t pos_ = 0;
  int number_ = 0;
  size_t lineStart_ = 0;
};

// The whole file as bytes; nullopt when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace nuv
