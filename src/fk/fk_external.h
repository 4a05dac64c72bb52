#pragma once
// The external F-K program: the panes' intervals are written as a CSS 3.0
// file set ("0.wfdisc" and "data.w") into the exchange directory, the
// program is started as
//   PROGRAM WFDISC-PATH RESULTS-PATH SHORTEST-INTERVAL-SECONDS
// and answers with "results": the slowness (s/km) and the azimuth (degrees).

#include <chrono>
#include <string>
#include <vector>

#include "fk/fk_search.h"

namespace nuv {

class ProfileFile;

// [FKEXT] of NUV.INI.
struct FkExternalSettings {
  std::string module;  // MODULE: the program
  std::string wfd;     // WFD: the exchange directory as typed
  std::chrono::milliseconds timeout{std::chrono::seconds(300)};  // TIMEOUT (seconds)

  static FkExternalSettings Read(const ProfileFile& ini);
};

// The exchange directory: trailing blanks removed, then one trailing "/"
// or "\".
std::string FkExchangeDir(const std::string& wfd);

// Writes the file set for the panes that have an interval. Returns "" and
// the shortest interval in `shortest`, or the message.
std::string WriteFkExchange(const std::string& dir, const std::vector<FkPane>& panes,
                            double& shortest);

struct FkExternalResult {
  double slowness = 0;  // s/km
  double azimuth = 0;   // degrees
};

// Reads "results": two numbers, the slowness first.
std::string ReadFkResults(const std::string& path, FkExternalResult& result);

// The whole run: exchange files, the program (a previous "results" is
// removed first so that a stale answer is never taken), its answer.
std::string RunExternalFk(const FkExternalSettings& settings, const std::vector<FkPane>& panes,
                          FkExternalResult& result);

}  // namespace nuv
