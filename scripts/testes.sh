#!/usr/bin/env bash
# Builds everything and runs the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIVRO_ICMS_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)"
cd build && ctest --output-on-failure -j"$(nproc)"
