#!/usr/bin/env bash
# Builds and runs every benchmark on N generated contacts (default 100000).
# Prints one line per figure: "name: value unit".
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
kestrum_install_missing
kestrum_build build-bench -DCMAKE_BUILD_TYPE=Release -DKESTRUM_TESTS=OFF >/dev/null
n=${1:-100000}
export QT_QPA_PLATFORM=offscreen
for b in build-bench/bench/bench_*; do
    [ -x "$b" ] && [ -f "$b" ] && "$b" "$n"
done
