#pragma once
// What the waveform benchmarks share: an offscreen application and window
// dialogs that tick every channel of the first stations and ask nothing else.

#include <QApplication>
#include <cstdlib>
#include <optional>
#include <string>

#include "waveview/ui/waveform_window.h"

namespace nuv::bench {

inline QApplication& OffscreenApp() {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class SelectAllChannels : public WaveformDialogs {
 public:
  explicit SelectAllChannels(int stations) : stations_(stations) {}
  bool SelectChannels(waveform& w) override {
    for (int s = 0; s < stations_; ++s)
      for (int c = 0; c < 3; ++c) w.selection().Set(c, s, true);
    return true;
  }
  std::optional<StationChannelChoice> SelectStationChannel(
      waveform&, const std::optional<StationChannelChoice>&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveChannelListName(waveform&) override { return std::nullopt; }
  std::optional<std::string> LoadChannelListName(waveform&) override { return std::nullopt; }
  bool EditScale(QWidget*, double&, double&, double&, double&) override { return false; }
  std::optional<int> ChooseSort(waveform&) override { return std::nullopt; }

 private:
  int stations_;
};

}  // namespace nuv::bench
