#pragma once
// A waveform window on a temporary settings folder with a small inventory
// and synthetic samples, for the widget suites of the waveform view.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <deque>
#include <memory>

#include "platform/scripted_prompts.h"
#include "support/temp_dir.h"
#include "waveview/ui/waveform_window.h"
#include "waveview/ui/zoom_window.h"
#include "widgets/ui/russian_ui.h"
#include "workstation/workstation.h"

namespace nuv::test {

inline QApplication& EnsureApp() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
  static int argc = 1;
  static char name[] = "test_ui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  // The dialogs are checked in the language the analyst sees.
  static const bool russian = InstallRussianTranslations(*app);
  (void)russian;
  return *app;
}

// Dialog answers given by the test.
class FakeWaveformDialogs : public WaveformDialogs {
 public:
  std::function<bool(waveform&)> selectChannels;
  std::deque<std::optional<StationChannelChoice>> stationChannel;
  std::optional<StationChannelChoice> lastPreset;
  std::deque<std::optional<std::string>> saveNames, loadNames;
  std::deque<std::optional<int>> sorts;

  bool SelectChannels(waveform& w) override {
    busyDuringSelection = w.busy();
    return selectChannels ? selectChannels(w) : false;
  }
  std::optional<StationChannelChoice> SelectStationChannel(
      waveform&, const std::optional<StationChannelChoice>& preset) override {
    lastPreset = preset;
    return Next(stationChannel);
  }
  std::optional<std::string> SaveChannelListName(waveform&) override { return Next(saveNames); }
  std::optional<std::string> LoadChannelListName(waveform&) override { return Next(loadNames); }
  bool EditScale(QWidget*, double& ampMax, double& ampMin, double& transMax,
                 double& transMin) override {
    if (!scale) return false;
    ampMax = (*scale)[0];
    ampMin = (*scale)[1];
    transMax = (*scale)[2];
    transMin = (*scale)[3];
    return true;
  }
  std::optional<int> ChooseSort(waveform&) override { return Next(sorts); }

  std::optional<std::array<double, 4>> scale;
  bool busyDuringSelection = false;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

// 2009-08-05 17:00:00 UTC.
inline constexpr double kT0 = 1249491600.0;

class WaveviewFixture : public ::testing::Test {
 protected:
  double rate = 10;  // samples per second of the synthetic recordings
  void SetUp() override {
    EnsureApp();
    Config config;
    config.settingsDir = dir.path();
    ws = std::make_unique<Workstation>(config, prompts);
    AddStation("KUR", 20, {"SHZ"});
    AddStation("ABC", 10, {"BHZ", "BHN", "BHE"});
    AddStation("OBN", kUnnumberedStation, {"SHZ"});
    window = std::make_unique<waveform>(*ws);
    auto fake = std::make_unique<FakeWaveformDialogs>();
    dialogs = fake.get();
    window->SetDialogs(std::move(fake));
    window->SetSegmentLoader([this](const std::string& sta, const std::string& chan,
                                    const std::string&, double t1, double t2,
                                    NUVDataBlockArray& out) {
      ++loads;
      out.Clear();
      out.station = sta;
      out.channel = chan;
      NUVDataBlock b;
      b.rate = rate;
      b.start = std::ceil(t1 * rate) / rate;
      const int n = static_cast<int>((t2 - b.start) * rate);
      if (n <= 0) return;
      b.Allocate(n);
      for (int i = 0; i < n; ++i)
        b.samples[static_cast<size_t>(i)] = static_cast<float>(100 * std::sin(i * 0.3));
      out.Append(std::move(b));
    });
    window->resize(816, 600);
    window->show();
    QCoreApplication::processEvents();
  }

  void AddStation(const std::string& code, int nindex, std::vector<std::string> channels) {
    CScreenFields s;
    s.code = code;
    s.nindex = nindex;
    for (size_t i = 0; i < channels.size(); ++i) {
      s.channels[i].name = channels[i];
      s.channels[i].rate = 10;
    }
    s.selection.SetStartEpoch(kT0);
    s.selection.SetLengthSeconds(600);
    ws->stations().records().push_back(s);
  }

  // Runs 32701 with the given (station, channel) cells ticked.
  void AddChannels(std::vector<std::pair<int, int>> cells) {
    dialogs->selectChannels = [cells](waveform& w) {
      for (auto [s, c] : cells) w.selection().Set(c, s, true);
      return true;
    };
    window->ExecuteCommand(32701);
  }

  // Nine panes (channels 0..2 of every station) in a window `height` high,
  // too low for them all.
  void AddNinePanesTo(int height) {
    std::vector<std::pair<int, int>> cells;
    for (int s = 0; s < 3; ++s)
      for (int c = 0; c < 3; ++c) cells.push_back({s, c});
    window->resize(816, height);
    QCoreApplication::processEvents();
    AddChannels(cells);
  }

  CZoomWindow* Pane(int i) { return window->panes().at(static_cast<size_t>(i)); }

  static void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                    Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
  }

  TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Workstation> ws;
  std::unique_ptr<waveform> window;
  FakeWaveformDialogs* dialogs = nullptr;
  int loads = 0;
};

}  // namespace nuv::test
