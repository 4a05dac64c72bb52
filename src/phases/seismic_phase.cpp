#include "phases/seismic_phase.h"

#include <cmath>

#include "platform/time_base.h"

namespace nuv {
namespace {

constexpr char kOnsetCodes[] = {'E', 'I', 'W', '-'};
constexpr char kFirstMotionCodes[] = {'U', 'D', '+', '-', '?', 'c', 'd', 'u', 'r'};

}  // namespace

void SEISMIC_PHASE::SetTime(double t) {
  time = t;
  const CalendarTime c = EpochToCalendar(t);
  year = c.year;
  month = static_cast<uint8_t>(c.month);
  day = static_cast<uint8_t>(c.day);
  hour = c.hour;
  minute = c.minute;
  const double whole = std::floor(c.second);
  second = static_cast<int32_t>(whole);
  hundredths = static_cast<int32_t>((c.second - whole) * 100.0);
  if (hundredths > 99) hundredths = 99;
}

char OnsetCode(uint8_t onset) {
  return onset < 4 ? kOnsetCodes[onset] : '-';
}

uint8_t OnsetFromText(std::string_view text) {
  if (text.empty()) return 0;
  switch (text[0]) {
    case 'E':
    case 'e':
      return 0;
    case 'I':
    case 'i':
      return 1;
    case 'W':
    case 'w':
      return 2;
    case '-':
      return 3;
    default:
      return 0;
  }
}

char FirstMotionCode(uint8_t firstMotion) {
  return firstMotion < 9 ? kFirstMotionCodes[firstMotion] : '?';
}

uint8_t FirstMotionFromText(std::string_view text) {
  if (text.empty()) return 4;
  for (uint8_t i = 0; i < 9; ++i)
    if (kFirstMotionCodes[i] == text[0]) return i;
  return 4;
}

char WeightCode(uint8_t weight) {
  return static_cast<char>('0' + (weight <= 9 ? weight : 4));
}

namespace {
constexpr std::string_view kUnfilteredShown = "без фильтра";
}  // namespace

std::string FilterTypeShown(std::string_view stored) {
  return std::string(stored == kUnfilteredText ? kUnfilteredShown : stored);
}

std::string FilterTypeStored(std::string_view shown) {
  return std::string(shown == kUnfilteredShown ? std::string_view(kUnfilteredText) : shown);
}

}  // namespace nuv
