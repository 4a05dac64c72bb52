// Feeds arbitrary text to the IMS1.0 bulletin reader: listing the events and
// reading each listed event (and one that is not there) must end in a
// reading or a failure text, never a crash, a hang or a sanitizer report.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bulletins/ims_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 65536) return 0;
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto events = nuv::ListImsEvents(text);
  size_t read = 0;
  for (const nuv::ImsEventEntry& entry : events) {
    if (++read > 8) break;
    const nuv::ImsEventText event =
        nuv::ParseBulletinEvent(text, entry.identifier, nuv::BulletinLayout::Ims, &entry);
    if (event.failure.empty() && !event.hasOrigin) __builtin_trap();
  }
  nuv::ParseBulletinEvent(text, "1", nuv::BulletinLayout::Ims);
  return 0;
}
