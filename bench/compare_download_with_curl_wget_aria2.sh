#!/usr/bin/env bash
# Compares paperdrift-cli download with curl, wget and aria2c over loopback, in
# the same run against the same local test site:
#   1. one 1 GiB file, by method one and by method two, and by each tool;
#   2. 200 files of 64 KiB, by method two with six workers and interval 0, and
#      by each tool fed the same address list (curl and aria2c six at a time,
#      wget one after another, as it has no parallel mode).
# For each it prints the wall time, throughput, CPU (user + system) and peak
# RSS, and our figures as ratios to each tool's. For the many files it also
# prints our items per second against the bound the one-second scheduling
# tick sets by design: at most THREADS starts per tick.
#
#   bench/compare_download_with_curl_wget_aria2.sh [BUILD_DIR]
#
# BUILD_DIR is a Release build (default: build-release); the two programs are
# built there when they are missing. curl, wget and aria2 are installed with
# apt-get when missing. Environment: SIZE (bytes of the large file, default
# 1073741824), FILES (default 200), FILE_SIZE (default 65536), THREADS
# (default 6), RUNS (runs per client of the large file, default 1; the best
# counts).
set -euo pipefail

build=${1:-build-release}
size=${SIZE:-1073741824}
files=${FILES:-200}
file_size=${FILE_SIZE:-65536}
threads=${THREADS:-6}
runs=${RUNS:-1}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
cli="$build/cli/paperdrift-cli"
site="$build/tests/support/fixture-site"

missing=()
command -v curl >/dev/null || missing+=(curl)
command -v wget >/dev/null || missing+=(wget)
command -v aria2c >/dev/null || missing+=(aria2)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

if [ ! -x "$cli" ] || [ ! -x "$site" ]; then
  cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAPERDRIFT_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" --target paperdrift-cli fixture-site >/dev/null
fi
# The clients run in a folder of their own.
cli=$(cd "$(dirname "$cli")" && pwd)/paperdrift-cli

source "$(dirname "${BASH_SOURCE[0]}")/start_fixture_site.sh"
base="http://127.0.0.1:$port"

# timed COMMAND...: runs the command in a fresh folder $work/out and prints
# "elapsed cpu peak_rss_kib transfer" (the folder is left for checking).
# transfer is the time from the creation of the stored file to its last
# write when the file system records creation times (else the elapsed time):
# our runs wait up to a second for the first scheduling tick and another for
# the supervisor tick that sees the end, and this is the transfer without
# those waits.
timed() {
  rm -rf "$work/out" && mkdir -p "$work/out"
  (cd "$work/out" && /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >"$work/stdout" 2>"$work/stderr") \
    || { echo "failed: $*" >&2; tail -n 5 "$work/stderr" >&2; exit 1; }
  local transfer
  transfer=$(find "$work/out" -type f -exec stat -c '%.9W %.9Y' {} + \
    | awk 'NR == 1 || $1 < first { first = $1 } $2 > last { last = $2 } END { if (first > 0) printf "%.2f", last - first; else print "" }')
  awk -v t="$transfer" '{ printf "%s %.2f %s %s\n", $1, $2 + $3, $4, (t == "" || t <= 0 ? $1 : t) }' "$work/time"
}

# stored_bytes: the bytes of the files in $work/out.
stored_bytes() { find "$work/out" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'; }

# check_stored EXPECTED_BYTES NAME
check_stored() {
  local got
  got=$(stored_bytes)
  [ "$got" = "$1" ] || { echo "$2 stored $got bytes, expected $1" >&2; exit 1; }
}

# best FIGURES...: the line with the shortest transfer time.
best() { printf '%s\n' "$@" | sort -n -k4,4 | head -n1; }

header() {
  printf '\n%s\n' "$1"
  printf '%-22s %7s %10s %10s %7s %12s   %s\n' client run_s transfer_s MiB/s cpu_s peak_rss "ours: thr / cpu / rss"
}

# row NAME FIGURES BYTES OURS_FIGURES: throughput over the transfer time;
# ratios are our throughput, CPU and peak RSS over the client's.
row() {
  awk -v name="$1" -v f="$2" -v bytes="$3" -v o="$4" 'BEGIN {
    split(f, x); split(o, y);
    ratio = (name ~ /^paperdrift/) ? "" : sprintf("%.2f / %.2f / %.2f", x[4] / y[4], (x[2] > 0 ? y[2] / x[2] : 0), y[3] / x[3]);
    printf "%-22s %7.2f %10.2f %10.1f %7.2f %8d KiB   %s\n", name, x[1], x[4], bytes / x[4] / 1048576, x[2], x[3], ratio
  }'
}

# ---------------------------------------------------------------- one large file
large_url="$base/large?size=$size&length=1"
max_mb=$(( size / 1048576 + 1 ))
declare -A large
run_large() { # name command...
  local name=$1 figures=() i
  shift
  for i in $(seq "$runs"); do
    figures+=("$(timed "$@")")
    check_stored "$size" "$name"
  done
  large[$name]=$(best "${figures[@]}")
}
run_large "paperdrift method 1" "$cli" download --method 1 --max-mb "$max_mb" --type bin "$large_url"
run_large "paperdrift method 2" "$cli" download --method 2 --threads 1 --max-mb "$max_mb" --type bin "$large_url"
run_large curl curl -s -o large.bin "$large_url"
run_large wget wget -q -O large.bin "$large_url"
run_large aria2c aria2c -q -x1 -s1 --file-allocation=none --allow-overwrite=true -o large.bin "$large_url"

for ours in "paperdrift method 1" "paperdrift method 2"; do
  header "one file of $size bytes: $ours (ratios: our throughput / theirs, our CPU / theirs, our peak RSS / theirs)"
  for client in "$ours" curl wget aria2c; do
    row "$client" "${large[$client]}" "$size" "${large[$ours]}"
  done
done

# ---------------------------------------------------------------- many small files
for i in $(seq "$files"); do
  printf '%s/pdf?size=%s&n=%d\tpaper %d\n' "$base" "$file_size" "$i" "$i"
done >"$work/list.txt"
cut -f1 "$work/list.txt" >"$work/urls.txt"
awk -F'\t' '{ printf "url = \"%s\"\noutput = \"paper %d.pdf\"\n", $1, NR }' "$work/list.txt" >"$work/curl.cfg"
awk -F'\t' '{ printf "%s\n  out=paper %d.pdf\n", $1, NR }' "$work/list.txt" >"$work/aria2.txt"
total=$(( files * file_size ))

declare -A many
many[ours]=$(timed "$cli" download --method 2 --threads "$threads" --interval 0 --list "$work/list.txt")
check_stored "$total" "paperdrift"
many[curl]=$(timed curl -s --parallel --parallel-max "$threads" -K "$work/curl.cfg")
check_stored "$total" curl
many[wget]=$(timed wget -q -i "$work/urls.txt")
check_stored "$total" wget
many[aria2c]=$(timed aria2c -q -j "$threads" --file-allocation=none -i "$work/aria2.txt")
check_stored "$total" aria2c

header "$files files of $file_size bytes, $threads at a time (wget: one at a time)"
row "paperdrift method 2" "${many[ours]}" "$total" "${many[ours]}"
for client in curl wget aria2c; do
  row "$client" "${many[$client]}" "$total" "${many[ours]}"
done

# The scheduling tick starts at most $threads rows a second; the first starts
# one tick after the run begins and the end is seen at the supervisor's next
# tick, so the whole run takes about ceil(files / threads) + 1 seconds. Less
# than that rate means starts were lost to something other than the tick.
awk -v f="${many[ours]}" -v n="$files" -v t="$threads" 'BEGIN {
  split(f, x);
  ticks = int((n + t - 1) / t);
  expected = ticks + 1;
  printf "\nitems per second: %.2f over the whole run (tick bound: %d starts per second)\n", n / x[1], t;
  printf "tick model: %d ticks of starts + 1 s to see the end = %d s; took %.2f s: %s\n", ticks, expected, x[1],
    (x[1] <= expected + 0.5 ? "matches the tick" : "SLOWER than the tick");
}'
