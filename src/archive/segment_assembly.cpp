#include "archive/segment_assembly.h"

#include <cmath>

#include "archive/block_reader.h"
#include "archive/sample_codec.h"
#include "db/dialect.h"
#include "db/station_table.h"
#include "platform/config.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "platform/user_prompts.h"

namespace nuv {
namespace {

constexpr int kOracleDialect = 2;
constexpr long long kDefaultFoff = 512;  // a NULL FOFF: the offset of a WFD file
constexpr long long kNoGain = 32484;

// The four statements by location code ("??" or other) and USE_TEND.
constexpr const char* kNoCodeWithTend =
    "select TBEGIN, SPS, TQTY, DATATYPE, FOFF, CPATH, CALIB, CALPER from (select * from  FILELIST "
    "where STA='%s' and CH='%s' and (LCODE='%s' or LCODE Is Null ) and (TBEGIN>%.3f) and "
    "(TBEGIN<%.3f)) %s where (TEND>=%.3f and TBEGIN<=%.3f) order by TBEGIN";
constexpr const char* kNoCodeWithoutTend =
    "select TBEGIN, SPS, TQTY, DATATYPE, FOFF, CPATH, CALIB, CALPER from (select * from FILELIST "
    "where STA='%s' and CH='%s' and (LCODE='%s' or LCODE Is Null ) and  (TBEGIN>%.3f) and "
    "(TBEGIN<%.3f)) %s where ( TBEGIN+TQTY>=%.3f and TBEGIN<=%.3f) order by TBEGIN";
constexpr const char* kCodeWithTend =
    "select TBEGIN, SPS, TQTY, DATATYPE, FOFF, CPATH, CALIB, CALPER from (select * from  FILELIST "
    "where STA='%s' and CH='%s' and LCODE='%s' and (TBEGIN>%.3f) and (TBEGIN<%.3f)) %s where "
    "(TEND>=%.3f and TBEGIN<=%.3f) order by TBEGIN";
constexpr const char* kCodeWithoutTend =
    "select TBEGIN, SPS, TQTY, DATATYPE, FOFF, CPATH, CALIB, CALPER from (select * from FILELIST "
    "where STA='%s' and CH='%s' and LCODE='%s' and (TBEGIN>%.3f) and (TBEGIN<%.3f)) %s where ( "
    "TBEGIN+TQTY>=%.3f and TBEGIN<=%.3f) order by TBEGIN";

constexpr const char* kWfdiscQuery =
    "select time, samprate, nsamp, datatype, foff, dir, dfile, calib, calper from wfdisc where "
    "sta='%s' and chan='%s' and ( time<=%.3f and endtime>=%.3f or time>=%.3f and time<=%.3f) "
    "order by time";

constexpr const char* kGainQuery =
    "select GAIN from FILELIST where sta='%s' and ch='%s' and ( tbegin<=%ld and tbegin+tqty>=%ld)";

// Empties the output and names its channel, as every assembly does first.
void ResetSegment(NUVDataBlockArray& out, const std::string& station, const std::string& channel) {
  out.Clear();
  out.station = station;
  out.channel = channel;
}

// The rows of an index query; nothing when the database refuses it.
std::optional<odbc::Statement> QueryIndex(odbc::Connection& connection, const std::string& sql) {
  try {
    return connection.Query(sql);
  } catch (const odbc::Error&) {
    return std::nullopt;  // no index, no data
  }
}

// Appends a block with the row's calibration, or `absent` for both values
// when either is NULL.
void AppendCalibrated(NUVDataBlockArray& out, NUVDataBlock&& block, std::optional<double> calib,
                      std::optional<double> calper, double absent) {
  const bool known = calib && calper;
  block.calib = known ? *calib : absent;
  block.calper = known ? *calper : absent;
  out.Append(std::move(block));
}

// Reads one index row's block; a file that cannot be read gives zeros and a
// message naming the row.
std::optional<NUVDataBlock> ReadRowBlock(const BlockFile& file, double t1, double t2,
                                         const std::string& station, const std::string& channel,
                                         std::vector<std::string>* problems) {
  std::string problem;
  std::optional<NUVDataBlock> block = ReadBlockOrZeros(file, t1, t2, problem);
  if (!problem.empty() && problems) {
    const CalendarTime c = EpochToCalendar(file.begin);
    problems->push_back(StrFormat(
        "%s %s, файл с началом %02d.%02d.%04d %02d:%02d:%06.3f: %s. Вместо его отсчетов нули.",
        station.c_str(), channel.c_str(), c.day, c.month, c.year, c.hour, c.minute, c.second,
        problem.c_str()));
  }
  return block;
}

}  // namespace

std::string FileListSegmentQuery(int dialect, bool useTend, const std::string& station,
                                 const std::string& channel, const std::string& lcode, double t1,
                                 double t2) {
  // "??", '' and blanks all mean a channel without location code.
  const bool noCode = IsNoLocationCode(lcode);
  const char* format = noCode ? (useTend ? kNoCodeWithTend : kNoCodeWithoutTend)
                              : (useTend ? kCodeWithTend : kCodeWithoutTend);
  // Only files beginning within X seconds of t1 are considered.
  const double margin = (noCode && useTend) ? 43200 : 86400;
  const char* alias = dialect == kOracleDialect ? " " : "as tmp_filelist";
  return StrFormat(format, SqlText(station, dialect).c_str(), SqlText(channel, dialect).c_str(),
                   SqlText(lcode, dialect).c_str(), t1 - margin, t1 + margin, alias, t1, t2);
}

std::string WfdiscSegmentQuery(const std::string& station, const std::string& channel, double t1,
                               double t2) {
  return StrFormat(kWfdiscQuery, SqlEscape(station).c_str(),
                   SqlEscape(ToLowerAscii(channel)).c_str(), t1, t1, t1, t2);
}

void AssembleFromFileList(odbc::Connection& connection, int dialect, const std::string& dataDir,
                          bool useTend, const std::string& station, const std::string& channel,
                          const std::string& lcode, double t1, double t2, NUVDataBlockArray& out,
                          std::vector<std::string>* problems) {
  ResetSegment(out, station, channel);
  std::optional<odbc::Statement> rows = QueryIndex(
      connection, FileListSegmentQuery(dialect, useTend, station, channel, lcode, t1, t2));
  if (!rows) return;
  for (;;) {
    BlockFile file;
    std::optional<double> begin, calib, calper;
    std::optional<std::string> path;
    try {
      if (!rows->Fetch()) break;
      begin = rows->GetDouble(1);
      file.rate = rows->GetDouble(2).value_or(0);
      file.duration = rows->GetDouble(3).value_or(0);
      // A row without an encoding code reads as an unknown code (zeros).
      file.code = static_cast<int>(rows->GetInt(4).value_or(-1));
      file.offset = rows->GetInt(5).value_or(kDefaultFoff);
      path = rows->GetText(6);
      calib = rows->GetDouble(7);
      calper = rows->GetDouble(8);
    } catch (const odbc::Error&) {
      break;
    }
    if (!begin || !path) continue;
    file.begin = *begin;
    // A row without a path names no file (not the data directory itself).
    file.fileName = Trim(*path).empty() ? std::string() : FileListFullPath(dataDir, *path);
    std::optional<NUVDataBlock> block = ReadRowBlock(file, t1, t2, station, channel, problems);
    if (block) AppendCalibrated(out, std::move(*block), calib, calper, -1);
  }
}

void AssembleFromWfdisc(odbc::Connection& cssConnection, const std::string& dataDir,
                        const DirectoryMap& dirsMap, const std::string& station,
                        const std::string& channel, double t1, double t2, NUVDataBlockArray& out,
                        std::vector<std::string>* problems) {
  ResetSegment(out, station, channel);
  std::optional<odbc::Statement> rows =
      QueryIndex(cssConnection, WfdiscSegmentQuery(station, channel, t1, t2));
  if (!rows) return;
  for (;;) {
    std::optional<double> time, rate, calib, calper;
    std::optional<long long> nsamp, foff;
    std::optional<std::string> datatype, dir, dfile;
    try {
      if (!rows->Fetch()) break;
      time = rows->GetDouble(1);
      rate = rows->GetDouble(2);
      nsamp = rows->GetInt(3);
      datatype = rows->GetText(4);
      foff = rows->GetInt(5);
      dir = rows->GetText(6);
      dfile = rows->GetText(7);
      calib = rows->GetDouble(8);
      calper = rows->GetDouble(9);
    } catch (const odbc::Error&) {
      break;
    }
    if (!time || !nsamp || !datatype || !dfile) continue;
    const std::optional<int> code = CodeOfWfdiscDatatype(std::string(Trim(*datatype)));
    // Without a positive rate there is no duration to read.
    if (!code || !rate || !(*rate > 0)) continue;
    BlockFile file;
    file.begin = *time;
    file.rate = *rate;
    file.duration = static_cast<double>(*nsamp) / *rate;
    file.code = *code;
    file.offset = foff.value_or(0);
    file.fileName = Trim(*dfile).empty()
                        ? std::string()
                        : WfdiscFullPath(dataDir, dirsMap, Trim(dir.value_or(".")), Trim(*dfile));
    std::optional<NUVDataBlock> block = ReadRowBlock(file, t1, t2, station, channel, problems);
    if (block) AppendCalibrated(out, std::move(*block), calib, calper, 1);
  }
}

void AssembleSegment(odbc::Connection* mainConnection, int dialect, odbc::Connection* cssConnection,
                     const Config& config, const std::string& station, const std::string& channel,
                     const std::string& lcode, double t1, double t2, NUVDataBlockArray& out,
                     std::vector<std::string>* problems) {
  if (config.wfd) {
    if (cssConnection && cssConnection->IsOpen()) {
      AssembleFromWfdisc(*cssConnection, config.dataDir, config.dirsMap, station, channel, t1, t2,
                         out, problems);
      return;
    }
  } else if (mainConnection && mainConnection->IsOpen()) {
    AssembleFromFileList(*mainConnection, dialect, config.dataDir, config.useTend, station, channel,
                         lcode, t1, t2, out, problems);
    return;
  }
  ResetSegment(out, station, channel);
}

double ChannelGain(odbc::Connection* mainConnection, bool wfd, const std::string& station,
                   const std::string& channel, double t, UserPrompts& prompts) {
  if (wfd || !mainConnection || !mainConnection->IsOpen()) return 1;
  const long whole = static_cast<long>(t);
  double gain = 1;
  try {
    odbc::Statement rows = mainConnection->Query(StrFormat(
        kGainQuery, SqlEscape(station).c_str(), SqlEscape(channel).c_str(), whole, whole));
    if (rows.Fetch()) {
      const std::optional<long long> value = rows.GetInt(1);
      if (value && *value != kNoGain) gain = static_cast<double>(*value);
    }
  } catch (const odbc::Error& error) {
    prompts.ShowError(error.what());
    return 1;
  }
  return gain == 0 ? 1 : gain;
}

}  // namespace nuv
