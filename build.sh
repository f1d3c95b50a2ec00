#!/usr/bin/env bash
# One entry point for the quick start:
#   ./build.sh run    installs, builds and starts the program on its database
#   ./build.sh test   installs, builds and runs the whole test suite
#   ./build.sh bench  installs, builds and runs the benchmarks
#   ./build.sh package  installs, builds and makes the Debian package build/vizitar_*.deb
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}
bash scripts/setup.sh

build_dir=build
extra=()
[ "$mode" = bench ] && extra+=(-DVIZITAR_BENCH=ON)
cmake -S . -B "$build_dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$build_dir" -j 2

case "$mode" in
  run)
    db="$build_dir/bin/Tabulky/KONTAKTY.GDB"
    if [ ! -e "$db" ]; then
      mkdir -p "$(dirname "$db")"
      "$build_dir/bin/kontakty-initdb" --demo "$db"
    fi
    exec "$build_dir/bin/vizitar"
    ;;
  test)
    cd "$build_dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2
    ;;
  bench)
    exec bash bench/run.sh "$build_dir"
    ;;
  package)
    cd "$build_dir"
    cpack -G DEB
    ;;
  *)
    echo "usage: $0 [run|test|bench|package]" >&2
    exit 2
    ;;
esac
