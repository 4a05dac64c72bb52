#pragma once
// A waveform window with the seismological commands registered, stations
// with coordinates, straight-ray travel-time tables and a helper that
// answers the modal dialogs the commands open.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "seismo/tables.h"
#include "seismo/ui/seismo_commands.h"
#include "waveview_fixture.h"
#include "when_shown.h"
#include "widgets/ui/command_registry.h"

namespace nuv::test {

class SeismoFixture : public WaveviewFixture {
 protected:
  void SetUp() override {
    WaveviewFixture::SetUp();
    const float positions[][2] = {{43.1f, 79.0f}, {41.0f, 80.5f}, {44.9f, 76.0f}};
    for (int s = 0; s < 3; ++s) {
      CScreenFields& st = ws->stations().records()[static_cast<size_t>(s)];
      st.lat = positions[s][0];
      st.lon = positions[s][1];
      for (ChannelEntry& c : st.channels) {
        c.lat = st.lat;
        c.lon = st.lon;
      }
    }
    WriteStraightRaySet(tables);
    ws->phaseTypes().Load(tables.path().string());
    AddSeismoCommands(*ws, *window, frameCommands, window.get(), [this] { ++changes; });
  }

  template <typename T = QLineEdit>
  static T* Find(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static void Click(QWidget& parent, const char* button) {
    if (auto* b = Find<QPushButton>(parent, button)) b->click();
  }

  // A phase of type `type` on (station, channel) at time t.
  SEISMIC_PHASE* AddPhase(int station, int channel, int type, double t, float amplitude = 0) {
    SEISMIC_PHASE p;
    p.station = station;
    p.channel = channel;
    p.phaseType = type;
    p.SetTime(t);
    p.amplitude = amplitude;
    p.hasAmplitude = amplitude > 0;
    return ws->phases().Add(p);
  }

  TempDir tables;
  CommandRegistry frameCommands;
  int changes = 0;
};

}  // namespace nuv::test
