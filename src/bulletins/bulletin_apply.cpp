#include "bulletins/bulletin_apply.h"

#include <algorithm>

#include "bulletins/bulletin_time.h"
#include "bulletins/fixed_columns.h"
#include "platform/strformat.h"

namespace nuv {
namespace {

// The component a phase name may be read on: 0 vertical, 1 horizontal, -1 any.
int ComponentFor(const std::string& phase) {
  if (EqualsNoCase(phase, "LR") || EqualsNoCase(phase, "Lg")) return 0;
  if (phase == "LQ") return 1;
  if (!phase.empty() && (phase[0] == 'P' || phase[0] == 'p')) return 0;
  if (!phase.empty() && (phase[0] == 'S' || phase[0] == 's')) return 1;
  return -1;
}

SEISMIC_PHASE PhaseOf(const IMSPhaseBlock& a, const ImsOrigin& o, const PhaseTypeTable& types,
                      int type) {
  SEISMIC_PHASE p;
  p.phaseType = type;
  double t = BulletinEpoch(o.year, o.month, o.day, a.hour, a.minute, a.second);
  if (a.hour < o.hour) t += 86400.0;
  p.SetTime(a.time.value_or(t));
  if (a.deltim > 0) p.deltim = a.deltim;
  if (a.amp > 0) {
    p.amplitude = a.amp / 1000.0f;
    p.period = a.per;
    p.hasAmplitude = 1;
    p.ampTime = p.time;
  }
  if (a.azim >= 0) {
    p.azimuth = a.azim;
    p.hasPolarization = 1;
  }
  if (a.dist > 0) p.distance = a.dist;
  if (a.tres != -9999.0f) {
    p.residual = a.tres;
    p.hasResidual = 1;
  }
  if (a.slow != -9999.0f) {
    p.slowness = a.slow;
    p.hasSlowness = 1;
  }
  const char fm = static_cast<char>(std::tolower(static_cast<unsigned char>(a.fm)));
  p.firstMotion = fm == 'c' ? 5 : fm == 'd' ? 6 : fm == '_' ? 4 : 0;
  const char onset = static_cast<char>(std::tolower(static_cast<unsigned char>(a.onset)));
  p.onset = onset == 'i' ? 1 : onset == 'q' ? 2 : 0;
  auto magnitude = [&p](const std::string& type, float value) {
    if (EqualsNoCase(type, "mb")) p.mb = value;
    if (EqualsNoCase(type, "ms")) p.ms = value;
    if (EqualsNoCase(type, "ml")) p.ml = value;
  };
  magnitude(a.magType, a.magnitude);
  for (const auto& [type, value] : a.magnitudes) magnitude(type, value);
  p.weight = static_cast<uint8_t>(a.weight >= 0 && a.weight <= 4 ? a.weight : 2);
  p.defining = (!a.def.empty() && a.def[0] == 'T' && types.CanBeDefining(type)) ? 1 : 0;
  p.arid = a.arid;
  return p;
}

// The phase type a bulletin's name stands for: the exact name, else the one
// entry that equals it without regard to case once a trailing '*' is
// dropped (older agency bulletins write "PN", "PCP" and mark first arrivals
// "P*"). -1 with the reason when none or several fit.
int BulletinPhaseType(const PhaseTypeTable& types, const std::string& name, std::string& why) {
  if (name.empty()) {
    why = "нет названия фазы";
    return -1;
  }
  const int exact = types.IndexOf(name);
  if (exact >= 0) return exact;
  std::string bare = name;
  while (!bare.empty() && bare.back() == '*') bare.pop_back();
  if (!bare.empty() && bare != name && types.IndexOf(bare) >= 0) return types.IndexOf(bare);
  std::vector<int> fits;  // by the index the name finds (a later duplicate wins)
  for (int i = 0; i < types.Count() && !bare.empty(); ++i) {
    const int index = types.IndexOf(types.Name(i));
    if (EqualsNoCase(types.Name(i), bare) &&
        std::find(fits.begin(), fits.end(), index) == fits.end())
      fits.push_back(index);
  }
  if (fits.size() == 1) return fits[0];
  if (fits.empty()) {
    why = StrFormat("фаза %s неизвестна", name.c_str());
  } else {
    why = StrFormat("фаза %s неоднозначна:", name.c_str());
    for (int i : fits) why += " " + types.Name(i);
  }
  return -1;
}

// The channels of a station an arrival is placed on: the channel the
// bulletin names when the station has it; else those the phase name may be
// read on; when the station has none of that component, its first vertical
// channel (else its first channel), with a note, so a bulletin's reading is
// never lost for want of a component.
std::vector<int> ChannelsFor(const CScreenFields& station, const std::string& phase,
                             const std::string& named, std::string& note) {
  for (int c = 0; c < kChannelsPerStation && !named.empty(); ++c) {
    const ChannelEntry& channel = station.channels[static_cast<size_t>(c)];
    if (channel.used() && EqualsNoCase(channel.name, named)) return {c};
  }
  const int component = ComponentFor(phase);
  std::vector<int> slots;
  int vertical = -1, any = -1;
  for (int c = 0; c < kChannelsPerStation; ++c) {
    const ChannelEntry& channel = station.channels[static_cast<size_t>(c)];
    if (!channel.used()) continue;
    if (any < 0) any = c;
    if (vertical < 0 && channel.component == 0) vertical = c;
    if (component < 0 || channel.component == component) slots.push_back(c);
  }
  if (!slots.empty() || any < 0) return slots;
  const int slot = vertical >= 0 ? vertical : any;
  note = StrFormat("у станции %s нет канала для фазы %s: фаза помещена на канал %s",
                   station.code.c_str(), phase.c_str(),
                   station.channels[static_cast<size_t>(slot)].name.c_str());
  return {slot};
}

// Adds a note once: the same remark on many lines is shown at its first.
void AddNote(std::vector<SkippedLine>& notes, int line, const std::string& text) {
  for (const SkippedLine& n : notes)
    if (n.reason == text) return;
  notes.push_back({line, text});
}

}  // namespace

std::vector<SEISMIC_PHASE> PhasesOfBulletinEvent(const ImsEventText& parsed,
                                                 const StationTable& stations,
                                                 const PhaseTypeTable& types,
                                                 std::vector<SkippedLine>& skipped,
                                                 std::vector<SkippedLine>& notes) {
  std::vector<SEISMIC_PHASE> phases;
  for (const IMSPhaseBlock& a : parsed.arrivals) {
    std::string why;
    const int type = BulletinPhaseType(types, a.phase, why);
    if (type < 0) {
      skipped.push_back({a.line, why});
      continue;
    }
    if (types.Name(type) != a.phase)
      AddNote(notes, a.line,
              StrFormat("фаза %s прочитана как %s", a.phase.c_str(), types.Name(type).c_str()));
    bool station = false, channels = false;
    for (int s = 0; s < stations.size(); ++s) {
      if (stations[s].code != a.sta) continue;
      station = true;
      std::string note;
      for (int c : ChannelsFor(stations[s], types.Name(type), a.channel, note)) {
        SEISMIC_PHASE p = PhaseOf(a, parsed.origin, types, type);
        p.station = s;
        p.channel = c;
        phases.push_back(std::move(p));
        channels = true;
      }
      if (!note.empty()) AddNote(notes, a.line, note);
    }
    if (!station)
      skipped.push_back({a.line, StrFormat("станция %s неизвестна", a.sta.c_str())});
    else if (!channels)
      skipped.push_back({a.line, StrFormat("у станции %s нет каналов", a.sta.c_str())});
  }
  return phases;
}

BulletinReadResult ApplyBulletinEvent(Workstation& ws, const ImsEventText& parsed,
                                      bool phasesOnly) {
  BulletinReadResult result;
  result.skipped = parsed.skipped;
  if (!parsed.failure.empty()) {
    result.message = parsed.failure;
    return result;
  }
  const std::vector<SEISMIC_PHASE> phases =
      PhasesOfBulletinEvent(parsed, ws.stations(), ws.phaseTypes(), result.skipped, result.notes);
  std::stable_sort(result.skipped.begin(), result.skipped.end(),
                   [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
  std::stable_sort(result.notes.begin(), result.notes.end(),
                   [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
  // One change of the list: in full mode a new event with a history of its
  // own, with phases only one undo step.
  PhaseChangeGroup group(ws.phases(), /*pauseHistory=*/!phasesOnly);
  CurrentEvent& e = ws.event();
  e.ResetStationDistances();
  if (!phasesOnly) ws.phases().RemoveAll();
  e.originValid = 0;
  e.originTime = 0;
  e.eventMb = e.eventMs = kNoMagnitude;
  if (!phasesOnly) {
    e.eventMb = parsed.magnitudes.mb;
    e.eventMbUnc = parsed.magnitudes.mbUnc;
    e.eventMs = parsed.magnitudes.ms;
    e.eventMsUnc = parsed.magnitudes.msUnc;
    const ImsOrigin& o = parsed.origin;
    e.originLat = o.lat;
    e.originLon = o.lon;
    e.originDepth = o.depth;
    e.originTime = BulletinEpoch(o.year, o.month, o.day, o.hour, o.minute, o.second);
    e.originValid = 1;
    e.orid = o.origId;
    e.fixDepth = o.fixedDepth;
    e.ellipse.major = o.major;
    e.ellipse.minor = o.minor;
    e.ellipse.direction = o.direction;
    e.ellipse.depthError = o.depthError;
  }
  for (const SEISMIC_PHASE& p : phases) ws.phases().Add(p);
  if (!phasesOnly) ws.phases().ClearHistory();
  e.eventId = PadEventId(parsed.identifier);
  e.eventComment = parsed.comment;
  result.ok = true;
  result.phasesAdded = static_cast<int>(phases.size());
  return result;
}

BulletinReadResult ReadBulletinFile(Workstation& ws, const std::string& path, bool phasesOnly,
                                    const std::function<ImsEventText(const std::string&)>& parse) {
  const auto text = ReadWholeFile(path);
  if (!text) {
    BulletinReadResult result;
    result.message = StrFormat("Ошибка открытия файла: %s", path.c_str());
    return result;
  }
  return ApplyBulletinEvent(ws, parse(*text), phasesOnly);
}

BulletinReadResult ReadImsEvent(Workstation& ws, const std::string& path,
                                const std::string& identifier, bool phasesOnly) {
  return ReadBulletinFile(ws, path, phasesOnly, [&identifier](const std::string& text) {
    return ParseBulletinEvent(text, identifier, BulletinLayout::Ims);
  });
}

BulletinReadResult ReadTrezonEvent(Workstation& ws, const std::string& path,
                                   const std::string& identifier) {
  return ReadBulletinFile(ws, path, false, [&identifier](const std::string& text) {
    return ParseBulletinEvent(text, identifier, BulletinLayout::Trezon);
  });
}

}  // namespace nuv
