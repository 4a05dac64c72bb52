#include "bulletins/bulletin_source.h"

namespace nuv {

std::string BulletinSource::StationCode(const SEISMIC_PHASE& phase) const {
  if (phase.station < 0 || phase.station >= stations.size()) return "";
  return stations[phase.station].code;
}

std::string BulletinSource::ChannelName(const SEISMIC_PHASE& phase) const {
  if (phase.station < 0 || phase.station >= stations.size()) return "";
  if (phase.channel < 0 || phase.channel >= kChannelsPerStation) return "";
  return stations[phase.station].channels[static_cast<size_t>(phase.channel)].name;
}

}  // namespace nuv
