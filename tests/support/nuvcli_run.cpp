#include "support/nuvcli_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace nuv::test {

namespace {
constexpr const char* kMarker = "\n--stderr--\n";
}

CliRun Nuvcli(const TestDatabase& db, const std::string& arguments) {
  const std::string command = "NUV_CONFIG_DIR='" + db.settingsDir().string() + "' '" +
                              std::string(NUV_BINARY_DIR) + "/app/nuvcli' " + arguments + " 2>'" +
                              (db.dir().path() / "stderr.txt").string() + "'";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out += kMarker + TempDir::ReadFile(db.dir().path() / "stderr.txt");
  return run;
}

nlohmann::json Json(const CliRun& run) {
  return nlohmann::json::parse(run.out.substr(0, run.out.find(kMarker)));
}

std::string Keys(const TestDatabase& db) {
  std::string keys;
  for (const std::string& key : db.Keys()) keys += "'" + key + "' ";
  return keys;
}

std::string ErrorText(const CliRun& run) {
  const size_t at = run.out.find(kMarker);
  return at == std::string::npos ? std::string() : run.out.substr(at + std::string(kMarker).size());
}

}  // namespace nuv::test
