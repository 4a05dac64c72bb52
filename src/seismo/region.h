#pragma once
// The Flinn-type seismic and geographic region of an epicentre, from the
// tables GREGION, SREGION and REGION_MAP of the main database.

#include <string>

namespace nuv {

namespace odbc {
class Connection;
}

struct RegionInfo {
  bool found = false;
  long long seismicNumber = 0;  // srn
  std::string seismicNameRu, seismicName;
  long long geographicNumber = 0;  // grn
  std::string geographicNameRu, geographicName;
  std::string error;  // the driver's text when the query failed
};

// The query text for an epicentre.
std::string RegionQuery(double lat, double lon);
// The first row of the query; no row or an error leaves the fields empty.
RegionInfo RegionOf(odbc::Connection& connection, double lat, double lon);

}  // namespace nuv
