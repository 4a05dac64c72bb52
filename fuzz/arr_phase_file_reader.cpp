// Feeds arbitrary text to the reader of the system's own ".arr" phase files:
// every input ends in phases or a failure text naming a line.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bulletins/arr_file.h"

namespace {

struct Tables {
  nuv::StationTable stations;
  nuv::PhaseTypeTable types;
  Tables() {
    nuv::CScreenFields station;
    station.code = "AB";
    station.channels[0].name = "Z";
    station.channels[1].name = "N-S";
    stations.records().push_back(station);
    std::vector<nuv::PhaseTypeTable::Entry> entries(2);
    entries[0].name = "P";
    entries[0].ttFile = "P";
    entries[1].name = "S";
    types.SetEntries(std::move(entries));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 65536) return 0;
  static const Tables tables;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  std::vector<nuv::SkippedLine> skipped;
  std::string failure;
  const auto phases = nuv::ParseArrText(text, tables.stations, tables.types, skipped, failure);
  if (!failure.empty() && !phases.empty()) __builtin_trap();
  return 0;
}
