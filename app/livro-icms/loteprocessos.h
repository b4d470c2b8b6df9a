#pragma once
// The batch split across worker processes (`lote --processos N`). The batch lists the
// establishments once and hands them out one at a time: each worker is this same program started
// with the batch's options and the hidden `--trabalhador I/N`, on a database connection of its
// own; it reads the next establishment on its standard input, settles it, writes the result on
// descriptor 3 and asks for the next by that answer. A worker takes a whole company, whose
// establishments it gets in IDFILIAL order, as the serial batch settles them; so an establishment
// is handed to exactly one worker, and the one progress bar of the batch counts the answers of all. On a server each worker also holds the establishment's lock while it settles it
// (host/banco/bloqueio.h); on a SQLite file the workers' writes take turns under the busy wait.
//
// A worker that fails or dies leaves the establishment it held with the error it reported (or how
// it ended) and the others go on with the rest. A database locked by another program stops the
// handing out, as it ends the serial batch.
#include <vector>

#include "app/livro-icms/lote.h"

// Settles `filiais` with `processos` workers; the results in the order of `filiais`, only of the
// establishments handed out (all, unless the database was found locked by another program).
std::vector<TResultadoFilial> ApurarEmProcessos(const TOpcoesLote& o, const std::vector<TFilialLote>& filiais,
                                                int processos);

// The worker's side: opens its connection, then settles each establishment the batch sends until
// its input ends. The process's exit code.
int TrabalhadorDoLote(const TOpcoesLote& o, const TIntervalo& datas);
