#pragma once
// The phase record: one picked (or loaded, or theoretical) arrival of the
// current event. A plain record; copying copies every field and a copy owns
// its own strings. -1 or a non-positive value in a per-phase measurement
// means "none".

#include <cstdint>
#include <string>
#include <string_view>

namespace nuv {

struct SEISMIC_PHASE {
  int32_t hour = 0;  // broken-down `time` (UTC)
  int32_t minute = 0;
  int32_t second = 0;
  int32_t hundredths = 0;   // truncated
  double time = 0;          // arrival time, epoch seconds (authoritative)
  uint8_t onset = 0;        // 0 "E", 1 "I", 2 "W", 3 "-"
  uint8_t firstMotion = 0;  // 0 "U", 1 "D", 2 "+", 3 "-", 4 "?", 5 "c", 6 "d", 7 "u", 8 "r"
  uint8_t weight = 4;       // 0..4
  int32_t year = 0;
  uint8_t month = 1;
  uint8_t day = 1;
  float amplitude = 0;
  float period = 0;
  int32_t hasAmplitude = 0;
  int32_t defining = 0;
  double deltim = 0;
  int32_t hasResidual = 0;
  float residual = 1.0f;
  int32_t hasSlowness = 0;
  float slowness = 1.0f;
  int32_t hasPolarization = 0;
  float azimuth = 0;
  float emergence = 0;
  float planarity = 0;
  float rectilinearity = 0;
  int32_t markX = 0;
  int32_t station = 0;
  int32_t channel = 0;
  int32_t phaseType = 0;
  int32_t arid = -1;
  int32_t commid = -1;
  double ampTime = 0;
  float mb = -1;
  float ms = -1;
  float mplp = -1;
  float mpsp = -1;
  float ml = -1;
  std::string cssComment;
  float distance = -1;
  double coda = -1;
  double energyClass = 0;
  double mcoda = -1;
  int32_t active = 1;
  std::string chanType;
  std::string remark;
  std::string aFilType;
  std::string pFilType;
  float backAzimuth = -1;

  // Sets `time` and the broken-down fields (proleptic Gregorian calendar,
  // seconds truncated, the remainder times 100 truncated to hundredths).
  void SetTime(double t);

  // Same identity triple (station, channel, phase type).
  bool SameTriple(const SEISMIC_PHASE& other) const {
    return station == other.station && channel == other.channel && phaseType == other.phaseType;
  }
};

// Text codes of the small enumerations.
// "E", "I", "W", "-"; a value outside 0..3 is written "-".
char OnsetCode(uint8_t onset);
// First character, case-insensitive; anything else gives 0.
uint8_t OnsetFromText(std::string_view text);
// The single character of the code; a value outside 0..8 is written "?".
char FirstMotionCode(uint8_t firstMotion);
// First character, case-sensitive; anything else (or empty) gives 4 ("?").
uint8_t FirstMotionFromText(std::string_view text);
// The weight digit "0".."4".
char WeightCode(uint8_t weight);

// The filter/simulation text of a phase (`pFilType`, and what a pane
// reports) as the analyst reads it in dialogs and tool tips: "unfilter",
// kept in records and files for a trace without transformation, shows as
// "без фильтра"; FilterTypeStored turns a shown text back.
inline constexpr const char* kUnfilteredText = "unfilter";
std::string FilterTypeShown(std::string_view stored);
std::string FilterTypeStored(std::string_view shown);

}  // namespace nuv
