#include "sigproc/response_source.h"

#include <cmath>

#include "archive/segment_assembly.h"
#include "platform/strformat.h"
#include "platform/time_base.h"
#include "sigproc/instrument.h"
#include "sigproc/simulation.h"

namespace nuv {

namespace {

std::string FormatTime(double t, bool withClock) {
  const CalendarTime c = EpochToCalendar(std::floor(t));
  if (!withClock) return StrFormat("%04d-%02d-%02d", c.year, c.month, c.day);
  return StrFormat("%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                   static_cast<int>(c.second));
}

// "??" is the station table's mark for a channel without location code.
std::string LocationOf(const ResponseChannel& channel) {
  return channel.location == "??" ? std::string() : channel.location;
}

}  // namespace

std::string CalibrationQuery(CalibrationColumn column, const ResponseChannel& channel,
                             std::optional<double> dataTime, int dialect) {
  const bool fap = column == CalibrationColumn::kFap;
  const std::string sta = SqlEscape(channel.station);
  const std::string chan = SqlEscape(channel.channel);
  const std::string net = SqlEscape(channel.network);
  const std::string loc = SqlEscape(LocationOf(channel));

  std::string sql =
      fap ? "SELECT FAP FROM CALIBRATION WHERE " : "SELECT SAC FROM CALIBRATION WHERE ";
  sql += "((STA='" + sta + "') AND (CHAN='" + chan + "')";
  if (dataTime) {
    std::string literal;
    const std::string ts = FormatTime(*dataTime, true);
    if (fap) {
      // The ODBC escape needs the blank between "ts" and the literal: "{ ts'"
      // is refused by the PostgreSQL driver ("ODBC escape convert error").
      sql += " AND (STARTDATE<={ts '" + ts + "'}) AND (ENDDATE>{ts '" + ts + "'})";
    } else {
      literal = dialect == kDialectPostgres ? " {d '" + FormatTime(*dataTime, false) + "' } "
                                            : " {ts '" + ts + "' } ";
      sql += " AND (STARTDATE<=" + literal + ") AND (ENDDATE>" + literal + ")";
    }
    if (!net.empty()) sql += " AND (NETWORK='" + net + "') ";
    if (!loc.empty()) sql += " AND (LOCATION='" + loc + "') ";
    sql += ")  OR ((STA='" + sta + "') AND (CHAN='" + chan;
    if (fap) {
      sql += "') AND (STARTDATE<={ts '" + ts + "'}) AND (ENDDATE Is Null)";
    } else {
      sql += "') AND (STARTDATE<=" + literal + ") AND (ENDDATE Is Null)";
    }
  } else {
    sql += " AND (ENDDATE Is Null)";
  }
  if (!net.empty()) sql += " AND (NETWORK='" + net + "') ";
  if (!loc.empty()) sql += " AND (LOCATION='" + loc + "')";
  sql += ");";
  return sql;
}

namespace {

// The column of the first row of the query; nullopt (with the reason) when
// there is no row or the column is NULL.
std::optional<std::string> CalibrationText(odbc::Connection& connection, int dialect,
                                           CalibrationColumn column, const ResponseChannel& channel,
                                           std::optional<double> dataTime, std::string* problem) {
  odbc::Statement statement =
      connection.Query(CalibrationQuery(column, channel, dataTime, dialect));
  std::optional<std::string> text;
  if (statement.Fetch()) text = statement.GetText(1);
  if (!text && problem != nullptr) *problem = "no CALIBRATION row for the channel";
  return text;
}

}  // namespace

std::optional<PoleZeroResponse> LoadPoleZeroResponse(odbc::Connection& connection, int dialect,
                                                     const ResponseChannel& channel,
                                                     std::optional<double> dataTime,
                                                     std::string* problem) {
  const auto text =
      CalibrationText(connection, dialect, CalibrationColumn::kSac, channel, dataTime, problem);
  if (!text) return std::nullopt;
  PoleZeroResponse response;
  ResponseParseError error;
  if (!ParseSacPoleZero(*text, response, &error)) {
    if (problem != nullptr) *problem = "SAC column: " + error.reason;
    return std::nullopt;
  }
  return response;
}

std::optional<CAPResponse> LoadFapResponse(odbc::Connection& connection, int dialect,
                                           const ResponseChannel& channel,
                                           std::optional<double> dataTime, std::string* problem) {
  const auto text =
      CalibrationText(connection, dialect, CalibrationColumn::kFap, channel, dataTime, problem);
  if (!text) return std::nullopt;
  CAPResponse response;
  ResponseParseError error;
  if (!ParseFapDatabaseText(*text, response, &error)) {
    if (problem != nullptr) *problem = "FAP column: " + error.reason;
    return std::nullopt;
  }
  return response;
}

bool DatabaseResponseLoader::Connected() {
  lastProblem_.clear();
  if (connection_ != nullptr && connection_->IsOpen()) return true;
  lastProblem_ = "no connection to the main database";
  return false;
}

std::optional<PoleZeroResponse> DatabaseResponseLoader::LoadPoleZero(
    const ResponseChannel& channel, std::optional<double> dataTime) {
  if (!Connected()) return std::nullopt;
  return LoadPoleZeroResponse(*connection_, dialect_, channel, dataTime, &lastProblem_);
}

std::optional<CAPResponse> DatabaseResponseLoader::LoadFapFromDatabase(
    const ResponseChannel& channel, std::optional<double> dataTime) {
  if (!Connected()) return std::nullopt;
  return LoadFapResponse(*connection_, dialect_, channel, dataTime, &lastProblem_);
}

std::optional<CAPResponse> DatabaseResponseLoader::LoadFapFile(const ResponseChannel& channel) {
  lastProblem_.clear();
  CAPResponse response;
  ResponseParseError error;
  if (ReadFapFile(homeDir_, channel.responseFile, response, &error) != 1) {
    lastProblem_ = error.reason;
    return std::nullopt;
  }
  return response;
}

std::string NoCalibrationMessage(const ResponseChannel& channel) {
  return StrFormat("Ошибка открытия таблицы калибровок для канала '%s' станции '%s'",
                   channel.channel.c_str(), channel.station.c_str());
}

std::optional<std::vector<float>> SimulateTrace(const TraceSamples& trace, int code,
                                                ResponseLoader& loader, UserPrompts& prompts) {
  try {
    if (IsPoleZeroTransform(code)) {
      std::optional<PoleZeroResponse> response;
      try {
        response = loader.LoadPoleZero(trace.channel, trace.windowStart);
      } catch (const odbc::Error& e) {
        prompts.ShowError(e.what());
        return std::nullopt;
      }
      if (!response) {
        prompts.ShowError(NoCalibrationMessage(trace.channel));
        return std::nullopt;
      }
      return SimulatePoleZero(trace.samples, trace.samplesPerSecond, *response, code);
    }
    if (IsFapTransform(code)) {
      const auto response = loader.LoadFapFile(trace.channel);
      if (!response) {
        prompts.Beep();
        return std::nullopt;
      }
      return SimulateFap(trace.samples, trace.samplesPerSecond, *response, code);
    }
    throw SimulationError(StrFormat("Код преобразования %d не задаёт симуляцию", code));
  } catch (const SimulationError& e) {
    prompts.ShowError(e.what());
    return std::nullopt;
  }
}

double ChannelGain(odbc::Connection& connection, std::string_view station, std::string_view channel,
                   double dataTime, bool gainsEnabled, UserPrompts& prompts) {
  if (!gainsEnabled) return 1.0;
  // The archive's lookup: same filter, same absent-gain markers, same message.
  return ChannelGain(&connection, /*wfd=*/false, std::string(station), std::string(channel),
                     dataTime, prompts);
}

}  // namespace nuv
