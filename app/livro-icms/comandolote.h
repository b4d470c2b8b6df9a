#pragma once
// The `lote` command of livro-icms: every establishment of the office active in an interval (or
// of one company) settled on one connection, one after the other, each exactly as `apurar` settles
// it alone and, with --livros, printed as `imprimir` prints it; with --processos N the same runs
// shared among N worker processes (app/livro-icms/loteprocessos.h), which record the same rows.
//   livro-icms lote --db ARQ --inicio D --fim D [--empresa N] [--impostos ...] [--contabilizar]
//                   [--livros PASTA] [--respostas ARQ] [--processos N]
//
// Establishments are taken in IDFILIAL order; active means started (INICIOATIVIDADE empty or not
// after the end date). Each gets a fresh host over the shared connection and its own answers from
// their first line - the lines of its section "[filial N]" of the answers file when it has one, the
// lines before the first section otherwise - and the postponement choice of a previous one
// ("Todos", "Nenhum") does not carry over: nothing of one establishment's run reaches the next.
// Questions without an answer take their default, as in `apurar` without a terminal. An establishment that
// fails is listed with its error and the batch goes on; a database locked by another program ends
// the batch (every following establishment would wait for it in turn).
#include <string>

#include <CLI/CLI.hpp>

#include "app/livro-icms/lote.h"

class TComandoLote {
 public:
  explicit TComandoLote(CLI::App& app);
  // Runs the batch when it is the command given; `codigo` gets the exit code: 0 when every
  // establishment was settled (and printed), 5 when one or more were not. What stops the batch
  // before its first establishment (dates, database, answers file, no establishment) is thrown.
  bool Executar(int& codigo);

 private:
  // More workers than this would only queue on the database (and on a server, use up connections).
  static constexpr int kMaximoProcessos = 64;
  CLI::App* lote_ = nullptr;
  TOpcoesLote o_;
  int processos_ = 1;
  std::string trabalhador_;

  int Lote();
};
