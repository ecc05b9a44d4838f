#!/usr/bin/env bash
# Sets up a Debian 12 machine for Halvern, builds it, and then either starts
# the logger ("run") or runs every test ("test").
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${HALVERN_BUILD_DIR:-$here/build}"
what="${1:-run}"

packages=(
  build-essential cmake pkg-config sqlite3 libsqlite3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqt6sql6-sqlite libqt6sql6-psql
  qt6-serialport-dev qt6-multimedia-dev socat
  libgtest-dev libbenchmark-dev
)

install_missing() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_all() {
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)"
}

case "$what" in
  run)
    install_missing
    build_all
    workdir="${HALVERN_WORKDIR:-$HOME/Halvern}"
    mkdir -p "$workdir"
    shift || true
    exec "$build/src/halvern" --workdir "$workdir" "$@"
    ;;
  test)
    install_missing
    build_all
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
