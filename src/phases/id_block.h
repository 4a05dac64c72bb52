#pragma once
// Identifiers handed out one by one from a block of a LASTID counter reserved
// in one step, so that a save of many rows asks the counter once per kind.

#include "db/databases.h"
#include "phases/event_context.h"

namespace nuv {

struct IdBlock {
  long long next = -1, last = -2;
  // The next identifier of the block; -1 once it is used up, and for a
  // block that could not be had.
  long long Take() { return next <= last ? next++ : -1; }
};

// `count` identifiers of counter `key` (see Databases::AllocateIds); an
// empty block for a count of 0 and when the reservation fails.
inline IdBlock ReserveIds(EventContext& c, const char* key, int count) {
  IdBlock block;
  if (count <= 0) return block;
  const long long last = c.databases.AllocateIds(key, count, c.localLastId);
  if (last < 0) return block;
  block.next = last - count + 1;
  block.last = last;
  return block;
}

}  // namespace nuv
