#!/usr/bin/env bash
# Runs every fuzz target for SECONDS over its seeds and prints, per target,
# the inputs executed, the coverage reached and the crashes found.
# usage: fuzz/run.sh BUILD_DIR [SECONDS]
# New inputs found go to BUILD_DIR/fuzz-corpus/<name>/ (the repository's
# seeds stay as they are); a crashing input is kept in BUILD_DIR/fuzz-crashes/.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
seconds=${2:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

mkdir -p "$build/fuzz-crashes"
failed=0
printf '%-12s %12s %10s %8s %s\n' target executions coverage crashes seconds
for name in $(cat "$build/fuzz-targets.txt" | tr ';' ' '); do
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  args=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048
        -artifact_prefix="$build/fuzz-crashes/$name-")
  [ -f "$here/dict/$name.dict" ] && args+=(-dict="$here/dict/$name.dict")
  dirs=("$corpus")
  [ -d "$here/corpus/$name" ] && dirs+=("$here/corpus/$name")
  log="$build/fuzz-$name.log"
  "$build/bin/fuzz-$name" "${args[@]}" "${dirs[@]}" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  crashes=0
  if [ $rc -ne 0 ]; then
    crashes=1
    failed=1
  fi
  printf '%-12s %12s %10s %8s %s\n' "$name" "${execs:-?}" "${cov:-?}" "$crashes" "$seconds"
  if [ $rc -ne 0 ]; then
    echo "  fuzz-$name stopped with $rc; its report:" >&2
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -5 | sed 's/^/    /' >&2
  fi
done
exit $failed
