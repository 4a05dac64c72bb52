#pragma once
// Identifier allocation from a LASTID counter. The increment and the read of
// the new value are one atomic unit on every dialect, so two workstations
// allocating at the same moment never receive the same identifier.

#include <string>

#include "platform/odbc.h"

namespace nuv {

// Increments LASTID counter `key` on `connection` and returns the new value;
// -1 on any failure or when the counter row does not exist (it is never
// created here). PostgreSQL does both in one "update ... returning"
// statement; SQLite takes the write lock with BEGIN IMMEDIATE before the
// update; every other dialect runs the update and the read in one manual
// transaction, where the update's row lock holds until the commit. A lock
// conflict (busy database, deadlock, serialisation failure) is retried a
// bounded number of times with a growing pause.
// With `count` > 1 the counter moves by `count` at once and the last of the
// reserved identifiers is returned (the first is that minus count-1).
long long AllocateLastId(odbc::Connection& connection, int dialect, const std::string& key,
                         int count = 1);

// Whether a failed statement met a passing lock conflict that a later
// attempt may not meet.
bool IsLockConflict(const odbc::Error& error);

}  // namespace nuv
