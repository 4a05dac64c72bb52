#pragma once
// A database with two stations (AAA: BHZ, BHN; BBB: SHZ), a phase-type
// table where P and S have travel-time tables and Pn and Unk do not, and
// helpers that make phases and read rows back.

#include <string>

#include "phases/event_context.h"
#include "phases/seismic_phase.h"
#include "support/test_database.h"

namespace nuv::test {

class EventTest : public DatabaseTest {
 protected:
  // Stations and phase types; call before anything else.
  Workstation& Ready(const std::vector<std::string>& extraArgs = {});
  EventContext Context() { return EventContextOf(workstation()); }

  // A phase on station `sta` (0 AAA, 1 BBB), channel `chan`, type `type`
  // (0 P, 1 S, 2 Pn, 3 Unk) at `time`.
  static SEISMIC_PHASE Phase(int sta, int chan, int type, double time);
  // Adds a fully filled phase (every optional value present) and a bare one.
  void AddRichAndBarePhases();

  // The number of rows `sql` counts (a "select count(*) ..." text).
  int Count(const std::string& sql);
  int CountCss(const std::string& sql);
};

// The same with a CSS 3.0 database as well.
class CssEventTest : public EventTest {
 protected:
  TestDatabaseOptions DatabaseOptions() const override {
    TestDatabaseOptions options;
    options.css = true;
    return options;
  }
};

}  // namespace nuv::test
