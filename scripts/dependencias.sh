#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (idempotent; root or sudo).
# The desktop program needs Qt 6 (Widgets, Print Support and Test come with qt6-base-dev), the
# offscreen platform plugin its tests run on (qt6-qpa-plugins), Qt's Portuguese texts for its
# standard buttons and dialogs (qt6-translations-l10n) and a monospaced font for the book. An
# office's shared database is a PostgreSQL server: the program links libpq (libpq-dev) and the
# tests start a throwaway server of their own (postgresql, scripts/pg-teste.sh). The PDF's pages are
# compressed with libdeflate (libdeflate-dev).
set -euo pipefail
PKGS="build-essential cmake pkg-config libsqlite3-dev libsqlitecpp-dev libmuparser-dev libhpdf-dev
      libdeflate-dev libcli11-dev libfmt-dev googletest libgtest-dev poppler-utils sqlite3 libpq-dev postgresql
      qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core"
missing=""
for p in $PKGS; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
