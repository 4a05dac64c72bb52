#pragma once
// The local wall-clock time as the databases store "now" (LDDATE and the
// like).

#include <string>

namespace nuv {

// The local time as "%Y-%m-%d %H:%M:%S".
std::string LocalTimestampNow();

}  // namespace nuv
