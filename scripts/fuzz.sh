#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/<name>.cpp gives fuzz_<name>) with
# clang in build-fuzz and runs each one for SECONDS seconds (default 20),
# starting from its seeds in fuzz/corpus/<name>/ and the inputs found by
# earlier runs in build-fuzz/corpus/<name>/. A crashing input is kept in
# build-fuzz/artifacts/<name>/; the script goes on with the other targets
# and fails at the end when any target failed.
#
#   scripts/fuzz.sh            20 s per target (what scripts/test.sh runs)
#   scripts/fuzz.sh 600        ten minutes per target
#   scripts/fuzz.sh 60 wfd_header mseed_import    only these targets
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
jobs=$(nproc)

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNUV_BUILD_FUZZ=ON -DNUV_BUILD_UI=OFF -DNUV_BUILD_TESTS=OFF -DNUV_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target fuzz_all

if (($#)); then
  names=("$@")
else
  names=()
  for source in fuzz/*.cpp; do names+=("$(basename "$source" .cpp)"); done
fi

failed=()
for name in "${names[@]}"; do
  corpus=build-fuzz/corpus/$name
  artifacts=build-fuzz/artifacts/$name
  mkdir -p "$corpus" "$artifacts" "fuzz/corpus/$name"
  echo "== fuzz_$name for $seconds s"
  if ! "./build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$name" \
    >"build-fuzz/fuzz_$name.log" 2>&1; then
    failed+=("$name")
    tail -n 60 "build-fuzz/fuzz_$name.log" >&2
  fi
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "build-fuzz/fuzz_$name.log" || true
done

if ((${#failed[@]})); then
  echo "Fuzz targets that failed: ${failed[*]} (inputs in build-fuzz/artifacts/)" >&2
  exit 1
fi
