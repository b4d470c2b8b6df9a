#!/usr/bin/env bash
# The office server against the SQLite file, in one run on one machine: `apurar` of a year at N
# items (one establishment) and `lote` of January over F establishments with 1 and 2 processes.
# Each office is generated once as a SQLite file (bench/gerador.h), moved to a throwaway server
# (scripts/pg-teste.sh) with `db copiar`, and each command runs R times, alternating the engines;
# the medians of the wall clock and their ratios are printed with the load average.
#   bench/servidor.sh [--itens 1000000] [--filiais 1000] [--repeticoes 3] [--build build]
# Needs the programs built (livro-icms, livro-bench-gerar) and PostgreSQL's server binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
ITENS=1000000 FILIAIS=1000 REP=3 BUILD=build
while [ $# -gt 0 ]; do
  case "$1" in
    --itens) ITENS=$2; shift 2 ;;
    --filiais) FILIAIS=$2; shift 2 ;;
    --repeticoes) REP=$2; shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    --dentro) shift; break ;;  # (the part that runs with the server up)
    *) echo "opção desconhecida: $1" >&2; exit 2 ;;
  esac
done
LIVRO=$PWD/$BUILD/livro-icms
GERAR=$PWD/$BUILD/bench/livro-bench-gerar

if [ -z "${LIVRO_ICMS_BANCO_TESTE:-}" ]; then
  OFFICES=$(mktemp -d /tmp/livro-bench-servidor.XXXXXX)
  chmod 755 "$OFFICES"
  trap 'rm -rf "$OFFICES"' EXIT
  echo "Gerando os escritórios em $OFFICES ..." >&2
  "$GERAR" "$OFFICES/ano.db" --itens "$ITENS" >/dev/null
  "$GERAR" "$OFFICES/lote.db" --itens "$ITENS" --filiais "$FILIAIS" --meses 1 >/dev/null
  chmod 644 "$OFFICES"/*.db
  # (scripts/pg-teste.sh has a PASTA of its own)
  OFFICES=$OFFICES ITENS=$ITENS FILIAIS=$FILIAIS REP=$REP \
    scripts/pg-teste.sh "$0" --build "$BUILD" --dentro
  exit $?
fi

# With the server up (LIVRO_ICMS_BANCO_TESTE: a superuser URI of a throwaway server): one database
# per office on it.
base=${LIVRO_ICMS_BANCO_TESTE%%\?*}
opcoes=${LIVRO_ICMS_BANCO_TESTE#*\?}
servidor() { echo "${base%/*}/$1?$opcoes"; }
psql_uri() { psql -q -X -d "$LIVRO_ICMS_BANCO_TESTE" -c "$1" >/dev/null; }
for b in ano lote; do psql_uri "CREATE DATABASE $b"; done
for b in ano lote; do
  inicio=$(date +%s)
  "$LIVRO" db copiar --de "$OFFICES/$b.db" --para "$(servidor $b)" --inicio 01/01/2025 --fim 31/01/2025 >/dev/null
  echo "  $b.db copiado para o servidor em $(( $(date +%s) - inicio )) s" >&2
done

segundos() {  # wall clock of a command, in seconds with milliseconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "falhou: $*" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}
mediana() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }

declare -a aS aP l1S l1P l2P
carga0=$(cut -d' ' -f1 /proc/loadavg)
for r in $(seq "$REP"); do
  aS+=("$(segundos "$LIVRO" apurar --db "$OFFICES/ano.db" --filial 1 --inicio 01/01/2025 --fim 31/12/2025)")
  aP+=("$(segundos "$LIVRO" apurar --db "$(servidor ano)" --filial 1 --inicio 01/01/2025 --fim 31/12/2025)")
  l1S+=("$(segundos "$LIVRO" lote --db "$OFFICES/lote.db" --inicio 01/01/2025 --fim 31/01/2025)")
  l1P+=("$(segundos "$LIVRO" lote --db "$(servidor lote)" --inicio 01/01/2025 --fim 31/01/2025)")
  l2P+=("$(segundos "$LIVRO" lote --db "$(servidor lote)" --inicio 01/01/2025 --fim 31/01/2025 --processos 2)")
  echo "  repetição $r: apurar ${aS[-1]} / ${aP[-1]} s; lote ${l1S[-1]} / ${l1P[-1]} / ${l2P[-1]} s" >&2
done
carga1=$(cut -d' ' -f1 /proc/loadavg)
mas=$(mediana "${aS[@]}") map=$(mediana "${aP[@]}")
ml1s=$(mediana "${l1S[@]}") ml1p=$(mediana "${l1P[@]}") ml2p=$(mediana "${l2P[@]}")
razao() { echo "scale=2; $1 / $2" | bc -l; }
echo
echo "Servidor contra SQLite ($(nproc) núcleos; carga $carga0 -> $carga1; medianas de $REP)"
printf '%-52s %10s %10s %8s\n' "" "SQLite (s)" "servidor" "razão"
printf '%-52s %10.2f %10.2f %8s\n' "apurar, um ano, $ITENS itens" "$mas" "$map" "$(razao "$map" "$mas")"
printf '%-52s %10.2f %10.2f %8s\n' "lote de janeiro, $FILIAIS estabelecimentos, 1 processo" "$ml1s" "$ml1p" "$(razao "$ml1p" "$ml1s")"
printf '%-52s %10.2f %10.2f %8s\n' "lote de janeiro, $FILIAIS estabelecimentos, 2 processos" "$ml1s" "$ml2p" "$(razao "$ml2p" "$ml1s")"
