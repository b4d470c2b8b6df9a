#!/usr/bin/env bash
# Builds the desktop program, creates the demo office in saida/demo.db when it is not there yet,
# and starts livro-icms-desktop on it (a display is needed: a desktop session, or xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIVRO_ICMS_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target livro-icms livro-icms-desktop
mkdir -p saida
[ -f saida/demo.db ] || ./build/livro-icms db demo saida/demo.db
exec ./build/livro-icms-desktop --db saida/demo.db "$@"
