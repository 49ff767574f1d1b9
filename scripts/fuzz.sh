#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for
# the given time, one after the other (they are CPU-bound: on a shared
# machine run them niced).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]      default 60 seconds, every target
#   scripts/fuzz.sh --list
#
# A target's corpus grows in build-fuzz/corpus/TARGET, seeded from
# fuzz/seeds/TARGET. A crash, a hang (10 s on one input) or a failed property
# leaves the input in build-fuzz/artifacts/TARGET/ and stops the script with
# a non-zero status; every input found that way becomes a unit test. The last
# line of each run says how many inputs were executed. The build uses two
# jobs (FUZZ_BUILD_JOBS to change it).
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(fuzz_tsql fuzz_connection_string fuzz_numbers fuzz_persian_date fuzz_report_template)
if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
seconds=60
if [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
if [ $# -gt 0 ]; then
  targets=("$@")
fi

./scripts/install-deps.sh --fuzz
build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARDEX_FUZZ=ON >/dev/null
cmake --build "$build" -j "${FUZZ_BUILD_JOBS:-2}" --target "${targets[@]}"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
summary=()
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  artifacts="$build/artifacts/$t/"
  mkdir -p "$corpus" "$artifacts"
  extra=()
  [ "$t" = fuzz_report_template ] && extra+=(reports)
  log="$build/$t.log"
  echo "== $t for ${seconds}s"
  status=0
  "$build/fuzz/$t" "$corpus" "fuzz/seeds/$t" "${extra[@]}" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -artifact_prefix="$artifacts" -print_final_stats=1 >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "== $t FAILED (status $status); inputs in $artifacts"
    exit 1
  fi
  summary+=("$t: ${runs:-?} executions in ${seconds}s, corpus $(ls "$corpus" | wc -l) inputs")
  echo "== ${summary[-1]}"
done
printf '%s\n' "${summary[@]}"
