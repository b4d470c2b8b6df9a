#!/usr/bin/env bash
# Builds the program, creates the demo database, settles the first quarter of 2026 of every demo
# establishment the program settles and prints their books as PDF and text under saida/:
# livro-demo.* is the São Paulo head office (regular ICMS and ICMS-ST of RJ and MG); the others
# are named after their establishment: RS (regular RS and ICMS-ST RS, centraliser), MA, PA, SE, PR
# (regular), the small businesses of PR and RN (2007) and the RS small business of 2006-2007 (70 the
# centraliser, 71 centralised), and the Santa Catarina regimes: regular with ICMS-ST (its agreement
# number answered in January's dialog, scripts/respostas-demo-sc.txt, then proposed to February and
# March), the estimate's first semester and July, bars and restaurants, and the small business of
# December 2006 to April 2007 (centraliser and centralised); livro-demo-campinas is the São Paulo
# branch in January, with its RS and SC inscriptions. Last, the whole office's April 2026 is settled
# and printed in one batch run (saida/lote/).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/dependencias.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLIVRO_ICMS_TESTS=ON >/dev/null
cmake --build build -j"$(nproc)" --target livro-icms
mkdir -p saida
rm -f saida/demo.db
./build/livro-icms db demo saida/demo.db
livro() {  # establishment, output name[, start, end]
  local ini=${3:-01/01/2026} fim=${4:-31/03/2026}
  ./build/livro-icms apurar --db saida/demo.db --filial "$1" --inicio "$ini" --fim "$fim"
  ./build/livro-icms imprimir --db saida/demo.db --filial "$1" --inicio "$ini" --fim "$fim" \
      --saida "saida/$2.pdf" --saida "saida/$2.txt"
}
livro 1 livro-demo
# The head office's definitive book 1: the opening term on folha 1, January to March from folha 2,
# each page numbered once; April asked from folha 5, which January holds, is refused by name.
./build/livro-icms imprimir --db saida/demo.db --filial 1 --inicio 01/01/2026 --fim 31/03/2026 --definitivo \
    --saida saida/livro-demo-definitivo.pdf --saida saida/livro-demo-definitivo.txt
./build/livro-icms imprimir --db saida/demo.db --filial 1 --inicio 01/04/2026 --definitivo --pagina 5 \
    --saida saida/livro-demo-recusado.txt || echo "(recusado, como esperado: nada foi gravado)"
livro 3 livro-demo-rs
livro 5 livro-demo-ma
livro 6 livro-demo-pa
livro 7 livro-demo-se
livro 60 livro-demo-pr
livro 61 livro-demo-pr-simples 01/01/2007 31/03/2007
livro 63 livro-demo-rn-simples 01/01/2007 31/01/2007
# The RS small business, July 2006 to January 2007: the centralised establishment first, since
# settling it settles again the ICMS-ST of the company's RS establishments (as settled alone);
# the centraliser's own run then leaves its ICMS-ST as the group's.
livro 71 livro-demo-simples-rs-71 01/07/2006 31/01/2007
livro 70 livro-demo-simples-rs-70 01/07/2006 31/01/2007
./build/livro-icms apurar --db saida/demo.db --filial 80 --inicio 01/01/2026 --fim 31/01/2026 \
    --respostas scripts/respostas-demo-sc.txt
livro 80 livro-demo-sc
livro 81 livro-demo-sc-estimativa 01/01/2026 31/07/2026
livro 82 livro-demo-sc-bares
livro 83 livro-demo-sc-simples 01/12/2006 30/04/2007
livro 84 livro-demo-sc-simples-centralizado 01/01/2007 30/04/2007
livro 2 livro-demo-campinas 01/01/2026 31/01/2026
# A client's EFD ICMS/IPI file (an SP shop, January 2026) in three commands: imported into a new
# office database, its book printed, its block E compared with ours.
rm -f saida/efd.db
./build/livro-icms efd importar --db saida/efd.db tests/efd/cliente_sp_jan2026.txt
./build/livro-icms imprimir --db saida/efd.db --filial 1 --inicio 01/01/2026 \
    --saida saida/livro-efd.pdf --saida saida/livro-efd.txt
./build/livro-icms efd conferir --db saida/efd.db tests/efd/cliente_sp_jan2026.txt
# The whole office in one run: April 2026 of every establishment, each book under saida/lote/.
./build/livro-icms lote --db saida/demo.db --inicio 01/04/2026 --fim 30/04/2026 --livros saida/lote
echo "Livros de demonstração em saida/: livro-demo (SP) e livro-demo-definitivo (o livro 1 do SP), -rs, -ma, -pa, -se, -pr, -pr-simples, -rn-simples," \
     "-simples-rs-70 e -71, -sc, -sc-estimativa, -sc-bares, -sc-simples, -sc-simples-centralizado e -campinas" \
     "(SP com inscrições no RS e em SC) e livro-efd (do arquivo EFD de um cliente) (.pdf e .txt);" \
     "abril de 2026 do escritório inteiro em saida/lote/"
