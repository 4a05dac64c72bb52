#pragma once
// Typing a phase in: the fields of the insert-phase dialog turned into a
// phase record, with the refusals the dialog shows.

#include <optional>
#include <string>

#include "db/station_table.h"
#include "phases/phase_types.h"
#include "phases/seismic_phase.h"

namespace nuv {

struct InsertPhaseFields {
  int station = -1;  // -1: no station chosen
  std::string channelName;
  std::string phaseName;
  std::string date;  // day, month, year ("dd/mm/yyyy"; "-" and "." also separate)
  std::string time;  // "hh:mm:ss.ff" (":", "," or blank separate)
  uint8_t onset = 0;
  uint8_t firstMotion = 4;
  uint8_t weight = 4;
};

enum class InsertPhaseRefusal {
  kNone,
  kBadDate,    // "Введите правильную дату"
  kNoStation,  // "Выберите сейсмическую станцию"
  kBadTime,    // "Введено ошибочное время"
  kNotFound,   // channel or phase unknown: nothing is added, silently
};

struct InsertPhaseOutcome {
  InsertPhaseRefusal refusal = InsertPhaseRefusal::kNone;
  SEISMIC_PHASE phase;
};

// Seconds of the day from "%2d%*[:, ]%2d%*[:, ]%f"; nothing when the three
// fields are not all there or out of range.
std::optional<double> ParseInsertTime(const std::string& text);

InsertPhaseOutcome MakeInsertedPhase(const StationTable& stations, const PhaseTypeTable& types,
                                     const InsertPhaseFields& fields);

// The message of a refusal; "" for none and for the silent one.
std::string InsertPhaseMessage(InsertPhaseRefusal refusal);

}  // namespace nuv
