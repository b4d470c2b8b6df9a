#!/usr/bin/env bash
# Takes the desktop program's screenshots of docs/ (the report form, the auxiliary-data dialog, a
# question and the preview) on the offscreen platform, from a run on the demo office.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j"$(nproc)" --target livro_desktop_testes
LIVRO_CAPTURAS="$PWD/docs" QT_QPA_PLATFORM=offscreen ./build/livro_desktop_testes Capturas
