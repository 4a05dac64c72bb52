#pragma once
// The period and peak-to-peak amplitude of a wave group inside a pane's
// interval: the dominant period from the spectrum of the detrended segment,
// then the largest peak-to-peak value in windows of about half a period of
// the raw segment, and the time at the centre of the winning window.

#include <string>
#include <vector>

namespace nuv {

enum class PeriodAmplitudeRefusal {
  kNone,
  kNoInterval,     // "Не выбран интервал"
  kOutsideWindow,  // "Интервал вне пределов активного окна"
  kTooShort,       // fewer than 4 samples: no frequency between 0 and Nyquist
};

struct PeriodAmplitudeInput {
  const std::vector<float>* samples = nullptr;  // the transformed window from windowStart
  double rate = 0;                              // samples per second
  double windowStart = 0;
  double windowLength = 0;
  bool hasInterval = false;
  double intervalStart = 0, intervalEnd = 0;
};

struct PeriodAmplitude {
  PeriodAmplitudeRefusal refusal = PeriodAmplitudeRefusal::kNone;
  double period = 0;      // s
  double peakToPeak = 0;  // counts of the transformed signal
  double time = 0;        // centre of the winning window
  double earlierEnd = 0;  // the earlier interval end (where gains are read)
  int first = 0, count = 0;
};

PeriodAmplitude MeasurePeriodAmplitude(const PeriodAmplitudeInput& in);

// Index k (1 .. n/2 - 1) of the largest magnitude of the discrete Fourier
// transform of `x`, the first on ties; 0 when n < 4. Exposed for tests.
int DominantFrequencyIndex(const std::vector<double>& x);

// The message of a refusal ("" for none).
std::string PeriodAmplitudeMessage(PeriodAmplitudeRefusal refusal);

}  // namespace nuv
