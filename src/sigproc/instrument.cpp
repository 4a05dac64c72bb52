#include "sigproc/instrument.h"

#include <array>
#include <cmath>

#include "platform/strformat.h"

namespace nuv {

namespace {

using C = std::complex<double>;

constexpr std::array<C, 3> kThreeAtZero = {C(0, 0), C(0, 0), C(0, 0)};
constexpr std::array<C, 2> kTwoAtZero = {C(0, 0), C(0, 0)};

constexpr std::array<C, 4> kKirnosPoles = {C(-0.127, 0.25), C(-0.127, -0.25), C(-0.263, 0),
                                           C(-83.6, 0)};
constexpr std::array<C, 4> kWwsslpPoles = {C(-0.411, 0.0252), C(-0.411, -0.0252), C(-0.0486, 0),
                                           C(-0.0874, 0)};
constexpr std::array<C, 5> kWwssspPoles = {C(-3.73, 6.22), C(-3.73, -6.22), C(-5.61, 0),
                                           C(-13.2, 0), C(-21.1, 0)};
constexpr std::array<C, 2> kWoodAndersonPoles = {C(-6.28319, 4.71239), C(-6.28319, -4.71239)};
constexpr std::array<C, 7> kLpsroZeros = {C(-0.1243, 0), C(-47.62, 0), C(0, 0), C(0, 0),
                                          C(0, 0),       C(0, 0),      C(0, 0)};
constexpr std::array<C, 19> kLpsroPoles = {
    C(-4.648, 3.463),    C(-4.648, -3.463),  C(-0.1179, 0),      C(-40.73, 0),
    C(-100.0, 0),        C(-0.15, 0),        C(-264.0, 0),       C(-3.928, 0),
    C(-0.282, 0),        C(-0.201, 0.241),   C(-0.201, -0.241),  C(-0.1337, 0.1001),
    C(-0.1337, -0.1001), C(-0.0251, 0),      C(-0.00924, 0),     C(-0.8547, 0.2555),
    C(-0.8547, -0.2555), C(-0.5415, 0.6834), C(-0.5415, -0.6834)};
constexpr std::array<C, 4> kVegikPoles = {C(-4.23833, 9.2949), C(-4.23833, -9.2949), C(-621.151, 0),
                                          C(-7.66687, 0)};
constexpr std::array<C, 4> kSkmPoles = {C(-1.89835, 3.76548), C(-1.89835, -3.76548), C(-4.12334, 0),
                                        C(-254.495, 0)};

const std::array<StandardInstrument, 7> kInstruments = {{
    {kTransformKirnos, "KIRNOS", 83.559, kThreeAtZero, kKirnosPoles},
    {kTransformWwsslp, "WWSSLP", 0.84546, kThreeAtZero, kWwsslpPoles},
    {kTransformWwsssp, "WWSSSP", 531.98, kThreeAtZero, kWwssspPoles},
    {kTransformWoodAnderson, "WA", 1.0, kTwoAtZero, kWoodAndersonPoles},
    {kTransformLpsro, "LPSRO", 92384.54528458492, kLpsroZeros, kLpsroPoles},
    {kTransformVegik, "VEGIK", 618.1776, kThreeAtZero, kVegikPoles},
    {kTransformSkm, "SKM", 255.894, kThreeAtZero, kSkmPoles},
}};

struct NamedCode {
  int code;
  const char* name;
};

constexpr std::array<NamedCode, 18> kNames = {{
    {1000, "DIS"},
    {1001, "KIRNOS"},
    {1002, "WWSSLP"},
    {1003, "WWSSSP"},
    {1004, "WA"},
    {1005, "LPSRO"},
    {1006, "VEGIK"},
    {1007, "SKM"},
    {1010, "VEL"},
    {1011, "DIS_A"},
    {1012, "KIRNOS_A"},
    {1013, "WWSSLP_A"},
    {1014, "WWSSSP_A"},
    {1015, "WA_A"},
    {1016, "LPSRO_A"},
    {1017, "VEL_A"},
    {1018, "VEGIK_A"},
    {1019, "SKM_A"},
}};

}  // namespace

bool IsPoleZeroTransform(int code) {
  return (code >= kTransformDisplacement && code <= kTransformSkm) || code == kTransformVelocity;
}

bool IsFapTransform(int code) {
  return code >= kTransformDisplacementFap && code <= kTransformSkmFap &&
         code != kTransformVelocityFap;
}

std::optional<std::string> TransformName(int code) {
  for (const auto& entry : kNames) {
    if (entry.code == code) return std::string(entry.name);
  }
  return std::nullopt;
}

std::optional<int> TransformCodeByName(std::string_view name) {
  for (const auto& entry : kNames) {
    if (EqualsNoCase(entry.name, name)) return entry.code;
  }
  return std::nullopt;
}

std::string FilterDescription(bool transformed, int type, float lowCut, float highCut, int order,
                              int zeroPhase) {
  if (!transformed) return "unfilter";
  if (type >= 0 && type <= 3) {
    static const char* const kLetters[] = {"B", "L", "R", "H"};
    return StrFormat("%.4f %.4f %d %1s %1c", static_cast<double>(lowCut),
                     static_cast<double>(highCut), order, kLetters[type], zeroPhase ? '0' : 'C');
  }
  return TransformName(type).value_or("unfilter");
}

std::string FilterDescription(bool transformed, const ChannelFilter& filter) {
  return FilterDescription(transformed, filter.type, filter.lowCut, filter.highCut, filter.order,
                           filter.zeroPhase);
}

const StandardInstrument* FindStandardInstrument(int code) {
  // The amplitude-table codes imitate the same seismographs; 1017 (VEL_A) and
  // 1011 (DIS_A) have none.
  switch (code) {
    case kTransformKirnosFap:
      code = kTransformKirnos;
      break;
    case kTransformWwsslpFap:
      code = kTransformWwsslp;
      break;
    case kTransformWwssspFap:
      code = kTransformWwsssp;
      break;
    case kTransformWoodAndersonFap:
      code = kTransformWoodAnderson;
      break;
    case kTransformLpsroFap:
      code = kTransformLpsro;
      break;
    case kTransformVegikFap:
      code = kTransformVegik;
      break;
    case kTransformSkmFap:
      code = kTransformSkm;
      break;
    default:
      break;
  }
  for (const auto& instrument : kInstruments) {
    if (instrument.code == code) return &instrument;
  }
  return nullptr;
}

std::complex<double> RootResponse(double constant, std::span<const C> zeros,
                                  std::span<const C> poles, double frequency) {
  const C s(0.0, kTwoPi * frequency);
  C numerator(1.0, 0.0);
  for (const C& z : zeros) numerator *= s - z;
  C denominator(1.0, 0.0);
  for (const C& p : poles) denominator *= s - p;
  return constant * numerator / denominator;
}

std::complex<double> StandardResponse(const StandardInstrument& instrument, double frequency) {
  return RootResponse(instrument.constant, instrument.zeros, instrument.poles, frequency);
}

double StandardMagnification(int code, double frequency) {
  if (code == kTransformDisplacement) return 1.0;
  const StandardInstrument* instrument = FindStandardInstrument(code);
  if (instrument == nullptr) return -1.0;
  return std::abs(StandardResponse(*instrument, frequency));
}

}  // namespace nuv
