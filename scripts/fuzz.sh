#!/usr/bin/env bash
# Builds one libFuzzer target with clang and runs it on a copy of its seed corpus.
# Usage: scripts/fuzz.sh TARGET [SECONDS]     e.g. scripts/fuzz.sh fuzz_propertylist 60
# Findings (crash-*, leak-*, timeout-*) are written to build-fuzz/findings/TARGET/.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 TARGET [SECONDS]" >&2
  exit 2
fi
target="$1"
seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

if [ ! -f "$root/fuzz/$target.cpp" ]; then
  echo "no fuzz target $root/fuzz/$target.cpp" >&2
  exit 2
fi

"$root/scripts/install-deps.sh"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DHALCYRA_FUZZ=ON -DHALCYRA_BENCH=OFF >/dev/null
cmake --build "$build" --target "$target" -j4

corpus="$build/corpus/$target"
findings="$build/findings/$target"
mkdir -p "$corpus" "$findings"
if [ -d "$root/fuzz/corpus/$target" ]; then
  cp -r "$root/fuzz/corpus/$target/." "$corpus/"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp}"
"$build/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$findings/" "$corpus"
