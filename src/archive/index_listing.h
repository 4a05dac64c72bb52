#pragma once
// The index rows of one station as the archive's list dialogs show them: the
// file-list dialog (FILELIST or, with WFD on, wfdisc) and the disk-loop
// deletion dialog. The dialogs build their filter here, list the rows here
// and format the columns with the functions below.

#include <optional>
#include <string>
#include <vector>

#include "platform/odbc.h"

namespace nuv {

struct IndexRow {
  std::string station;
  std::string channel;
  double begin = 0;               // time of the first sample
  double duration = 0;            // seconds
  double rate = 0;                // samples per second
  std::string path;               // CPATH, or dir/dfile of a wfdisc row
  std::string creator;            // CREATER ("" for wfdisc rows)
  std::optional<long long> foff;  // FOFF; nothing for NULL
};

// Whole-second bounds of a listing interval.
struct IndexInterval {
  long from = 0;
  long to = 0;
};

// Filter of the file-list dialog: "STA='%s'", with an interval
// "STA='%s' and (TBEGIN between %ld and %ld)" (wfdisc: "sta='%s' and (TIME
// between %ld and %ld)"); with `channels` given, " and ( ", " 1=0 ", one
// " or CH='NAME' " per channel and "  ) " follow (wfdisc rows are matched on
// their lower-case chan column).
std::string FileListDialogFilter(bool wfd, const std::string& station,
                                 const std::optional<IndexInterval>& interval,
                                 const std::vector<std::string>* channels);

// Filter of the disk-loop dialog: "sta='%s'" or
// "sta='%s' and (tbegin between %ld and %ld)".
std::string DiskLoopFilter(const std::string& station,
                           const std::optional<IndexInterval>& interval);

// The rows of FILELIST (wfd false) or wfdisc (wfd true) matching `filter`, in
// the dialog's order: newest first, channels descending. Throws odbc::Error
// with the driver's text.
std::vector<IndexRow> ListIndexRows(odbc::Connection& connection, bool wfd,
                                    const std::string& filter);

// Columns of the file-list dialog.
std::string FileListStartText(double t);           // "%02d/%02d/%04d %02d:%02d:%02.3f"
std::string FileListDurationText(double seconds);  // "%02d:%02d:%.4f"
std::string FileListRateText(double rate);         // "%3.0f", below 1 "%0.3f"

// Columns of the disk-loop dialog.
std::string DiskLoopStartText(double t);           // "%02d/%02d/%04d %02d:%02d:%02.0f"
std::string DiskLoopDurationText(double seconds);  // "%02d:%02d:%02.3f"
std::string DiskLoopRateText(double rate);         // "%3.3f"

}  // namespace nuv
