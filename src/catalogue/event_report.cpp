#include "catalogue/event_report.h"

#include <cmath>
#include <fstream>

#include "bulletins/bulletin_time.h"
#include "db/dialect.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"

namespace nuv {
namespace {

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string OrNbsp(const std::string& text) {
  return text.empty() ? "&nbsp;" : Escape(text);
}

std::string Fixed3(const std::optional<double>& v) {
  return v ? StrFormat("%.3f", *v) : "";
}

std::string DateText(const std::optional<double>& t) {
  if (!t) return "";
  const BulletinTime b = SplitBulletinTime(*t, 1, true);
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02.0f", b.day, b.month, b.year, b.hour, b.minute,
                   static_cast<double>(b.second));
}

std::string ClockText(double t) {
  const BulletinTime b = SplitBulletinTime(t, 100, false);
  return StrFormat("%02d:%02d:%02d.%02d", b.hour, b.minute, b.second, b.fraction);
}

std::vector<ReportArrival> ReadArrivals(Workstation& ws, const std::string& eventId) {
  std::vector<ReportArrival> rows;
  odbc::Statement st = ws.databases().main().Query(StrFormat(
      "select STA, CHAN, AFILTYPE, RESIDUALS, FM, IM_EM, IPHASE, DIST, AZIMUTH, ITIME, AMPTIME, "
      "AMPL, PER, MS, MB, MPLP, MPSP, REGCLASS, ML, REMARK from ARRIVAL where eventid='%s' order "
      "by itime, chan",
      SqlEscape(eventId).c_str()));
  while (st.Fetch()) {
    ReportArrival a;
    a.sta = std::string(Trim(st.GetText(1).value_or("")));
    a.chan = std::string(Trim(st.GetText(2).value_or("")));
    a.filter = std::string(Trim(st.GetText(3).value_or("")));
    if (a.filter.empty()) a.filter = "-";
    if (const auto r = st.GetDouble(4)) a.residual = StrFormat("% 3.01f", *r);
    a.fm = st.GetText(5).value_or("");
    a.qual = st.GetText(6).value_or("");
    a.phase = std::string(Trim(st.GetText(7).value_or("")));
    const auto dist = st.GetDouble(8), az = st.GetDouble(9);
    a.delta = dist ? StrFormat("%.1f", *dist) : "-";
    a.azimuth = az ? StrFormat("%.1f", *az) : "-";
    if (const auto t = st.GetDouble(10)) a.time = ClockText(*t);
    const auto ampTime = st.GetDouble(11);
    a.ampTime = ampTime ? ClockText(*ampTime) : " ";
    const auto amp = st.GetDouble(12), per = st.GetDouble(13);
    if (amp && per) {
      a.amp = StrFormat("%.3f", *amp);
      a.per = StrFormat("%.2f", *per);
    }
    a.magName = a.magValue = "&nbsp;";
    const char* names[] = {"Ms", "Mb", "MPLP", "MPSP", "K", "Ml"};
    for (int i = 0; i < 6; ++i)
      if (const auto m = st.GetDouble(14 + i)) {
        a.magName = names[i];
        a.magValue = StrFormat("%.1f", *m);
      }
    a.remark = st.GetText(20).value_or("");
    rows.push_back(std::move(a));
  }
  return rows;
}

void AppendPhases(std::string& out, const std::vector<ReportArrival>& arrivals) {
  out +=
      "<tr><td NOWRAP colspan=6><table border=0 cellspacing=0 cellpadding=0>"
      "<tr><td>&nbsp;sta&nbsp;</td><td  bgcolor=#c0c0c0>&nbsp;chan&nbsp;</td><td "
      "NOWRAP>&nbsp;фильтр&nbsp;</td><td  "
      "bgcolor=#c0c0c0>&nbsp;невязка&nbsp;</td><td>&nbsp;fm&nbsp;"
      "</td><td  bgcolor=#c0c0c0>&nbsp;qual&nbsp;</td><td>&nbsp;phase&nbsp;</td><td "
      "bgcolor=#c0c0c0>&nbsp;delta&nbsp;</td><td>&nbsp;Az&nbsp;</td><td "
      "bgcolor=#c0c0c0>&nbsp;time&nbsp;</td><td>&nbsp;time max&nbsp;</td><td "
      "bgcolor=#c0c0c0>&nbsp;amp&nbsp;</td><td>&nbsp;per&nbsp;</td><td "
      "bgcolor=#c0c0c0>&nbsp;M&nbsp;</td><td>&nbsp;comm&nbsp;</td></tr>";
  for (const ReportArrival& a : arrivals) {
    out += StrFormat(
        "<tr><td bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td NOWRAP>&nbsp;%s&nbsp;</td><td NOWRAP "
        "bgcolor=#b0b0b0>&nbsp;%s&nbsp;</td><td NOWRAP>&nbsp;%s&nbsp;</td><td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td >&nbsp;%s&nbsp;</td><td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td>&nbsp;%s&nbsp;</td><td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td>&nbsp;%s&nbsp;</td><td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td>&nbsp;%s&nbsp;</td><td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td><td>&nbsp;%s&nbsp;%s&nbsp;</td><td td "
        "bgcolor=#c0c0c0>&nbsp;%s&nbsp;</td></tr>",
        Escape(a.sta).c_str(), Escape(a.chan).c_str(), Escape(a.filter).c_str(),
        Escape(a.residual).c_str(), Escape(a.fm).c_str(), Escape(a.qual).c_str(),
        Escape(a.phase).c_str(), a.delta.c_str(), a.azimuth.c_str(), a.time.c_str(),
        a.ampTime.c_str(), a.amp.c_str(), a.per.c_str(), a.magName.c_str(), a.magValue.c_str(),
        Escape(a.remark).c_str());
  }
  out += "</table></td></tr>";
}

}  // namespace

std::string ReportQuery(int dialect, const std::string& c, long from, long to, bool ascending) {
  const char* order = ascending ? " asc " : " desc ";
  if (dialect == kDialectOracle)
    return StrFormat(
        "Select %s as ORREMARK, ORIGIN.EVENTID as EVENTID, ORIGIN.LON as LON,ORIGIN.LAT as LAT, "
        "ORIGIN.DEPTH as DEPTH, ORIGIN.ORIGINTIME as ORIGINTIME, min(ARRIVAL.ITIME)  as itime FROM "
        "ORIGIN,ARRIVAL where ORIGIN.EVENTID = ARRIVAL.EVENTID and ((ARRIVAL.ITIME >= %ld and "
        "ARRIVAL.ITIME <=%ld) or (ORIGIN.ORIGINTIME >= %ld and ORIGIN.ORIGINTIME <= %ld)) group "
        "by %s, ORIGIN.EVENTID, ORIGIN.LON, ORIGIN.LAT, ORIGIN.DEPTH, ORIGIN.ORIGINTIME order by "
        "min(ARRIVAL.ITIME) %s",
        c.c_str(), from, to, from, to, c.c_str(), order);
  const std::string orderBy = dialect == kDialectMySql
                                  ? StrFormat("order by ITIME %s", order)
                                  : StrFormat("order by min(ARRIVAL.ITIME) %s", order);
  return StrFormat(
      "Select %s as ORREMARK, ORIGIN.EVENTID as EVENTID, ORIGIN.LON as LON,ORIGIN.LAT as LAT, "
      "ORIGIN.DEPTH as DEPTH, ORIGIN.ORIGINTIME as ORIGINTIME, min(ARRIVAL.ITIME)  as itime  FROM "
      "ORIGIN  LEFT  JOIN ARRIVAL  ON ARRIVAL.EVENTID = ORIGIN.EVENTID WHERE ((ARRIVAL.ITIME >= "
      "%ld and ARRIVAL.ITIME <=%ld) or (ORIGIN.ORIGINTIME >= %ld and ORIGIN.ORIGINTIME <= %ld)) "
      "group by %s, ORIGIN.EVENTID, ORIGIN.LON, ORIGIN.LAT, ORIGIN.DEPTH, ORIGIN.ORIGINTIME %s",
      c.c_str(), from, to, from, to, c.c_str(), orderBy.c_str());
}

std::vector<ReportRecord> ReadReportRecords(Workstation& ws, const ReportOptions& options) {
  // The report recognises the dialect itself, without PostgreSQL and SQLite.
  const int dialect = ws.databases().dialect();
  const int own = dialect <= kDialectMySql ? dialect : 0;
  const std::string column = std::string("ORIGIN.") + ws.databases().CommentColumn();
  odbc::Statement st =
      ws.databases().main().Query(ReportQuery(own, column, static_cast<long>(options.from),
                                              static_cast<long>(options.to), options.ascending));
  std::vector<ReportRecord> records;
  while (st.Fetch()) {
    const auto comment = st.GetText(1), id = st.GetText(2);
    if (!comment || !id) continue;
    ReportRecord r;
    r.comment = *comment;
    r.eventId = std::string(Trim(*id));
    r.lon = Fixed3(st.GetDouble(3));
    r.lat = Fixed3(st.GetDouble(4));
    r.depth = Fixed3(st.GetDouble(5));
    r.time = DateText(st.GetDouble(6));
    records.push_back(std::move(r));
  }
  if (options.withPhases)
    for (ReportRecord& r : records) r.arrivals = ReadArrivals(ws, r.eventId);
  return records;
}

std::string FormatEventReport(const std::vector<ReportRecord>& records,
                              const ReportOptions& options) {
  std::string out = StrFormat(
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
      "charset=windows-1251\"><title><b>Отчет %s - %s</b></title></head>",
      Escape(options.fromText).c_str(), Escape(options.toText).c_str());
  out +=
      "<table FRAME=0 border=1 cellspacing=0 cellpadding=2><tr><td><b>Индекс</b></td><td><b>Время "
      "в очаге</b></td><td><b>Широта</b></td><td><b>Долгота</b></td><td><b>Глубина</b></"
      "td><td><b>Комментарий</b></td></tr>";
  for (const ReportRecord& r : records) {
    out += StrFormat(
        "<tr><td>%s</td><td nowrap>%s</td><td>%s</td><td>%s</td><td>%s</td><td>%s</td></tr>",
        OrNbsp(r.eventId).c_str(), OrNbsp(r.time).c_str(), OrNbsp(r.lat).c_str(),
        OrNbsp(r.lon).c_str(), OrNbsp(r.depth).c_str(), Escape(r.comment).c_str());
    if (options.withPhases) AppendPhases(out, r.arrivals);
  }
  out += "</table></html>";
  return out;
}

bool WriteEventReport(const std::string& path, const std::string& html) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << Utf8ToCp1251(html);
  return static_cast<bool>(out);
}

}  // namespace nuv
