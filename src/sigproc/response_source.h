#pragma once
// Where a channel's responses come from: the CALIBRATION table of the main
// database (poles and zeros in its SAC column, amplitude tables in its FAP
// column) and the FAP files under the RESPONSE directory of the home
// directory; the channel gain of the archive index; and the simulation of a
// pane's samples (`SimulateTrace`), which picks the pipeline by code.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/dialect.h"
#include "platform/odbc.h"
#include "platform/user_prompts.h"
#include "sigproc/response.h"

namespace nuv {

// A channel as the response sources address it.
struct ResponseChannel {
  std::string station;
  std::string channel;
  std::string network;       // empty: any
  std::string location;      // empty or "??": any
  std::string responseFile;  // the channel's FAP file name from the station list
};

enum class CalibrationColumn { kFap, kSac };

// The full query text for one column of CALIBRATION. With a data time the row
// valid at that time is wanted (STARTDATE <= T < ENDDATE, or STARTDATE <= T
// with no ENDDATE); without one, the row without ENDDATE. The SAC query writes
// T in the dialect's date literal ({d '...'} for PostgreSQL, {ts '...'}
// elsewhere); the FAP query always uses {ts '...'}. Texts are escaped.
std::string CalibrationQuery(CalibrationColumn column, const ResponseChannel& channel,
                             std::optional<double> dataTime, int dialect);

// The response sources a simulation or an amplitude measurement draws on.
class ResponseLoader {
 public:
  virtual ~ResponseLoader() = default;
  // Poles and zeros of the channel; nullopt when there is none (or the text is
  // not a readable pole-zero text). Database errors are thrown as odbc::Error.
  virtual std::optional<PoleZeroResponse> LoadPoleZero(const ResponseChannel& channel,
                                                       std::optional<double> dataTime) = 0;
  // The amplitude table of the CALIBRATION table; nullopt when there is none.
  virtual std::optional<CAPResponse> LoadFapFromDatabase(const ResponseChannel& channel,
                                                         std::optional<double> dataTime) = 0;
  // The channel's FAP file; nullopt when it cannot be read.
  virtual std::optional<CAPResponse> LoadFapFile(const ResponseChannel& channel) = 0;
};

// The sources of a running workstation: the main connection with its dialect,
// and the home directory for FAP files. Either may be absent.
class DatabaseResponseLoader : public ResponseLoader {
 public:
  DatabaseResponseLoader(odbc::Connection* connection, int dialect, std::string homeDir)
      : connection_(connection), dialect_(dialect), homeDir_(std::move(homeDir)) {}

  std::optional<PoleZeroResponse> LoadPoleZero(const ResponseChannel& channel,
                                               std::optional<double> dataTime) override;
  std::optional<CAPResponse> LoadFapFromDatabase(const ResponseChannel& channel,
                                                 std::optional<double> dataTime) override;
  std::optional<CAPResponse> LoadFapFile(const ResponseChannel& channel) override;

  // Why the last load gave nothing (for logs and the command line).
  const std::string& lastProblem() const { return lastProblem_; }

 private:
  bool Connected();

  odbc::Connection* connection_;
  int dialect_;
  std::string homeDir_;
  std::string lastProblem_;
};

// Poles and zeros of the channel at `dataTime` from CALIBRATION; nullopt when
// there is no row, the column is NULL or its text is refused (`problem` says
// which). Database errors are thrown as odbc::Error.
std::optional<PoleZeroResponse> LoadPoleZeroResponse(odbc::Connection& connection, int dialect,
                                                     const ResponseChannel& channel,
                                                     std::optional<double> dataTime,
                                                     std::string* problem = nullptr);
// The amplitude table of the channel at `dataTime` from CALIBRATION, likewise.
std::optional<CAPResponse> LoadFapResponse(odbc::Connection& connection, int dialect,
                                           const ResponseChannel& channel,
                                           std::optional<double> dataTime,
                                           std::string* problem = nullptr);

// "Ошибка открытия таблицы калибровок для канала '%s' станции '%s'".
std::string NoCalibrationMessage(const ResponseChannel& channel);

// The samples of a pane to transform.
struct TraceSamples {
  ResponseChannel channel;
  double samplesPerSecond = 0.0;
  double windowStart = 0.0;  // time of the first sample
  std::span<const float> samples;
};

// Transforms a pane's samples with `code`: the pole-zero pipeline loads the
// channel's poles and zeros for the window start (none: the message above);
// the amplitude-table pipeline reads the channel's FAP file (unreadable: a
// beep). Returns nullopt when the pane is to stay unchanged (after the message
// or beep); the result may have fewer samples than the input (pole-zero
// lengths are trimmed by up to 4 %).
std::optional<std::vector<float>> SimulateTrace(const TraceSamples& trace, int code,
                                                ResponseLoader& loader, UserPrompts& prompts);

// The channel gain of the archive index for the data time: the GAIN of the
// FILELIST row covering it; 1.0 when there is none, when GAIN is NULL, 0 or
// 32484, or when gains are disabled. A database error shows the driver's text
// and gives 1.0.
double ChannelGain(odbc::Connection& connection, std::string_view station, std::string_view channel,
                   double dataTime, bool gainsEnabled, UserPrompts& prompts);

}  // namespace nuv
