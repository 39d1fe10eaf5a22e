#!/usr/bin/env bash
# Builds the Bitmap fuzzer with clang and runs it; the seeds in fuzz/corpus are read, new
# inputs go to the build folder, and a crashing input is written there as crash-<hash>.
# Usage: fuzz/run-fuzz.sh [SECONDS] [more libFuzzer arguments...]
#   FUZZ_BUILD_DIR  build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S fuzz -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --target tabulor_fuzz_bitmap -j 2

mkdir -p "$build_dir/corpus"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/tabulor_fuzz_bitmap" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build_dir/" "$@" "$build_dir/corpus" fuzz/corpus
