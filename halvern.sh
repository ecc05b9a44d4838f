#!/usr/bin/env bash
# Sets up a Debian 12 machine for Halvern, builds it, and then either starts
# the logger ("run") or runs every test ("test").
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${HALVERN_BUILD_DIR:-$here/build}"
what="${1:-run}"

# Real package names only: a name that another package merely provides never
# reads as installed, and would send every start to apt-get.
packages=(
  build-essential cmake pkg-config sqlite3 libsqlite3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libqt6sql6-sqlite libqt6sql6-psql libpq-dev postgresql
  qt6-serialport-dev qt6-multimedia-dev
  libgtest-dev libbenchmark-dev
  socat dbus-daemon libhamlib-utils direwolf
  espeak-ng gstreamer1.0-plugins-base gstreamer1.0-plugins-good pulseaudio pulseaudio-utils
)

install_missing() {
  # One question to dpkg for the whole list; a name it does not know is missing.
  local installed missing=()
  installed=" $(dpkg-query -W -f='${Package}=${Status}\n' "${packages[@]}" 2>/dev/null |
    sed -n 's/=install ok installed$//p' | tr '\n' ' ') " || true
  for p in "${packages[@]}"; do
    [[ "$installed" == *" $p "* ]] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Builds the given targets (everything when none is given). A build folder
# that is already set up sets itself up again when a CMakeLists.txt changed.
build() {
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j"$(nproc)" "$@"
}

case "$what" in
  run)
    install_missing
    # The program alone: the tests and benchmarks are built by "test".
    build --target halvern
    workdir="${HALVERN_WORKDIR:-$HOME/Halvern}"
    mkdir -p "$workdir"
    shift || true
    exec "$build/src/halvern" --workdir "$workdir" "$@"
    ;;
  test)
    install_missing
    build
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
