#!/usr/bin/env bash
# Builds both targets and runs every test suite:
#   build/native  x86_64 with AddressSanitizer and UndefinedBehaviorSanitizer
#   build/i386    32-bit x86 (g++ -m32), tests run under qemu-i386
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

echo "=== native x86_64 (sanitized) ==="
cmake -S . -B build/native -G Ninja -DTALVOR_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs")

echo "=== i386 (under qemu-i386) ==="
cmake -S . -B build/i386 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/i386.cmake >/dev/null
cmake --build build/i386 -j "$jobs"
(cd build/i386 && ctest --output-on-failure -j "$jobs")
