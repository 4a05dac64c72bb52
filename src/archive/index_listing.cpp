#include "archive/index_listing.h"

#include <cmath>

#include "platform/strformat.h"
#include "platform/time_base.h"

namespace nuv {
namespace {

constexpr const char* kFileListRows =
    "select STA, CH, TBEGIN, TQTY, SPS, CPATH, CREATER, FOFF from FILELIST where %s order by "
    "FILELIST.TBEGIN DESC, FILELIST.CH DESC";
constexpr const char* kWfdiscRows =
    "select sta, chan, time, nsamp, samprate, dir, dfile from wfdisc where %s order by TIME DESC, "
    "CHAN DESC";

struct Clock {
  int hours, minutes;
  double seconds;
};

Clock SplitDuration(double seconds) {
  const double whole = std::floor(seconds);
  const long long h = static_cast<long long>(whole) / 3600;
  const long long m = static_cast<long long>(whole) % 3600 / 60;
  return {static_cast<int>(h), static_cast<int>(m),
          seconds - static_cast<double>(h * 3600 + m * 60)};
}

}  // namespace

std::string FileListDialogFilter(bool wfd, const std::string& station,
                                 const std::optional<IndexInterval>& interval,
                                 const std::vector<std::string>* channels) {
  const std::string sta = SqlEscape(station);
  std::string filter;
  if (!interval)
    filter = StrFormat("STA='%s'", sta.c_str());
  else if (wfd)
    filter = StrFormat("sta='%s' and (TIME between %ld and %ld)", sta.c_str(), interval->from,
                       interval->to);
  else
    filter = StrFormat("STA='%s' and (TBEGIN between %ld and %ld)", sta.c_str(), interval->from,
                       interval->to);
  if (channels) {
    filter += " and ( ";
    filter += " 1=0 ";
    for (const std::string& channel : *channels) {
      // wfdisc has no CH column; its channel names are in lower case.
      filter += wfd ? " or CHAN='" + SqlEscape(ToLowerAscii(channel)) + "' "
                    : " or CH='" + SqlEscape(channel) + "' ";
    }
    filter += "  ) ";
  }
  return filter;
}

std::string DiskLoopFilter(const std::string& station,
                           const std::optional<IndexInterval>& interval) {
  const std::string sta = SqlEscape(station);
  if (!interval) return StrFormat("sta='%s'", sta.c_str());
  return StrFormat("sta='%s' and (tbegin between %ld and %ld)", sta.c_str(), interval->from,
                   interval->to);
}

std::vector<IndexRow> ListIndexRows(odbc::Connection& connection, bool wfd,
                                    const std::string& filter) {
  std::vector<IndexRow> rows;
  odbc::Statement statement =
      connection.Query(StrFormat(wfd ? kWfdiscRows : kFileListRows, filter.c_str()));
  while (statement.Fetch()) {
    IndexRow row;
    row.station = statement.GetText(1).value_or("");
    row.channel = statement.GetText(2).value_or("");
    row.begin = statement.GetDouble(3).value_or(0);
    if (wfd) {
      const double nsamp = statement.GetDouble(4).value_or(0);
      row.rate = statement.GetDouble(5).value_or(0);
      row.duration = row.rate > 0 ? nsamp / row.rate : 0;
      const std::string dir = std::string(Trim(statement.GetText(6).value_or("")));
      const std::string dfile = std::string(Trim(statement.GetText(7).value_or("")));
      row.path = dir.empty() ? dfile : dir + "/" + dfile;
    } else {
      row.duration = statement.GetDouble(4).value_or(0);
      row.rate = statement.GetDouble(5).value_or(0);
      row.path = statement.GetText(6).value_or("");
      row.creator = statement.GetText(7).value_or("");
      row.foff = statement.GetInt(8);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// The calendar fields of t in the dialogs' start column (day, month, year,
// hours, minutes, seconds); the two dialogs differ in the seconds' decimals.
std::string StartText(double t, bool fraction) {
  const CalendarTime c = EpochToCalendar(t);
  return fraction ? StrFormat("%02d/%02d/%04d %02d:%02d:%02.3f", c.day, c.month, c.year, c.hour,
                              c.minute, c.second)
                  : StrFormat("%02d/%02d/%04d %02d:%02d:%02.0f", c.day, c.month, c.year, c.hour,
                              c.minute, c.second);
}

std::string FileListStartText(double t) {
  return StartText(t, true);
}

std::string FileListDurationText(double seconds) {
  const Clock clock = SplitDuration(seconds);
  return StrFormat("%02d:%02d:%.4f", clock.hours, clock.minutes, clock.seconds);
}

std::string FileListRateText(double rate) {
  return rate >= 1 ? StrFormat("%3.0f", rate) : StrFormat("%0.3f", rate);
}

std::string DiskLoopStartText(double t) {
  return StartText(t, false);
}

std::string DiskLoopDurationText(double seconds) {
  const Clock clock = SplitDuration(seconds);
  return StrFormat("%02d:%02d:%02.3f", clock.hours, clock.minutes, clock.seconds);
}

std::string DiskLoopRateText(double rate) {
  return StrFormat("%3.3f", rate);
}

}  // namespace nuv
