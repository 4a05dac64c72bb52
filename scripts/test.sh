#!/usr/bin/env bash
# Sets up a Debian machine and runs every test suite: the normal build on
# SQLite and on a PostgreSQL server started on loopback, then the core suites
# once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/install-deps.sh

jobs=$(nproc)
export CCACHE_BASEDIR=$root

# PostgreSQL on loopback with an ODBC data source of its own (see the script).
if source ./scripts/start-test-postgres.sh; then
  echo "PostgreSQL data source: $NUV_TEST_PG_DSN (ODBCINI=$ODBCINI)"
else
  echo "PostgreSQL could not be started: the database suites run on SQLite only" >&2
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNUV_SANITIZE=ON \
  -DNUV_BUILD_UI=OFF -DNUV_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
# Full stacks on allocation, so that the suppressions of the ODBC driver
# manager's and drivers' own leaks (scripts/lsan.supp) can match them.
ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 \
  LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

# Every fuzz target under libFuzzer for a bounded time (20 s each), in its
# own build folder with clang; scripts/fuzz.sh SECONDS runs them longer.
./scripts/fuzz.sh 20
