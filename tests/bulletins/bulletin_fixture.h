#pragma once
// A workstation without a database for the bulletin suites: a small station
// table (with real IMS station codes, so agency bulletins can be read), a
// phase-type table whose seismic phases count as having travel-time tables,
// and a helper that builds phases.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bulletins/bulletin_source.h"
#include "platform/scripted_prompts.h"
#include "support/temp_dir.h"
#include "workstation/workstation.h"

namespace nuv::test {

// Stations: 0 MJAR (Z, N-S, E-W), 1 USRK (Z, BHZ: two verticals),
// 2 KSRS (Z only), 3 AB (Z, N-S).
// Phase types: 0 P, 1 S, 2 Pg, 3 Sg, 4 PKiKP, 5 PKP, 6 Pn, 7 N (no table),
// 8 PcP, 9 pP, 10 PP.
class BulletinTest : public ::testing::Test {
 protected:
  BulletinTest();

  Workstation& ws() { return *ws_; }
  BulletinSource source() { return SourceOf(*ws_); }
  // A fresh workstation with the same tables (for reading back).
  std::unique_ptr<Workstation> MakeWorkstation();
  SEISMIC_PHASE Phase(int station, int channel, int type, double time) const;
  // Adds a valid origin at 2024-03-15 06:19:00.25, 42.70 N 74.60 E, 15 km.
  void SetOrigin();

  TempDir dir;
  ScriptedPrompts prompts;

 private:
  std::unique_ptr<Workstation> ws_;
};

// Characters `first`..`last` (1-based) of a line.
std::string Cols(const std::string& line, int first, int last);
// The lines of a text without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace nuv::test
