#pragma once
// A workstation on a SQLite main and CSS database with three stations
// (ABC, DEF, GHI) and a data directory, for the administration dialogs.

#include <memory>
#include <string>

#include "frame_fixture.h"
#include "platform/strformat.h"
#include "support/test_database.h"

namespace nuv::test {

class AdminDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameTestApp();
    db = std::make_unique<TestDatabase>(DbBackend::Sqlite, TestDatabaseOptions{.css = true});
    for (const char* sta : {"ABC", "DEF", "GHI"})
      db->Exec(StrFormat(
          "insert into SITE (STA, NGROUPS, ELEV, LAT, LON) values ('%s', 1, 0, 50, 70)", sta));
    db->Exec("insert into NETWORKS (NETNAME, NETLIST) values ('KNET', 'DEF;GHI;')");
  }
  // Built on first use, with the data directory below the test folder.
  Workstation& workstation() {
    if (!ws) ws = db->MakeWorkstation(prompts, {"DATA=" + dataDir()});
    return *ws;
  }
  std::string dataDir() const { return (db->dir().path() / "data").string(); }
  std::string Value(const std::string& sql) { return db->QueryValue(sql).value_or("?"); }

  ScriptedPrompts prompts;
  std::unique_ptr<TestDatabase> db;
  std::unique_ptr<Workstation> ws;
};

}  // namespace nuv::test
