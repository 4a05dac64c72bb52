#pragma once
// The vector coastline file "map.pnt": 6-byte records of three 16-bit
// little-endian fields, code (unsigned), latitude and longitude in minutes of
// arc (signed). A code of 1001 or more starts a new polyline at the point; a
// smaller code continues the current one. The country borders
// ("borders.pnt") and the lake shores ("lakes.pnt") are files of the same form.

#include <cstdint>
#include <string>
#include <vector>

namespace nuv::map {

inline constexpr int kNewPolylineCode = 1001;
inline constexpr size_t kPntRecordSize = 6;
inline constexpr size_t kPntReadBlock = 300000;  // bytes read at a time

// The line files of the home directory.
inline constexpr const char* kCoastFile = "map.pnt";
inline constexpr const char* kBordersFile = "borders.pnt";
inline constexpr const char* kLakesFile = "lakes.pnt";

struct GeoPoint {
  float lat = 0, lon = 0;  // degrees
};

struct Coastline {
  std::vector<std::vector<GeoPoint>> polylines;
  size_t pointCount() const;
  bool empty() const { return polylines.empty(); }
};

struct CoastlineLoad {
  Coastline coastline;
  // "" when the file was read whole; otherwise why the layer is empty or cut:
  // a missing file, a read error, or a last record cut short.
  std::string problem;
};

// Reads `path`. A missing or unreadable file gives an empty coastline with the
// reason; a trailing partial record is dropped and reported (naming the
// layer's file `name`); points outside ±90° latitude or ±180° longitude are
// skipped and start a new polyline.
CoastlineLoad ReadCoastline(const std::string& path, const std::string& name = kCoastFile);
// Parses the bytes of a file of this form (same rules); `name` is the file
// the problem names.
CoastlineLoad ParseCoastline(const std::string& bytes, const std::string& name = kCoastFile);
// The file's bytes for `coastline` (coordinates rounded to whole minutes).
std::string EncodeCoastline(const Coastline& coastline);

}  // namespace nuv::map
