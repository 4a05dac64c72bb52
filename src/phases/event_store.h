#pragma once
// The current event in the main database: saving it to ORIGIN and ARRIVAL
// (and, when configured, to the CSS 3.0 database), loading it back, starting
// a new one, deleting one and listing the stored ones.
//
// A save is one transaction on the main connection: the old rows of the
// event are deleted and the new ones inserted inside it, so a failure at
// any statement rolls everything back and the previous save stays whole.
// Identifiers are allocated before the transaction begins, so a rolled-back
// save never hands out an identifier a second time.

#include <optional>
#include <string>
#include <vector>

#include "phases/event_context.h"
#include "phases/seismic_phase.h"

namespace nuv {

inline constexpr const char* kOridUpdateError =
    "Ошибка при обновлении orid в ORIGIN в основной базе NUV";
inline constexpr const char* kEventExists = "Даннный идентификатор уже существует";
inline constexpr const char* kCssSaved = "Список фаз успешно сохранен в БД CSS 3.0";
inline constexpr const char* kCssSaveFailed = "Произошла ошибка при записи в БД CSS 3.0";

struct SaveOutcome {
  bool saved = false;  // the main database holds the event
  std::string error;   // the message shown when it does not
  enum class Css { NotTried, Saved, Failed } css = Css::NotTried;
};

// Saves the current event and its active phases (arrival ids are allocated
// for phases without one and kept in them, outside the undo history). Every
// failure is shown through the prompts; the CSS outcome is shown too.
SaveOutcome SaveEvent(EventContext& context);

// Replaces the phase list and the event's origin with the rows stored under
// `eventId` (padded to 20 characters). The rows are read completely before
// anything is replaced: a database error is shown, leaves the list as it was
// and returns false. The undo history starts afresh.
bool LoadEvent(EventContext& context, const std::string& eventId);

// The stored event without touching the current one: its origin into
// `event` (identifier padded; orid -1 when the row has none) and its phases
// in stored order. False when ORIGIN has no row for it. Throws odbc::Error.
bool ReadStoredEvent(EventContext& context, const std::string& eventId, CurrentEvent& event,
                     std::vector<SEISMIC_PHASE>& phases);
// The ARRIVAL rows of the event as phases; rows whose station, channel or
// phase name is unknown here are skipped. Throws odbc::Error.
std::vector<SEISMIC_PHASE> ReadStoredArrivals(EventContext& context, const std::string& eventId);

enum class NewEventResult { Created, Exists, Failed };
// Adds the ORIGIN row of a new event (padded identifier, comment, LDDATE,
// a new orid) unless one exists ("Даннный идентификатор уже существует" is
// shown then). With `startProcessing` the current event becomes it: the
// list is cleared, the origin and magnitudes are reset.
NewEventResult NewEvent(EventContext& context, const std::string& eventId,
                        const std::string& comment, bool startProcessing = true);

// Deletes the event's ORIGIN and ARRIVAL rows in one transaction and, when
// the CSS database is open and `orid` >= 0, its CSS origin row. Errors are
// shown; false when the main rows could not be deleted.
bool DeleteEvent(EventContext& context, const std::string& eventId, int orid);

// The ORID stored with the event in ORIGIN, or -1 (no row, NULL, or an
// error, which is shown).
int StoredOrid(EventContext& context, const std::string& eventId);

// Whether ORIGIN holds a row of the event; throws odbc::Error.
bool EventExists(EventContext& context, const std::string& eventId);

// One row of the event chooser.
struct StoredEvent {
  std::string eventId;  // as stored (padded)
  std::string comment;
  std::optional<double> lat, lon, depth, originTime;
  std::optional<long long> orid;
  std::string lddate;  // as the driver returns it
};

// The chooser's query: every event (`lastN` <= 0) or the newest `lastN`.
std::string EventListQuery(int dialect, const char* commentColumn, int lastN);
// The stored events, newest first; throws odbc::Error with the driver's text.
std::vector<StoredEvent> ListEvents(EventContext& context, int lastN);

}  // namespace nuv
