#!/usr/bin/env bash
# Installs what is missing, builds Halcyra (Release) and starts it with the given files.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DHALCYRA_BENCH=OFF
cmake --build build-release -j "$(nproc)" --target halcyra
files=()
for f in "$@"; do files+=("$(realpath -m -- "$f")"); done
exec ./build-release/app/halcyra "${files[@]}"
