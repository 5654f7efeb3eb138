#!/usr/bin/env bash
# Times nimbral against a plain copy (cat) of the same archive, page-cached,
# in alternating pairs, and prints the median ratio of wall times, nimbral's
# peak resident memory, and the sizes. Checks on the way that the output is
# byte for byte that of the straightforward one-read-per-line loop. For
# scale it also times dd with 1 MiB blocks: cat may copy inside the kernel
# (copy_file_range), which no filter that reads the bytes can.
#
#   bash bench/run_benchmark.sh        # 500 MiB archive, five pairs
#   NIMBRAL_BENCH_MIB=1000 NIMBRAL_BENCH_PAIRS=7 bash bench/run_benchmark.sh
#
# NIMBRAL_BENCH_DIR names a directory to work in and keep; by default a
# temporary one is made and removed.
set -euo pipefail
cd "$(dirname "$0")/.."
mib=${NIMBRAL_BENCH_MIB:-500}
pairs=${NIMBRAL_BENCH_PAIRS:-5}
if [ -n "${NIMBRAL_BENCH_DIR:-}" ]; then
  work=$NIMBRAL_BENCH_DIR
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DNIMBRAL_BENCHMARK=ON >/dev/null
cmake --build build-bench -j2 >/dev/null

if [ ! -f "$work/archive.tle" ] || [ "$(cat "$work/archive.size" 2>/dev/null)" != "$mib" ]; then
  python3 bench/generate_archive.py "$work/archive.tle" "$work/archive.mag" "$mib"
  echo "$mib" > "$work/archive.size"
fi
cat "$work/archive.tle" "$work/archive.mag" >/dev/null  # warm the page cache

build-bench/nimbral_straightforward "$work/archive.tle" "$work/expected.tle" "$work/archive.mag"
build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag"
cmp "$work/expected.tle" "$work/out.tle"
rm -f "$work/expected.tle"

# Wall time of a command in nanoseconds; the output file is removed first,
# outside the timing, so that no run pays for truncating the one before.
nanoseconds() {
  local start end
  rm -f "$work/out.tle"
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $(( end - start ))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

ratios=() dd_ratios=()
for ((pair = 0; pair < pairs; pair++)); do
  t_nimbral=$(nanoseconds build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag")
  t_cat=$(nanoseconds sh -c 'cat "$1" > "$2"' sh "$work/archive.tle" "$work/out.tle")
  t_dd=$(nanoseconds dd if="$work/archive.tle" of="$work/out.tle" bs=1M status=none)
  ratios+=("$(awk "BEGIN {printf \"%.3f\", $t_nimbral / $t_cat}")")
  dd_ratios+=("$(awk "BEGIN {printf \"%.3f\", $t_nimbral / $t_dd}")")
  awk "BEGIN {printf \"pair %d: nimbral %.3f s, cat %.3f s, dd %.3f s\\n\", $pair, $t_nimbral / 1e9, $t_cat / 1e9, $t_dd / 1e9}"
done

peak=$( { /usr/bin/time -f %M build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag"; } 2>&1 )
titles=$(grep -c '^SAT' "$work/out.tle" || true)
echo "archive: $(stat -c %s "$work/archive.tle") bytes, magnitude file: $(stat -c %s "$work/archive.mag") bytes, titles given: $titles"
echo "median wall-time ratio nimbral/cat over $pairs pairs: $(printf '%s\n' "${ratios[@]}" | median)"
echo "median wall-time ratio nimbral/dd bs=1M: $(printf '%s\n' "${dd_ratios[@]}" | median)"
echo "nimbral peak resident memory: ${peak} KiB"
