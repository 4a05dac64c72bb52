#include "archive/wfdisc_format.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <type_traits>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

// Columns of the record (0-based start, width).
struct Column {
  size_t start, width;
};
constexpr Column kSta{0, 6}, kChan{7, 8}, kTime{16, 17}, kWfid{34, 8}, kChanid{43, 8},
    kJdate{52, 8}, kEndtime{61, 17}, kNsamp{79, 8}, kSamprate{88, 11}, kCalib{100, 16},
    kCalper{117, 16}, kInstype{134, 6}, kSegtype{141, 1}, kDatatype{143, 2}, kClip{146, 1},
    kDir{148, 64}, kDfile{213, 32}, kFoff{246, 10}, kCommid{257, 8}, kLddate{266, 17};

// The first whitespace-delimited token of a column.
std::string_view Token(std::string_view line, Column column) {
  std::string_view field = line.substr(column.start, column.width);
  const size_t first = field.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  field.remove_prefix(first);
  return field.substr(0, field.find_first_of(" \t"));
}

// A whole token read by `convert` (strtod, strtof or strtol); false when the
// token is empty, has characters left over, overflows or is not finite.
template <typename Number, typename Convert>
bool ParseNumber(std::string_view token, Number& value, Convert convert) {
  if (token.empty()) return false;
  const std::string text(token);
  char* end = nullptr;
  errno = 0;
  const auto parsed = convert(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno != 0) return false;
  if constexpr (std::is_floating_point_v<decltype(parsed)>)
    if (!std::isfinite(parsed)) return false;
  value = static_cast<Number>(parsed);
  return true;
}

bool ParseDouble(std::string_view token, double& value) {
  return ParseNumber(token, value, [](const char* s, char** e) { return StrToDouble(s, e); });
}
// Rates and calibration values are 32-bit floats in the CSS 3.0 record.
bool ParseFloat(std::string_view token, double& value) {
  return ParseNumber(token, value, [](const char* s, char** e) { return StrToFloat(s, e); });
}
bool ParseLong(std::string_view token, long& value) {
  return ParseNumber(token, value, [](const char* s, char** e) { return std::strtol(s, e, 10); });
}

// "%*.*f" with the given width and decimals; fewer decimals when the number
// is too wide for the column.
std::string FixedColumn(double value, int width, int decimals) {
  for (int d = decimals;; --d) {
    std::string text = StrFormat("%*.*f", width, d, value);
    if (static_cast<int>(text.size()) <= width || d == 0) return text;
  }
}

}  // namespace

std::optional<WfdiscRecord> ParseWfdiscLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.size() != kWfdiscLineLength) return std::nullopt;
  WfdiscRecord r;
  r.sta = Token(line, kSta);
  r.chan = Token(line, kChan);
  r.instype = Token(line, kInstype);
  const std::string_view segtype = Token(line, kSegtype);
  r.segtype = segtype.empty() ? '-' : segtype[0];
  r.datatype = Token(line, kDatatype);
  const std::string_view clip = Token(line, kClip);
  r.clip = clip.empty() ? '-' : clip[0];
  for (char c : line.substr(kDir.start, kDir.width))
    if (c != ' ' && c != '\t') r.dir.push_back(c);
  r.dfile = Token(line, kDfile);
  r.lddate = Token(line, kLddate);
  const bool numbers =
      ParseDouble(Token(line, kTime), r.time) && ParseLong(Token(line, kWfid), r.wfid) &&
      ParseLong(Token(line, kChanid), r.chanid) && ParseLong(Token(line, kJdate), r.jdate) &&
      ParseDouble(Token(line, kEndtime), r.endtime) && ParseLong(Token(line, kNsamp), r.nsamp) &&
      ParseFloat(Token(line, kSamprate), r.samprate) && ParseFloat(Token(line, kCalib), r.calib) &&
      ParseFloat(Token(line, kCalper), r.calper) && ParseLong(Token(line, kFoff), r.foff) &&
      ParseLong(Token(line, kCommid), r.commid);
  if (!numbers || r.sta.empty() || r.chan.empty()) return std::nullopt;
  return r;
}

std::vector<WfdiscRecord> ParseWfdiscText(std::string_view text) {
  std::vector<WfdiscRecord> records;
  while (!text.empty()) {
    const size_t feed = text.find('\n');
    const std::string_view line = text.substr(0, feed);
    if (auto record = ParseWfdiscLine(line)) records.push_back(std::move(*record));
    if (feed == std::string_view::npos) break;
    text.remove_prefix(feed + 1);
  }
  return records;
}

std::string FormatWfdiscLine(const WfdiscRecord& r) {
  std::string line = StrFormat("%-6.6s %-8.8s ", r.sta.c_str(), r.chan.c_str());
  line += FixedColumn(r.time, 17, 5);
  line += StrFormat(" %8ld %8ld %8ld ", r.wfid, r.chanid, r.jdate);
  line += FixedColumn(r.endtime, 17, 5);
  line += StrFormat(" %8ld ", r.nsamp);
  line += FixedColumn(r.samprate, 11, 7);
  line += ' ';
  line += FixedColumn(r.calib, 16, 6);
  line += ' ';
  line += FixedColumn(r.calper, 16, 6);
  line += StrFormat(" %-6.6s %c %-2.2s %c %-64.64s %-32.32s %10ld %8ld %-17.17s\n",
                    r.instype.c_str(), r.segtype, r.datatype.c_str(), r.clip, r.dir.c_str(),
                    r.dfile.c_str(), r.foff, r.commid, r.lddate.c_str());
  if (line.size() != kWfdiscLineLength + 1)
    throw std::length_error("a wfdisc field does not fit its column");
  return line;
}

std::string WfdiscLddate(double t) {
  const CalendarTime c = EpochToCalendar(t);
  return StrFormat("%04d:%03d-%02d:%02d:%02d", c.year, DayOfYear(c.year, c.month, c.day), c.hour,
                   c.minute, static_cast<int>(c.second));
}

std::string WfdiscDataFileName(int number, std::string_view station, std::string_view channel,
                               double start) {
  const CalendarTime c = EpochToCalendar(start);
  const std::string sta(station);
  const std::string chan = ToLowerAscii(channel);
  std::string name =
      StrFormat("%d-%02d%02d%02d%02d%02d%04d-%s-%s.w", number, c.hour, c.minute,
                static_cast<int>(c.second), c.day, c.month, c.year, sta.c_str(), chan.c_str());
  if (name.size() > 32) name.resize(32);
  return name;
}

}  // namespace nuv
