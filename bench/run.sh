#!/usr/bin/env bash
# Makes the benchmark data sets (once, cached under BUILD/bench-data/ by size),
# runs vizitar-bench on them, prints the table and writes BUILD/bench-results.json
# (and the table as BUILD/bench-results.md), then the interchange benchmark
# (bench/interchange.sh) on the same build.
#
#   bash bench/run.sh [BUILD]        BUILD defaults to "build", already built with
#                                    -DVIZITAR_BENCH=ON (./build.sh bench does both)
# Environment:
#   BENCH_SIZES="1000:5000 10000:50000 100000:500000"   companies:contacts of each data set
#   BENCH_QUICK=1                         fewer repetitions (a smoke run)
#   BENCH_FRESH_DATA=1                    make the data sets again
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
sizes=${BENCH_SIZES:-"1000:5000 10000:50000 100000:500000"}
initdb="$build/bin/kontakty-initdb"
bench="$build/bin/vizitar-bench"
for tool in "$initdb" "$bench" "$build/bin/vizitar"; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build with -DVIZITAR_BENCH=ON first" >&2; exit 1; }
done

data="$build/bench-data"
args=()
for size in $sizes; do
  companies=${size%%:*}
  contacts=${size##*:}
  dir="$data/c$companies-k$contacts"
  db="$dir/Tabulky/KONTAKTY.GDB"
  if [ -n "${BENCH_FRESH_DATA:-}" ]; then rm -f "$db"; fi
  if [ ! -s "$db" ]; then
    echo "Making $companies companies with $contacts contacts in $db"
    mkdir -p "$(dirname "$db")"
    rm -f "$db.part"
    "$initdb" --companies "$companies" --contacts "$contacts" "$db.part" >/dev/null
    mv "$db.part" "$db"
  fi
  args+=(--dataset "$companies/$contacts=$dir")
done
[ -n "${BENCH_QUICK:-}" ] && args+=(--quick)

# The grids' column layouts are read from the user's settings: keep the runs
# independent of whatever layout this machine's user saved.
export XDG_CONFIG_HOME="$data/config"
mkdir -p "$XDG_CONFIG_HOME"

echo "Running the benchmarks (a few minutes)..."
"$bench" "${args[@]}" --program "$build/bin/vizitar" --json "$build/bench-results.json" \
  | tee "$build/bench-results.md"
echo "Figures written to $build/bench-results.json"

# The interchange at scale (export against isql, import against gbak, peak
# memory): its own script, as it times other programs too.
echo "Running the interchange benchmark..."
bash bench/interchange.sh "$build" | tee -a "$build/bench-results.md"
