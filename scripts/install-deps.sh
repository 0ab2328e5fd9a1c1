#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the benchmarks and the
# fuzzers need. Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-svg-dev libqt6sql6-sqlite libqt6opengl6-dev libgl-dev
  libgumbo-dev mdbtools-dev libsqlite3-dev zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang clang-tidy clang-format libclang-rt-14-dev lld
  fonts-ipafont-gothic sqlite3 python3 time poppler-utils chromium bindfs
  qt6-translations-l10n
  dpkg-dev lintian desktop-file-utils appstream xvfb xauth imagemagick dex libgtk-3-bin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
