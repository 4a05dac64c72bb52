#include "platform/file_read.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error_text.h"

namespace nuv {

std::string ReadErrorMessage(const std::string& name, int err) {
  return "Ошибка чтения файла " + name + ": " + SystemErrorText(err);
}

size_t ReadFileAt(int fd, const std::string& name, void* buffer, size_t size, long long offset) {
  size_t done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < size) {
    const ssize_t got =
        pread(fd, bytes + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileReadError(ReadErrorMessage(name, errno));
    }
    if (got == 0) break;  // the end of the file
    done += static_cast<size_t>(got);
  }
  return done;
}

std::string ReadWholeFile(const std::string& name, const std::string& openMessage) {
  const int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileReadError(openMessage + " " + name);
  std::string text;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close(fd);
      throw FileReadError(ReadErrorMessage(name, err));
    }
    if (got == 0) break;
    text.append(chunk, static_cast<size_t>(got));
  }
  close(fd);
  return text;
}

}  // namespace nuv
