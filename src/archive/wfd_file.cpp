#include "archive/wfd_file.h"

#include <cmath>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

// Hours, minutes and whole seconds of a calendar time.
struct ClockFields {
  int hour, minute, second;
};

ClockFields ClockOf(const CalendarTime& c) {
  return {c.hour, c.minute, static_cast<int>(c.second)};
}

}  // namespace

std::string BuildWfdHeader(std::string_view station, std::string_view channel, double start,
                           double duration, double rate) {
  const CalendarTime c = EpochToCalendar(start);
  const ClockFields clock = ClockOf(c);
  // Taken modulo one day before any conversion to an integer: a duration
  // from a damaged rate (a wfdisc samprate of 1e-30) exceeds every integer.
  double ofDaySeconds = std::isfinite(duration) ? std::fmod(std::trunc(duration), 86400.0) : 0;
  if (ofDaySeconds < 0) ofDaySeconds += 86400;
  const long long ofDay = static_cast<long long>(ofDaySeconds);
  std::string header = "[NUV4.0]\r\n";
  header += "Data offset=512\r\n";
  header += StrFormat("Start time=%02d %02d %02d\r\n", clock.hour, clock.minute, clock.second);
  header += StrFormat("Start date=%02d %02d %04d\r\n", c.day, c.month, c.year);
  header += StrFormat("Time duration=%02d %02d %02d\r\n", static_cast<int>(ofDay / 3600),
                      static_cast<int>(ofDay % 3600 / 60), static_cast<int>(ofDay % 60));
  header += "Data Type=FLOAT\r\n";
  header += StrFormat("SpS=%f\r\n", rate);
  header += "Station=" + std::string(station) + "\r\n";
  header += "Channels=\"" + std::string(channel) + "\"\r\n";
  // Station and channel are short codes; a header that would still overrun
  // its 512 bytes is cut so the samples stay at their offset.
  header.resize(kWfdHeaderSize, '\0');
  return header;
}

std::string WfdFileName(std::string_view station, std::string_view channel, double start) {
  const CalendarTime c = EpochToCalendar(start);
  const ClockFields clock = ClockOf(c);
  return StrFormat("%.*s/%02d%02d%02d-%02d%02d%04d.%.*s", static_cast<int>(station.size()),
                   station.data(), clock.hour, clock.minute, clock.second, c.day, c.month, c.year,
                   static_cast<int>(channel.size()), channel.data());
}

}  // namespace nuv
