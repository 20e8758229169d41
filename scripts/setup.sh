# Shared set-up of the run and test commands: packages, configure, build.

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-webengine-dev qt6-multimedia-dev
  libgumbo-dev libbenchmark-dev
  curl openssl e2fsprogs
  fonts-wqy-microhei
)

ensure_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

configure_and_build() {
  # A compiler cache, where one is installed, lets rebuilds and other
  # checkouts reuse what was compiled already.
  local launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAPERDRIFT_BUILD_TESTS=ON -DPAPERDRIFT_BUILD_BENCH=ON \
    "${launcher[@]}" >/dev/null
  cmake --build build --parallel "$(nproc)"
}
