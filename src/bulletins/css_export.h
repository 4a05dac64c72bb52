#pragma once
// CSS 3.0 bulletin files: the current event, and every event of the main
// database within a time window.

#include <string>

#include "bulletins/bulletin_source.h"
#include "bulletins/event_store.h"

namespace nuv {

struct CssExportResult {
  bool ok = false;
  std::string message;  // the system's text, on failure and on success
  int events = 0, arrivals = 0;
  std::vector<std::string> files;
};

// "<dir>/<orid>.Origin", ".Arrival", ".Assoc", ".Stamag", ".Amplitude"; an
// orid below 1 is written as 1.
CssExportResult ExportCurrentEvent(const BulletinSource& source, const std::string& dir, long orid,
                                   double now);
// The same files named "<prefix>.Origin" ... .
CssExportResult ExportCurrentEventAs(const BulletinSource& source, const std::string& prefix,
                                     long orid, double now);

// Files "<dir>/<from>-<to>.origin" ... of the events whose origin or
// arrivals fall into [from, to]; arrival ids count on across events.
CssExportResult ExportFromDatabase(Workstation& ws, EventStore& store, const std::string& dir,
                                   double from, double to, double now);

// `dir` followed by "/" when it does not end with one.
std::string WithSlash(const std::string& dir);

}  // namespace nuv
