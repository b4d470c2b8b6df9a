#pragma once
// Faster forms of some SQL texts, run in their place while a settlement run is in progress. The
// texts stay as their modules write them and remain the reference; the query components
// (consulta.h) look every text up here before preparing it, and when a form is registered for it
// and takes the arguments it was filled with, they run the form, which returns the same rows in the
// same order. The forms live beside the texts they serve and register themselves there (the
// settlement's CFOP registers, apuracao/formasrapidas.h; the GNRE guides of the ICMS-ST book,
// regimes/subtrib/formasrapidasst.h); tests/formasrapidas_test.cpp holds each form against its text.
//
// The faster forms run only while a settlement run is in progress on the connection
// (TApuracaoEmCurso): the run's documents do not change under it, and what the run gathered once
// serves all its periods and taxes. Outside a run, and for arguments a form does not take (an
// interval the run did not read, another establishment), the text runs as written.
#include <any>
#include <cstdint>
#include <functional>
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

class TApuracaoEmCurso;

// A faster form: given the run in progress and the arguments the text was filled with (as Format
// put them in, quotes and all), what to run instead; nothing when it does not take them.
using TFormaRapida = std::function<std::optional<TFormaExecucao>(TApuracaoEmCurso&, const std::vector<std::string>&)>;
// Registers `forma` for the text (a Format template: %s/%d in order, %N:s by position). A text
// registered again keeps its first form.
void RegistrarForma(const char* texto, TFormaRapida forma);

// Arguments as Format put them: a quoted SQL literal (its value without the quotes), a bare whole
// number.
bool LerLiteral(const std::string& argumento, std::string& valor);
bool LerInteiro(const std::string& argumento, int64_t& valor);

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
  // What a form gathered once for the run, under a key of its own (empty the first time); dropped
  // with the rest when another connection commits.
  std::any& Memoria(const std::string& chave);
  TQDConnection& Conexao() { return conexao_; }

 private:
  // Drops what was gathered when another connection committed since.
  void Conferir();
  int64_t VersaoDados();

  TQDConnection& conexao_;
  bool externa_;  // false: a run inside another; the outer one holds everything
  int64_t versao_ = 0;
  std::optional<TTotaisItens> itens_[2];
  std::unique_ptr<TCfops> cfops_;
  std::map<std::string, std::any> memoria_;
};

}  // namespace banco
