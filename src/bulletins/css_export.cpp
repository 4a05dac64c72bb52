#include "bulletins/css_export.h"

#include <array>
#include <cmath>
#include <fstream>

#include "bulletins/bulletin_time.h"
#include "bulletins/css_records.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

enum { kOrigin, kArrival, kAssoc, kStamag, kAmplitude };

// The five files, opened in the order origin, assoc, arrival, stamag,
// amplitude; the first that cannot be created stops the export.
class CssFileSet {
 public:
  bool Open(const std::array<std::string, 5>& paths, std::string& message) {
    for (int i : {kOrigin, kAssoc, kArrival, kStamag, kAmplitude}) {
      files_[i].open(paths[static_cast<size_t>(i)], std::ios::binary | std::ios::trunc);
      if (!files_[i]) {
        message = StrFormat("Ошибка открытия файла: %s", paths[static_cast<size_t>(i)].c_str());
        return false;
      }
    }
    return true;
  }
  std::ofstream& operator[](int i) { return files_[i]; }
  bool good() const {
    for (const auto& f : files_)
      if (!f) return false;
    return true;
  }

 private:
  std::array<std::ofstream, 5> files_;
};

void WritePhase(CssFileSet& files, const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                const CssPhaseOptions& options, const std::string& lddate) {
  files[kArrival] << FormatCssArrival(s, p, arid, options, lddate);
  files[kAssoc] << FormatCssAssoc(s, p, arid, options, lddate);
  files[kStamag] << FormatCssStamag(s, p, arid, options, lddate);
  files[kAmplitude] << FormatCssAmplitude(s, p, arid, options, lddate);
}

std::string Stamp(double t) {
  const BulletinTime b = SplitBulletinTime(std::floor(t), 1, false);
  return StrFormat("%04d%02d%02d%02d%02d%02d", b.year, b.month, b.day, b.hour, b.minute, b.second);
}

}  // namespace

std::string WithSlash(const std::string& dir) {
  return dir.empty() || dir.back() == '/' ? dir : dir + "/";
}

CssExportResult ExportCurrentEvent(const BulletinSource& s, const std::string& dir, long orid,
                                   double now) {
  return ExportCurrentEventAs(s, WithSlash(dir) + std::to_string(orid < 1 ? 1 : orid), orid, now);
}

CssExportResult ExportCurrentEventAs(const BulletinSource& s, const std::string& prefix, long orid,
                                     double now) {
  CssExportResult result;
  if (orid < 1) orid = 1;
  std::array<std::string, 5> paths;
  const char* names[] = {"Origin", "Arrival", "Assoc", "Stamag", "Amplitude"};
  for (size_t i = 0; i < 5; ++i) paths[i] = prefix + "." + names[i];
  const std::string lddate = CssLddate(now);
  // The origin file alone when the list is empty.
  if (s.phases.Count() == 0) {
    std::ofstream origin(paths[kOrigin], std::ios::binary | std::ios::trunc);
    if (!origin) {
      result.message = StrFormat("Ошибка открытия файла: %s", paths[kOrigin].c_str());
      return result;
    }
    origin << FormatCssOrigin(CssOriginOfEvent(s, orid), lddate);
    result.files = {paths[kOrigin]};
  } else {
    CssFileSet files;
    if (!files.Open(paths, result.message)) return result;
    files[kOrigin] << FormatCssOrigin(CssOriginOfEvent(s, orid), lddate);
    CssPhaseOptions options;
    options.orid = orid;
    long arid = 0;
    for (const SEISMIC_PHASE& p : s.phases) WritePhase(files, s, p, ++arid, options, lddate);
    if (!files.good()) {
      result.message = "Ошибка записи файлов CSS 3.0";
      return result;
    }
    result.files.assign(paths.begin(), paths.end());
    result.arrivals = static_cast<int>(arid);
  }
  result.ok = true;
  result.events = 1;
  result.message = "Файлы успешно сохранены";
  return result;
}

CssExportResult ExportFromDatabase(Workstation& ws, EventStore& store, const std::string& dir,
                                   double from, double to, double now) {
  CssExportResult result;
  const long lFrom = static_cast<long>(std::floor(from)), lTo = static_cast<long>(std::floor(to));
  const std::string base =
      Stamp(static_cast<double>(lFrom)) + "-" + Stamp(static_cast<double>(lTo));
  std::array<std::string, 5> paths;
  const char* names[] = {"origin", "arrival", "assoc", "stamag", "amplitude"};
  for (size_t i = 0; i < 5; ++i)
    paths[i] = WithSlash(dir) + StrFormat("%s.%s", base.c_str(), names[i]);
  CssFileSet files;
  if (!files.Open(paths, result.message)) return result;
  const std::string lddate = CssLddate(now);
  odbc::Statement st = ws.databases().main().Query(StrFormat(
      "Select DISTINCT ORIGIN.orid as ORID, ORIGIN.eventid as EVENTID, ORIGIN.lon as LON,"
      "ORIGIN.lat as LAT, ORIGIN.depth as DEPTH, ORIGIN.origintime as ORIGINTIME,ORIGIN.MB as "
      "MB,ORIGIN.MS as MS  FROM ORIGIN,ARRIVAL where ORIGIN.eventid = ARRIVAL.eventid and "
      "((arrival.itime >= %ld and arrival.itime <=%ld) or (ORIGIN.origintime >= %ld and "
      "ORIGIN.origintime <= %ld)) order by ORIGIN.origintime desc",
      lFrom, lTo, lFrom, lTo));
  struct Row {
    std::string eventId;
    CssOrigin origin;
  };
  std::vector<Row> rows;
  while (st.Fetch()) {
    Row row;
    row.eventId = st.GetText(2).value_or("");
    row.origin.lon = st.GetDouble(3).value_or(-999.0);
    row.origin.lat = st.GetDouble(4).value_or(-999.0);
    row.origin.depth = st.GetDouble(5).value_or(-999.0);
    row.origin.time = st.GetDouble(6).value_or(-9999999999.999);
    row.origin.mb = st.GetDouble(7).value_or(-999.0);
    row.origin.ms = st.GetDouble(8).value_or(-999.0);
    rows.push_back(std::move(row));
  }
  long orid = 0, arid = 0;
  for (Row& row : rows) {
    NUVPhases phases;
    for (const SEISMIC_PHASE& p : store.LoadArrivals(row.eventId)) phases.Add(p);
    CurrentEvent event;
    const BulletinSource s{event, phases, ws.phaseTypes(), ws.stations()};
    row.origin.orid = ++orid;
    row.origin.nass = phases.Count();
    row.origin.ndp = 0;
    row.origin.algorithm = row.origin.auth = kCssAuthor;
    files[kOrigin] << FormatCssOrigin(row.origin, lddate);
    CssPhaseOptions options;
    options.orid = orid;
    options.qualByOnset = false;
    options.needPositiveAmplitude = true;
    for (const SEISMIC_PHASE& p : phases) WritePhase(files, s, p, ++arid, options, lddate);
  }
  if (!files.good()) {
    result.message = "Ошибка записи файлов CSS 3.0";
    return result;
  }
  result.ok = true;
  result.events = static_cast<int>(orid);
  result.arrivals = static_cast<int>(arid);
  result.files.assign(paths.begin(), paths.end());
  result.message = "Файлы успешно сохранены";
  return result;
}

}  // namespace nuv
