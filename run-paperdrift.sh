#!/usr/bin/env bash
# Builds Paperdrift and runs paperdrift-cli with the given arguments, for
# example: ./run-paperdrift.sh sniff FILE... On a fresh Debian 12 machine it
# first installs the packages it needs. The build's own output goes to
# standard error, so standard output carries only the program's results.
set -euo pipefail
caller="$PWD"
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
source scripts/setup.sh

ensure_packages >&2
configure_and_build >&2

# Relative paths in the arguments are taken from the caller's folder.
cd "$caller"
exec "$here/build/cli/paperdrift-cli" "$@"
