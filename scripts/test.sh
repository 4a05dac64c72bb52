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

# The formula parser under libFuzzer for a bounded time, in its own build
# folder with clang.
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNUV_BUILD_FUZZ=ON -DNUV_BUILD_UI=OFF -DNUV_BUILD_TESTS=OFF -DNUV_BUILD_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target fuzz_formula_parser
mkdir -p build-fuzz/corpus/formula_parser
./build-fuzz/fuzz/fuzz_formula_parser -max_total_time=60 -timeout=10 -rss_limit_mb=2048 \
  build-fuzz/corpus/formula_parser fuzz/corpus/formula_parser
# The bulletin readers, each for a bounded time.
for target in ims_bulletin_reader trezon_bulletin_reader arr_phase_file_reader; do
  cmake --build build-fuzz -j "$jobs" --target "fuzz_$target"
  mkdir -p "build-fuzz/corpus/$target"
  "./build-fuzz/fuzz/fuzz_$target" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
