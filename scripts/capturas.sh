#!/usr/bin/env bash
# Takes the desktop program's screenshots of docs/ (the report form, the auxiliary-data dialog, a
# question, the preview on a 1366 x 768 screen and Qt's save dialog in Portuguese) on the offscreen
# platform, from a run on the demo office.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j"$(nproc)" --target livro_desktop_testes
tela="$(mktemp --suffix=.json)"
trap 'rm -f "$tela"' EXIT
cat >"$tela" <<'JSON'
{ "screens": [ { "name": "tela", "x": 0, "y": 0, "width": 1366, "height": 768,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
JSON
LIVRO_CAPTURAS="$PWD/docs" QT_QPA_PLATFORM="offscreen:configfile=$tela" ./build/livro_desktop_testes Capturas
