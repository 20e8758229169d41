#!/usr/bin/env bash
# Installs the built program into a staging folder, builds the Debian package
# and unpacks it into a temporary root, and checks what each put where: the
# programs in bin/, the desktop entry and the icon in the desktop's places,
# the package's declared dependencies, and that the unpacked command-line
# program runs.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_file() { [ -f "$1" ] || fail "missing $1"; }
expect_program() { [ -x "$1" ] || fail "not an executable program: $1"; }
expect_line() { grep -qxF -- "$2" "$1" || fail "$1 lacks the line: $2"; }

check_tree() {
  local root=$1
  expect_program "$root/bin/paperdrift"
  expect_program "$root/bin/paperdrift-cli"
  expect_program "$root/bin/paperdrift-live-reader"
  local desktop="$root/share/applications/paperdrift.desktop"
  expect_file "$desktop"
  expect_file "$root/share/icons/hicolor/64x64/apps/paperdrift.png"
  if [ -f "$desktop" ]; then
    expect_line "$desktop" "[Desktop Entry]"
    expect_line "$desktop" "Type=Application"
    expect_line "$desktop" "Name=Paperdrift"
    expect_line "$desktop" "Name[zh_CN]=Paperdrift 文献检索下载"
    expect_line "$desktop" "Exec=paperdrift %U"
    expect_line "$desktop" "Icon=paperdrift"
    expect_line "$desktop" "Categories=Network;FileTransfer;"
  fi
}

# cmake --install into a staging prefix.
cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
check_tree "$work/prefix"

# The Debian package, unpacked as dpkg would place it.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log") \
  || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: cpack built no single package"; exit 1; }
deb=${debs[0]}
[ "$(dpkg-deb -f "$deb" Package)" = "paperdrift" ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6webenginecore6 libqt6network6 qt6-qpa-plugins; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb -x "$deb" "$work/root"
check_tree "$work/root/usr"

# The unpacked command-line program runs and reads a file.
sniffed=$("$work/root/usr/bin/paperdrift-cli" sniff "$work/root/usr/share/icons/hicolor/64x64/apps/paperdrift.png" 2>&1) \
  || fail "paperdrift-cli from the package does not run: $sniffed"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installed tree and package checked: $(basename "$deb")"
