#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kestrum.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/setup.sh
kestrum_install_missing
kestrum_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRUM_TESTS=OFF
exec ./build/app/kestrum "$@"
