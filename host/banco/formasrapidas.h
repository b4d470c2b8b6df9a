#pragma once
// Faster forms of some of the settlement's SQL texts, in one table (formasrapidas.cpp). The texts
// stay as the settlement writes them (apuracao/sqlapuracao.h, regimes/subtrib/sqlsubtrib.h) and
// remain the reference; the query components (consulta.h) look every text up here before preparing
// it, and when it is a text of the table, filled with arguments its faster form takes, they run the
// faster form, which returns the same rows in the same order (tests/formasrapidas_test.cpp holds
// each form against its text):
//
//   - the eight CFOP registers (entries or exits; with the suffix or grouped by the CFOP without
//     it; regular ICMS or the ICMS-ST of a state): answered from the totals that the run's one
//     reading of the establishment's items left (totaisitens.h) - the sums per CFOP id of the
//     period, then the CFOP codes and descriptions joined and grouped as the text joins and groups
//     them. Read as written, each text reads every item of its period again, once per tax, and
//     sorts the wide rows with their descriptions.
//   - the GNRE guides of an ICMS-ST state without inscription (the book's guide list): driven by the
//     establishment's exits of the period through the index on establishment and date, when no
//     guide of the establishment and tax pays an exit of another establishment. As written, the
//     text reads every guide the establishment ever had for each period it prints.
//
// The faster forms run only while a settlement run is in progress on the connection
// (TApuracaoEmCurso): the run's documents do not change under it, and what the run gathered once
// serves all its periods and taxes. Outside a run, and for arguments a form does not take (an
// interval the run did not read, another establishment), the text runs as written.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/banco/consulta.h"
#include "host/banco/totaisitens.h"

class TQDConnection;

namespace banco {

// A result built in memory: the column names and the rows.
struct TTabelaMemoria {
  std::vector<std::string> Campos;
  std::vector<std::vector<TCampo::Valor>> Linhas;
};

// What a query component runs for a text: rows already answered, or the SQL to prepare.
struct TFormaExecucao {
  std::optional<TTabelaMemoria> Linhas;
  std::string Sql;
};
TFormaExecucao FormaDeExecucao(TQDConnection& conexao, const std::string& sql);

// A settlement run in progress on a connection, from its checks to its last printed page. While
// one exists the run's documents are taken as unchanged by this connection (a run writes tax
// records, entries and book numbering, never documents); a commit by another connection is seen
// (PRAGMA data_version) and drops what was gathered. A run started inside another (a regime that
// settles other summaries inside its own) shares the outer one.
class TApuracaoEmCurso {
 public:
  explicit TApuracaoEmCurso(TQDConnection& conexao);
  ~TApuracaoEmCurso();
  TApuracaoEmCurso(const TApuracaoEmCurso&) = delete;
  TApuracaoEmCurso& operator=(const TApuracaoEmCurso&) = delete;

  // The totals of one side of the items, read by the run's check (integridade.cpp); they replace
  // any earlier ones of that side.
  void GuardarItens(TTotaisItens totais);
  // The totals of that side and establishment, when they are still valid.
  const TTotaisItens* Itens(bool saidas, int64_t idFilial);

  // The CFOP table, as the registers join it.
  struct TCfop {
    std::string Codigo;
    std::optional<std::string> Descricao;
  };
  struct TCfops {
    std::map<int64_t, TCfop> PorId;
    std::vector<std::pair<std::string, const TCfop*>> PorCodigo;  // ascending code
  };
  const TCfops& Cfops();
  // Whether every GNRE guide of the establishment and tax pays exits of the establishment itself
  // (asked once per run).
  bool GuiasSoDoEstabelecimento(int64_t idFilial, const std::string& imposto);

 private:
  // Drops what was gathered when another connection committed since.
  void Conferir();
  int64_t VersaoDados();

  TQDConnection& conexao_;
  bool externa_;  // false: a run inside another; the outer one holds everything
  int64_t versao_ = 0;
  std::optional<TTotaisItens> itens_[2];
  std::unique_ptr<TCfops> cfops_;
  std::map<std::pair<int64_t, std::string>, bool> guias_;
};

}  // namespace banco
