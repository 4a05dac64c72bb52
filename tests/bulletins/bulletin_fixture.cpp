#include "bulletins/bulletin_fixture.h"

#include <sstream>

#include "platform/time_base.h"
#include "support/phase_at.h"

namespace nuv::test {
namespace {

void AddChannel(CScreenFields& station, int slot, const char* name, int component) {
  ChannelEntry& c = station.channels[static_cast<size_t>(slot)];
  c.name = name;
  c.component = component;
  c.lat = station.lat;
  c.lon = station.lon;
}

void FillTables(Workstation& ws) {
  auto& records = ws.stations().records();
  const struct {
    const char* code;
    float lat, lon;
  } stations[] = {{"MJAR", 36.52f, 138.21f},
                  {"USRK", 44.20f, 131.99f},
                  {"KSRS", 37.48f, 127.92f},
                  {"AB", 42.0f, 75.0f}};
  for (const auto& s : stations) {
    CScreenFields f;
    f.code = s.code;
    f.lat = s.lat;
    f.lon = s.lon;
    records.push_back(f);
  }
  AddChannel(records[0], 0, "Z", 0);
  AddChannel(records[0], 1, "N-S", 1);
  AddChannel(records[0], 2, "E-W", 2);
  AddChannel(records[1], 0, "Z", 0);
  AddChannel(records[1], 1, "BHZ", 0);
  AddChannel(records[2], 0, "Z", 0);
  AddChannel(records[3], 0, "Z", 0);
  AddChannel(records[3], 1, "N-S", 1);
  std::vector<PhaseTypeTable::Entry> entries;
  for (const char* name : {"P", "S", "Pg", "Sg", "PKiKP", "PKP", "Pn", "N", "PcP", "pP", "PP"}) {
    PhaseTypeTable::Entry e;
    e.name = name;
    if (std::string(name) != "N") {
      e.ttFile = name;
      e.data.hasTravelTimes = 1;
    }
    entries.push_back(std::move(e));
  }
  ws.phaseTypes().SetEntries(std::move(entries));
}

}  // namespace

BulletinTest::BulletinTest() : ws_(MakeWorkstation()) {}

std::unique_ptr<Workstation> BulletinTest::MakeWorkstation() {
  Config config;
  config.settingsDir = dir.path() / "settings";
  auto ws = std::make_unique<Workstation>(config, prompts);
  FillTables(*ws);
  return ws;
}

SEISMIC_PHASE BulletinTest::Phase(int station, int channel, int type, double time) const {
  return test::PhaseAt(station, channel, type, time);
}

void BulletinTest::SetOrigin() {
  CurrentEvent& e = ws_->event();
  e.eventId = PadEventId("20240315061900");
  e.eventComment = "KYRGYZSTAN";
  e.orid = 4711;
  e.originValid = 1;
  e.originLat = 42.70f;
  e.originLon = 74.60f;
  e.originDepth = 15.0f;
  e.originTime = CalendarToEpoch(2024, 3, 15, 6, 19, 0.25);
}

std::string Cols(const std::string& line, int first, int last) {
  if (first < 1 || static_cast<size_t>(first) > line.size()) return "";
  return line.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace nuv::test
