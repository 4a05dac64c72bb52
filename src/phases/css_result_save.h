#pragma once
// The CSS 3.0 result database: every save of the current event also writes
// one origin row and, for each phase, its arrival, association, amplitude,
// station magnitudes and remark. The identifiers stay with the event and
// the phases, so saving again replaces the rows instead of adding new ones.

#include <cstdint>

#include "phases/event_context.h"

namespace nuv {

inline constexpr const char* kNoNewOrid = "Ошибка при получении нового ORID";
inline constexpr const char* kNoNewArid = "Ошибка при получении нового ARID";
inline constexpr const char* kNoNewCommid = "Ошибка при получении нового COMMID";

// Writes the current event to the open CSS connection: 0 on success, -1 on
// failure. The origin and the identifiers go in a first transaction, the
// arrival rows in a second; a failure rolls the open one back and shows the
// identifier message or the driver's text (the caller adds its summary).
int SaveEventToCss(EventContext& context);

// The CSS 3.0 first-motion code of a phase's first motion: "c.", "d.",
// ".u", ".r", or "-" when there is none.
const char* CssFirstMotionCode(uint8_t firstMotion);

}  // namespace nuv
