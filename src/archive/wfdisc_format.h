#pragma once
// The CSS 3.0 wfdisc text line: one record per line, 283 characters and a
// line feed, fields in fixed columns.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

inline constexpr size_t kWfdiscLineLength = 283;  // without the line feed

struct WfdiscRecord {
  std::string sta;
  std::string chan;
  double time = 0;
  long wfid = -1;
  long chanid = -1;
  long jdate = -1;
  double endtime = 0;
  long nsamp = 0;
  double samprate = 0;  // read as a 32-bit float
  double calib = 0;     // read as a 32-bit float
  double calper = 0;    // read as a 32-bit float
  std::string instype = "-";
  char segtype = '-';
  std::string datatype;
  char clip = '-';
  std::string dir;  // blanks removed
  std::string dfile;
  long foff = 0;
  long commid = -1;
  std::string lddate = "-";
};

// Parses one line (without its line feed; a carriage return before it is
// dropped first). Nothing for a line that is not exactly 283 characters or
// whose numeric fields do not hold numbers.
std::optional<WfdiscRecord> ParseWfdiscLine(std::string_view line);

// Every record of a wfdisc text, in order; other lines are skipped. A last
// line without a line feed counts as a line.
std::vector<WfdiscRecord> ParseWfdiscText(std::string_view text);

// The line as written, line feed included: the C format
// "%-6.6s %-8.8s %17.5lf %8ld %8ld %8ld %17.5lf %8ld %11.7f %16.6f %16.6f %-6.6s %c %-2.2s %c
// %-64.64s %-32.32s %10ld %8ld %-17.17s\n". A number too wide for its column
// is written with fewer decimals so the line keeps its columns; throws
// std::length_error when even that cannot make it fit.
std::string FormatWfdiscLine(const WfdiscRecord& record);

// "%04d:%03d-%02d:%02d:%02d": year, day of year, hours, minutes, whole seconds.
std::string WfdiscLddate(double t);

// The data file of block `number` of a save:
// "%d-%02d%02d%02d%02d%02d%04d-%s-%s.w" (number, hh mm ss dd mm yyyy of the
// block start, station, lower-case channel), cut to the 32 characters the
// dfile column holds so that the line names the very file written.
std::string WfdiscDataFileName(int number, std::string_view station, std::string_view channel,
                               double start);

}  // namespace nuv
