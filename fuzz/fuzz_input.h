#pragma once
// Helpers shared by the fuzz targets: the input as text and, for readers
// that take a file name, the input written to a file of a private folder.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace nuv::fuzz {

inline std::string_view Text(const uint8_t* bytes, size_t size) {
  return {reinterpret_cast<const char*>(bytes), size};
}

// A folder of this process, made on first use (libFuzzer runs one input at
// a time, so one folder serves every input).
inline const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = "/tmp/nuvfuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/";
  }();
  return folder;
}

// Writes the input to Folder() + name and returns the full name.
inline std::string WriteInput(const std::string& name, const uint8_t* bytes, size_t size) {
  const std::string path = Folder() + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(bytes, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

}  // namespace nuv::fuzz
