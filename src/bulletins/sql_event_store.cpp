// The bulletins' view of the main database goes through the phase list's
// own persistence, so both store and find an event under the same padded
// identifier and write the same rows.

#include "bulletins/event_store.h"
#include "phases/event_store.h"
#include "platform/odbc.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

class SqlEventStore : public EventStore {
 public:
  explicit SqlEventStore(Workstation& ws) : ws_(ws) {}

  std::vector<SEISMIC_PHASE> LoadArrivals(const std::string& eventId) override {
    EventContext c = EventContextOf(ws_);
    return ReadStoredArrivals(c, eventId);
  }

  bool ReadEvent(const std::string& eventId, CurrentEvent& e,
                 std::vector<SEISMIC_PHASE>& phases) override {
    EventContext c = EventContextOf(ws_);
    return ReadStoredEvent(c, eventId, e, phases);
  }

  bool LoadEvent(const std::string& eventId) override {
    EventContext c = EventContextOf(ws_);
    if (!EventExists(c, eventId)) return false;
    // A database error is shown by the load and leaves the list as it was.
    return nuv::LoadEvent(c, eventId);
  }

  std::vector<std::string> EventsOfPeriod(double from, double to) override {
    const long f = static_cast<long>(from), t = static_cast<long>(to);
    odbc::Statement st = ws_.databases().main().Query(StrFormat(
        "select ORIGIN.EVENTID, min(ORIGIN.ORIGINTIME) from ORIGIN left join ARRIVAL on "
        "ARRIVAL.EVENTID = ORIGIN.EVENTID where (ARRIVAL.ITIME >= %ld and ARRIVAL.ITIME <= %ld) "
        "or (ORIGIN.ORIGINTIME >= %ld and ORIGIN.ORIGINTIME <= %ld) group by ORIGIN.EVENTID "
        "order by min(ORIGIN.ORIGINTIME)",
        f, t, f, t));
    std::vector<std::string> ids;
    while (st.Fetch())
      if (const auto id = st.GetText(1)) ids.emplace_back(Trim(*id));
    return ids;
  }

  void SaveEvent() override {
    CurrentEvent& e = ws_.event();
    e.eventId = PadEventId(e.eventId);
    EventContext c = EventContextOf(ws_);
    const SaveOutcome outcome = nuv::SaveEvent(c);
    if (!outcome.saved) throw odbc::Error(outcome.error);
  }

 private:
  Workstation& ws_;
};

}  // namespace

std::unique_ptr<EventStore> MakeSqlEventStore(Workstation& ws) {
  return std::make_unique<SqlEventStore>(ws);
}

}  // namespace nuv
