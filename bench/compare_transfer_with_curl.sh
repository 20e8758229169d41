#!/usr/bin/env bash
# Compares one transfer of either method with curl over loopback, in the same
# run against the same local test site: a 1 GiB body with Content-Length and
# a 1 GiB chunked body without one, then the CPU a transfer uses while it sits
# stalled. Each row also gives how many requests our transfer made (a body
# without length that arrived whole is not fetched again).
#
#   bench/compare_transfer_with_curl.sh [BUILD_DIR]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-release):
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAPERDRIFT_BUILD_BENCH=ON
#   cmake --build build-release --target transfer_driver fixture-site
# Environment: SIZE (bytes, default 1073741824), RUNS (per client and case,
# default 2; the best run counts), STALL_SECONDS (default 60).
set -euo pipefail

build=${1:-build-release}
size=${SIZE:-1073741824}
runs=${RUNS:-2}
stall_seconds=${STALL_SECONDS:-60}
driver="$build/bench/transfer_driver"
site="$build/tests/support/fixture-site"
# The comparison client and the timer come from the system's packages.
if ! command -v curl >/dev/null || ! [ -x /usr/bin/time ]; then
  apt-get install -y curl time >/dev/null
fi
for program in "$driver" "$site" /usr/bin/time curl; do
  command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 2; }
done

source "$(dirname "${BASH_SOURCE[0]}")/start_fixture_site.sh"
mkdir -p "$work/driver"

# field NAME LINE: the value of NAME=value in a line of fields.
field() { tr ' ' '\n' <<<"$2" | sed -n "s/^$1=//p"; }

run_curl() { # url -> "elapsed cpu maxrss_kib"
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" curl -s -o "$work/curl.bin" "$1"
  rm -f "$work/curl.bin"
  awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

run_driver() { # url [args] -> "elapsed cpu growth_kib peak_kib outcome"
  local line
  line=$("$driver" "$1" "$work/driver" "${@:2}" 2>/dev/null | tail -n1)
  rm -f "$work/driver"/*
  echo "$(field elapsed "$line") $(field cpu "$line") $(field rss_growth_kib "$line") $(field peak_rss_kib "$line") $(field outcome "$line")"
}

requests_to() { grep -c "^request /large" "$work/requests" || true; }

printf '%-26s %7s %8s %7s %8s %9s %9s %10s %12s %12s %8s\n' case curl_s curl_cpu ours_s ours_cpu thr_ratio cpu_ratio curl_rss ours_peak ours_growth requests
for method in 1 2; do
  for body in "length=1" "chunked=1"; do
    url="http://127.0.0.1:$port/large?size=$size&$body"
    best_curl="" best_ours="" requests=0
    for _ in $(seq "$runs"); do
      c=$(run_curl "$url")
      before=$(requests_to)
      o=$(run_driver "$url" --method "$method")
      requests=$(( $(requests_to) - before ))
      [ "$(awk '{print $5}' <<<"$o")" = "completed" ] || [ "$(awk '{print $5}' <<<"$o")" = "fetched-whole" ] \
        || { echo "transfer failed: $o" >&2; exit 1; }
      if [ -z "$best_curl" ] || awk -v a="$c" -v b="$best_curl" 'BEGIN { split(a, x); split(b, y); exit !(x[1] < y[1]) }'; then best_curl=$c; fi
      if [ -z "$best_ours" ] || awk -v a="$o" -v b="$best_ours" 'BEGIN { split(a, x); split(b, y); exit !(x[1] < y[1]) }'; then best_ours=$o; fi
    done
    name="method $method, $([ "$body" = length=1 ] && echo "length" || echo "chunked")"
    awk -v name="$name" -v c="$best_curl" -v o="$best_ours" -v r="$requests" 'BEGIN {
      split(c, x); split(o, y);
      printf "%-26s %7.2f %8.2f %7.2f %8.2f %9.2f %9.2f %6d KiB %8d KiB %8d KiB %8d\n",
        name, x[1], x[2], y[1], y[2], x[1] / y[1], y[2] / x[2], x[3], y[4], y[3], r
    }'
  done
done
echo "thr_ratio = our throughput / curl's (budget >= 0.8); cpu_ratio = our CPU / curl's (budget <= 2)"
echo "curl_rss = curl's peak RSS; ours_peak, ours_growth = our peak RSS and its growth during the transfer (budget <= 64 MiB)"
echo "requests = requests our transfer made (1: no second request)"

stall=$(run_driver "http://127.0.0.1:$port/stall?size=1048576&after=65536" --stop-after "$stall_seconds")
echo "stalled transfer for ${stall_seconds} s: CPU $(awk '{print $2}' <<<"$stall") s, outcome $(awk '{print $5}' <<<"$stall")"
