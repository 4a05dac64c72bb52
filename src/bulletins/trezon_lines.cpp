// The ТРЕЗОН bulletin carries the IMS records with their values separated by
// blanks instead of placed in columns; each line is read word by word and
// the reading stops at the first word that is not of the expected kind, the
// later values keeping those of a new record.

#include <cmath>

#include "bulletins/fixed_columns.h"
#include "bulletins/ims_reader.h"

namespace nuv {
namespace {

// Date "yyyy/mm/dd" and time "hh:mm:ss.ss" words.
bool ReadDate(const std::string& word, int& year, int& month, int& day) {
  const auto y = ReadInteger(Columns(word, 1, 4));
  const auto m = ReadInteger(Columns(word, 6, 7));
  const auto d = ReadInteger(Columns(word, 9, 10));
  if (!y || !m || !d || *m < 1 || *m > 12 || *d < 1 || *d > 31) return false;
  year = *y;
  month = *m;
  day = *d;
  return true;
}

bool ReadClock(const std::string& word, int& hour, int& minute, float& second) {
  const auto h = ReadInteger(Columns(word, 1, 2));
  const auto m = ReadInteger(Columns(word, 4, 5));
  const auto s = ReadNumber(Columns(word, 7, 12));
  if (!h || !m || !s || *h < 0 || *h > 23 || *m < 0 || *m > 59 || *s < 0 || *s >= 61) return false;
  hour = *h;
  minute = *m;
  second = static_cast<float>(*s);
  return true;
}

// Reads the numbers of `words` from `first` on into `targets` while they are
// numbers; the index of the first word not read.
size_t ReadFloats(const std::vector<std::string>& words, size_t first,
                  std::initializer_list<float*> targets) {
  size_t i = first;
  for (float* target : targets) {
    if (i >= words.size()) return i;
    const auto v = ReadNumber(words[i]);
    if (!v) return i;
    *target = static_cast<float>(*v);
    ++i;
  }
  return i;
}

}  // namespace

bool ParseTrezonOriginLine(std::string_view line, ImsOrigin& o, std::string& why) {
  const std::vector<std::string> w = SplitWords(line);
  if (w.size() < 6 || !ReadDate(w[0], o.year, o.month, o.day) ||
      !ReadClock(w[1], o.hour, o.minute, o.second)) {
    why = "нет даты или времени в очаге";
    return false;
  }
  float timeError = 0, rms = 0, direction = -1;
  size_t i = ReadFloats(w, 2, {&timeError, &rms, &o.lat, &o.lon});
  if (i < 6 || o.lat < -90 || o.lat > 90 || o.lon < -180 || o.lon > 180) {
    why = "нет координат очага";
    return false;
  }
  i = ReadFloats(w, i, {&o.major, &o.minor, &direction, &o.depth, &o.depthError});
  // Whole degrees; a direction too large for an integer is no direction.
  if (i >= 9 && std::fabs(direction) < 1e9f) o.direction = std::trunc(direction);
  if (i < 10) o.depth = 0;
  // Ndef, Nsta, Gap, mdist, Mdist, quality and author stand before the id.
  if (w.size() >= 19) {
    if (const auto id = ReadInteger(w[18])) o.origId = *id;
  }
  return true;
}

bool ParseTrezonArrivalLine(std::string_view line, IMSPhaseBlock& a, std::string& why) {
  const std::vector<std::string> w = SplitWords(line);
  if (w.size() < 5) {
    why = "слишком мало полей";
    return false;
  }
  a.sta = w[0].substr(0, 5);
  size_t i = ReadFloats(w, 1, {&a.dist, &a.evAz});
  if (i != 3) {
    why = "нет расстояния и азимута";
    return false;
  }
  a.phase = w[3].substr(0, 8);
  if (!ReadClock(w[4], a.hour, a.minute, a.second)) {
    why = "нет времени вступления";
    return false;
  }
  i = ReadFloats(w, 5, {&a.tres, &a.azim, &a.azRes, &a.slow, &a.sRes});
  if (i < 10 || i >= w.size()) return true;
  a.def = w[i].substr(0, 3);
  i = ReadFloats(w, i + 1, {&a.snr, &a.amp, &a.per});
  if (i < 14 || i >= w.size()) return true;
  // The quality word stands where the IMS reading keeps the first motion.
  a.fm = w[i][0];
  if (++i >= w.size()) return true;
  a.magType = w[i].substr(0, 5);
  i = ReadFloats(w, i + 1, {&a.magnitude});
  if (i < 17 || i >= w.size()) return true;
  if (const auto arid = ReadInteger(w[i])) a.arid = *arid;
  return true;
}

}  // namespace nuv
