#pragma once
// Detections of the automatic processing offered as new phases: rows of the
// secondary database's ALERT table and of the main database's EVENTLIST,
// each with its travel-time residual against the current origin, checked
// when it fits, and added to the phase list on request.

#include <string>
#include <vector>

#include "workstation/workstation.h"

namespace nuv {

inline constexpr double kNoResidual = -99999;

struct ImportRow {
  std::string station, phase;
  double time = 0;          // epoch seconds
  double amp = 0, per = 0;  // 0 when absent
  double residual = kNoResidual;
  bool checked = false;
};

// The time fields when the dialog opens: an hour from the valid origin,
// else half an hour around the earliest phase, else the last hour.
struct ImportWindow {
  double from = 0, to = 0;
};
ImportWindow DefaultImportWindow(Workstation& ws, double now);

// time − (origin time + travel time of `phase` at the origin's depth and the
// station's distance); -1 without a valid origin; kNoResidual for an unknown
// station or a phase name (compared without case) without a travel-time table.
double ImportResidual(Workstation& ws, const std::string& station, const std::string& phase,
                      double time);

// Residual of a row, "N" detections decided between P and PKiKP: ALERT rows
// (`eventList` false) keep PKiKP on equal residuals, EVENTLIST rows take P.
// Sets `residual`, `phase` and `checked`.
void ClassifyImportRow(Workstation& ws, ImportRow& row, bool eventList);

// Whether the list shows the residual ([-60, 60]).
bool ResidualShown(double residual);
// "%02d.%02d.%04d %02d:%02d:%02d" (day first) of a row's time.
std::string ImportTimeText(double time);

// ALERT rows of the secondary database in [from, to], latest first. Throws
// odbc::Error.
std::vector<ImportRow> ReadAlertArrivals(Workstation& ws, double from, double to);
// EVENTLIST detections of the main database in [from, to) as "N" rows.
// Throws odbc::Error.
std::vector<ImportRow> ReadEventListDetections(Workstation& ws, double from, double to);

// Adds one phase per checked row whose station (exact code), channel (first
// named slot of 0..14) and phase type (exact name) exist; the others add
// nothing. Returns the number added.
int AddImportedPhases(Workstation& ws, const std::vector<ImportRow>& rows);

// Sorts as a click on column 0 (station), 1 (phase) or 2 (time) does; other
// columns sort by residual.
void SortImportRows(std::vector<ImportRow>& rows, int column);

}  // namespace nuv
