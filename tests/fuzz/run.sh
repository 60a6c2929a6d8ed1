#!/usr/bin/env bash
# Runs the fuzz harnesses of a fuzz build, one after another.
#
#   tests/fuzz/run.sh BUILD_DIR SECONDS [HARNESS...]     (all harnesses when none is named)
#
# For each harness: first its seed corpus and its regression inputs are replayed once, which
# must pass; then it fuzzes for SECONDS with the options of harnesses.txt, growing a working
# corpus in BUILD_DIR/fuzz/corpus/HARNESS (kept between runs) and writing any input that
# breaks the reader to BUILD_DIR/fuzz/findings/HARNESS/. The log of each run is
# BUILD_DIR/fuzz/logs/HARNESS.log. At the end a table gives each harness's executions,
# executions per second, peak memory and result.
#
# FUZZ_RUNS=N in the environment also stops each harness after N executions.
#
# Exit status 1 when a replay fails or fuzzing finds something in a harness that is not
# listed in known-open.txt.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS [HARNESS...]" >&2
  exit 2
fi
build="$(cd "$1" && pwd)"
seconds="$2"
shift 2

# Limits that make slowness and hunger findings: an input of at most max_len bytes that takes
# longer than its timeout, a single allocation above 512 MB or 2 GB in all is a fault.
rss_mb=2048
malloc_mb=512

# A small quarantine of freed memory: the harnesses free a lot per input, and the default
# quarantine (256 MB) halves their speed while a use after free shows within far less.
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:strict_string_checks=1:quarantine_size_mb=16}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

known_open() {
  grep -qE "^$1([[:space:]]|\$)" "$here/known-open.txt"
}

declare -a wanted=("$@")
declare -a rows=()
failed=0
harnesses=0
broken=0

while read -r name seeds max_len timeout dictionary; do
  case "$name" in ''|'#'*) continue ;; esac
  if [ ${#wanted[@]} -gt 0 ] && [[ ! " ${wanted[*]} " =~ " $name " ]]; then continue; fi

  bin="$build/tests/fuzz/fuzz_$name"
  work="$build/fuzz/corpus/$name"
  found="$build/fuzz/findings/$name"
  log="$build/fuzz/logs/$name.log"
  mkdir -p "$work" "$found" "$(dirname "$log")"
  harnesses=$((harnesses + 1))
  if [ ! -x "$bin" ]; then
    rows+=("$name|-|-|-|not built")
    failed=1
    broken=$((broken + 1))
    continue
  fi

  inputs=("$here/corpus/$seeds")
  [ -d "$here/regressions/$name" ] && inputs+=("$here/regressions/$name")
  options=(-timeout="$timeout" -rss_limit_mb="$rss_mb" -malloc_limit_mb="$malloc_mb")
  [ "$dictionary" != "-" ] && options+=(-dict="$here/dict/$dictionary.dict")

  echo "== $name: replaying ${inputs[*]#$root/}"
  replay=()
  for dir in "${inputs[@]}"; do
    for file in "$dir"/*; do [ -f "$file" ] && replay+=("$file"); done
  done
  if ! "$bin" "${options[@]}" "${replay[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    rows+=("$name|-|-|-|replay FAILED (see $log)")
    failed=1
    broken=$((broken + 1))
    continue
  fi

  [ -n "${FUZZ_RUNS:-}" ] && options+=(-runs="$FUZZ_RUNS")
  echo "== $name: fuzzing for $seconds s${FUZZ_RUNS:+ or $FUZZ_RUNS executions}"
  before=$(ls "$found" | wc -l)
  "$bin" "${options[@]}" -max_len="$max_len" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$found/" "$work" "${inputs[@]}" >>"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ]; then
    result="no crash, leak or timeout"
  else
    artifact=$(ls -t "$found" | head -n 1)
    [ "$(ls "$found" | wc -l)" -gt "$before" ] || artifact="(no input written)"
    result="FOUND $artifact"
    if known_open "$name"; then
      result="$result (known open)"
    else
      failed=1
      broken=$((broken + 1))
    fi
    grep -m 1 -E "ERROR: |broken promise|runtime error" "$log" | sed 's/^/   /'
  fi
  rows+=("$name|${execs:--}|${rate:--}|${rss:--} MB|$result")
done <"$here/harnesses.txt"

echo
printf '%-16s %12s %8s %9s  %s\n' harness executions exec/s "peak RSS" result
for row in "${rows[@]}"; do
  IFS='|' read -r name execs rate rss result <<<"$row"
  printf '%-16s %12s %8s %9s  %s\n' "$name" "$execs" "$rate" "$rss" "$result"
done
# A harness whose finding is known open counts as passed: the table says what it found.
echo "fuzz: $((harnesses - broken)) passed, $broken failed"
exit $failed
