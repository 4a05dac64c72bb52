#include "seismo/region.h"

#include "platform/odbc.h"
#include "platform/strformat.h"

namespace nuv {

std::string RegionQuery(double lat, double lon) {
  std::string sql = StrFormat(
      "SELECT g.grn, s.srn, g.grname_r, g.grname, s.srname_r, s.srname FROM %s as g INNER JOIN "
      "(%s as s INNER JOIN %s as m ON s.srn = m.srn) ON g.grn = m.grn WHERE ",
      "GREGION", "SREGION", "REGION_MAP");
  if (lon >= 0)
    sql += StrFormat("((m.lat=%.0f) AND (m.lon1<=%.0f) AND (m.lon2>%.0f))", lat, lon, lon);
  else
    sql += StrFormat("((m.lat=%.0f) AND (m.lon1>=%.0f) AND (m.lon2<%.0f))", lat, lon, lon);
  return sql;
}

RegionInfo RegionOf(odbc::Connection& connection, double lat, double lon) {
  RegionInfo info;
  try {
    odbc::Statement statement = connection.Query(RegionQuery(lat, lon));
    if (statement.Fetch()) {
      info.found = true;
      info.geographicNumber = statement.GetInt(1).value_or(0);
      info.seismicNumber = statement.GetInt(2).value_or(0);
      info.geographicNameRu = statement.GetText(3).value_or("");
      info.geographicName = statement.GetText(4).value_or("");
      info.seismicNameRu = statement.GetText(5).value_or("");
      info.seismicName = statement.GetText(6).value_or("");
    }
  } catch (const odbc::Error& error) {
    info = RegionInfo{};
    info.error = error.what();
  }
  return info;
}

}  // namespace nuv
