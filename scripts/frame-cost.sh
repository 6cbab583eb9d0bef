#!/usr/bin/env bash
# Frame-cost figures: the frame benchmarks (time per spring drawn, the share
# outside OpenGL, start-up to the first frame), then callgrind's instruction
# counts per spring drawn for the program's own drawing code against the
# OpenGL calls it makes. Fails when a spring costs more in the program's own
# code than in its OpenGL calls. Arguments go to the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh viewer test
scripts/build.sh release >/dev/null
bench=build/release/bench/frame_bench

"$bench" "$@"

frames=20
# The World's spring count, as tests/support/Expected.h states it.
springs=$((frames * 388))
out=$(mktemp)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" "$bench" --frames=$frames 2>/dev/null

# The first line naming a function: its instruction count, without separators.
count() {
    local line
    line=$(grep -m 1 -F "$2" <<<"$1") || {
        echo "frame-cost: callgrind_annotate lists no $2 (built without its symbols, or inlined?)" >&2
        return 1
    }
    awk '{ gsub(",", "", $1); print $1 }' <<<"$line"
}
self=$(callgrind_annotate "$out") || { echo "frame-cost: callgrind_annotate failed" >&2; exit 1; }
inclusive=$(callgrind_annotate --inclusive=yes "$out") ||
    { echo "frame-cost: callgrind_annotate --inclusive=yes failed" >&2; exit 1; }
draw_self=$(count "$self" "DrawSprings.cpp:Spring::draw() const")
walk_self=$(count "$self" "DrawSprings.cpp:Wibble::drawSprings() const")
draw_inclusive=$(count "$inclusive" "DrawSprings.cpp:Spring::draw() const")

own=$(((draw_self + walk_self) / springs))
opengl=$(((draw_inclusive - draw_self) / springs))
echo "frame-cost: callgrind, $frames frames of $springs springs in all"
echo "frame-cost: the program's own code per spring drawn: $own instructions" \
    "(Spring::draw $((draw_self / springs)), Wibble::drawSprings $((walk_self / springs)))"
echo "frame-cost: its eight OpenGL calls per spring: $opengl instructions"
[ "$own" -le "$opengl" ] || { echo "frame-cost: the program's own code costs more than OpenGL" >&2; exit 1; }
