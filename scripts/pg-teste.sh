#!/usr/bin/env bash
# Runs a command against a throwaway PostgreSQL server: initdb in a temporary folder, the server
# listening on a Unix socket only (no TCP port), stopped and removed at the end, also when the
# command fails. The command finds the server in LIVRO_ICMS_BANCO_TESTE (a postgresql:// URI of a
# superuser), which the test suite reads to run its databases on it. initdb and postgres refuse to
# run as root: as root they run as the user postgres (PG_USUARIO).
#   scripts/pg-teste.sh build/livro_testes          # the suite on the server
#   scripts/pg-teste.sh bash                        # a shell with the server up
set -euo pipefail
BIN=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
# 77: skipped, for ctest, on a machine without the server installed.
[ -x "$BIN/initdb" ] || { echo "PostgreSQL não instalado (initdb não encontrado em '$BIN')" >&2; exit 77; }
PASTA=$(mktemp -d /tmp/livro-pg.XXXXXX)
chmod 755 "$PASTA"
como() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  USUARIO=${PG_USUARIO:-postgres}
  chown "$USUARIO" "$PASTA"
  como() { runuser -u "$USUARIO" -- "$@"; }
fi
parar() {
  como "$BIN/pg_ctl" -D "$PASTA/dados" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$PASTA"
}
trap parar EXIT
como "$BIN/initdb" -D "$PASTA/dados" -A trust -U livro -E UTF8 --no-locale >/dev/null
# autovacuum off: its analyses take transaction ids, which tell a settlement in progress that the
# data changed (the server's data version) and drop its cached totals at random in a long test.
como "$BIN/pg_ctl" -D "$PASTA/dados" -l "$PASTA/servidor.log" -w \
  -o "-c listen_addresses='' -k $PASTA -c fsync=off -c synchronous_commit=off -c max_connections=50 -c autovacuum=off" start >/dev/null
export LIVRO_ICMS_BANCO_TESTE="postgresql://livro@/postgres?host=$PASTA"
"$@"
