#pragma once
// The rows of the archive index for one station, as listed by the dialog
// "Список файлов волновых форм": all rows, or those beginning between two
// times, optionally only those of chosen channels; newest first.

#include <string>
#include <vector>

#include "platform/odbc.h"

namespace nuv {

struct ArchiveFileListFilter {
  std::string station;
  bool allFiles = true;
  long from = 0, to = 0;              // whole seconds, used when !allFiles
  std::vector<std::string> channels;  // restrict to these when not empty
  bool wfdisc = false;                // the CSS wfdisc table is the index
};

struct ArchiveFileRow {
  double start = 0;
  double duration = 0;
  double rate = 0;
  std::string channel;
  std::string path;
  std::string creator;
  // Column texts.
  std::string StartText() const;     // "%02d/%02d/%04d %02d:%02d:%02.3f"
  std::string DurationText() const;  // "%02d:%02d:%.4f"
  std::string RateText() const;      // "%3.0f", or "%0.3f" below 1
};

// The WHERE text of the listing (station and channel texts escaped).
std::string ArchiveFileListWhere(const ArchiveFileListFilter& filter);
// The whole statement, ordered newest first.
std::string ArchiveFileListSql(const ArchiveFileListFilter& filter);
// Runs the listing; throws odbc::Error with the driver's text.
std::vector<ArchiveFileRow> ListArchiveFiles(odbc::Connection& connection,
                                             const ArchiveFileListFilter& filter);

}  // namespace nuv
