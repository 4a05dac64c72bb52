#include "waveview/archive_file_list.h"

#include "archive/time_base.h"
#include "platform/strformat.h"

namespace nuv {

std::string ArchiveFileRow::StartText() const {
  const CalendarTime c = EpochToCalendar(start);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02.3f", c.day, c.month, c.year, c.hour, c.minute,
                   c.second);
}

std::string ArchiveFileRow::DurationText() const {
  const long whole = static_cast<long>(duration);
  const int hours = static_cast<int>(whole / 3600);
  const int minutes = static_cast<int>((whole % 3600) / 60);
  const double seconds = duration - static_cast<double>(hours) * 3600 - minutes * 60.0;
  return StrFormat("%02d:%02d:%.4f", hours, minutes, seconds);
}

std::string ArchiveFileRow::RateText() const {
  return rate >= 1 ? StrFormat("%3.0f", rate) : StrFormat("%0.3f", rate);
}

std::string ArchiveFileListWhere(const ArchiveFileListFilter& f) {
  const std::string sta = SqlEscape(f.station);
  std::string where;
  if (f.wfdisc) {
    where = f.allFiles
                ? StrFormat("sta='%s'", sta.c_str())
                : StrFormat("sta='%s' and (TIME between %ld and %ld)", sta.c_str(), f.from, f.to);
  } else {
    where = f.allFiles
                ? StrFormat("STA='%s'", sta.c_str())
                : StrFormat("STA='%s' and (TBEGIN between %ld and %ld)", sta.c_str(), f.from, f.to);
  }
  if (!f.channels.empty()) {
    where += " and ( ";
    where += " 1=0 ";
    for (const std::string& ch : f.channels) {
      // The wfdisc table names the column chan and keeps names in lower case.
      where += f.wfdisc ? " or chan='" + SqlEscape(ToLowerAscii(ch)) + "' "
                        : " or CH='" + SqlEscape(ch) + "' ";
    }
    where += "  ) ";
  }
  return where;
}

std::string ArchiveFileListSql(const ArchiveFileListFilter& f) {
  if (f.wfdisc)
    return "select time, nsamp, samprate, chan, dir, dfile from wfdisc where " +
           ArchiveFileListWhere(f) + " order by TIME DESC, CHAN DESC";
  return "select TBEGIN, TQTY, SPS, CH, CPATH, CREATER from FILELIST where " +
         ArchiveFileListWhere(f) + " order by FILELIST.TBEGIN DESC, FILELIST.CH DESC";
}

std::vector<ArchiveFileRow> ListArchiveFiles(odbc::Connection& connection,
                                             const ArchiveFileListFilter& f) {
  std::vector<ArchiveFileRow> rows;
  odbc::Statement st = connection.Query(ArchiveFileListSql(f));
  while (st.Fetch()) {
    ArchiveFileRow row;
    row.start = st.GetDouble(1).value_or(0);
    if (f.wfdisc) {
      const double nsamp = st.GetDouble(2).value_or(0);
      row.rate = st.GetDouble(3).value_or(0);
      row.duration = row.rate > 0 ? nsamp / row.rate : 0;
      row.channel = st.GetText(4).value_or("");
      row.path = st.GetText(5).value_or("") + "/" + st.GetText(6).value_or("");
    } else {
      row.duration = st.GetDouble(2).value_or(0);
      row.rate = st.GetDouble(3).value_or(0);
      row.channel = st.GetText(4).value_or("");
      row.path = st.GetText(5).value_or("");
      row.creator = st.GetText(6).value_or("");
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace nuv
