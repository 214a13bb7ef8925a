#!/usr/bin/env bash
# Sets up, builds and runs Vellumi on Debian or Ubuntu:
#   ./dev.sh run    install what is missing, build, start the game on the sample data
#   ./dev.sh test   install what is missing, build, run every test; then build again with
#                   AddressSanitizer and UndefinedBehaviorSanitizer and run every test there too
set -euo pipefail
cd "$(dirname "$0")"

build_packages=(cmake make g++ pkg-config qt6-base-dev qt6-svg-dev libsndfile1-dev libpulse-dev qt6-translations-l10n qt6-image-formats-plugins fonts-wqy-zenhei)
test_packages=(libbenchmark-dev qt6-multimedia-dev xvfb xauth xdotool imagemagick python3 pulseaudio pulseaudio-utils sox
               desktop-file-utils appstream lintian dpkg-dev file at-spi2-core python3-pyatspi dbus-daemon)

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

# The game alone for playing; tests and benchmarks too for testing.
build() {
  local developer=${1:-OFF}
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$developer" -DVELLUMI_BENCHMARKS="$developer"
  cmake --build build -j"$(nproc)"
}

# Memory errors, leaks of our own and undefined behaviour all fail the run; so does a broken
# precondition, as only a Debug build checks Q_ASSERT.
sanitized_tests() {
  local flags="-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
  cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DVELLUMI_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  cmake --build build-sanitize -j"$(nproc)"
  QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure
}

case "${1:-}" in
  run)
    install_missing "${build_packages[@]}"
    build
    echo "How to play: start a game from the 游戏 menu or with a right click on the picture; click a tile beside the gap, or press an arrow key, to slide it home."
    exec ./build/tessra
    ;;
  test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build ON
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
    sanitized_tests
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
