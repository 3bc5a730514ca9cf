#!/usr/bin/env bash
# Builds everything (native, optimised) and runs the main job end to end.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVOR_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

work=build/release/business-run
rm -rf "$work" && mkdir -p "$work"
cd "$work"
../compiler/schemac -ove ../../../samples/business/business.odl business
