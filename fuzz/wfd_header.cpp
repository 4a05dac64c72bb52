// Builds the WFD header and file name from arbitrary station and channel
// texts and arbitrary times, durations and rates (any bit pattern, NaN and
// infinities included): the header must always be 512 bytes.

#include <cstring>

#include "archive/wfd_file.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  double numbers[3] = {0, 0, 0};
  if (size < sizeof numbers || size > 4096) return 0;
  std::memcpy(numbers, bytes, sizeof numbers);
  const std::string_view rest = nuv::fuzz::Text(bytes + sizeof numbers, size - sizeof numbers);
  const size_t cut = rest.find('\n');
  const std::string_view station = rest.substr(0, cut);
  const std::string_view channel = cut == std::string_view::npos ? "" : rest.substr(cut + 1);
  const std::string header =
      nuv::BuildWfdHeader(station, channel, numbers[0], numbers[1], numbers[2]);
  if (header.size() != 512 || header.compare(0, 8, "[NUV4.0]") != 0) __builtin_trap();
  nuv::WfdFileName(station, channel, numbers[0]);
  return 0;
}
