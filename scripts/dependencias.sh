#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (idempotent; root or sudo).
set -euo pipefail
PKGS="build-essential cmake pkg-config libsqlite3-dev libsqlitecpp-dev libmuparser-dev libhpdf-dev
      libcli11-dev libfmt-dev googletest libgtest-dev poppler-utils sqlite3"
missing=""
for p in $PKGS; do dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"; done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
