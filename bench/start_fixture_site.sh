# Sourced by the comparison scripts: makes a scratch folder $work, starts the
# test site program $site on a free loopback port, and sets $port. Both are
# cleaned up when the script exits.
work=$(mktemp -d)
site_pid=""
cleanup() {
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Each request the site takes is a line "request PATH" in $work/requests.
"$site" 0 >"$work/port" 2>"$work/requests" &
site_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n1 "$work/port")
