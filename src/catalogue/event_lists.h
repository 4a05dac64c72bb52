#pragma once
// The lists of stored events the analyst picks from: the processed events of
// the main database whose phases fall into a time range, and the origins of
// the secondary (CSS 3.0) database, plain and from the automatic location.
// Every cell is already the text the list shows ("" for a NULL value).

#include <string>
#include <vector>

#include "workstation/workstation.h"

namespace nuv {

struct ProcessedEventRow {
  std::string eventId, orid, comment, lat, lon, originTime, depth, lddate;
};

// The statement for a dialect of the main database (0 and 1 share one form,
// 2 Oracle, 3 MySQL; every other dialect uses the first form).
std::string ProcessedEventsQuery(int dialect, const std::string& commentColumn, long from, long to);
// Events whose arrivals fall into [from, to] (whole seconds), latest arrival
// first; rows whose comment or identifier is NULL are left out. Throws
// odbc::Error with the driver's text.
std::vector<ProcessedEventRow> ReadProcessedEvents(Workstation& ws, double from, double to);

// The ranges of the window's two commands: the current UTC day (week) from
// its start to one day (week) after `now`.
struct TimeRange {
  double from = 0, to = 0;
};
TimeRange LastDayRange(double now);
TimeRange LastWeekRange(double now);

// The row of the processed-events list to select: the one whose identifier
// equals `eventId` without regard to case and trailing blanks; -1 for none
// (also when `eventId` is blank).
int RowOfEvent(const std::vector<ProcessedEventRow>& rows, const std::string& eventId);

// "Загружать все" / "Загружать последние" with its count (1..1000), kept in
// NUV.ini [SelectOridGroup].
struct OriginChoice {
  bool loadAll = true;
  int maxEvents = 20;
};
OriginChoice ReadOriginChoice(ProfileFile& ini);
void WriteOriginChoice(ProfileFile& ini, const OriginChoice& choice);

// One row of the secondary database's origin chooser.
struct CssOriginRow {
  std::string orid, comment, lat, lon, time, depth, lddate;
};
// ORIGIN of the secondary database, newest change first; at most
// `maxEvents` rows unless `loadAll`. Throws odbc::Error.
std::vector<CssOriginRow> ReadCssOrigins(Workstation& ws, const OriginChoice& choice);

// One row of the automatic-location chooser.
struct AlertOriginRow {
  std::string orid, nass, lat, lon, time, depth, mb, lddate;
};
// The statement for a dialect of the secondary database; `count` <= 0 for
// every row. PostgreSQL and SQLite know no "top", so they take "limit".
std::string AlertOriginsQuery(int dialect, int count);
// ORIGIN_ALERT, latest origin first; rows whose orid or nass is NULL are
// left out. Throws odbc::Error.
std::vector<AlertOriginRow> ReadAlertOrigins(Workstation& ws, const OriginChoice& choice);

// The dialect of the secondary database, from its DBMS name.
int SecondaryDialect(Workstation& ws);

// "%02d/%02d/%04d %02d:%02d:%02.0f" (day first) of an epoch time.
std::string ListDateText(double t);
// A timestamp as the driver returns it ("2024-03-15 10:20:30[.fff]") as
// "dd/mm/yyyy HH:MM:SS", or with `timeFirst` as "HH:MM:SS dd/mm/yyyy";
// texts that are not such a timestamp stay as they are.
std::string StampText(const std::string& stamp, bool timeFirst = false);

}  // namespace nuv
