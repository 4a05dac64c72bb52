#pragma once
// The HTML report of the events of a period: one table row per event of the
// main database whose arrivals or origin time fall into the period, each
// optionally followed by the table of its arrivals.

#include <optional>
#include <string>
#include <vector>

#include "workstation/workstation.h"

namespace nuv {

// One arrival row of the report, every cell already as text.
struct ReportArrival {
  std::string sta, chan, filter, residual, fm, qual, phase, delta, azimuth, time, ampTime, amp, per,
      magName, magValue, remark;
};

struct ReportRecord {
  std::string lat, lon, time, depth, eventId, comment;
  std::vector<ReportArrival> arrivals;
};

struct ReportOptions {
  double from = 0, to = 0;       // epoch seconds, used as whole seconds
  std::string fromText, toText;  // the fields as typed, shown in the title
  bool withPhases = false;       // "Выводить списки фаз"
  bool ascending = false;        // "Сортировать по возрастанию"
};

// Reads the events (and with `withPhases` their arrivals) from the main
// database. Throws odbc::Error with the driver's text.
std::vector<ReportRecord> ReadReportRecords(Workstation& ws, const ReportOptions& options);

// The report as UTF-8 HTML; every database text is escaped.
std::string FormatEventReport(const std::vector<ReportRecord>& records,
                              const ReportOptions& options);

// Writes the report as bytes in code page 1251 (what its header declares).
bool WriteEventReport(const std::string& path, const std::string& html);

// The statement of the report for a dialect (0, 1, 2, 3; others use 0).
std::string ReportQuery(int dialect, const std::string& commentColumn, long from, long to,
                        bool ascending);

}  // namespace nuv
