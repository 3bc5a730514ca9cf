#!/usr/bin/env bash
# Builds everything (native, optimised) and runs the main job end to end:
# schemac compiles the business schema into its C++ class files in a scratch
# folder. (The database of the schema is created there too once the database
# layers exist.)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALVOR_TESTS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

root=$(pwd)
work=build/release/business-run
rm -rf "$work" && mkdir -p "$work/database"
cd "$work"
"$root/build/release/compiler/schemac" -ove "$root/samples/business/business.odl" database/business
echo "Class files written to $work:"
ls -1 *.h *.cpp
