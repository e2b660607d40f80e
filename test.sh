#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every test headless.
# KESTRUM_SANITIZE=1 ./test.sh runs the same tests in an ASan + UBSan build.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
kestrum_install_missing
dir=build-test
extra=()
if [ "${KESTRUM_SANITIZE:-0}" = 1 ]; then
    dir=build-asan
    extra+=(-DKESTRUM_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
kestrum_build "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_WERROR=ON -DKESTRUM_TESTS=ON "${extra[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
