#include "bulletins/ims_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <vector>

#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "bulletins/ims_reader.h"
#include "platform/strformat.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

// The two layouts differ in a few places: the standard one starts the
// origin header's "Date" over the date's last characters and "Qual" one
// column earlier, and gives arrival times in milliseconds.
struct Layout {
  bool standard = false;
};

std::string TimeText(double t, const Layout& layout) {
  if (layout.standard) {
    const BulletinTime b = SplitBulletinTime(t, 1000, true);
    return StrFormat("%02d:%02d:%02d.%03d", b.hour, b.minute, b.second, b.fraction);
  }
  const BulletinTime b = SplitBulletinTime(t, 100, true);
  return StrFormat("%02d:%02d:%02d.%02d", b.hour, b.minute, b.second, b.fraction);
}

std::string TitleLine(const CurrentEvent& event) {
  const BulletinTime b = SplitBulletinTime(event.originTime, 1000, false);
  return StrFormat(
      "\t\t\tNUV - REB    Event %8s     origin time  %02d/%02d/%02d %02d:%02d:%02d.%03d\n",
      event.eventId.c_str(), b.month, b.day, ((b.year % 100) + 100) % 100, b.hour, b.minute,
      b.second, b.fraction);
}

std::string EventLine(const CurrentEvent& event) {
  const std::string comment =
      event.eventComment.substr(0, std::min<size_t>(64, event.eventComment.size()));
  const std::string id(Trim(event.eventId));
  if (event.orid < 0 || id.size() <= 8) {
    ColumnLine line(80);
    line.Put(1, "EVENT", 5);
    if (event.orid >= 0) line.Put(7, StrFormat("%8s", event.eventId.c_str()), 74);
    line.Put(16, comment, 64);
    return line.str();
  }
  // A longer identifier is written whole and the comment follows it after a
  // blank, so the reader gets both back; the line grows past 80 columns only
  // when both do not fit.
  ColumnLine line(std::max<size_t>(80, 7 + id.size() + comment.size()));
  line.Put(1, "EVENT", 5);
  line.Put(7, id, static_cast<int>(id.size()));
  line.Put(static_cast<int>(8 + id.size()), comment, static_cast<int>(comment.size()));
  return line.str();
}

std::string OriginHeader(const Layout& layout) {
  ColumnLine line(136);
  const int date = layout.standard ? 4 : 1, qual = layout.standard ? 112 : 113;
  const std::pair<int, const char*> labels[] = {
      {date, "Date"},    {15, "Time"},   {27, "Err"},     {33, "RMS"},    {37, "Latitude"},
      {46, "Longitude"}, {57, "Smaj"},   {63, "Smin"},    {69, "Az"},     {72, "Depth"},
      {80, "Err"},       {84, "Ndef"},   {89, "Nsta"},    {94, "Gap"},    {99, "mdist"},
      {106, "Mdist"},    {qual, "Qual"}, {119, "Author"}, {131, "OrigID"}};
  for (const auto& [column, text] : labels) line.Put(column, text, 10);
  return line.str();
}

std::string OriginLine(const BulletinSource& s) {
  ColumnLine line(136);
  const CurrentEvent& e = s.event;
  if (!e.originValid) return line.str();
  const BulletinTime b = SplitBulletinTime(e.originTime, 100, true);
  line.PutFitting(1, StrFormat("%04d/%02d/%02d", b.year, b.month, b.day), 10);
  line.PutFitting(12, StrFormat("%02d:%02d:%02d.%02d", b.hour, b.minute, b.second, b.fraction), 11);
  double sum = 0;
  int n = 0, ndef = 0;
  std::set<int> stations;
  double mdist = 1e30, maxDist = -1;
  for (const SEISMIC_PHASE& p : s.phases) {
    if (!p.defining) continue;
    ++ndef;
    stations.insert(p.station);
    if (p.hasResidual) {
      sum += static_cast<double>(p.residual) * p.residual;
      ++n;
    }
    if (p.distance >= 0) {
      mdist = std::min<double>(mdist, p.distance);
      maxDist = std::max<double>(maxDist, p.distance);
    }
  }
  // Without residuals there is no RMS: the column stays blank.
  if (n > 0) line.Put(31, FitNumber("%5.2f", std::sqrt(sum / n), 5), 5);
  line.Put(37, FitNumber("%8.4f", e.originLat, 8), 8);
  line.Put(46, FitNumber("%9.4f", e.originLon, 9), 9);
  if (e.ellipse.major >= 0) {
    line.Put(57, FitNumber("%4.1f", e.ellipse.major, 4), 4);
    line.Put(62, FitNumber("%5.1f", e.ellipse.minor, 5), 5);
    line.Put(68, FitInteger("%3lld", static_cast<long long>(e.ellipse.direction), 3), 3);
  }
  line.Put(72, FitNumber("%5.1f", e.originDepth, 5), 5);
  if (e.fixDepth) line.Put(77, "f", 1);
  if (e.ellipse.depthError >= 0) line.Put(79, FitNumber("%4.1f", e.ellipse.depthError, 4), 4);
  line.Put(84, FitInteger("%4lld", ndef, 4), 4);
  line.Put(89, FitInteger("%4lld", static_cast<long long>(stations.size()), 4), 4);
  if (maxDist >= 0) {
    line.Put(98, FitNumber("%6.2f", mdist, 6), 6);
    line.Put(105, FitNumber("%6.2f", maxDist, 6), 6);
  }
  line.Put(112, "m", 1);
  line.Put(119, kImsAuthor, 9);
  if (e.orid >= 0) line.Put(129, FitInteger("%8lld", e.orid, 8), 8);
  return line.str();
}

std::string MagnitudeLines(const BulletinSource& s) {
  std::string out;
  ColumnLine header(38);
  header.Put(1, "Magnitude", 9);
  header.Put(12, "Err", 3);
  header.Put(16, "Nsta", 4);
  header.Put(21, "Author", 6);
  header.Put(33, "OrigID", 6);
  out += header.str() + "\n";
  const std::pair<const char*, float SEISMIC_PHASE::*> kinds[] = {
      {"mb", &SEISMIC_PHASE::mb}, {"Ms", &SEISMIC_PHASE::ms}, {"ML", &SEISMIC_PHASE::ml}};
  for (const auto& [name, field] : kinds) {
    std::vector<double> values;
    for (const SEISMIC_PHASE& p : s.phases)
      if (p.*field > -1) values.push_back(p.*field);
    if (values.empty()) continue;
    double mean = 0;
    for (double v : values) mean += v;
    mean /= static_cast<double>(values.size());
    double dev = 0;
    for (double v : values) dev += (v - mean) * (v - mean);
    dev = std::sqrt(dev / static_cast<double>(values.size()));
    ColumnLine line(38);
    line.Put(1, name, 2);
    line.Put(7, FitNumber("%4.1f", mean, 4), 4);
    line.Put(12, FitNumber("%3.1f", dev, 3), 3);
    line.Put(16, FitInteger("%4lld", static_cast<long long>(values.size()), 4), 4);
    line.Put(21, kImsAuthor, 9);
    if (s.event.orid >= 0) line.Put(31, FitInteger("%8lld", s.event.orid, 8), 8);
    out += line.str() + "\n";
  }
  return out;
}

std::string ArrivalHeader() {
  ColumnLine line(122);
  const std::pair<int, const char*> labels[] = {
      {1, "Sta"},   {9, "Dist"},   {15, "EvAz"},  {20, "Phase"},      {33, "Time"},  {43, "TRes"},
      {49, "Azim"}, {54, "AzRes"}, {62, "Slow"},  {69, "SRes"},       {74, "Def"},   {80, "SNR"},
      {90, "Amp"},  {96, "Per"},   {100, "Qual"}, {105, "Magnitude"}, {118, "ArrID"}};
  for (const auto& [column, text] : labels) line.Put(column, text, 10);
  return line.str();
}

std::string ArrivalLine(const BulletinSource& s, const SEISMIC_PHASE& p, const Layout& layout) {
  ColumnLine line(122);
  line.Put(1, s.StationCode(p), 5);
  if (s.event.originValid) {
    DistAzResult r;
    bool known = false;
    const std::string channel = s.ChannelName(p);
    if (!channel.empty()) {
      const ChannelEntry& c = s.stations[p.station].channels[static_cast<size_t>(p.channel)];
      known = DistAz(c.lat, c.lon, s.event.originLat, s.event.originLon, r);
    }
    const double dist = p.distance >= 0 ? p.distance : (known ? r.distance : -1.0);
    if (dist >= 0) line.Put(7, FitNumber("%6.2f", dist, 6), 6);
    if (known) line.Put(14, FitNumber("%5.1f", r.backAzimuth, 5), 5);
  }
  line.Put(20, s.PhaseName(p), 8);
  const std::string time = TimeText(p.time, layout);
  line.Put(29, time, static_cast<int>(time.size()));
  if (p.hasResidual) line.Put(42, FitNumber("%5.1f", p.residual, 5), 5);
  if (p.hasPolarization) line.Put(48, FitNumber("%5.1f", p.azimuth, 5), 5);
  if (p.hasSlowness) line.Put(60, FitNumber("%5.1f", p.slowness, 5), 5);
  line.Put(74, p.defining ? "T" : "_", 1);
  line.Put(75, "__", 2);
  if (p.hasAmplitude) {
    line.Put(84, FitNumber("%9.1f", static_cast<double>(p.amplitude) * 1000.0, 9), 9);
    line.Put(94, FitNumber("%5.2f", p.period, 5), 5);
  }
  line.Put(100, "m", 1);
  line.Put(101, p.firstMotion == 5 ? "c" : p.firstMotion == 6 ? "d" : "_", 1);
  line.Put(102, p.onset == 0 ? "e" : p.onset == 1 ? "i" : p.onset == 2 ? "q" : "_", 1);
  const char* magName = nullptr;
  float magnitude = 0;
  if (p.mb > 0) {
    magName = "mb";
    magnitude = p.mb;
  } else if (p.ms > 0) {
    magName = "Ms";
    magnitude = p.ms;
  } else if (p.ml > 0) {
    magName = "ML";
    magnitude = p.ml;
  }
  if (magName) {
    const std::string value = FitNumber("%4.1f", magnitude, 4);
    if (!value.empty()) {
      line.Put(104, magName, 5);
      line.Put(110, value, 4);
    }
  }
  if (p.arid > 0) line.Put(115, FitInteger("%8lld", p.arid, 8), 8);
  return line.str();
}

// The arrival lines by distance, phases without one last; equal distances
// in time order.
std::string ArrivalLines(const BulletinSource& s, const Layout& layout) {
  std::vector<const SEISMIC_PHASE*> order;
  for (const SEISMIC_PHASE& p : s.phases) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(), [](const SEISMIC_PHASE* a, const SEISMIC_PHASE* b) {
    const float da = a->distance <= 0 ? 9999.0f : a->distance;
    const float db = b->distance <= 0 ? 9999.0f : b->distance;
    if (da != db) return da < db;
    return a->time < b->time;
  });
  std::string out;
  for (const SEISMIC_PHASE* p : order) out += ArrivalLine(s, *p, layout) + "\n";
  return out;
}

// At most `room` bytes of a UTF-8 text, never cutting a character.
std::string Utf8Prefix(const std::string& text, size_t room) {
  if (text.size() <= room) return text;
  size_t n = room;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

// The event number of the standard event line (8 columns): the origin id,
// else the identifier when it fits, else its last 8 characters.
std::string StandardEventNumber(const CurrentEvent& e) {
  if (e.orid >= 0 && e.orid <= 99999999) return StrFormat("%d", e.orid);
  const std::string id(Trim(e.eventId));
  return id.size() <= 8 ? id : id.substr(id.size() - 8);
}

}  // namespace

std::string FormatRebBulletin(const BulletinSource& s) {
  const Layout layout;
  std::string out = TitleLine(s.event);
  out += EventLine(s.event) + "\n";
  out += OriginHeader(layout) + "\n";
  out += OriginLine(s) + "\n\n";
  out += MagnitudeLines(s) + "\n";
  out += ArrivalHeader() + "\n";
  out += ArrivalLines(s, layout);
  out += "\n";
  return out;
}

std::string FormatIms1Bulletin(const BulletinSource& s) {
  const Layout layout{true};
  const CurrentEvent& e = s.event;
  const std::string id(Trim(e.eventId));
  std::string out = "BEGIN IMS1.0\nMSG_TYPE DATA\n";
  out += StrFormat("MSG_ID %s NUV\n", id.empty() ? "NUV" : id.substr(0, 20).c_str());
  out += "DATA_TYPE BULLETIN IMS1.0:short\n";
  out += "NUV Bulletin\n\n";
  const std::string number = StandardEventNumber(e);
  ColumnLine event(80);
  event.Put(1, "EVENT", 5);
  event.Put(7, StrFormat("%8s", number.c_str()), 8);
  event.Put(16, Utf8Prefix(e.eventComment, 65), 65);
  std::string line = event.str();
  while (!line.empty() && line.back() == ' ') line.pop_back();
  out += line + "\n";
  // The identifier of this system, when the event number is not it, in a
  // comment line that outside readers pass over.
  if (!id.empty() && id != number)
    out += StrFormat(" (%s %s)\n", kImsIdentifierComment, id.c_str());
  out += OriginHeader(layout) + "\n";
  if (e.originValid) out += OriginLine(s) + "\n";
  out += "\n" + MagnitudeLines(s) + "\n";
  out += ArrivalHeader() + "\n";
  out += ArrivalLines(s, layout);
  out += "\nSTOP\n";
  return out;
}

bool WriteRebFile(const BulletinSource& source, const std::string& path, UserPrompts& prompts) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    prompts.Beep();
    return false;
  }
  out << FormatRebBulletin(source);
  return static_cast<bool>(out);
}

}  // namespace nuv
