// Feeds arbitrary text to the ТРЕЗОН bulletin reader (IMS records with
// blank-separated values): every input ends in a reading or a failure text.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bulletins/ims_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 65536) return 0;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto events = nuv::ListImsEvents(text);
  for (size_t i = 0; i < events.size() && i < 8; ++i) {
    const nuv::ImsEventText event = nuv::ParseBulletinEvent(
        text, events[i].identifier, nuv::BulletinLayout::Trezon, &events[i]);
    for (const nuv::IMSPhaseBlock& a : event.arrivals)
      if (a.hour < 0 || a.hour > 23 || a.minute < 0 || a.minute > 59) __builtin_trap();
  }
  return 0;
}
