#!/usr/bin/env bash
# The two-way sync at scale: a register of generated contacts synced with a
# private address book server (Debian's Radicale on a loopback port, storage
# in a temporary folder): the first sync (every card goes up), a second one
# with nothing to carry, an empty register taking every card down and its
# second sync; the seconds, the CPU seconds of the program and of the server,
# and the peak memory of each, and the counts on both registers.
#
#   bash bench/cardsync.sh [BUILD]     BUILD defaults to "build" (kontakty-io, kontakty-initdb)
# Environment:
#   BENCH_SIZE=1000:5000   companies:contacts (default 1000:5000)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
size=${BENCH_SIZE:-"1000:5000"}
io="$build/bin/kontakty-io"
initdb="$build/bin/kontakty-initdb"
for tool in "$io" "$initdb"; do
  [ -x "$tool" ] || { echo "cardsync.sh: $tool is missing; build it first" >&2; exit 1; }
done
for tool in isql-fb /usr/bin/time /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "cardsync.sh: $tool is missing" >&2; exit 1; }
done
[ -d /usr/lib/python3/dist-packages/radicale ] ||
  { echo "cardsync.sh: Radicale is missing (scripts/setup.sh installs it)" >&2; exit 1; }

work=$(mktemp -d)
server=""
cleanup() {
  if [ -n "$server" ]; then
    kill "$server" 2>/dev/null || true
    sleep 1
    kill -9 "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
export FIREBIRD_LOCK="$work/lock" # every program here shares the embedded engine's lock files
mkdir -p "$FIREBIRD_LOCK"
export ISC_USER=SYSDBA ISC_PASSWORD=masterkey KONTAKTY_SYNC_PASSWORD=heslo

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
mkdir -p "$work/storage/collection-root/anna/kontakty"
echo '{"tag": "VADDRESSBOOK"}' >"$work/storage/collection-root/anna/kontakty/.Radicale.props"
echo "anna:heslo" >"$work/users"
cat >"$work/config" <<CONF
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $work/users
htpasswd_encryption = plain
[storage]
filesystem_folder = $work/storage
[rights]
type = owner_only
[web]
type = none
[logging]
level = warning
CONF
/usr/bin/python3 -m radicale --config "$work/config" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null && break
  sleep 0.2
done

server_cpu() { # the server's CPU seconds so far (user + system)
  awk -v tck="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / tck }' "/proc/$server/stat"
}
measure() { # measure NAME DATABASE: seconds, CPU seconds (the program's, the server's) and peak memory of one sync, into $NAME_s
  local name=$1 before
  before=$(server_cpu)
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$io" sync --url "http://127.0.0.1:$port/" --user anna "$2" \
    >"$work/$name.out" 2>"$work/$name.err" ||
    { echo "cardsync.sh: $name failed:" >&2; cat "$work/$name.out" "$work/$name.err" >&2; exit 1; }
  read -r seconds user system kilobytes <"$work/time"
  printf -v "${name}_s" '%s s (CPU: program %.1f s, server %.1f s), %s MB' "$seconds" \
    "$(awk "BEGIN { print $user + $system }")" "$(awk "BEGIN { print $(server_cpu) - $before }")" \
    "$((kilobytes / 1024))"
}
count() { # count DATABASE: the contacts (placeholders left out)
  printf "SET HEADING OFF;\nSELECT COUNT(*) FROM KONTAKT WHERE KRAJ IS DISTINCT FROM '***';\n" |
    isql-fb -q "$1" | tr -d ' \n'
}

companies=${size%%:*}
contacts=${size##*:}
"$initdb" --companies "$companies" --contacts "$contacts" "$work/desk.gdb" >/dev/null
"$initdb" "$work/colleague.gdb" >/dev/null
measure first "$work/desk.gdb"
measure again "$work/desk.gdb"
measure down "$work/colleague.gdb"
measure settled "$work/colleague.gdb"

echo "| data (companies/contacts) | figure | value |"
echo "|---|---|---:|"
echo "| $size | first sync, every card up | ${first_s} |"
echo "| $size | second sync, nothing to carry | ${again_s} |"
echo "| $size | empty register, every card down | ${down_s} |"
echo "| $size | a third sync of the second register, nothing to carry | ${settled_s} |"
echo "| $size | contacts here → on the second register | $(count "$work/desk.gdb") → $(count "$work/colleague.gdb") |"
echo "| $size | what the runs said | $(head -1 "$work/first.out") / $(head -1 "$work/again.out") / $(head -1 "$work/down.out") / $(head -1 "$work/settled.out") |"
