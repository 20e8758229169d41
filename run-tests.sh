#!/usr/bin/env bash
# Builds Paperdrift and runs every test through CTest. On a fresh Debian 12
# machine it first installs the packages it needs. Exits non-zero on any
# failure. Extra arguments go to ctest (for example: -L unit, -R tst_settings).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh

ensure_packages
configure_and_build

export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-first-run --disable-background-networking"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure --timeout 900 "$@"
