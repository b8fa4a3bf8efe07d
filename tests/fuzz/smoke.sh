#!/usr/bin/env bash
# Fuzz smoke: builds the libFuzzer targets (the "fuzz" preset: clang,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each one for a few
# seconds, from its seed corpus. Fails on any finding; the input that found
# it is kept in <build>/findings/.
#
#   tests/fuzz/smoke.sh [seconds per target]      (default 5)
#   VANTOR_FUZZ_BUILD=build/other tests/fuzz/smoke.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

secs=${1:-5}
build=${VANTOR_FUZZ_BUILD:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" --target fuzz_targets

work=$(mktemp -d /tmp/vantor-fuzz-smoke-XXXXXX)
trap 'rm -rf "$work"' EXIT
findings="$build/findings"

# name, then the target's own options
smoke() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  local log="$work/$name.log"
  # A run that takes longer than the timeout is a finding too (a hang).
  if ! "$build/tests/fuzz/${name}_fuzz" -timeout=30 "$@" -max_total_time="$secs" -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" "tests/fuzz/corpus/$name" 2>"$log"; then
    tail -n 60 "$log"
    mkdir -p "$findings"
    cp "$work/$name"-* "$findings/" 2>/dev/null || true
    echo "== fuzz smoke: $name found a fault; the input is in $findings/"
    exit 1
  fi
  local execs
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "== fuzz smoke: $name: $execs executions in ${secs}s, no finding"
}

smoke read_table -dict=tests/fuzz/numbers.dict
smoke decimal_scan -dict=tests/fuzz/numbers.dict
smoke number_text -max_len=8
smoke product
smoke run -dict=tests/fuzz/run.dict -max_len=512
