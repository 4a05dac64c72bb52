#include "platform/paths.h"

namespace nuv {

std::string NativePath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

bool IsAbsolutePath(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return true;
  return !path.empty() && (path[0] == '/' || (path.size() >= 2 && path[0] == '\\' && path[1] == '\\'));
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out = NativePath(dir);
  std::string tail = NativePath(name);
  while (!tail.empty() && tail.front() == '/') tail.erase(tail.begin());
  if (out.empty()) return tail;
  if (out.back() != '/') out.push_back('/');
  return out + tail;
}

}  // namespace nuv
