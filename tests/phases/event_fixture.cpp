#include "event_fixture.h"

#include "phases/phase_types.h"
#include "support/phase_at.h"

namespace nuv::test {

Workstation& EventTest::Ready(const std::vector<std::string>& extraArgs) {
  db().Exec(
      "insert into SITE (STA, LAT, LON, ELEV, NGROUPS, NINDEX) values ('AAA', 42.5, 74.5, "
      "1.0, 1, 1)");
  db().Exec(
      "insert into SITE (STA, LAT, LON, ELEV, NGROUPS, NINDEX) values ('BBB', 43.0, 76.0, "
      "1.0, 1, 2)");
  const char* chans[][3] = {{"AAA", "BHZ", "0"}, {"AAA", "BHN", "1"}, {"BBB", "SHZ", "0"}};
  for (const auto& c : chans)
    db().Exec(std::string("insert into SITECHAN (STA, CHAN, NGROUP, CHANINDEX, SPS, LAT, LON, "
                          "EDEPH, LCODE) values ('") +
              c[0] + "', '" + c[1] + "', 1, " + c[2] + ", 20, 42.5, 74.5, 0, '?" "?')");
  Workstation& ws = extraArgs.empty() ? workstation() : StartWorkstation(extraArgs);
  std::vector<PhaseTypeTable::Entry> entries(4);
  const char* names[] = {"P", "S", "Pn", "Unk"};
  for (int i = 0; i < 4; ++i) {
    entries[static_cast<size_t>(i)].name = names[i];
    entries[static_cast<size_t>(i)].ttFile = i < 3 ? names[i] : "";
    entries[static_cast<size_t>(i)].data.hasTravelTimes = i < 2 ? 1 : 0;
  }
  ws.phaseTypes().SetEntries(std::move(entries));
  return ws;
}

SEISMIC_PHASE EventTest::Phase(int sta, int chan, int type, double time) {
  return test::PhaseAt(sta, chan, type, time);
}

void EventTest::AddRichAndBarePhases() {
  SEISMIC_PHASE rich = Phase(0, 0, 0, 1710483555.125);
  rich.onset = 1;
  rich.firstMotion = 6;
  rich.weight = 2;
  rich.defining = 1;
  rich.deltim = 0.25;
  rich.amplitude = 12.5f;
  rich.period = 0.75f;
  rich.ampTime = 1710483556.5;
  rich.hasAmplitude = 1;
  rich.residual = -0.4f;
  rich.hasResidual = 1;
  rich.hasPolarization = 1;
  rich.azimuth = 123.5f;
  rich.emergence = 33.0f;
  rich.rectilinearity = 0.8f;
  rich.distance = 1.25f;
  rich.mb = 4.5f;
  rich.ms = 3.9f;
  rich.mplp = 4.1f;
  rich.mpsp = 4.2f;
  rich.ml = 3.3f;
  rich.coda = 80;
  rich.energyClass = 9.5;
  rich.mcoda = 3.1;
  rich.chanType = "SP";
  rich.remark = "it's clear";
  rich.aFilType = "BP 1-5";
  rich.pFilType = "HP 0.5";
  rich.cssComment = "checked twice";
  workstation().phases().Add(rich);
  workstation().phases().Add(Phase(1, 0, 1, 1710483590.5));
}

int EventTest::Count(const std::string& sql) {
  return std::stoi(db().QueryValue(sql).value_or("-1"));
}

int EventTest::CountCss(const std::string& sql) {
  return std::stoi(db().QueryCssValue(sql).value_or("-1"));
}

}  // namespace nuv::test
