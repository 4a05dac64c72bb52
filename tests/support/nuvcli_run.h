#pragma once
// Runs nuvcli as the analyst runs it, with the settings folder of a test
// database, and reads its JSON back.

#include <nlohmann/json.hpp>
#include <string>

#include "support/test_database.h"

namespace nuv::test {

struct CliRun {
  int status = -1;
  std::string out;  // standard output, then "\n--stderr--\n" and standard error
};

// `arguments` are shell words, already quoted where needed.
CliRun Nuvcli(const TestDatabase& db, const std::string& arguments);
// The JSON printed on standard output.
nlohmann::json Json(const CliRun& run);
// The database's command-line keys, quoted for the shell.
std::string Keys(const TestDatabase& db);
// The standard error part of a run.
std::string ErrorText(const CliRun& run);

}  // namespace nuv::test
