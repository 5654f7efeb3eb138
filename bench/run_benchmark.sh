#!/usr/bin/env bash
# Times nimbral against a plain copy (cat) of the same archive, page-cached,
# in alternating pairs, and prints the median ratio of wall times, nimbral's
# peak resident memory, and the sizes. Checks on the way that the output is
# byte for byte that of the straightforward one-read-per-line loop.
#
#   bash bench/run_benchmark.sh        # 500 MiB archive, five pairs
#   NIMBRAL_BENCH_MIB=1000 NIMBRAL_BENCH_PAIRS=7 bash bench/run_benchmark.sh
set -euo pipefail
cd "$(dirname "$0")/.."
mib=${NIMBRAL_BENCH_MIB:-500}
pairs=${NIMBRAL_BENCH_PAIRS:-5}
work=${NIMBRAL_BENCH_DIR:-$(mktemp -d)}
trap 'rm -rf "$work"' EXIT

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DNIMBRAL_BENCHMARK=ON >/dev/null
cmake --build build-bench -j2 >/dev/null

python3 bench/generate_archive.py "$work/archive.tle" "$work/archive.mag" "$mib"
cat "$work/archive.tle" "$work/archive.mag" >/dev/null  # warm the page cache

build-bench/nimbral_straightforward "$work/archive.tle" "$work/expected.tle" "$work/archive.mag"
build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag"
cmp "$work/expected.tle" "$work/out.tle"
rm -f "$work/expected.tle"

# Wall time of a command in seconds, its output going to $work/out.tle.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $(( end - start ))
}

ratios=()
for ((pair = 0; pair < pairs; pair++)); do
  t_nimbral=$(seconds build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag")
  t_cat=$(seconds sh -c 'cat "$1" > "$2"' sh "$work/archive.tle" "$work/out.tle")
  ratios+=("$(python3 -c "print(f'{$t_nimbral / $t_cat:.3f}')")")
  printf 'pair %d: nimbral %.3f s, cat %.3f s\n' "$pair" \
    "$(python3 -c "print($t_nimbral / 1e9)")" "$(python3 -c "print($t_cat / 1e9)")"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')

peak=$( { /usr/bin/time -f %M build-bench/nimbral "$work/archive.tle" "$work/out.tle" "$work/archive.mag"; } 2>&1 )
titles=$(grep -c '^SAT' "$work/out.tle" || true)
echo "archive: $(stat -c %s "$work/archive.tle") bytes, magnitude file: $(stat -c %s "$work/archive.mag") bytes, titles given: $titles"
echo "median wall-time ratio nimbral/cat over $pairs pairs: $median"
echo "nimbral peak resident memory: ${peak} KiB"
