#pragma once
// An office moved from one database to another (a SQLite file, a server's schema, either way):
// every row of every table, ids included, so that what refers to an id still finds it; on a server
// each table's identity goes on after the highest id copied (the trigger of db/schema.sql as the
// server reads it). The caller holds the target's transaction: a copy is whole or absent.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TQDConnection;

namespace banco {

class TBanco;

// The tables of the office on the connection, in upper case and name order.
std::vector<std::string> TabelasDoEscritorio(TBanco& db);
int64_t ContarLinhas(TBanco& db, const std::string& tabela);

// The first table that holds rows a new database does not (what `db criar` writes in it apart),
// with its count; an empty name when the database holds nothing of an office.
struct TTabelaComDados {
  std::string Tabela;
  int64_t Linhas = 0;
};
TTabelaComDados DadosDoEscritorio(TQDConnection& c);

// Replaces the rows of every table of `destino` by those of `origem`, table by table;
// `aoCopiar(tabela, linhas)` after each. Throws EBancoDados naming the table (and the row's key)
// that the target refused, or a table the target lacks.
void CopiarEscritorio(TBanco& origem, TBanco& destino,
                      const std::function<void(const std::string&, int64_t)>& aoCopiar = {});

// On a server, every table's identity set to give next the id after the table's highest: a
// sequence keeps the ids a rolled-back transaction took. Only where nobody else writes (a copy
// just made). SQLite numbers from the highest id anyway: nothing to do there.
void NumerarAposOMaior(TBanco& db);

}  // namespace banco
