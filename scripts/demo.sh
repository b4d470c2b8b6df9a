#!/usr/bin/env bash
# Builds the program, creates the demo database, settles the demo establishment (first quarter of
# 2026) and prints its book as PDF and text under saida/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIVRO_ICMS_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target livro-icms
mkdir -p saida
rm -f saida/demo.db
./build/livro-icms db demo saida/demo.db
./build/livro-icms apurar --db saida/demo.db --filial 1 --inicio 01/01/2026 --fim 31/03/2026
./build/livro-icms imprimir --db saida/demo.db --filial 1 --inicio 01/01/2026 --fim 31/03/2026 \
    --saida saida/livro-demo.pdf --saida saida/livro-demo.txt
echo "Livro de demonstração: saida/livro-demo.pdf e saida/livro-demo.txt"
