#!/usr/bin/env bash
# Whole paperdrift-cli download runs against curl, in the same run against the
# same local test site:
#   1. one 1 GiB file as one whole process (start, first tick, transfer, end),
#      by method one and by method two, against curl fetching the same address;
#   2. a 100 MiB file cut at 60 %, then the same command again: how many bytes
#      the second run asked for and received (its range), against curl -C -
#      continuing the same cut file.
# Prints wall times and the ratio of ours to curl's (budget: <= 1.1), and the
# bytes of the continued run (budget: <= 42 MiB).
#
#   nice -n 19 bench/compare_polite_runs.sh [BUILD_DIR]
#
# BUILD_DIR holds paperdrift-cli and fixture-site (default: build-release).
# Environment: SIZE (default 1073741824), RESUME_SIZE (default 104857600),
# RUNS (per client, default 2; the best run counts).
set -euo pipefail

build=${1:-build-release}
size=${SIZE:-1073741824}
resume_size=${RESUME_SIZE:-104857600}
runs=${RUNS:-2}
cli="$build/cli/paperdrift-cli"
site="$build/tests/support/fixture-site"
for program in "$cli" "$site" curl /usr/bin/time; do
  command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 2; }
done
cli=$(cd "$(dirname "$cli")" && pwd)/paperdrift-cli

source "$(dirname "${BASH_SOURCE[0]}")/start_fixture_site.sh"
base="http://127.0.0.1:$port"
mkdir -p "$work/out"

elapsed() { # COMMAND... -> wall seconds of the command
  /usr/bin/time -f "%e" -o "$work/time" "$@" >/dev/null 2>&1 || true
  cat "$work/time"
}

best() { sort -g | head -n1; }

echo "1. one file of $size bytes, the whole process"
url="$base/large?size=$size&length=1"
curl_s=$(for _ in $(seq "$runs"); do rm -f "$work/out/"*; elapsed curl -s -o "$work/out/curl.bin" "$url"; done | best)
printf '%-22s %8s s\n' curl "$curl_s"
for method in 1 2; do
  ours_s=$(for _ in $(seq "$runs"); do
    rm -f "$work/out/"*
    (cd "$work/out" && elapsed "$cli" download --method "$method" --max-mb 4096 "$url")
  done | best)
  stored=$(stat -c %s "$work/out/large.pdf" 2>/dev/null || echo 0)
  [ "$stored" = "$size" ] || { echo "method $method stored $stored bytes" >&2; exit 1; }
  awk -v m="$method" -v o="$ours_s" -v c="$curl_s" \
    'BEGIN { printf "%-22s %8.2f s   ratio to curl %.2f (budget <= 1.1)\n", "paperdrift-cli method " m, o, o / c }'
done
rm -f "$work/out/"*

echo "2. a file of $resume_size bytes cut at 60 %, then continued"
cut=$(( resume_size * 60 / 100 ))
for method in 1 2; do
  rm -f "$work/out/"*
  # cuts=1000: every whole answer of this address is cut, so that only a
  # continued transfer can complete it.
  url="$base/ranged?size=$resume_size&cut=$cut&cuts=1000&method=$method"
  (cd "$work/out" && "$cli" download --method "$method" --max-mb 4096 "$url" >/dev/null 2>&1) || true
  part=$(stat -c %s "$work/out/ranged.pdf.part" 2>/dev/null || echo 0)
  logged=$(wc -l <"$work/requests")
  resumed_s=$(cd "$work/out" && elapsed "$cli" download --method "$method" --max-mb 4096 "$url")
  stored=$(stat -c %s "$work/out/ranged.pdf" 2>/dev/null || echo 0)
  [ "$stored" = "$resume_size" ] || { echo "method $method: the continued run stored $stored bytes" >&2; exit 1; }
  asked=$(tail -n +"$((logged + 1))" "$work/requests" | sed -n 's/^request \/ranged range=bytes=\([0-9]*\)-$/\1/p' | tail -n1)
  [ -n "$asked" ] || { echo "method $method: the second run asked for the whole file" >&2; exit 1; }
  awk -v m="$method" -v p="$part" -v a="$asked" -v s="$resume_size" -v t="$resumed_s" 'BEGIN {
    printf "method %s: .part %d bytes after the cut; continued from byte %d: %.1f MiB more (budget <= 42 MiB) in %.2f s\n",
      m, p, a, (s - a) / 1048576, t }'
done
# curl continuing the same kind of cut file, for comparison.
rm -f "$work/out/"*
url="$base/ranged?size=$resume_size&cut=$cut&cuts=1000&method=curl"
curl -s -o "$work/out/curl.bin" "$url" || true
curl_part=$(stat -c %s "$work/out/curl.bin")
curl_resume_s=$(elapsed curl -s -C - -o "$work/out/curl.bin" "$url")
printf 'curl -C -: %d bytes after the cut; continued: %.1f MiB more in %s s\n' "$curl_part" \
  "$(awk -v s="$resume_size" -v p="$curl_part" 'BEGIN { print (s - p) / 1048576 }')" "$curl_resume_s"
