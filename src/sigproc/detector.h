#pragma once
// Two short-term/long-term average detectors that mark signal onsets on a
// trace. `CNUVDetector` compares the variance of a short window with that of
// the long window before it and estimates the onset; `CVendrelDetector` is a
// fixed-point detector on rectified, de-meaned samples with exponential
// averages; its level starts at the first sample, so a trace far from zero
// or swinging around it is measured by its deviations alone. A run steps
// every sample in order and adds marks on each transition from off to on.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_store.h"

namespace nuv {

// Parameters of either detector (each pane holds one set per detector).
struct DetectorParams {
  double lta = 10.0;  // Tlta, seconds
  double sta = 1.0;   // Tsta, seconds
  double k = 4.0;     // trigger threshold on the ratio
  int useFilter = 0;  // CNUVDetector: take the pane's filtered samples
};

// The stored defaults of a channel: key "NUV\Detector\<station>\<channel>",
// string values Tlta ("10."), Tsta ("1."), K ("4.") and Filter ("0"; on when
// its first character is not "0"). Missing or unreadable values keep their
// defaults.
DetectorParams LoadDetectorDefaults(const SettingsStore& store, std::string_view station,
                                    std::string_view channel);
// Writes the four values in the same form (for administration and tests; the
// parameter dialog changes panes in memory only).
bool SaveDetectorDefaults(SettingsStore& store, std::string_view station, std::string_view channel,
                          const DetectorParams& params);

// The detection marks of a pane (real class name kept): three parallel arrays.
class DetectParam {
 public:
  void Add(double time, double lta, double sta) {
    time_.push_back(time);
    lta_.push_back(lta);
    sta_.push_back(sta);
  }
  void Clear() {
    time_.clear();
    lta_.clear();
    sta_.clear();
  }
  std::size_t size() const { return time_.size(); }
  double time(std::size_t i) const { return time_[i]; }
  double lta(std::size_t i) const { return lta_[i]; }
  double sta(std::size_t i) const { return sta_[i]; }

 private:
  std::vector<double> time_;
  std::vector<double> lta_;
  std::vector<double> sta_;
};

// Parameters a detector cannot run with (a window shorter than one sample, a
// rate that is not positive); what() is the text to show.
class DetectorError : public std::runtime_error {
 public:
  explicit DetectorError(const std::string& message) : std::runtime_error(message) {}
};

class CNUVDetector {
 public:
  struct Result {
    bool on = false;
    double onsetOffset = 0.0;  // q, seconds before the current sample
  };

  CNUVDetector(double tlta, double tsta, double k) : tlta_(tlta), tsta_(tsta), k_(k) {}

  // Resets the state for a sampling rate. Throws DetectorError when either
  // window holds less than one sample.
  void Initialise(double samplesPerSecond);
  Result Step(float x);

  float ratio() const { return ratio_; }

 private:
  double tlta_, tsta_, k_;
  double sps_ = 0.0;
  std::size_t nLta_ = 0, nSta_ = 0;
  void ResyncSums();

  // Ring of nLta_ + nSta_ deviations from reference_, oldest at head_.
  std::vector<double> buffer_;
  std::size_t head_ = 0;
  double reference_ = 0.0;
  std::size_t sinceResync_ = 0;
  // Sums and sums of squares of the deviations in the STA and LTA windows.
  double sumS_ = 0.0, sumSqS_ = 0.0, sumL_ = 0.0, sumSqL_ = 0.0;
  float x0_ = 0.0f, x1_ = 0.0f, x2_ = 0.0f;
  float slope_ = 0.0f;
  float ratio_ = 0.0f;
  long long seen_ = 0;
  long long hold_ = 0, holdReset_ = 0;
  // Constant parts of the parabola slope over abscissae 0, 1/sps, 2/sps.
  double pa_ = 0.0, pb_ = 0.0, pc_ = 0.0, pl_ = 0.0, po_ = 0.0, pr_ = 0.0;
};

class CVendrelDetector {
 public:
  CVendrelDetector(double tlta, double tsta, double k) : tlta_(tlta), tsta_(tsta), k_(k) {}

  // Resets the state for a sampling rate. Throws DetectorError when a window
  // holds less than one sample or more than the 16-bit counts can hold
  // (65535 samples for LTA + STA twice over), rather than wrapping silently.
  void Initialise(double samplesPerSecond);
  bool Step(float x);

  // A sample as it enters: a signed fixed-point value with kFractionBits
  // binary places, truncated toward zero and held within +-2^31 counts (so
  // -2 stays below 0 rather than wrapping to a large count; not-a-number
  // enters as 0).
  static constexpr int kFractionBits = 16;
  static int64_t SampleValue(float x);

  // The last ratio STA/LTA as integer part and 16-bit fraction (of 65535).
  uint32_t ratioInteger() const { return ratioInt_; }
  uint16_t ratioFraction() const { return ratioFrac_; }

 private:
  // An exponential average: whole part P and the remainder R in units of
  // 1/N (|R| < N, sign kept).
  struct Average {
    int64_t whole = 0;
    int64_t remainder = 0;
  };
  // Division by a fixed 16-bit count through a 64-bit reciprocal: exact for
  // dividends below 2^48 (the error d / 2^64 stays under 1/n), which every
  // deviation of values within +-2^47 is.
  struct Divisor {
    uint64_t n = 1;
    uint64_t reciprocal = 0;
    void Set(uint16_t count) {
      n = count;
      reciprocal = ~uint64_t{0} / count + 1;
    }
    inline uint64_t Quotient(uint64_t d) const;
  };
  static inline uint64_t Update(Average& avg, int64_t value, const Divisor& n);

  double tlta_, tsta_, k_;
  uint16_t nLta_ = 0, nSta_ = 0, nDc_ = 0;
  Divisor divLta_, divSta_, divDc_;
  uint32_t kInt_ = 0;
  uint16_t kFrac_ = 0;
  Average dc_, sta_, lta_;
  uint32_t ratioInt_ = 0;
  uint16_t ratioFrac_ = 0;
  bool on_ = false;
  long long stepped_ = 0;
};

// The samples CNUVDetector runs on: the pane's filtered samples when the
// filter flag is on (`filtered` null or empty: DetectorError "Нет
// фильтрованных данных"), else its source samples. CVendrelDetector always
// takes the source samples.
std::span<const float> NUVDetectorInput(const DetectorParams& params, std::span<const float> source,
                                        const std::vector<float>* filtered);

// A run over a pane's samples: marks cleared, detector initialised, samples
// stepped in order; for sample i the time is start + i/sps. CNUVDetector adds
// two marks per trigger (t - Tsta/2 and t - q), CVendrelDetector one (t).
// Both throw DetectorError for parameters they cannot run with.
void RunNUVDetector(std::span<const float> samples, double samplesPerSecond, double start,
                    const DetectorParams& params, DetectParam& marks);
void RunVendrelDetector(std::span<const float> samples, double samplesPerSecond, double start,
                        const DetectorParams& params, DetectParam& marks);

}  // namespace nuv
