#include "archive/data_block.h"

#include <algorithm>

namespace nuv {

void CXChanArray::Add(const std::string& station, const std::string& channel, double t1,
                      double t2) {
  for (ChannelSpan& span : spans_) {
    if (span.station == station && span.channel == channel) {
      span.first = std::min(span.first, t1);
      span.last = std::max(span.last, t2);
      return;
    }
  }
  spans_.push_back({station, channel, t1, t2});
}

}  // namespace nuv
