#!/usr/bin/env bash
# Builds one fuzzer with clang and runs it. Seeds are read from fuzz/corpus/TARGET and the
# kept regression inputs from fuzz/regressions/TARGET; new inputs go to the build folder's
# corpus-TARGET, and a crashing input is written there as TARGET-crash-<hash>.
# Usage: fuzz/run-fuzz.sh TARGET [SECONDS] [more libFuzzer arguments...]
#   TARGET         bitmap, codepage, database, sql_templates or table_definition
#   FUZZ_BUILD_DIR build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ $# -lt 1 ]]; then
  echo "usage: $0 TARGET [SECONDS] [libFuzzer arguments...]" >&2
  exit 2
fi
target=$1
seconds=${2:-600}
shift $(($# < 2 ? $# : 2))
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTABULOR_BUILD_FUZZERS=ON -DTABULOR_BUILD_TESTS=OFF -DTABULOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target "tabulor_fuzz_$target" -j 2

corpus="$build_dir/corpus-$target"
mkdir -p "$corpus"
inputs=("$corpus")
for folder in "fuzz/corpus/$target" "fuzz/regressions/$target"; do
  [[ -d $folder ]] && inputs+=("$folder")
done
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$build_dir/fuzz/tabulor_fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build_dir/$target-" "$@" "${inputs[@]}"
