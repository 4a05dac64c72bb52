#pragma once
// The checks of the filter page "Выберите полосу пропускания  и тип
// фильтра" when the analyst leaves it: the order an integer 1..10, each
// frequency text at most 7 characters, both frequencies >= 0 and the lower
// not above the upper; then the cut-offs the chosen type uses must give a
// usable filter at the main pane's sampling rate.

#include <string>

#include "sigproc/butterworth.h"

namespace nuv {

struct FilterPageCheck {
  enum Field { kNone, kLow, kHigh, kOrder } field = kNone;
  // The text to show; empty with a field set means a beep only.
  std::string message;
  bool ok() const { return field == kNone; }
};

// `type` is the radio index 0..3. A sample rate of 0 skips the Nyquist check
// (no pane data to compare with). On success `filter` holds the typed setting.
FilterPageCheck CheckFilterPage(const std::string& lowText, const std::string& highText,
                                const std::string& orderText, int type, bool zeroPhase,
                                double sampleRate, ChannelFilter& filter);

}  // namespace nuv
