#pragma once
// A temporary folder removed with everything in it when the test ends.

#include <filesystem>
#include <string>

namespace nuv::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes `bytes` to a file below the folder (parents created) and returns its path.
  std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) const;
  static std::string ReadFile(const std::filesystem::path& path);

 private:
  std::filesystem::path path_;
};

}  // namespace nuv::test
