#pragma once
// An archive operation that stopped: what() is the message the analyst sees.

#include <stdexcept>
#include <string>

namespace nuv {

class ArchiveError : public std::runtime_error {
 public:
  explicit ArchiveError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace nuv
