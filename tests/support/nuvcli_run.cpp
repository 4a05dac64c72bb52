#include "support/nuvcli_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace nuv::test {

CliRun RunNuvcli(const TestDatabase& db, const std::string& arguments) {
  const std::string errors = (db.dir().path() / "stderr.txt").string();
  const std::string command = "NUV_CONFIG_DIR='" + db.settingsDir().string() + "' '" +
                              std::string(NUV_BINARY_DIR) + "/app/nuvcli' " + arguments + " 2>'" +
                              errors + "'";
  CliRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.errors = TempDir::ReadFile(errors);
  return run;
}

std::string CliKeys(const TestDatabase& db) {
  std::string keys;
  for (const std::string& key : db.Keys()) keys += "'" + key + "' ";
  return keys;
}

nlohmann::json CliJson(const CliRun& run) {
  return nlohmann::json::parse(run.out);
}

}  // namespace nuv::test
