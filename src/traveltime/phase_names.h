#pragma once
// The phase-name vocabulary of a travel-time set: the built-in names with
// the file names of their tables, and the pseudo-phases without tables.

#include <utility>
#include <vector>

namespace nuv {

// The 52 named phases of the built-in table with their file names, and the
// twelve pseudo-phases appended to every table.
const std::vector<std::pair<const char*, const char*>>& BuiltInPhaseTypes();
const std::vector<const char*>& PseudoPhaseTypes();

}  // namespace nuv
