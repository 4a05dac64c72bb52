#pragma once
// Runs the nuvcli program against a test database as the analyst runs it.

#include <nlohmann/json.hpp>
#include <string>

#include "support/test_database.h"

namespace nuv::test {

struct CliRun {
  int status = -1;
  std::string out;     // standard output
  std::string errors;  // standard error
};

// Runs nuvcli with the settings folder of `db` and the shell words
// `arguments` (quote them as a shell would need).
CliRun RunNuvcli(const TestDatabase& db, const std::string& arguments);

// The program keys that point nuvcli at the test databases, quoted.
std::string CliKeys(const TestDatabase& db);

// The JSON printed on standard output.
nlohmann::json CliJson(const CliRun& run);

}  // namespace nuv::test
