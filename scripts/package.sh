#!/usr/bin/env bash
# Builds the Debian package build/marunoki_<version>_amd64.deb with CPack
# (dependencies computed from the binaries by dpkg-shlibdeps). Install it with
#   apt-get install ./build/marunoki_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target marunoki marunoki-cli man_pages package_docs
(cd build && cpack -G DEB >/dev/null)
ls build/marunoki_*.deb
