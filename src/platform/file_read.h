#pragma once
// Reading files so that a read error is never mistaken for the end of the
// file: the end gives a short count, an error gives FileReadError.

#include <cstddef>
#include <stdexcept>
#include <string>

namespace nuv {

// A file that could not be opened or read; what() is the message the
// analyst sees ("Ошибка чтения файла NAME: <system text>").
class FileReadError : public std::runtime_error {
 public:
  explicit FileReadError(const std::string& message) : std::runtime_error(message) {}
};

// "Ошибка чтения файла NAME: " and the system's text for `err`.
std::string ReadErrorMessage(const std::string& name, int err);

// Reads up to `size` bytes at `offset` of the open descriptor `fd` (file
// `name`) into `buffer`, retrying interrupted and partial reads. Returns the
// number of bytes read, short only at the end of the file; a read error
// throws FileReadError.
size_t ReadFileAt(int fd, const std::string& name, void* buffer, size_t size, long long offset);

// The whole file. A file that cannot be opened throws FileReadError with
// `openMessage` followed by a blank and the name; a read error throws
// FileReadError with ReadErrorMessage.
std::string ReadWholeFile(const std::string& name,
                          const std::string& openMessage = "Ошибка открытия файла");

}  // namespace nuv
