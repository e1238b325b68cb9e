#!/usr/bin/env bash
# Runs one fuzz target of the clang build for a while, then merges what it
# found into the saved corpus (minimised with -merge=1). Files named seed-*
# and crash-* in the corpus always stay.
#   fuzz/run.sh <target> [seconds] [build dir]
# Findings (crash-*, leak-*, timeout-*) land in <build dir>/runs/.
set -euo pipefail
cd "$(dirname "$0")/.."
target=$1
seconds=${2:-600}
build=${3:-build-fuzz}
bin=$build/fuzz/fuzz_$target
corpus=fuzz/corpus/$target
work=$build/runs/$target
mkdir -p "$work" "$corpus"
# Record inputs are whole files of several records.
maxlen=20000
[ "$target" = records ] && maxlen=40000
# 0 seconds: only merge what an earlier run left in the work folder.
if [ "$seconds" -gt 0 ]; then
    nice -n 10 "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -max_len="$maxlen" -print_final_stats=1 -artifact_prefix="$build/runs/$target-" \
        "$work" "$corpus" > "$build/runs/$target.log" 2>&1 || true
    grep -E "^(#[0-9]+[[:space:]]+(INITED|DONE)|stat::|==.*ERROR|SUMMARY)" "$build/runs/$target.log" || true
fi
# Minimises into a fresh folder; where edges and hit counts together keep
# too many files, edges alone decide.
merge() {
    local out=$1
    shift
    "$bin" -merge=1 -rss_limit_mb=2048 -timeout=10 -max_len="$maxlen" "$@" "$out" "$corpus" "$work" \
        >> "$build/runs/$target.merge.log" 2>&1
}
: > "$build/runs/$target.merge.log"
merged=$(mktemp -d)
merge "$merged"
if [ "$(ls "$merged" | wc -l)" -gt 180 ] || [ "$(du -sk "$merged" | cut -f1)" -gt 1800 ]; then
    rm -rf "$merged"
    merged=$(mktemp -d)
    merge "$merged" -use_counters=0
fi
kept=$(mktemp)
for f in "$corpus"/seed-* "$corpus"/crash-*; do
    [ -e "$f" ] && sha1sum "$f" | cut -d' ' -f1 >> "$kept"
done
find "$corpus" -maxdepth 1 -type f ! -name 'seed-*' ! -name 'crash-*' -delete
for f in "$merged"/*; do
    grep -qx "$(basename "$f")" "$kept" || cp "$f" "$corpus/"
done
rm -rf "$merged" "$kept"
echo "$target: $(ls "$corpus" | wc -l) files, $(du -sh "$corpus" | cut -f1)"
