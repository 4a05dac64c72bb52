#pragma once
// Assembly of one channel's segment from the archive: the index rows that
// cover an interval are read from FILELIST (or, with WFD on, from the CSS
// database's wfdisc table), and the samples inside the interval are read from
// their data files into data blocks, one block per row, in start order.

#include <string>
#include <vector>

#include "archive/archive_paths.h"
#include "archive/data_block.h"
#include "platform/odbc.h"

namespace nuv {

class UserPrompts;
struct Config;

// The statement that finds the FILELIST rows of a channel near t1 (fixed text
// by location code and USE_TEND; the Oracle dialect gets no alias for the
// derived table). Station, channel and location code are escaped.
std::string FileListSegmentQuery(int dialect, bool useTend, const std::string& station,
                                 const std::string& channel, const std::string& lcode, double t1,
                                 double t2);

// The statement that finds the wfdisc rows of a channel (channel in lower case).
std::string WfdiscSegmentQuery(const std::string& station, const std::string& channel, double t1,
                               double t2);

// Fills `out` (emptied first) with the blocks of [t1, t2] found through
// FILELIST. `lcode` is the channel's location code, "??" for none. A failing
// query gives an empty array; a fetch error ends the rows silently. A row
// whose file cannot be read (no CPATH, a folder, a read error) gives its
// zeros like a missing file, and a message naming the row and the reason is
// added to `problems` (when given); the other rows are read as usual.
void AssembleFromFileList(odbc::Connection& connection, int dialect, const std::string& dataDir,
                          bool useTend, const std::string& station, const std::string& channel,
                          const std::string& lcode, double t1, double t2, NUVDataBlockArray& out,
                          std::vector<std::string>* problems = nullptr);

// The same through the CSS database's wfdisc table.
void AssembleFromWfdisc(odbc::Connection& cssConnection, const std::string& dataDir,
                        const DirectoryMap& dirsMap, const std::string& station,
                        const std::string& channel, double t1, double t2, NUVDataBlockArray& out,
                        std::vector<std::string>* problems = nullptr);

// Chooses the index by config.wfd: wfdisc through `cssConnection` (no data
// when it is null), FILELIST through `mainConnection` otherwise.
void AssembleSegment(odbc::Connection* mainConnection, int dialect, odbc::Connection* cssConnection,
                     const Config& config, const std::string& station, const std::string& channel,
                     const std::string& lcode, double t1, double t2, NUVDataBlockArray& out,
                     std::vector<std::string>* problems = nullptr);

// The gain of a channel at time t: GAIN of the first FILELIST row covering t,
// 1 when there is none, when it is 0 or 32484 (no gain), with WFD on, or
// without a main connection. A database error shows the driver's text.
double ChannelGain(odbc::Connection* mainConnection, bool wfd, const std::string& station,
                   const std::string& channel, double t, UserPrompts& prompts);

}  // namespace nuv
