#pragma once
// What the location shows and stores: the texts of the result dialog
// "Параметры гипоцентра", the acceptance of a result as the current origin,
// and the update of the event's ORIGIN row ("Запомнить в БД").

#include <string>
#include <vector>

#include "phases/current_event.h"

namespace nuv {

class CArrivalList;
class Databases;
class NUVPhases;
class PhaseTypeTable;
class StationTable;

// "%d/%d/%d - %d:%d:%.2f": day, month, year, hour, minute, seconds.
std::string OriginTimeText(double t);
// "%s%s %1c%02d:%02d:%.2f": station code, phase name, the sign of the
// residual, and its absolute value split into hours, minutes and seconds.
std::string ResidualLine(const std::string& station, const std::string& phase, double residual);
// One line per observation of a located list.
std::vector<std::string> ResidualLines(const CArrivalList& list, const StationTable& stations,
                                       const PhaseTypeTable& types);

// The values the dialog shows and the user may edit.
struct HypocentreValues {
  double lat = 0, lon = 0, depth = 0, time = 0;
  std::string comment;
};

// OK of the result dialog: the values become the current origin (valid),
// the comment the event comment (up to 127 characters), and every phase's
// residual and distance are recomputed for it.
void AcceptHypocentre(const HypocentreValues& values, CurrentEvent& event, NUVPhases& phases,
                      const PhaseTypeTable& types, const StationTable& stations);

// The statement that writes the values into the ORIGIN row of `eventId`
// (LAT, LON, DEPTH, ORIGINTIME, the comment column, ORID and LDDATE).
std::string OriginUpdateSql(const HypocentreValues& values, const std::string& eventId, int orid,
                            const char* commentColumn);
// "Запомнить в БД": updates the ORIGIN row of `eventId` when it exists and
// returns true; false (nothing written) when there is none. Throws
// odbc::Error with the driver's text.
bool UpdateOriginRow(Databases& databases, const HypocentreValues& values,
                     const std::string& eventId, int orid);

}  // namespace nuv
