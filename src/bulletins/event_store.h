#pragma once
// The events of the main database (ORIGIN and ARRIVAL), as far as the
// bulletin exports and imports need them: the arrivals of an event, loading
// an event into the current event and saving the current event. A small
// interface, so the phase-list window's own persistence can stand behind it.

#include <memory>
#include <string>
#include <vector>

#include "phases/seismic_phase.h"
#include "workstation/workstation.h"

namespace nuv {

class EventStore {
 public:
  virtual ~EventStore() = default;
  // The ARRIVAL rows of `eventId` as phases; rows whose station, channel or
  // phase type is unknown are skipped. Throws odbc::Error.
  virtual std::vector<SEISMIC_PHASE> LoadArrivals(const std::string& eventId) = 0;
  // Reads origin and phases of `eventId` without touching the current
  // event; false when ORIGIN has no such event. Throws odbc::Error.
  virtual bool ReadEvent(const std::string& eventId, CurrentEvent& event,
                         std::vector<SEISMIC_PHASE>& phases) = 0;
  // Loads phases and origin of `eventId` into the current event; false (and
  // nothing changed) when ORIGIN has no such event. Throws odbc::Error.
  virtual bool LoadEvent(const std::string& eventId) = 0;
  // The identifiers of the events whose origin time or arrivals fall into
  // [from, to] (whole seconds), oldest origin first.
  virtual std::vector<std::string> EventsOfPeriod(double from, double to) = 0;
  // Replaces the ORIGIN and ARRIVAL rows of the current event in one
  // transaction. Throws odbc::Error (the rows then stay as they were).
  virtual void SaveEvent() = 0;
};

// The store over the workstation's main connection.
std::unique_ptr<EventStore> MakeSqlEventStore(Workstation& ws);

}  // namespace nuv
