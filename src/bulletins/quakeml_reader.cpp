#include "bulletins/quakeml_reader.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"
#include "sigproc/decimal_text.h"

namespace nuv {
namespace {

using Node = const xmlNode*;

// Elements by local name, whatever prefix the producer gave the namespace.
bool Is(Node n, const char* name) {
  return n && n->type == XML_ELEMENT_NODE && xmlStrcmp(n->name, BAD_CAST name) == 0;
}

Node Child(Node parent, const char* name) {
  for (Node n = parent ? parent->children : nullptr; n; n = n->next)
    if (Is(n, name)) return n;
  return nullptr;
}

std::vector<Node> Children(Node parent, const char* name) {
  std::vector<Node> out;
  for (Node n = parent ? parent->children : nullptr; n; n = n->next)
    if (Is(n, name)) out.push_back(n);
  return out;
}

std::string Text(Node n) {
  if (!n) return "";
  xmlChar* content = xmlNodeGetContent(n);
  const std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return std::string(Trim(text));
}

std::string ChildText(Node parent, const char* name) {
  return Text(Child(parent, name));
}

std::string Attribute(Node n, const char* name) {
  xmlChar* value = n ? xmlGetProp(n, BAD_CAST name) : nullptr;
  const std::string text = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return std::string(Trim(text));
}

int Line(Node n) {
  return static_cast<int>(std::max(0L, xmlGetLineNo(n)));
}

// A whole text that is a finite number, with the decimal point.
std::optional<double> Number(const std::string& text) {
  size_t used = 0;
  const double value = DecimalPrefix(text, &used);
  if (text.empty() || used != text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// <name><value>v</value><uncertainty>u</uncertainty></name>
std::optional<double> Value(Node parent, const char* name, const char* part = "value") {
  return Number(ChildText(Child(parent, name), part));
}

// "YYYY-MM-DDThh:mm[:ss[.fff]][Z|+hh:mm|-hh:mm]" as epoch seconds.
std::optional<double> IsoTime(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, n = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d%*1[T ]%d:%d%n", &y, &mo, &d, &h, &mi, &n) != 5 ||
      n == 0 || mo < 1 || mo > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59)
    return std::nullopt;
  std::string_view rest = std::string_view(text).substr(static_cast<size_t>(n));
  double second = 0;
  if (!rest.empty() && rest[0] == ':') {
    size_t used = 0;
    second = DecimalPrefix(rest.substr(1), &used);
    if (used == 0 || !(second >= 0 && second < 61)) return std::nullopt;
    rest.remove_prefix(1 + used);
  }
  double offset = 0;
  int oh = 0, om = 0;
  if ((rest.size() == 6 && (rest[0] == '+' || rest[0] == '-')) &&
      std::sscanf(std::string(rest.substr(1)).c_str(), "%2d:%2d", &oh, &om) == 2)
    offset = (rest[0] == '-' ? -1 : 1) * (oh * 3600.0 + om * 60.0);
  else if (!rest.empty() && rest != "Z")
    return std::nullopt;
  return BulletinEpoch(y, mo, d, h, mi, second) - offset;
}

bool ReadOrigin(Node origin, ImsOrigin& o, std::string& why) {
  const auto time = IsoTime(ChildText(Child(origin, "time"), "value"));
  const auto lat = Value(origin, "latitude"), lon = Value(origin, "longitude");
  if (!time) {
    why = "нет времени в очаге";
    return false;
  }
  if (!lat || !lon || *lat < -90 || *lat > 90 || *lon < -180 || *lon > 360) {
    why = "нет координат очага";
    return false;
  }
  const BulletinTime b = SplitBulletinTime(*time, 1000, false);
  o.year = b.year;
  o.month = b.month;
  o.day = b.day;
  o.hour = b.hour;
  o.minute = b.minute;
  o.second = static_cast<float>(b.second + b.fraction / 1000.0);
  o.lat = static_cast<float>(*lat);
  o.lon = static_cast<float>(*lon > 180 ? *lon - 360 : *lon);
  // Depths and uncertainties are metres in QuakeML, kilometres here.
  o.depth = static_cast<float>(Value(origin, "depth").value_or(0) / 1000.0);
  o.depthError = static_cast<float>(Value(origin, "depth", "uncertainty").value_or(-1000) / 1000.0);
  o.fixedDepth = ChildText(origin, "depthType") == "operator assigned";
  const Node u = Child(origin, "originUncertainty");
  const auto major = Number(ChildText(u, "maxHorizontalUncertainty"));
  const auto minor = Number(ChildText(u, "minHorizontalUncertainty"));
  const auto circle = Number(ChildText(u, "horizontalUncertainty"));
  if (major && minor) {
    o.major = static_cast<float>(*major / 1000.0);
    o.minor = static_cast<float>(*minor / 1000.0);
    o.direction =
        static_cast<float>(Number(ChildText(u, "azimuthMaxHorizontalUncertainty")).value_or(0));
  } else if (circle) {
    o.major = o.minor = static_cast<float>(*circle / 1000.0);
    o.direction = 0;
  }
  o.origId = -1;  // a publicID is no origin number: a save gives a new one
  o.line = Line(origin);
  return true;
}

// One pick as an arrival without a phase of an origin yet.
struct PickRead {
  Node node = nullptr;
  IMSPhaseBlock block;
  std::string why;  // why the pick cannot be read ("" when it can)
  bool reported = false;
};

PickRead ReadPick(Node pick) {
  PickRead r;
  r.node = pick;
  IMSPhaseBlock& a = r.block;
  a.line = Line(pick);
  const Node waveform = Child(pick, "waveformID");
  a.sta = Attribute(waveform, "stationCode");
  a.channel = Attribute(waveform, "channelCode");
  a.phase = ChildText(pick, "phaseHint");
  a.def = "___";
  a.time = IsoTime(ChildText(Child(pick, "time"), "value"));
  if (a.sta.empty()) r.why = "нет кода станции";
  if (!a.time) r.why = "нет времени вступления";
  if (!r.why.empty()) return r;
  const BulletinTime b = SplitBulletinTime(*a.time, 1000, false);
  a.hour = b.hour;
  a.minute = b.minute;
  a.second = static_cast<float>(b.second + b.fraction / 1000.0);
  const Node time = Child(pick, "time");
  if (const auto u = Number(ChildText(time, "uncertainty"))) {
    a.deltim = *u;
  } else {
    const auto lower = Number(ChildText(time, "lowerUncertainty"));
    const auto upper = Number(ChildText(time, "upperUncertainty"));
    if (lower && upper) a.deltim = (*lower + *upper) / 2;
  }
  const std::string onset = ChildText(pick, "onset");
  a.onset = onset == "impulsive"      ? 'i'
            : onset == "emergent"     ? 'e'
            : onset == "questionable" ? 'q'
                                      : ' ';
  const std::string polarity = ChildText(pick, "polarity");
  a.fm = polarity == "positive"      ? 'c'
         : polarity == "negative"    ? 'd'
         : polarity == "undecidable" ? '_'
                                     : ' ';
  if (const auto az = Value(pick, "backazimuth")) a.azim = static_cast<float>(*az);
  if (const auto slow = Value(pick, "horizontalSlowness")) a.slow = static_cast<float>(*slow);
  return r;
}

// The picks of an event with their amplitudes and station magnitudes.
class PickSet {
 public:
  PickSet(Node event, std::vector<SkippedLine>& skipped) : skipped_(skipped) {
    for (Node pick : Children(event, "pick")) {
      index_[Attribute(pick, "publicID")] = picks_.size();
      picks_.push_back(ReadPick(pick));
    }
    for (Node amplitude : Children(event, "amplitude")) AddAmplitude(amplitude);
    for (Node magnitude : Children(event, "stationMagnitude")) AddStationMagnitude(magnitude);
  }

  // The readable pick `id`; null (the reason listed once) when it is not.
  PickRead* Find(const std::string& id, int line) {
    const auto it = index_.find(id);
    if (it == index_.end()) {
      skipped_.push_back({line, "вступление ссылается на неизвестную отметку " + id});
      return nullptr;
    }
    return Readable(picks_[it->second]);
  }
  std::vector<PickRead>& picks() { return picks_; }
  PickRead* Readable(PickRead& r) {
    if (r.why.empty()) return &r;
    if (!r.reported) skipped_.push_back({r.block.line, "отметка не прочитана: " + r.why});
    r.reported = true;
    return nullptr;
  }

 private:
  void AddAmplitude(Node amplitude) {
    const int line = Line(amplitude);
    const auto it = index_.find(ChildText(amplitude, "pickID"));
    if (it == index_.end()) {
      skipped_.push_back({line, "амплитуда без отметки вступления"});
      return;
    }
    amplitudes_[Attribute(amplitude, "publicID")] = it->second;
    IMSPhaseBlock& a = picks_[it->second].block;
    const std::string unit = ChildText(amplitude, "unit");
    const auto value = Value(amplitude, "genericAmplitude");
    if (!value || !(*value > 0)) {
      skipped_.push_back({line, "амплитуда без значения"});
    } else if (!unit.empty() && unit != "m") {
      skipped_.push_back({line, "амплитуда в единицах " + unit + " не читается"});
    } else if (a.amp > 0) {
      skipped_.push_back({line, "вторая амплитуда того же вступления"});
    } else {
      a.amp = static_cast<float>(*value * 1e9);  // nanometres, as the bulletins give them
      a.per = static_cast<float>(Value(amplitude, "period").value_or(-1));
    }
  }

  void AddStationMagnitude(Node magnitude) {
    const std::string type = ChildText(magnitude, "type");
    const auto value = Value(magnitude, "mag");
    const int line = Line(magnitude);
    if (!value) {
      skipped_.push_back({line, "станционная магнитуда без значения"});
      return;
    }
    const auto byAmplitude = amplitudes_.find(ChildText(magnitude, "amplitudeID"));
    PickRead* pick = nullptr;
    if (byAmplitude != amplitudes_.end()) {
      pick = &picks_[byAmplitude->second];
    } else {
      // Without an amplitude: the first pick of its station.
      const std::string station = Attribute(Child(magnitude, "waveformID"), "stationCode");
      for (PickRead& r : picks_)
        if (!station.empty() && r.block.sta == station && r.why.empty()) {
          pick = &r;
          break;
        }
    }
    if (!pick)
      skipped_.push_back({line, "станционная магнитуда " + type + " без вступления"});
    else
      pick->block.magnitudes.emplace_back(type, static_cast<float>(*value));
  }

  std::vector<SkippedLine>& skipped_;
  std::vector<PickRead> picks_;
  std::map<std::string, size_t> index_;       // pick publicID -> pick
  std::map<std::string, size_t> amplitudes_;  // amplitude publicID -> pick
};

// The arrival's phase name, distance, azimuth, residual and weight on the pick.
IMSPhaseBlock ArrivalOf(Node arrival, const PickRead& pick) {
  IMSPhaseBlock a = pick.block;
  a.line = Line(arrival);
  const std::string phase = ChildText(arrival, "phase");
  if (!phase.empty()) a.phase = phase;
  if (const auto v = Number(ChildText(arrival, "distance"))) a.dist = static_cast<float>(*v);
  if (const auto v = Number(ChildText(arrival, "azimuth"))) a.evAz = static_cast<float>(*v);
  if (const auto v = Number(ChildText(arrival, "timeResidual"))) a.tres = static_cast<float>(*v);
  // An arrival without a weight was used as the agency gives it; a weight
  // of 0 was not used, 1 fully (pick weight 0).
  a.def = "T__";
  if (const auto w = Number(ChildText(arrival, "timeWeight"))) {
    const double weight = std::clamp(*w, 0.0, 1.0);
    a.def = weight > 0 ? "T__" : "___";
    a.weight = static_cast<int>(std::lround(4 * (1 - weight)));
  }
  return a;
}

// Network magnitudes of the origin: the preferred one first, mb and Ms kept,
// the others listed.
void ReadMagnitudes(Node event, const std::string& originId, ImsEventText& out) {
  std::vector<Node> magnitudes = Children(event, "magnitude");
  const std::string preferred = ChildText(event, "preferredMagnitudeID");
  std::stable_partition(magnitudes.begin(), magnitudes.end(),
                        [&](Node m) { return Attribute(m, "publicID") == preferred; });
  BulletinMagnitudes& m = out.magnitudes;
  for (Node magnitude : magnitudes) {
    const std::string type = ChildText(magnitude, "type");
    const auto value = Value(magnitude, "mag");
    const float unc = static_cast<float>(Value(magnitude, "mag", "uncertainty").value_or(0));
    const std::string origin = ChildText(magnitude, "originID");
    const bool mb = EqualsNoCase(type, "mb");
    const bool ms = EqualsNoCase(type, "Ms") || EqualsNoCase(type.substr(0, 3), "Ms_");
    std::string why;
    if (!value)
      why = "магнитуда без значения";
    else if (!origin.empty() && origin != originId)
      why = "магнитуда " + type + " другого решения";
    else if ((mb && m.mb != kNoMagnitude) || (ms && m.ms != kNoMagnitude))
      why = "ещё одна магнитуда " + type;
    else if (!mb && !ms)
      why = StrFormat("магнитуда %s %.1f не хранится", type.c_str(), *value);
    if (!why.empty()) {
      out.skipped.push_back({Line(magnitude), why});
    } else if (mb) {
      m.mb = static_cast<float>(*value);
      m.mbUnc = unc;
    } else {
      m.ms = static_cast<float>(*value);
      m.msUnc = unc;
    }
  }
}

// The region: a description of type "region name" or "Flinn-Engdahl
// region", else the first description.
std::string RegionOf(Node event) {
  const std::vector<Node> descriptions = Children(event, "description");
  for (const char* type : {"region name", "Flinn-Engdahl region"})
    for (Node d : descriptions)
      if (ChildText(d, "type") == type) return ChildText(d, "text");
  return descriptions.empty() ? "" : ChildText(descriptions.front(), "text");
}

QuakeMlEvent ReadEvent(Node event, int ordinal) {
  QuakeMlEvent out;
  out.publicId = Attribute(event, "publicID");
  out.line = Line(event);
  ImsEventText& t = out.event;
  t.found = true;
  t.identifier = QuakeMlIdentifier(out.publicId);
  if (t.identifier.empty()) t.identifier = StrFormat("%d", ordinal);
  t.comment = RegionOf(event);
  const std::vector<Node> origins = Children(event, "origin");
  const std::string preferred = ChildText(event, "preferredOriginID");
  Node chosen = origins.empty() ? nullptr : origins.front();
  for (Node o : origins)
    if (Attribute(o, "publicID") == preferred) chosen = o;
  if (!chosen) {
    t.failure = "В событии " + t.identifier + " нет решения о гипоцентре";
    return out;
  }
  for (Node o : origins)
    if (o != chosen) t.skipped.push_back({Line(o), "другое решение (не основное)"});
  std::string why;
  if (!ReadOrigin(chosen, t.origin, why)) {
    t.failure = "Решение события " + t.identifier + " не прочитано: " + why;
    return out;
  }
  t.hasOrigin = t.hasArrivalHeader = true;
  PickSet picks(event, t.skipped);
  std::vector<bool> used(picks.picks().size(), false);
  for (Node arrival : Children(chosen, "arrival")) {
    PickRead* pick = picks.Find(ChildText(arrival, "pickID"), Line(arrival));
    if (!pick) continue;
    used[static_cast<size_t>(pick - picks.picks().data())] = true;
    t.arrivals.push_back(ArrivalOf(arrival, *pick));
  }
  // Picks no arrival of the origin names: read with their phase hints.
  for (size_t i = 0; i < used.size(); ++i)
    if (!used[i])
      if (PickRead* pick = picks.Readable(picks.picks()[i])) t.arrivals.push_back(pick->block);
  ReadMagnitudes(event, Attribute(chosen, "publicID"), t);
  for (Node mechanism : Children(event, "focalMechanism"))
    t.skipped.push_back({Line(mechanism), "механизм очага не читается"});
  return out;
}

// The namespace of a QuakeML 1.2 element (bed, bed-rt, quakeml).
bool IsQuakeMl12Namespace(const xmlChar* uri) {
  const std::string ns = uri ? reinterpret_cast<const char*>(uri) : "";
  return ns.rfind("http://quakeml.org/xmlns/", 0) == 0 && ns.size() >= 4 &&
         ns.substr(ns.size() - 4) == "/1.2";
}

// The first error of a reading, with its line.
struct XmlErrorNote {
  bool seen = false;
  int line = 0;
  std::string message;
};

void NoteXmlError(void* arg, xmlErrorPtr error) {
  auto* note = static_cast<XmlErrorNote*>(arg);
  if (note->seen || !error || error->level < XML_ERR_ERROR) return;
  note->seen = true;
  note->line = error->line;
  note->message = error->message ? std::string(Trim(error->message)) : "";
}

}  // namespace

QuakeMlDocument ParseQuakeMl(std::string_view text) {
  QuakeMlDocument out;
  const char* kNotQuakeMl = "Файл не является документом QuakeML 1.2";
  if (text.size() > static_cast<size_t>(INT_MAX)) {
    out.failure = kNotQuakeMl;
    return out;
  }
  // The document is read as a stream and each event's subtree is built,
  // read and freed in turn, so a document of thousands of events never
  // stands in memory whole. No network; errors are noted, not printed.
  std::unique_ptr<xmlTextReader, void (*)(xmlTextReaderPtr)> reader(
      xmlReaderForMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                         XML_PARSE_NONET | XML_PARSE_BIG_LINES),
      xmlFreeTextReader);
  if (!reader) throw std::bad_alloc();
  XmlErrorNote error;
  xmlTextReaderSetStructuredErrorHandler(reader.get(), NoteXmlError, &error);
  bool root = false, inParameters = false, parameters = false;
  int ordinal = 0;
  int rc = xmlTextReaderRead(reader.get());
  while (rc == 1 && !error.seen) {
    if (xmlTextReaderNodeType(reader.get()) == XML_READER_TYPE_ELEMENT) {
      const int depth = xmlTextReaderDepth(reader.get());
      const std::string name =
          reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader.get()));
      const xmlChar* ns = xmlTextReaderConstNamespaceUri(reader.get());
      if (depth == 0) {
        root = name == "quakeml" && ns != nullptr;
        if (!root) break;
      } else if (depth == 1) {
        inParameters = name == "eventParameters" && IsQuakeMl12Namespace(ns);
        parameters = parameters || inParameters;
      } else if (depth == 2 && inParameters && name == "event") {
        const Node event = xmlTextReaderExpand(reader.get());
        if (!event) break;
        out.events.push_back(ReadEvent(event, ++ordinal));
        rc = xmlTextReaderNext(reader.get());
        continue;
      }
    }
    rc = xmlTextReaderRead(reader.get());
  }
  if (error.seen || rc < 0) {
    out.events.clear();
    out.failure = StrFormat("%s: ошибка XML в строке %d (%s)", kNotQuakeMl, error.line,
                            error.message.c_str());
  } else if (!root || !parameters) {
    out.events.clear();
    out.failure = kNotQuakeMl;
  }
  return out;
}

std::string QuakeMlIdentifier(std::string_view publicId) {
  const size_t cut = publicId.find_last_of("/=:?");
  const std::string_view last = cut == std::string_view::npos ? publicId : publicId.substr(cut + 1);
  std::string id;
  for (unsigned char c : last)
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') id += static_cast<char>(c);
  if (id.size() > static_cast<size_t>(kEventIdWidth)) id = id.substr(id.size() - kEventIdWidth);
  return id;
}

std::vector<ImsEventEntry> ListQuakeMlEvents(const QuakeMlDocument& document) {
  std::vector<ImsEventEntry> entries;
  for (const QuakeMlEvent& e : document.events) {
    ImsEventEntry entry;
    entry.identifier = e.event.identifier;
    entry.comment = e.event.comment;
    entry.line = e.line;
    if (e.event.hasOrigin) entry.origin = e.event.origin;
    entries.push_back(std::move(entry));
  }
  return entries;
}

ImsEventText QuakeMlEventOf(const QuakeMlDocument& document, const std::string& id) {
  ImsEventText none;
  if (!document.failure.empty()) {
    none.failure = document.failure;
    return none;
  }
  if (document.events.empty()) {
    none.failure = "В файле нет событий";
    return none;
  }
  if (id.empty()) return document.events.front().event;
  for (const QuakeMlEvent& e : document.events)
    if (e.event.identifier == id || e.publicId == id) return e.event;
  none.failure = StrFormat("Событие %s не найдено в файле", id.c_str());
  return none;
}

BulletinReadResult ReadQuakeMlEvent(Workstation& ws, const std::string& path, const std::string& id,
                                    bool phasesOnly) {
  return ReadBulletinFile(ws, path, phasesOnly, [&id](const std::string& text) {
    return QuakeMlEventOf(ParseQuakeMl(text), id);
  });
}

}  // namespace nuv
