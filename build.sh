#!/usr/bin/env bash
# One entry point for the quick start:
#   ./build.sh run            installs, builds and starts the program on its database
#   ./build.sh test           installs, builds and runs the whole test suite
#   ./build.sh test-asan      the same under AddressSanitizer and UBSan (folder build-asan)
#   ./build.sh fuzz [SECONDS] builds the fuzz targets (folder build-fuzz) and runs each
#                             for SECONDS (default 60)
#   ./build.sh bench          installs, builds and runs the benchmarks
#   ./build.sh package        installs, builds and makes the Debian package build/vizitar_*.deb
#   ./build.sh targets MODE   prints what MODE builds, and nothing else
#   ./build.sh format-check   checks that every C++ file follows .clang-format
set -euo pipefail
cd "$(dirname "$0")"

mode=${1:-run}

# What each mode builds: `run` only the programs it starts, so that the
# window shows without waiting for the test suite.
targets_for() {
  case "$1" in
    run) echo "vizitar kontakty-initdb" ;;
    fuzz) echo "fuzz-all" ;;
    *) echo "all" ;;
  esac
}
if [ "$mode" = targets ]; then
  targets_for "${2:-run}"
  exit 0
fi

bash scripts/setup.sh

if [ "$mode" = format-check ]; then
  # Only what git tracks: build folders and generated files stay out.
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run -Werror
  echo "format: every file follows .clang-format"
  exit 0
fi

build_dir=build
extra=()
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
case "$mode" in
  bench) extra+=(-DVIZITAR_BENCH=ON) ;;
  test-asan)
    build_dir=build-asan
    extra+=(-DCMAKE_CXX_COMPILER=clang++-14 -DVIZITAR_SANITIZE=ON "${launcher[@]}")
    ;;
  fuzz)
    build_dir=build-fuzz
    extra+=(-DCMAKE_CXX_COMPILER=clang++-14 -DVIZITAR_SANITIZE=ON -DVIZITAR_FUZZ=ON -DVIZITAR_TESTS=OFF
            "${launcher[@]}")
    ;;
esac
cmake -S . -B "$build_dir" -G Ninja "${extra[@]}" >/dev/null
# shellcheck disable=SC2046 # the target names are words
cmake --build "$build_dir" -j 2 --target $(targets_for "$mode")

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
  test-asan)
    cd "$build_dir"
    # Leak checking is off: the database engine and Qt keep caches for the
    # life of the process that would drown real findings. Every memory error
    # and undefined behaviour ends the test that hit it.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # The package test checks the release build's package, not this one.
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j 2 --timeout 900 -E '^tst_package$'
    ;;
  fuzz)
    exec bash fuzz/run.sh "$build_dir" "${2:-60}"
    ;;
  bench)
    exec bash bench/run.sh "$build_dir"
    ;;
  package)
    cd "$build_dir"
    cpack -G DEB
    ;;
  *)
    echo "usage: $0 [run|test|test-asan|fuzz [SECONDS]|bench|package|format-check]" >&2
    exit 2
    ;;
esac
