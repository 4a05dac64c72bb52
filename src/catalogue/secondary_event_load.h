#pragma once
// Loading an event of the secondary (CSS 3.0) database into the current
// event: the arrivals associated with an origin and the origin itself, from
// ORIGIN/ASSOC/ARRIVAL or from the automatic-location tables (_ALERT). Every
// row is read before the current event is touched, so a database error
// loses nothing.

#include "workstation/workstation.h"

namespace nuv {

enum class SecondaryTables { Css, Alert };

// The statements of the two loads.
std::string SecondaryArrivalsQuery(SecondaryTables tables, long orid, int dialect);
std::string SecondaryOriginQuery(SecondaryTables tables, long orid);

// Replaces the phase list and the origin with the rows of `orid`; returns
// the number of phases loaded. Throws odbc::Error (nothing changed then).
int LoadSecondaryEvent(Workstation& ws, SecondaryTables tables, long orid);

}  // namespace nuv
