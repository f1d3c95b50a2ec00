#!/usr/bin/env bash
# The interchange at scale, in one run per data set: the export against an
# isql read of the same rows into /dev/null, the import into an empty file
# against a gbak restore of the same register, the peak memory of both, and
# the round trip's completeness (counts, then the export of the imported
# file compared with the first export column by column; the company ID
# column differs by nature and is left out).
#
#   bash bench/interchange.sh [BUILD]     BUILD defaults to "build" (kontakty-io, kontakty-initdb)
# Environment:
#   BENCH_SIZES="10000:50000 100000:500000"   companies:contacts (default 10000:50000)
#   BENCH_FORMAT=csv                           the export format (csv, csv-cz, vcard4, vcard3)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
sizes=${BENCH_SIZES:-"10000:50000"}
format=${BENCH_FORMAT:-csv}
io="$build/bin/kontakty-io"
initdb="$build/bin/kontakty-initdb"
for tool in "$io" "$initdb"; do
  [ -x "$tool" ] || { echo "interchange.sh: $tool is missing; build it first" >&2; exit 1; }
done
for tool in isql-fb gbak /usr/bin/time python3; do
  command -v "$tool" >/dev/null || { echo "interchange.sh: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export FIREBIRD_LOCK="$work/lock" # every program here shares the embedded engine's lock files
mkdir -p "$FIREBIRD_LOCK"
export ISC_USER=SYSDBA ISC_PASSWORD=masterkey

# measure NAME COMMAND...: seconds and peak resident memory of one run, into $NAME_s and $NAME_mb
measure() {
  local name=$1
  shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/$name.out" 2>"$work/$name.err" ||
    { echo "interchange.sh: $name failed:" >&2; cat "$work/$name.err" >&2; exit 1; }
  read -r seconds kilobytes <"$work/time"
  printf -v "${name}_s" '%s' "$seconds"
  printf -v "${name}_mb" '%s' "$((kilobytes / 1024))"
}
count() { # count DATABASE SQL
  printf 'SET HEADING OFF;\n%s;\n' "$2" | isql-fb -q "$1" | tr -d ' \n'
}
ratio() { python3 -c "print(f'{$1 / $2:.2f}')"; }

echo "| data (companies/contacts) | figure | value | target | verdict |"
echo "|---|---|---:|---:|---|"
for size in $sizes; do
  companies=${size%%:*}
  contacts=${size##*:}
  src="$build/bench-data/c$companies-k$contacts/Tabulky/KONTAKTY.GDB"
  if [ ! -s "$src" ]; then
    mkdir -p "$(dirname "$src")"
    "$initdb" --companies "$companies" --contacts "$contacts" "$src.part" >/dev/null
    mv "$src.part" "$src"
  fi
  rm -f "$work"/*.gdb "$work"/*.fdb "$work"/*.fbk "$work"/*.out

  printf 'SET BLOBDISPLAY ALL;\nSELECT * FROM FIRMA;\nSELECT * FROM KONTAKT;\n' >"$work/read.sql"
  measure isql isql-fb -q -i "$work/read.sql" "$src"
  measure export "$io" export --format "$format" "$src" "$work/first.$format"
  gbak -b "$src" "$work/register.fbk"
  measure restore gbak -c "$work/register.fbk" "$work/restored.fdb"
  "$initdb" "$work/target.gdb" >/dev/null
  measure import "$io" import --yes "$work/target.gdb" "$work/first.$format"
  "$io" export --format "$format" "$work/target.gdb" "$work/second.$format" >/dev/null

  place="KRAJ IS DISTINCT FROM '***'"
  src_f=$(count "$src" "SELECT COUNT(*) FROM FIRMA")
  src_k=$(count "$src" "SELECT COUNT(*) FROM KONTAKT WHERE $place")
  dst_f=$(count "$work/target.gdb" "SELECT COUNT(*) FROM FIRMA")
  dst_k=$(count "$work/target.gdb" "SELECT COUNT(*) FROM KONTAKT WHERE $place")
  columns=$(python3 - "$work/first.$format" "$work/second.$format" "$format" <<'EOF'
import csv, sys
first, second, form = sys.argv[1:4]
if not form.startswith("csv"):
    a = [l for l in open(first, encoding="utf-8") if not l.startswith("X-KONTAKTY-FIRMA-ID")]
    b = [l for l in open(second, encoding="utf-8") if not l.startswith("X-KONTAKTY-FIRMA-ID")]
    print("files equal" if a == b else f"{sum(x != y for x, y in zip(a, b)) + abs(len(a) - len(b))} lines differ")
    sys.exit()
enc = "utf-8" if form == "csv" else "cp1250"
delim = "," if form == "csv" else ";"
ra = list(csv.reader(open(first, encoding=enc, newline=""), delimiter=delim))
rb = list(csv.reader(open(second, encoding=enc, newline=""), delimiter=delim))
header = ra[0]
differ = {h: 0 for h in header if h != "Firma – ID"}
for x, y in zip(ra[1:], rb[1:]):
    for i, h in enumerate(header):
        if h in differ and x[i] != y[i]:
            differ[h] += 1
bad = {h: n for h, n in differ.items() if n}
rows = f"{len(ra) - 1} and {len(rb) - 1} rows"
print(f"{len(differ)} columns, {rows}, all equal" if not bad and len(ra) == len(rb) else f"{rows}, differing: {bad}")
EOF
)
  data="$companies/$contacts"
  ok() { python3 -c "print('ok' if $1 else 'over')"; }
  echo "| $data | isql read of FIRMA and KONTAKT to /dev/null | ${isql_s} s |  |  |"
  echo "| $data | export ($format) | ${export_s} s |  |  |"
  echo "| $data | export / isql read | $(ratio "$export_s" "$isql_s") x | ≤ 1.5 x | $(ok "$export_s <= 1.5 * $isql_s") |"
  echo "| $data | export peak memory | ${export_mb} MB | ≤ 300 MB | $(ok "$export_mb <= 300") |"
  echo "| $data | gbak restore | ${restore_s} s |  |  |"
  echo "| $data | import into an empty file | ${import_s} s |  |  |"
  echo "| $data | import / gbak restore | $(ratio "$import_s" "$restore_s") x | ≤ 5 x | $(ok "$import_s <= 5 * $restore_s") |"
  echo "| $data | import peak memory | ${import_mb} MB | ≤ 300 MB | $(ok "$import_mb <= 300") |"
  echo "| $data | companies, contacts before → after | $src_f, $src_k → $dst_f, $dst_k | equal | $(ok "$src_f == $dst_f and $src_k == $dst_k") |"
  echo "| $data | second export against the first | $columns |  |  |"
done
