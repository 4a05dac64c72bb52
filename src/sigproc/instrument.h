#pragma once
// Transformation codes of a trace pane and the standard seismographs that
// the simulation imitates. Codes 1000-1010 go through the channel's poles and
// zeros, 1011-1019 through its amplitude table (FAP); each code has the short
// name that a pane reports as its transformation. The standard responses
// take displacement: S(f) = K * prod(s - z) / prod(s - p), s = i*2*pi*f.

#include <complex>
#include <optional>
#include <span>
#include <string>

#include "sigproc/butterworth.h"

namespace nuv {

inline constexpr double kTwoPi = 6.283185307179586;

enum TransformCode : int {
  kTransformDisplacement = 1000,
  kTransformKirnos = 1001,
  kTransformWwsslp = 1002,
  kTransformWwsssp = 1003,
  kTransformWoodAnderson = 1004,
  kTransformLpsro = 1005,
  kTransformVegik = 1006,
  kTransformSkm = 1007,
  kTransformVelocity = 1010,
  kTransformDisplacementFap = 1011,
  kTransformKirnosFap = 1012,
  kTransformWwsslpFap = 1013,
  kTransformWwssspFap = 1014,
  kTransformWoodAndersonFap = 1015,
  kTransformLpsroFap = 1016,
  kTransformVelocityFap = 1017,  // a name only: no command issues it
  kTransformVegikFap = 1018,
  kTransformSkmFap = 1019,
};

// The transformation a pane reports: "unfilter" without one; for the
// Butterworth types 0..3 "%.4f %.4f %d %1s %1c" with the cut-offs, the order,
// the letter B, L, R or H (band-pass, low-pass, band-reject, high-pass) and
// '0' for zero phase or 'C' otherwise; the short name for codes 1000-1019.
// Types without a description (4, unknown codes) report "unfilter" as well.
std::string FilterDescription(bool transformed, int type, float lowCut, float highCut, int order,
                              int zeroPhase);
std::string FilterDescription(bool transformed, const ChannelFilter& filter);

// Codes that run the pole-zero pipeline (1000-1007, 1010) and the amplitude-table
// pipeline (1011-1016, 1018, 1019).
bool IsPoleZeroTransform(int code);
bool IsFapTransform(int code);

// "DIS", "KIRNOS", ..., "SKM_A" for codes 1000-1019; nullopt for codes without a name.
std::optional<std::string> TransformName(int code);
// The code of a short name (case-insensitive), nullopt when unknown.
std::optional<int> TransformCodeByName(std::string_view name);

// One standard seismograph of the table (codes 1001-1007).
struct StandardInstrument {
  int code;
  const char* name;
  double constant;  // K
  std::span<const std::complex<double>> zeros;
  std::span<const std::complex<double>> poles;
};

// The instrument of a pole-zero code 1001-1007 or of its amplitude-table twin
// (1012-1016, 1018, 1019); nullptr for every other code.
const StandardInstrument* FindStandardInstrument(int code);

// constant * prod(s - z) / prod(s - p) with s = i*2*pi*f, the products taken in
// the order of the lists.
std::complex<double> RootResponse(double constant, std::span<const std::complex<double>> zeros,
                                  std::span<const std::complex<double>> poles, double frequency);

// S(f) of a standard instrument: K times the product of (s - z) over the zeros,
// divided by the product of (s - p) over the poles, with s = i*2*pi*f.
std::complex<double> StandardResponse(const StandardInstrument& instrument, double frequency);

// Magnification M(code, f) = |S(f)| of the code's instrument: 1 for the plain
// displacement code 1000, -1 for codes without a standard response.
double StandardMagnification(int code, double frequency);

}  // namespace nuv
