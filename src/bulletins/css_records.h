#pragma once
// CSS 3.0 flat-file records (origin, arrival, assoc, stamag, amplitude),
// each written with its fixed printf format. Every value is checked against
// the width of its column first and written as the column's null when it
// does not fit, so one extreme value never shifts the columns after it.

#include <string>

#include "bulletins/bulletin_source.h"

namespace nuv {

inline constexpr const char* kCssAuthor = "NUV";

struct CssOrigin {
  double lat = -999.0, lon = -999.0, depth = -999.0, time = -999999999.999;
  long orid = -1, evid = -1, jdate = -1, nass = -1, ndef = -1, ndp = -1, grn = -1, srn = -1;
  std::string etype = "-";
  double depdp = -999.0;
  std::string dtype = "-";
  double mb = -1.0;
  long mbid = -1;
  double ms = -1.0;
  long msid = -1;
  double ml = -1.0;
  long mlid = -1;
  std::string algorithm = "-", auth = "-";
  long commid = -1;
};

// How the two exports differ in the per-phase records.
struct CssPhaseOptions {
  long orid = 1;
  // true: qual from the onset ("e", "i", "w", "-"); false: "i" for
  // impulsive onsets and "e" for the others.
  bool qualByOnset = true;
  // The amplitude columns and the amplitude record need a positive
  // amplitude and period besides a measurement.
  bool needPositiveAmplitude = false;
};

// "%02d:%02d:%02d %02d.%02d.%02d" of local time (two-digit year).
std::string CssLddate(double now);

std::string FormatCssOrigin(const CssOrigin& origin, const std::string& lddate);
std::string FormatCssArrival(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                             const CssPhaseOptions& options, const std::string& lddate);
std::string FormatCssAssoc(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                           const CssPhaseOptions& options, const std::string& lddate);
// "" when the phase has no station magnitude for the stamag table.
std::string FormatCssStamag(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                            const CssPhaseOptions& options, const std::string& lddate);
// "" when the phase has no amplitude measurement.
std::string FormatCssAmplitude(const BulletinSource& s, const SEISMIC_PHASE& p, long arid,
                               const CssPhaseOptions& options, const std::string& lddate);

// The origin record of the current event: the origin when valid, the
// network magnitudes when known, the counts of phases.
CssOrigin CssOriginOfEvent(const BulletinSource& s, long orid);

}  // namespace nuv
