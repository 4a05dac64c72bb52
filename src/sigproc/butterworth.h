#pragma once
// Recursive Butterworth filters of order 1 to 10: band-pass, low-pass,
// band-reject and high-pass. One design routine (analogue prototype, section
// by section bilinear transform) and one cascade routine serve the trace
// pane's channel filter, the formula function butter and the filter wizard.
// The arithmetic is single precision step by step, so filtered traces agree
// with those of earlier versions of the workstation to the last digit.

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

// Filter types of the channel filter, the wizard's radio buttons and presets.
enum ButterworthType : int {
  kBandPass = 0,
  kLowPass = 1,
  kBandReject = 2,
  kHighPass = 3,
  // Read from a preset whose type is "SPWWSS"; no design handles it, filtering
  // treats it as band-pass.
  kPresetSpwwss = 4,
};

constexpr int kMaxButterworthOrder = 10;
// Coefficient arrays and state are sized for this many sections (order 10
// band-pass needs 10).
constexpr int kMaxButterworthSections = 20;

// A designed cascade: nsects second-order sections, three coefficients each.
// After design sn holds b0, b1, b2 and sd holds 1, a1, a2 of
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct ButterworthSections {
  std::array<float, 3 * kMaxButterworthSections> sn{};
  std::array<float, 3 * kMaxButterworthSections> sd{};
  int nsects = 0;
};

// The pane's filter setting, field for field.
struct ChannelFilter {
  float lowCut = 0;      // Hz
  float highCut = 0;     // Hz
  std::string lowText;   // as typed, up to 20 characters
  std::string highText;  // as typed, up to 20 characters
  int type = kBandPass;  // ButterworthType; 1000 and above: seismograph simulation
  int order = 0;
  int zeroPhase = 0;  // nonzero = zero phase
};

// "BP", "LP", "BR", "HP" for types 0..3 (band-pass for anything else).
const char* ButterworthTypeName(int type);

// Designs the cascade. Only the first two letters of `type` are compared
// ("BP", "LP", "BR", "HP"); low-pass uses fh only, high-pass fl only. An
// unknown type or an order outside 1..10 gives no sections.
ButterworthSections DesignButterworth(int order, std::string_view type, float fl, float fh,
                                      float dt);

// One forward pass over x with all sections in cascade, state zeroed first.
void ApplySections(const ButterworthSections& filter, float* x, size_t n);

// The forward pass and, when zeroPhase is set, a second pass with fresh state
// from the last sample to the first (no phase shift, twice the attenuation).
void ApplySectionsZeroPhase(const ButterworthSections& filter, float* x, size_t n, bool zeroPhase);

// Multiplies both ends of x by a sine ramp over `percent` % of its length.
void TaperEnds(float* x, size_t n, int percent);

// Why a design of the type index (as FilterTrace reads it) for these
// cut-offs at sample interval dt would not give a usable filter, or an empty
// text when it would. Outside these bounds the design yields NaN or an
// integrator instead of a filter: the interval must be positive, a low-pass
// needs 0 < fh, a high-pass 0 < fl, band-pass and band-reject 0 < fl < fh,
// and every cut-off used must lie below the Nyquist frequency 1/(2 dt).
std::string ButterworthCutoffError(int type, double fl, double fh, double dt);

// Why the pane filter of the type index (any index above 3 designs a
// band-pass) cannot run on samples at `sps`, or an empty text when it can:
// the refusals of ButterworthCutoffError for the cut-offs the pane uses (an
// upper cut-off at or above Nyquist is brought to sps/2 - 0.1), and a band
// that lies at or above Nyquist altogether named as such.
std::string PaneFilterError(double sps, int type, double fl, double fh);

// The trace pane's filtering: order clamped to 1..10, 5 % taper, design for
// the type index (0 band-pass, 1 low-pass, 2 band-reject, 3 high-pass; any
// other index band-pass), forward pass and optional reverse pass. Returns
// false and leaves x untouched when ButterworthCutoffError refuses the
// input (its text goes to `error` when given).
bool FilterTrace(float* x, size_t n, float dt, int type, int order, float fl, float fh,
                 bool zeroPhase, std::string* error = nullptr);

// The pane filter as the pane runs it on its displayed samples: an upper
// cut-off at or above half the sampling rate becomes sps/2 - 0.1, the mean
// is removed, then FilterTrace runs with dt = 1/sps. Refused input (see
// FilterTrace) leaves the samples untouched.
bool FilterPaneSamples(std::vector<float>& samples, double sps, const ChannelFilter& filter,
                       std::string* error = nullptr);

// FilterPaneSamples on several traces with one rate and one filter: each
// trace ends exactly as FilterPaneSamples would leave it, but traces of equal
// length share the vector instructions of the cascade four at a time.
// Refused input leaves every trace untouched.
bool FilterPaneSamplesBatch(std::span<std::vector<float>* const> traces, double sps,
                            const ChannelFilter& filter, std::string* error = nullptr);

// The formula function butter: lfr == hfr returns x unchanged; lfr == 0 is a
// low-pass at hfr, hfr == 0 a high-pass at lfr, otherwise band-pass. Order
// clamped to 2..10, no taper, no mean removal, one forward pass in single
// precision. Returns the refusal of ButterworthCutoffError (x untouched),
// or an empty text after filtering.
std::string FormulaFilter(double* x, size_t n, double dt, double lfr, double hfr, double order);

// The filter wizard's formula text (radio index 0..3 as ButterworthType; the
// bounds as decimal numbers read from the two edits). Band-reject is the sum
// of a low-pass at the lower bound and a high-pass at the upper bound, in
// brackets so it can stand inside a larger formula.
std::string FilterWizardFormula(int type, double low, double high, int order, bool zeroPhase);

// Inserted by the formula dialog when the wizard is cancelled.
inline constexpr const char* kButterTemplate = "butter(W, lfr, hfr, n)";

}  // namespace nuv
