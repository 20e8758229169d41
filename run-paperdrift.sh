#!/usr/bin/env bash
# Builds Paperdrift and starts it. On a fresh Debian 12 machine it first
# installs the packages it needs. The build's own output goes to standard
# error, so standard output carries only the program's results.
#
#   ./run-paperdrift.sh [--dir FOLDER] [--list FILE] [URL...]
#       the desktop program paperdrift: the startup window, from which the
#       search window opens; given addresses, the search window and the
#       download window with them on its list come up at once (it needs a
#       display)
#   ./run-paperdrift.sh cli COMMAND ...
#       the command-line tool paperdrift-cli (download, extract, sniff), which
#       needs no display
set -euo pipefail
caller="$PWD"
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/setup.sh

ensure_packages >&2
configure_and_build >&2

# Relative paths in the arguments are taken from the caller's folder.
cd "$caller"
if [ "${1:-}" = "cli" ]; then
  shift
  exec "$here/build/cli/paperdrift-cli" "$@"
fi
exec "$here/build/startup/paperdrift" "$@"
