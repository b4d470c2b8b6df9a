#pragma once
// `db copiar` of livro-icms: an office moved between a SQLite file and a server (either way, or
// file to file), checked twice before anyone works on the copy - the rows of every table counted
// on both sides, and one establishment settled for one period on both, inside transactions that are
// rolled back, to show that the copy records what the original would.
//   livro-icms db copiar --de ORIGEM --para DESTINO [--estabelecimento N] [--inicio D --fim D]
//
// The target is created when missing (a file, or the server's schema without the tables); one that
// already holds an office is refused and left as it was. The copy is one transaction on the
// target, committed only when every table's count matches the source's.
#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

class TQDConnection;

class TComandoCopiar {
 public:
  explicit TComandoCopiar(CLI::App& db);
  // Runs the copy when it is the command given; `codigo` gets the exit code: 0 copied and the check
  // settlement gave the same records on both, 4 the counts (nothing kept) or the records differ.
  // Errors are thrown, with any server password shown as ***.
  bool Executar(int& codigo);

 private:
  CLI::App* copiar_ = nullptr;
  std::string de_, para_, inicio_, fim_;
  int64_t idFilial_ = 0;

  int Copiar();
  int Conferir(TQDConnection& origem, TQDConnection& destino);
};
