#include "event_json.h"

#include "cli.h"
#include "phases/current_event.h"
#include "phases/nuv_phases.h"
#include "phases/phase_types.h"

namespace nuv::cli {
namespace {

using nlohmann::json;

std::string RightTrimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

json PhaseToJson(const SEISMIC_PHASE& p, Workstation& ws) {
  const CScreenFields& sta = ws.stations()[p.station];
  return {{"station", sta.code},
          {"channel", sta.channels[static_cast<size_t>(p.channel)].name},
          {"phase", ws.phaseTypes().Name(p.phaseType)},
          {"time", p.time},
          {"onset", std::string(1, OnsetCode(p.onset))},
          {"firstMotion", std::string(1, FirstMotionCode(p.firstMotion))},
          {"weight", p.weight},
          {"defining", p.defining},
          {"active", p.active},
          {"arid", p.arid},
          {"commid", p.commid},
          {"deltim", p.deltim},
          {"hasAmplitude", p.hasAmplitude},
          {"amplitude", p.amplitude},
          {"period", p.period},
          {"ampTime", p.ampTime},
          {"hasResidual", p.hasResidual},
          {"residual", p.residual},
          {"hasSlowness", p.hasSlowness},
          {"slowness", p.slowness},
          {"hasPolarization", p.hasPolarization},
          {"azimuth", p.azimuth},
          {"emergence", p.emergence},
          {"planarity", p.planarity},
          {"rectilinearity", p.rectilinearity},
          {"backAzimuth", p.backAzimuth},
          {"distance", p.distance},
          {"mb", p.mb},
          {"ms", p.ms},
          {"mplp", p.mplp},
          {"mpsp", p.mpsp},
          {"ml", p.ml},
          {"coda", p.coda},
          {"energyClass", p.energyClass},
          {"mcoda", p.mcoda},
          {"chanType", p.chanType},
          {"remark", p.remark},
          {"aFilType", p.aFilType},
          {"pFilType", p.pFilType},
          {"cssComment", p.cssComment}};
}

template <typename T>
void Take(const json& j, const char* key, T& field) {
  if (!j.contains(key)) return;
  try {
    field = j.at(key).get<T>();
  } catch (const json::exception&) {
    throw CliError(std::string("bad value of ") + key);
  }
}

SEISMIC_PHASE PhaseFromJson(const json& j, Workstation& ws) {
  SEISMIC_PHASE p;
  std::string station, channel, phase;
  Take(j, "station", station);
  Take(j, "channel", channel);
  Take(j, "phase", phase);
  p.station = ws.stations().FindStationExact(station);
  if (p.station < 0) throw CliError("unknown station: " + station);
  p.channel = -1;
  for (int i = 0; i < kChannelsPerStation; ++i)
    if (ws.stations()[p.station].channels[static_cast<size_t>(i)].name == channel) p.channel = i;
  if (p.channel < 0) throw CliError("unknown channel: " + station + " " + channel);
  p.phaseType = ws.phaseTypes().IndexOf(phase);
  if (p.phaseType < 0) throw CliError("unknown phase: " + phase);
  double time = 0;
  Take(j, "time", time);
  p.SetTime(time);
  std::string onset = "E", motion = "?";
  Take(j, "onset", onset);
  Take(j, "firstMotion", motion);
  p.onset = OnsetFromText(onset);
  p.firstMotion = FirstMotionFromText(motion);
  int weight = p.weight;
  Take(j, "weight", weight);
  if (weight < 0 || weight > 4) throw CliError("weight must lie within 0..4");
  p.weight = static_cast<uint8_t>(weight);
  Take(j, "defining", p.defining);
  Take(j, "active", p.active);
  Take(j, "arid", p.arid);
  Take(j, "commid", p.commid);
  Take(j, "deltim", p.deltim);
  Take(j, "hasAmplitude", p.hasAmplitude);
  Take(j, "amplitude", p.amplitude);
  Take(j, "period", p.period);
  Take(j, "ampTime", p.ampTime);
  Take(j, "hasResidual", p.hasResidual);
  Take(j, "residual", p.residual);
  Take(j, "hasSlowness", p.hasSlowness);
  Take(j, "slowness", p.slowness);
  Take(j, "hasPolarization", p.hasPolarization);
  Take(j, "azimuth", p.azimuth);
  Take(j, "emergence", p.emergence);
  Take(j, "planarity", p.planarity);
  Take(j, "rectilinearity", p.rectilinearity);
  Take(j, "backAzimuth", p.backAzimuth);
  Take(j, "distance", p.distance);
  Take(j, "mb", p.mb);
  Take(j, "ms", p.ms);
  Take(j, "mplp", p.mplp);
  Take(j, "mpsp", p.mpsp);
  Take(j, "ml", p.ml);
  Take(j, "coda", p.coda);
  Take(j, "energyClass", p.energyClass);
  Take(j, "mcoda", p.mcoda);
  Take(j, "chanType", p.chanType);
  Take(j, "remark", p.remark);
  Take(j, "aFilType", p.aFilType);
  Take(j, "pFilType", p.pFilType);
  Take(j, "cssComment", p.cssComment);
  if (!ws.phaseTypes().CanBeDefining(p.phaseType)) p.defining = 0;
  return p;
}

}  // namespace

json EventToJson(Workstation& ws) {
  const CurrentEvent& e = ws.event();
  json phases = json::array();
  for (const SEISMIC_PHASE& p : ws.phases()) phases.push_back(PhaseToJson(p, ws));
  return {{"eventId", RightTrimmed(e.eventId)},
          {"comment", e.eventComment},
          {"orid", e.orid},
          {"origin",
           {{"valid", e.originValid != 0},
            {"lat", e.originLat},
            {"lon", e.originLon},
            {"depth", e.originDepth},
            {"time", e.originTime},
            {"mb", e.eventMb},
            {"ms", e.eventMs},
            {"mbUnc", e.eventMbUnc},
            {"msUnc", e.eventMsUnc}}},
          {"phases", phases}};
}

void EventFromJson(const json& j, Workstation& ws) {
  if (!j.is_object()) throw CliError("the event file must hold a JSON object");
  CurrentEvent e;
  std::string id;
  Take(j, "eventId", id);
  if (RightTrimmed(id).empty()) throw CliError("the event file names no eventId");
  e.eventId = PadEventId(id);
  Take(j, "comment", e.eventComment);
  Take(j, "orid", e.orid);
  if (j.contains("origin")) {
    const json& o = j.at("origin");
    bool valid = false;
    Take(o, "valid", valid);
    e.originValid = valid ? 1 : 0;
    Take(o, "lat", e.originLat);
    Take(o, "lon", e.originLon);
    Take(o, "depth", e.originDepth);
    Take(o, "time", e.originTime);
    Take(o, "mb", e.eventMb);
    Take(o, "ms", e.eventMs);
    Take(o, "mbUnc", e.eventMbUnc);
    Take(o, "msUnc", e.eventMsUnc);
  }
  std::vector<SEISMIC_PHASE> phases;
  if (j.contains("phases")) {
    if (!j.at("phases").is_array()) throw CliError("phases must be a list");
    for (const json& p : j.at("phases")) phases.push_back(PhaseFromJson(p, ws));
  }
  ws.event() = e;
  PhaseChangeGroup group(ws.phases(), /*pauseHistory=*/true);
  ws.phases().RemoveAll();
  for (const SEISMIC_PHASE& p : phases) ws.phases().Add(p);
}

}  // namespace nuv::cli
