#!/usr/bin/env bash
# Sets up, builds and runs Vellumi on Debian or Ubuntu:
#   ./dev.sh run    install what is missing, build, start the game on the sample data
#   ./dev.sh test   install what is missing, build, run every test
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake make g++ qt6-base-dev qt6-multimedia-dev qt6-translations-l10n fonts-wqy-zenhei)
test_packages=(xvfb xauth xdotool imagemagick python3 pulseaudio pulseaudio-utils sox)

install_missing() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
  cmake --build build -j"$(nproc)"
}

case "${1:-}" in
  run)
    install_missing "${build_packages[@]}"
    build
    exec ./build/tessra
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
