#pragma once
// One settlement of an establishment at a time across the office: on a server the run holds a
// lock of the session keyed by the establishment, so that two accountants settling different
// establishments never wait on each other and a second run of the same one is refused naming
// who holds it. A SQLite file needs none: its writers already take turns.
#include <cstdint>

class TQDConnection;

namespace banco {

class TBloqueioEstabelecimento {
 public:
  // Throws EBancoOcupado naming the user, program and machine of the run that holds it.
  TBloqueioEstabelecimento(TQDConnection& conexao, int64_t idFilial);
  ~TBloqueioEstabelecimento();
  TBloqueioEstabelecimento(const TBloqueioEstabelecimento&) = delete;
  TBloqueioEstabelecimento& operator=(const TBloqueioEstabelecimento&) = delete;

 private:
  TQDConnection& conexao_;
  int64_t idFilial_;
  bool preso_ = false;
};

// Inside a transaction, the book numbering of an establishment for this writer alone until the
// transaction ends: on a server waits (as long as the connection waits for any lock) for another
// print of the establishment's books to record its folhas; SQLite's BEGIN IMMEDIATE already holds
// the write lock.
void ReservarNumeracao(TQDConnection& conexao, int64_t idFilial);

}  // namespace banco
