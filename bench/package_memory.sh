#!/bin/sh
# Bytes per task on disk and memory per item of the application opening a package.
#
#   bench/package_memory.sh BUILD_DIR [ITEMS...]     (default: 1000 10000 100000)
#
# The flat-chain packages of GanttWindowBench are written to a temporary folder; for each, the
# application (BUILD_DIR/app/halcyra, or BUILD_DIR/halcyra) opens it under the offscreen
# platform, shows its window and quits; its peak resident size is read from /usr/bin/time.
# Memory per item is the growth over the 1,000-item package, divided by the items added.
set -eu
build=${1:?usage: $0 BUILD_DIR [ITEMS...]}
shift
[ $# -gt 0 ] || set -- 1000 10000 100000
app=$build/app/halcyra
[ -x "$app" ] || app=$build/halcyra
bench=$build/bench/bench_GanttWindowBench
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

filter=$(printf '%s|' "$@" | sed 's/|$//')
HALCYRA_BENCH_PACKAGES=$folder QT_QPA_PLATFORM=offscreen \
    "$bench" --benchmark_filter="BM_bareParse/FlatChain/($filter)\$" >/dev/null

export QT_QPA_PLATFORM=offscreen
export HOME="$folder/home" XDG_CONFIG_HOME="$folder/home/.config"
mkdir -p "$XDG_CONFIG_HOME"

peak_kb() {
    # Quits as soon as the window is up: Control+Q with nothing edited asks nothing.
    HALCYRA_TEST_SCRIPT='key:Ctrl+Q' /usr/bin/time -f '%M' -o "$folder/time" "$app" "$1" >/dev/null 2>&1 || true
    tail -n 1 "$folder/time"
}

base_items=1000
base_kb=$(peak_kb "$folder/Bench-0-1000.hy2")
printf '%8s %14s %12s %14s %16s\n' items project.xml bytes/task peak_RSS_KB KB/item_over_1k
for n in "$@"; do
    package=$folder/Bench-0-$n.hy2
    bytes=$(stat -c %s "$package/project.xml")
    kb=$(peak_kb "$package")
    if [ "$n" -gt "$base_items" ]; then
        per=$(awk -v a="$kb" -v b="$base_kb" -v n="$n" -v m="$base_items" 'BEGIN { printf "%.2f", (a - b) / (n - m) }')
    else
        per=-
    fi
    printf '%8s %14s %12s %14s %16s\n' "$n" "$bytes" "$((bytes / n))" "$kb" "$per"
done
