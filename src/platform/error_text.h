#pragma once
// The system's reason for a failed call (an errno value) in Russian, for the
// messages the analyst reads; reasons without a Russian text keep the C
// library's.

#include <string>

namespace nuv {

std::string SystemErrorText(int err);

}  // namespace nuv
