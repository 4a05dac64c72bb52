// Database commands: schema creation and upgrade, identifier allocation and
// the station table as loaded at start-up.

#include <charconv>
#include <cstdlib>

#include "cli.h"
#include "db/dialect.h"
#include "db/schema.h"

namespace nuv::cli {
namespace {

// A single-precision value as the double with the same shortest decimal
// form (55.1f prints as 55.1, not 55.099998474121094).
double Shortest(float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::strtod(std::string(buffer, result.ptr).c_str(), nullptr);
}

Databases& OpenMainOrThrow(Session& session) {
  Databases& databases = session.workstation().databases();
  if (!databases.mainOpen()) throw CliError("Ошибка инициализации интерфейса к базе данных NUV");
  return databases;
}

nlohmann::json ReportJson(const char* which, int dialect, const SchemaReport& report) {
  return {{"database", which},
          {"dialect", dialect},
          {"dialectName", DialectName(dialect)},
          {"tablesCreated", report.tablesCreated},
          {"countersAdded", report.countersAdded}};
}

nlohmann::json RunDbInit(Session& session, const Args& input) {
  Args args = input;
  const bool css = TakeFlag(args, "--css");
  if (!args.empty()) throw CliError("usage: db init [--css]");
  if (!css) {
    Databases& databases = OpenMainOrThrow(session);
    return ReportJson("main", databases.dialect(),
                      CreateMainSchema(databases.main(), databases.dialect()));
  }
  Databases& databases = session.workstation().databases();
  if (databases.cssConnectionString().empty())
    throw CliError(
        "no CSS database configured: give ODBC_CSS= and USER_CSS= or set [DATABASE] "
        "ODBC_CSS in NUV.INI");
  if (!databases.cssOpen()) throw CliError("Ошибка инициализации интерфейса к базе данных CSS");
  const int dialect = RecogniseDialect(databases.css().DbmsName());
  return ReportJson("css", dialect, CreateCssSchema(databases.css(), dialect));
}

nlohmann::json RunDbUpgrade(Session& session, const Args& args) {
  if (!args.empty()) throw CliError("usage: db upgrade");
  Databases& databases = OpenMainOrThrow(session);
  nlohmann::json statements = nlohmann::json::array();
  for (const UpgradeStep& step : databases.UpgradeSchema(session.prompts())) {
    nlohmann::json entry = {{"table", step.table},
                            {"column", step.column},
                            {"existed", step.existed},
                            {"sql", step.sql.empty() ? nlohmann::json() : nlohmann::json(step.sql)},
                            {"ok", step.ok}};
    if (!step.ok) entry["error"] = step.error;
    statements.push_back(std::move(entry));
  }
  return {{"dialect", databases.dialect()},
          {"dialectName", DialectName(databases.dialect())},
          {"commentsColumn", databases.hasCommentsColumn()},
          {"statements", statements}};
}

nlohmann::json RunDbLastId(Session& session, const Args& args) {
  if (args.size() != 1) throw CliError("usage: db lastid KEY");
  return {{"id", session.workstation().AllocateId(args[0])}};
}

nlohmann::json RunStations(Session& session, const Args& args) {
  if (!args.empty()) throw CliError("usage: stations");
  OpenMainOrThrow(session);
  const StationTable& table = session.workstation().stations();
  nlohmann::json stations = nlohmann::json::array();
  for (int s = 0; s < table.size(); ++s) {
    const CScreenFields& station = table[s];
    nlohmann::json channels = nlohmann::json::array();
    for (int c = 0; c < kChannelsPerStation; ++c) {
      const ChannelEntry& entry = station.channels[static_cast<size_t>(c)];
      if (!entry.used()) continue;
      channels.push_back({{"index", c},
                          {"name", entry.name},
                          {"lcode", entry.lcode},
                          {"rate", entry.rate},
                          {"lat", Shortest(entry.lat)},
                          {"lon", Shortest(entry.lon)},
                          {"elev", Shortest(entry.elev)},
                          {"component", entry.component}});
    }
    stations.push_back({{"index", s},
                        {"code", station.code},
                        {"lat", Shortest(station.lat)},
                        {"lon", Shortest(station.lon)},
                        {"elev", Shortest(station.elev)},
                        {"nindex", station.nindex},
                        {"channels", channels}});
  }
  return stations;
}

}  // namespace

std::vector<Command> DbCommands() {
  return {
      {"db init",
       "[--css]  create the missing tables and LASTID counters of the main database (ODBC=); "
       "with --css those of the CSS 3.0 database (ODBC_CSS=) instead",
       RunDbInit},
      {"db upgrade", " run the schema upgrade (CHKDB) on the main database and list each statement",
       RunDbUpgrade},
      {"db lastid", "KEY  allocate the next identifier of LASTID counter KEY (-1 on failure)",
       RunDbLastId},
      {"stations", " the station table with its channels, as loaded at start-up", RunStations},
  };
}

}  // namespace nuv::cli
