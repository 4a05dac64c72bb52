#include "bulletins/ims_reader.h"

#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

bool StartsWithNoCase(std::string_view line, std::string_view word) {
  return line.size() >= word.size() && EqualsNoCase(line.substr(0, word.size()), word);
}

// An event line: "EVENT" (any case, as agencies write "Event") followed by a
// blank, a tab or the end; the weight and quality lines are not events.
bool IsEventLine(std::string_view line) {
  if (!StartsWithNoCase(line, "EVENT")) return false;
  if (line.size() > 5 && line[5] != ' ' && line[5] != '\t') return false;
  return line.find("EVENT WEIGHT=") == std::string_view::npos &&
         line.find("EVENT QUALITY=") == std::string_view::npos;
}

bool IsStopLine(std::string_view line) {
  return Trim(line) == "STOP" || StartsWithNoCase(Trim(line), "BEGIN ");
}

bool Contains(std::string_view line, std::string_view word) {
  return line.find(word) != std::string_view::npos;
}

std::string_view DropOneBlank(std::string_view line) {
  if (!line.empty() && line[0] == ' ') line.remove_prefix(1);
  return line;
}

bool IsComment(std::string_view line) {
  const std::string_view text = Trim(line);
  return !text.empty() && text[0] == '(';
}

// " (NUV EVENTID <identifier>)" gives the identifier the event is stored under.
void TakeIdentifierComment(std::string_view line, ImsEventText& out) {
  const std::string_view text = Trim(line);
  const std::string_view key = kImsIdentifierComment;
  if (text.size() < key.size() + 3 || text.substr(1, key.size()) != key) return;
  const std::string id = FirstWord(text.substr(1 + key.size()));
  if (!id.empty() && id.back() == ')')
    out.identifier = id.substr(0, id.size() - 1);
  else if (!id.empty())
    out.identifier = id;
}

}  // namespace

void ParseEventLine(std::string_view line, std::string& identifier, std::string& comment) {
  identifier.clear();
  comment.clear();
  size_t i = 5;
  while (i < line.size() && line[i] == ' ') ++i;
  // The identifier is the whole word: agencies write up to 8 characters in
  // columns 7-14 and this system writes its identifiers of up to 20 whole.
  size_t n = 0;
  while (i + n < line.size() && line[i + n] != ' ' && line[i + n] != '\t' && line[i + n] != '\r' &&
         line[i + n] != '\n' && line[i + n] != '\0')
    ++n;
  identifier = std::string(line.substr(std::min(i, line.size()), n));
  size_t rest = i + n;
  if (rest >= line.size() || line[rest] == '\r' || line[rest] == '\n' || line[rest] == '\0') return;
  ++rest;  // the blank or tab that ended the identifier
  const size_t end = line.find_first_of("\r\n", rest);
  comment = std::string(
      line.substr(std::min(rest, line.size()), end == std::string_view::npos ? end : end - rest));
  // The identifier is padded and the line to 80 columns; the padding is no comment.
  const size_t first = comment.find_first_not_of(" \t");
  comment.erase(0, first == std::string::npos ? comment.size() : first);
  while (!comment.empty() && (comment.back() == ' ' || comment.back() == '\t')) comment.pop_back();
}

std::vector<ImsEventEntry> ListImsEvents(std::string_view text) {
  std::vector<ImsEventEntry> events;
  LineReader reader(text);
  std::string_view raw;
  while (reader.Next(raw)) {
    const std::string_view line = DropOneBlank(raw);
    if (!IsEventLine(line)) continue;
    ImsEventEntry entry;
    ParseEventLine(line, entry.identifier, entry.comment);
    entry.line = reader.number();
    entry.offset = reader.lineStart();
    if (std::string(Trim(entry.comment)) == "FINISH") continue;
    events.push_back(std::move(entry));
  }
  return events;
}

bool ParseImsOriginLine(std::string_view line, ImsOrigin& o, std::string& why) {
  const auto year = ReadInteger(Columns(line, 1, 4));
  const auto month = ReadInteger(Columns(line, 6, 7));
  const auto day = ReadInteger(Columns(line, 9, 10));
  const auto hour = ReadInteger(Columns(line, 12, 13));
  const auto minute = ReadInteger(Columns(line, 15, 16));
  const auto second = ReadNumber(Columns(line, 18, 22));
  const auto lat = ReadNumber(Columns(line, 37, 44));
  const auto lon = ReadNumber(Columns(line, 46, 54));
  if (!year || !month || !day || !hour || !minute || !second) {
    why = "нет даты или времени в очаге";
    return false;
  }
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour < 0 || *hour > 23 ||
      *minute < 0 || *minute > 59) {
    why = "ошибочная дата или время в очаге";
    return false;
  }
  if (!lat || !lon || *lat < -90 || *lat > 90 || *lon < -180 || *lon > 360) {
    why = "нет координат очага";
    return false;
  }
  o.year = *year;
  o.month = *month;
  o.day = *day;
  o.hour = *hour;
  o.minute = *minute;
  o.second = static_cast<float>(*second);
  o.lat = static_cast<float>(*lat);
  o.lon = static_cast<float>(*lon > 180 ? *lon - 360 : *lon);
  o.major = static_cast<float>(ReadNumber(Columns(line, 57, 60)).value_or(-1));
  o.minor = static_cast<float>(ReadNumber(Columns(line, 62, 66)).value_or(-1));
  o.direction = static_cast<float>(ReadInteger(Columns(line, 68, 70)).value_or(-1));
  o.depth = static_cast<float>(ReadNumber(Columns(line, 72, 76)).value_or(0));
  o.fixedDepth = Columns(line, 77, 77) == "f";
  o.depthError = static_cast<float>(ReadNumber(Columns(line, 79, 82)).value_or(-1));
  o.origId = ReadInteger(Columns(line, 129, 136)).value_or(-1);
  return true;
}

bool ParseImsArrivalLine(std::string_view line, size_t offset, IMSPhaseBlock& a, std::string& why) {
  const int s = static_cast<int>(offset);
  auto field = [&](int first, int last) { return Columns(line, first + s, last + s); };
  a.sta = FirstWord(field(1, 5));
  a.phase = FirstWord(field(20, 27));
  const auto hour = ReadInteger(field(29, 30));
  const auto minute = ReadInteger(field(32, 33));
  const auto second = ReadNumber(field(35, 40));
  if (a.sta.empty()) {
    why = "нет кода станции";
    return false;
  }
  if (!hour || !minute || !second || *hour < 0 || *hour > 23 || *minute < 0 || *minute > 59 ||
      *second < 0 || *second >= 61) {
    why = "нет времени вступления";
    return false;
  }
  a.hour = *hour;
  a.minute = *minute;
  a.second = static_cast<float>(*second);
  auto number = [&](int first, int last, float& out) {
    if (const auto v = ReadNumber(field(first, last))) out = static_cast<float>(*v);
  };
  number(7, 12, a.dist);
  a.evAz = IsBlankField(field(14, 18)) ? -999.0f : a.evAz;
  number(14, 18, a.evAz);
  number(42, 46, a.tres);
  a.azim = IsBlankField(field(48, 52)) ? -999.0f : a.azim;
  number(48, 52, a.azim);
  number(54, 58, a.azRes);
  number(60, 65, a.slow);
  number(67, 71, a.sRes);
  a.def = std::string(field(74, 76));
  number(80, 84, a.snr);
  number(84, 92, a.amp);
  number(94, 98, a.per);
  const std::string_view fm = field(101, 101), onset = field(102, 102);
  if (!fm.empty()) a.fm = fm[0];
  if (!onset.empty()) a.onset = onset[0];
  a.magType = FirstWord(field(104, 108));
  number(110, 113, a.magnitude);
  if (const auto arid = ReadInteger(field(115, 122))) a.arid = *arid;
  return true;
}

ImsEventText ParseBulletinEvent(std::string_view text, const std::string& identifier,
                                BulletinLayout layout, const ImsEventEntry* from) {
  ImsEventText out;
  LineReader reader = from && from->offset < text.size()
                          ? LineReader(text, from->offset, from->line)
                          : LineReader(text);
  std::string_view raw, line;
  // The event line.
  while (reader.Next(raw)) {
    line = DropOneBlank(raw);
    if (!IsEventLine(line)) continue;
    std::string id, comment;
    ParseEventLine(line, id, comment);
    if (id != identifier) continue;
    out.found = true;
    out.identifier = id;
    out.comment = comment;
    break;
  }
  if (!out.found) {
    out.failure = StrFormat("Событие %s не найдено в бюллетене", identifier.c_str());
    return out;
  }
  // The origin block: the header, then origin and comment lines up to the
  // first blank line or the next block.
  bool inOrigins = false;
  std::vector<ImsOrigin> origins;
  int prime = -1;
  std::string why;
  while (reader.Next(raw)) {
    line = DropOneBlank(raw);
    if (IsEventLine(line) || IsStopLine(line)) break;
    if (Contains(line, "Sta") && Contains(line, "Dist") && Contains(line, "EvAz")) {
      out.hasArrivalHeader = true;
      break;
    }
    if (!inOrigins) {
      inOrigins =
          Contains(line, "Date") && Contains(line, "Latitude") && Contains(line, "Longitude");
      if (!inOrigins && origins.empty() && IsComment(line)) TakeIdentifierComment(line, out);
      continue;
    }
    if (IsBlankField(line) || Contains(line, "Magnitude")) {
      inOrigins = false;
      continue;
    }
    if (IsComment(line)) {
      // The agency marks its preferred solution right after its origin line.
      if (Contains(line, "#PRIME") && !origins.empty() && prime < 0)
        prime = static_cast<int>(origins.size()) - 1;
      continue;
    }
    ImsOrigin origin;
    const bool ok = layout == BulletinLayout::Ims ? ParseImsOriginLine(line, origin, why)
                                                  : ParseTrezonOriginLine(line, origin, why);
    origin.line = reader.number();
    if (ok)
      origins.push_back(origin);
    else
      out.skipped.push_back({reader.number(), "строка начала не прочитана: " + why});
  }
  if (!origins.empty()) {
    const size_t chosen = prime >= 0 ? static_cast<size_t>(prime) : 0;
    out.origin = origins[chosen];
    out.hasOrigin = true;
    for (size_t i = 0; i < origins.size(); ++i)
      if (i != chosen) out.skipped.push_back({origins[i].line, "другое решение (не основное)"});
  }
  if (!out.hasOrigin) {
    out.failure = "В бюллетене нет строки начала события " + identifier;
    return out;
  }
  if (!out.hasArrivalHeader) {
    out.failure = "В бюллетене нет списка вступлений события " + identifier;
    return out;
  }
  size_t offset = 0;
  if (layout == BulletinLayout::Ims) {
    const size_t at = line.find("Sta     Dist  EvAz Phase");
    if (at != std::string_view::npos) offset = at;
  }
  while (reader.Next(raw)) {
    line = DropOneBlank(raw);
    if (layout == BulletinLayout::Trezon && line.empty()) continue;
    if (line.size() + 1 < 10 || IsEventLine(line) || IsStopLine(line)) break;
    if (IsComment(line)) {
      out.skipped.push_back({reader.number(), "комментарий"});
      continue;
    }
    IMSPhaseBlock arrival;
    arrival.line = reader.number();
    const bool ok = layout == BulletinLayout::Ims ? ParseImsArrivalLine(line, offset, arrival, why)
                                                  : ParseTrezonArrivalLine(line, arrival, why);
    if (ok)
      out.arrivals.push_back(std::move(arrival));
    else
      out.skipped.push_back({reader.number(), "вступление не прочитано: " + why});
  }
  return out;
}

}  // namespace nuv
