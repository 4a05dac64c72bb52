#pragma once
// The built-in demo: a complete working setup in one folder (settings,
// ODBC data source on a SQLite database, a synthetic three-component network
// with one hour of recordings of an event whose hypocentre is known, the
// IASP91 travel-time set, calibration tables and responses).

#include <string>
#include <vector>

namespace nuv::demo {

struct DemoOptions {
  std::string outDir;          // the demo folder (created)
  std::string calibrationDir;  // magnitude calibration tables to copy ("" = none)
  int stations = 12;           // 3..20
  double minutes = 60;         // length of every recording
  double rate = 20;            // samples per second
  int arrayElements = 0;       // stations of a small array (0, or 4..25)
};

struct DemoStation {
  std::string code;
  double lat = 0, lon = 0, elevation = 0;
  double distance = 0;            // degrees from the epicentre
  double pTime = -1, sTime = -1;  // arrival times (epoch seconds), -1 when none
  bool bigEndian24 = false;       // recorded as 24-bit big-endian files
  bool arrayElement = false;      // one of the small array's stations
  double dNorth = 0, dEast = 0;   // km from the array's centre (array elements)
};

struct DemoEvent {
  double lat = 42.70, lon = 74.60, depth = 15.0;
  double originTime = 0;
};

struct DemoReport {
  DemoEvent event;
  std::vector<DemoStation> stations;
  double recordStart = 0;
  int files = 0;
};

// The small array: `elements` stations on a square grid 2 km apart, three
// degrees from the epicentre, codes AR01...
std::vector<DemoStation> LayOutArray(const DemoEvent& event, int elements);

// Builds the whole demo; throws std::runtime_error (or odbc::Error) with the reason.
DemoReport BuildDemo(const DemoOptions& options);

}  // namespace nuv::demo
