#pragma once
// A main and a secondary database with two stations (KUR at the origin's
// latitude, 10 degrees east; ARU without a channel in slots 0..14), the
// phase types P (15 s per degree), PKiKP (1000 s everywhere), S and N
// (no tables), and helpers that put events and detections into them.

#include <string>

#include "platform/strformat.h"
#include "support/test_database.h"
#include "traveltime/travel_time.h"

namespace nuv::test {

class CatalogueTest : public DatabaseTest {
 protected:
  TestDatabaseOptions DatabaseOptions() const override { return {.css = true}; }

  Workstation& Prepared() {
    db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('KUR', 0, 10, 1, 6)");
    db().Exec("insert into SITE (STA, LAT, LON, ELEV, NGROUPS) values ('ARU', 0, 20, 1, 6)");
    db().Exec(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS) values ('KUR', 'SHZ', 1, 0, "
        "20)");
    db().Exec(
        "insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS) values ('ARU', 'BHZ', 6, 0, "
        "20)");
    Workstation& ws = workstation();
    std::vector<PhaseTypeTable::Entry> entries(4);
    const char* names[] = {"P", "PKiKP", "S", "N"};
    for (size_t i = 0; i < entries.size(); ++i) entries[i].name = names[i];
    Table(entries[0], 15, 0);
    Table(entries[1], 0, 1000);
    ws.phaseTypes().SetEntries(std::move(entries));
    return ws;
  }
  // T = slope * distance + offset on 0..30 degrees, depths 0 and 100 km.
  static void Table(PhaseTypeTable::Entry& e, float slope, float offset) {
    e.ttFile = e.name;
    PHASEDATA& d = e.data;
    d.distances = {0, 10, 20, 30};
    d.depths = {0, 100};
    for (int row = 0; row < 2; ++row)
      for (float x : d.distances) d.T.push_back(slope * x + offset);
    d.nx = 4, d.nd = 2, d.hasTravelTimes = 1;
    BuildSecondDerivatives(d);
  }
  // The origin at (0, 0), depth 0, at `time`.
  static void Origin(Workstation& ws, double time) {
    ws.event().originValid = 1;
    ws.event().originLat = 0, ws.event().originLon = 0, ws.event().originDepth = 0;
    ws.event().originTime = time;
  }
  void MainEvent(const char* id, const char* comment, const char* lat, double time,
                 double arrival) {
    db().Exec(StrFormat(
        "insert into ORIGIN (EVENTID, ORID, LAT, LON, DEPTH, ORIGINTIME, COMMENTS, LDDATE) values "
        "('%s', 7, %s, 74.25, 10, %.3f, %s, '2024-03-15 10:20:30')",
        id, lat, time, comment ? ("'" + SqlEscape(comment) + "'").c_str() : "NULL"));
    db().Exec(StrFormat(
        "insert into ARRIVAL (EVENTID, STA, CHAN, IPHASE, ITIME) values ('%s', 'KUR', 'SHZ', "
        "'P', %.3f)",
        id, arrival));
  }
  void CssOrigin(const char* table, long orid, const char* nass, const char* mb, double time) {
    db().ExecCss(StrFormat(
        "insert into %s (orid, lat, lon, depth, time, nass, mb, lddate) values (%ld, 1.5, 2.5, "
        "33, %.3f, %s, %s, '2024-03-15 10:20:30')",
        table, orid, time, nass, mb));
  }
};

}  // namespace nuv::test
