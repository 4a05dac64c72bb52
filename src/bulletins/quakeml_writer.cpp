#include "bulletins/quakeml_writer.h"

#include <libxml/xmlwriter.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <set>
#include <stdexcept>

#include "bulletins/bulletin_time.h"
#include "platform/strformat.h"
#include "platform/text_codec.h"
#include "traveltime/dist_az.h"

namespace nuv {
namespace {

// Thin RAII over libxml2's text writer; every failing call throws.
class XmlOut {
 public:
  XmlOut() : buffer_(xmlBufferCreate()), writer_(xmlNewTextWriterMemory(buffer_, 0)) {
    if (!buffer_ || !writer_) throw std::runtime_error("libxml2: cannot create the writer");
    xmlTextWriterSetIndent(writer_, 1);
    Check(xmlTextWriterStartDocument(writer_, nullptr, "UTF-8", nullptr));
  }
  ~XmlOut() {
    if (writer_) xmlFreeTextWriter(writer_);
    if (buffer_) xmlBufferFree(buffer_);
  }
  XmlOut(const XmlOut&) = delete;
  XmlOut& operator=(const XmlOut&) = delete;

  void Start(const char* name) { Check(xmlTextWriterStartElement(writer_, BAD_CAST name)); }
  void Start(const char* prefix, const char* name, const char* ns) {
    Check(xmlTextWriterStartElementNS(writer_, BAD_CAST prefix, BAD_CAST name, BAD_CAST ns));
  }
  void Attribute(const char* name, const std::string& value) {
    Check(xmlTextWriterWriteAttribute(writer_, BAD_CAST name, BAD_CAST Utf8(value).c_str()));
  }
  void End() { Check(xmlTextWriterEndElement(writer_)); }
  void Text(const char* name, const std::string& value) {
    Check(xmlTextWriterWriteElement(writer_, BAD_CAST name, BAD_CAST Utf8(value).c_str()));
  }
  void Number(const char* name, double value) { Text(name, StrFormat("%.10g", value)); }
  // <name><value>v</value>[<uncertainty>u</uncertainty>]</name>
  void Quantity(const char* name, double value, double uncertainty = -1) {
    Start(name);
    Number("value", value);
    if (uncertainty >= 0) Number("uncertainty", uncertainty);
    End();
  }
  std::string Finish() {
    Check(xmlTextWriterEndDocument(writer_));
    xmlFreeTextWriter(writer_);
    writer_ = nullptr;
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_)),
                       static_cast<size_t>(xmlBufferLength(buffer_)));
  }

 private:
  static void Check(int rc) {
    if (rc < 0) throw std::runtime_error("libxml2: writing QuakeML failed");
  }
  // Texts from older databases may be code page 1251.
  static std::string Utf8(const std::string& text) { return DecodeText(text); }

  xmlBufferPtr buffer_;
  xmlTextWriterPtr writer_;
};

std::string IsoTime(double t) {
  const BulletinTime b = SplitBulletinTime(t, 1000000, true);
  return StrFormat("%04d-%02d-%02dT%02d:%02d:%02d.%06dZ", b.year, b.month, b.day, b.hour, b.minute,
                   b.second, b.fraction);
}

struct EventIds {
  std::string event, origin;
  std::string Pick(const BulletinSource& s, const SEISMIC_PHASE& p) const {
    return QuakeMlId("pick", {id, s.StationCode(p), s.ChannelName(p), s.PhaseName(p)});
  }
  std::string Of(const char* kind, const BulletinSource& s, const SEISMIC_PHASE& p,
                 const std::string& extra = "") const {
    std::vector<std::string> parts = {id, s.StationCode(p), s.ChannelName(p), s.PhaseName(p)};
    if (!extra.empty()) parts.push_back(extra);
    return QuakeMlId(kind, parts);
  }
  std::string id;
};

void WaveformId(XmlOut& x, const BulletinSource& s, const SEISMIC_PHASE& p) {
  x.Start("waveformID");
  x.Attribute("networkCode", "XX");  // the station table holds no network code
  x.Attribute("stationCode", s.StationCode(p));
  x.Attribute("channelCode", s.ChannelName(p));
  x.End();
}

struct MagnitudeKind {
  const char* type;
  float SEISMIC_PHASE::*field;
};
constexpr MagnitudeKind kStationMagnitudes[] = {{"mb", &SEISMIC_PHASE::mb},
                                                {"Ms", &SEISMIC_PHASE::ms},
                                                {"ML", &SEISMIC_PHASE::ml},
                                                {"MPLP", &SEISMIC_PHASE::mplp},
                                                {"MPSP", &SEISMIC_PHASE::mpsp}};

void WritePhase(XmlOut& x, const BulletinSource& s, const SEISMIC_PHASE& p, const EventIds& ids) {
  x.Start("pick");
  x.Attribute("publicID", ids.Pick(s, p));
  x.Start("time");
  x.Text("value", IsoTime(p.time));
  if (p.deltim > 0) x.Number("uncertainty", p.deltim);
  x.End();
  WaveformId(x, s, p);
  if (p.onset <= 2)
    x.Text("onset", p.onset == 1 ? "impulsive" : p.onset == 0 ? "emergent" : "questionable");
  const uint8_t fm = p.firstMotion;
  if (fm == 0 || fm == 2 || fm == 5) x.Text("polarity", "positive");
  if (fm == 1 || fm == 3 || fm == 6) x.Text("polarity", "negative");
  if (fm == 4) x.Text("polarity", "undecidable");
  if (p.hasPolarization) x.Quantity("backazimuth", p.azimuth < 0 ? p.azimuth + 360.0 : p.azimuth);
  if (p.hasSlowness) x.Quantity("horizontalSlowness", p.slowness);
  x.Text("phaseHint", s.PhaseName(p));
  x.Text("evaluationMode", "manual");
  x.End();
  if (p.hasAmplitude) {
    x.Start("amplitude");
    x.Attribute("publicID", ids.Of("amplitude", s, p));
    // Amplitudes of the list are micrometres.
    x.Quantity("genericAmplitude", static_cast<double>(p.amplitude) * 1e-6);
    x.Text("unit", "m");
    if (p.period > 0) x.Quantity("period", p.period);
    if (p.ampTime != 0) {
      x.Start("timeWindow");
      x.Number("begin", 0);
      x.Number("end", 0);
      x.Text("reference", IsoTime(p.ampTime));
      x.End();
    }
    x.Text("pickID", ids.Pick(s, p));
    WaveformId(x, s, p);
    x.Text("evaluationMode", "manual");
    x.End();
  }
  for (const MagnitudeKind& kind : kStationMagnitudes) {
    if (!(p.*kind.field > 0)) continue;
    x.Start("stationMagnitude");
    x.Attribute("publicID", ids.Of("stationMagnitude", s, p, kind.type));
    x.Text("originID", ids.origin);
    x.Quantity("mag", p.*kind.field);
    x.Text("type", kind.type);
    if (p.hasAmplitude) x.Text("amplitudeID", ids.Of("amplitude", s, p));
    WaveformId(x, s, p);
    x.End();
  }
}

// The origin with its quality, the confidence ellipse and one arrival per phase.
void WriteOrigin(XmlOut& x, const BulletinSource& s, const EventIds& ids) {
  const CurrentEvent& e = s.event;
  x.Start("origin");
  x.Attribute("publicID", ids.origin);
  x.Start("time");
  x.Text("value", IsoTime(e.originTime));
  x.End();
  x.Quantity("latitude", e.originLat);
  x.Quantity("longitude", e.originLon);
  if (e.originDepth >= 0)
    x.Quantity("depth", e.originDepth * 1000.0,
               e.ellipse.depthError >= 0 ? e.ellipse.depthError * 1000.0 : -1);
  x.Text("depthType", e.fixDepth ? "operator assigned" : "from location");
  int used = 0;
  std::set<int> stations, usedStations;
  double sum = 0, minDist = 1e30, maxDist = -1;
  int residuals = 0;
  for (const SEISMIC_PHASE& p : s.phases) {
    stations.insert(p.station);
    if (p.defining) {
      ++used;
      usedStations.insert(p.station);
      if (p.hasResidual) {
        sum += static_cast<double>(p.residual) * p.residual;
        ++residuals;
      }
    }
    if (p.distance > 0) {
      minDist = std::min<double>(minDist, p.distance);
      maxDist = std::max<double>(maxDist, p.distance);
    }
  }
  x.Start("quality");
  x.Number("associatedPhaseCount", s.phases.Count());
  x.Number("usedPhaseCount", used);
  x.Number("associatedStationCount", static_cast<double>(stations.size()));
  x.Number("usedStationCount", static_cast<double>(usedStations.size()));
  if (residuals > 0) x.Number("standardError", std::sqrt(sum / residuals));
  if (maxDist >= 0) {
    x.Number("minimumDistance", minDist);
    x.Number("maximumDistance", maxDist);
  }
  x.End();
  if (e.ellipse.valid() && e.ellipse.major >= 0 && e.ellipse.minor >= 0) {
    // The ellipse of the location: semi-axes in km, direction in degrees.
    x.Start("originUncertainty");
    x.Number("minHorizontalUncertainty", e.ellipse.minor * 1000.0);
    x.Number("maxHorizontalUncertainty", e.ellipse.major * 1000.0);
    x.Number("azimuthMaxHorizontalUncertainty", e.ellipse.direction);
    x.Text("preferredDescription", "uncertainty ellipse");
    x.End();
  }
  for (const SEISMIC_PHASE& p : s.phases) {
    x.Start("arrival");
    x.Attribute("publicID", ids.Of("arrival", s, p));
    x.Text("pickID", ids.Pick(s, p));
    x.Text("phase", s.PhaseName(p));
    const std::string channel = s.ChannelName(p);
    DistAzResult r;
    if (!channel.empty()) {
      const ChannelEntry& c = s.stations[p.station].channels[static_cast<size_t>(p.channel)];
      if (DistAz(e.originLat, e.originLon, c.lat, c.lon, r)) x.Number("azimuth", r.azimuth);
    }
    if (p.distance > 0) x.Number("distance", p.distance);
    if (p.hasResidual) x.Number("timeResidual", p.residual);
    x.Number("timeWeight", p.defining ? 1.0 : 0.0);
    x.End();
  }
  x.Text("evaluationMode", "manual");
  x.End();
}

// A network magnitude with the station magnitudes of its type.
void WriteMagnitude(XmlOut& x, const BulletinSource& s, const EventIds& ids, const char* type,
                    float value, float uncertainty) {
  x.Start("magnitude");
  x.Attribute("publicID", QuakeMlId("magnitude", {ids.id, type}));
  x.Quantity("mag", value, uncertainty > 0 ? uncertainty : -1);
  x.Text("type", type);
  x.Text("originID", ids.origin);
  int count = 0;
  for (const SEISMIC_PHASE& p : s.phases) {
    for (const MagnitudeKind& kind : kStationMagnitudes) {
      if (std::string(kind.type) != type || !(p.*kind.field > 0)) continue;
      ++count;
      x.Start("stationMagnitudeContribution");
      x.Text("stationMagnitudeID", ids.Of("stationMagnitude", s, p, kind.type));
      x.End();
    }
  }
  x.Number("stationCount", count);
  x.End();
}

void WriteEvent(XmlOut& x, const BulletinSource& s, double now) {
  const CurrentEvent& e = s.event;
  EventIds ids;
  ids.id = std::string(Trim(e.eventId));
  ids.event = QuakeMlId("event", {ids.id});
  ids.origin = QuakeMlId("origin", {ids.id});
  x.Start("event");
  x.Attribute("publicID", ids.event);
  if (e.originValid) x.Text("preferredOriginID", ids.origin);
  const bool mb = e.eventMb != kNoMagnitude, ms = e.eventMs != kNoMagnitude;
  if (e.originValid && (mb || ms))
    x.Text("preferredMagnitudeID", QuakeMlId("magnitude", {ids.id, mb ? "mb" : "Ms"}));
  x.Text("type", "earthquake");
  if (!e.eventComment.empty()) {
    x.Start("description");
    x.Text("text", e.eventComment);
    x.Text("type", "region name");
    x.End();
  }
  x.Start("creationInfo");
  x.Text("agencyID", "NUV");
  x.Text("creationTime", IsoTime(now));
  x.End();
  for (const SEISMIC_PHASE& p : s.phases) WritePhase(x, s, p, ids);
  if (e.originValid) {
    WriteOrigin(x, s, ids);
    if (mb) WriteMagnitude(x, s, ids, "mb", e.eventMb, e.eventMbUnc);
    if (ms) WriteMagnitude(x, s, ids, "Ms", e.eventMs, e.eventMsUnc);
  }
  x.End();
}

}  // namespace

std::string FormatQuakeMl(const std::vector<BulletinSource>& events, double now) {
  XmlOut x;
  x.Start("q", "quakeml", kQuakeMlNamespace);
  x.Attribute("xmlns", kBedNamespace);
  x.Start("eventParameters");
  // Named by the first and the last event, so the same export keeps its name.
  std::vector<std::string> span;
  if (!events.empty()) span.emplace_back(Trim(events.front().event.eventId));
  if (events.size() > 1) span.emplace_back(Trim(events.back().event.eventId));
  x.Attribute("publicID", QuakeMlId("eventParameters", span));
  for (const BulletinSource& s : events) WriteEvent(x, s, now);
  x.End();
  x.End();
  return x.Finish();
}

std::string QuakeMlId(const std::string& kind, const std::vector<std::string>& parts) {
  std::string id = "smi:nuv/" + kind;
  for (const std::string& part : parts) {
    id += '/';
    if (part.empty()) id += '_';
    for (unsigned char c : part)
      id += (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '(' || c == ')' ||
             c == '~' || c == '*')
                ? static_cast<char>(c)
                : '_';
  }
  return id;
}

}  // namespace nuv
