#pragma once
// The archive's own data files (WFD files): one channel each, a 512-byte text
// header and then the samples as little-endian 32-bit floats.

#include <string>
#include <string_view>

namespace nuv {

inline constexpr int kWfdHeaderSize = 512;
inline constexpr int kWfdDataType = 3;  // FILELIST.DATATYPE of a WFD file

// The 512-byte header: "[NUV4.0]", the data offset, start time and date,
// duration (modulo one day), sample type, rate, station and channel, each
// line ended by CR LF, zero bytes up to the end.
std::string BuildWfdHeader(std::string_view station, std::string_view channel, double start,
                           double duration, double rate);

// The file's name relative to the data directory: "STA/hhmmss-ddmmyyyy.CHAN"
// with the whole seconds of the first sample (every station has its own
// subdirectory). A `copy` above 0 names another record of the channel that
// starts in the same whole second: "STA/hhmmss-ddmmyyyy_<copy>.CHAN".
std::string WfdFileName(std::string_view station, std::string_view channel, double start,
                        int copy = 0);

}  // namespace nuv
