#pragma once
// Stored data that the settlement would otherwise turn into wrong numbers without a word: a CFOP
// code that multiplies its family in the grouped register, an item whose CFOP does not exist (it
// would vanish from the register and the tax), an amount stored as text (SQLite's SUM reads
// "1.234,56" as 1.234 and "abc" as 0), an ST inscription of an unknown state, a date that is not
// a date, an amount of more than four decimals. The schema of a new database refuses these rows
// already; databases created before it, or loaded with the checks switched off, still hold them, so
// the run looks at every row it will read before it records anything. Each problem is one text naming the row as a person finds it (document number, series,
// date, establishment and company codes), then its table and id, and what is wrong.
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/banco/conexao.h"
#include "host/base/datas.h"

struct TFilial;

// The stored data would give wrong figures; the message lists the rows to correct.
class EDadosInvalidos : public EBancoDados {
 public:
  using EBancoDados::EBancoDados;
  // A refusal built by integridade::Relatorio, kept in parts so that a run that had recorded
  // periods before it can say which (ComGravados).
  EDadosInvalidos(std::string titulo, std::vector<std::string> problemas);
  EDadosInvalidos ComGravados(const std::vector<std::string>& gravados) const;

 private:
  std::string titulo_;
  std::vector<std::string> problemas_;
};

namespace integridade {

// Rows of ES02_CFOP whose code is not exactly "9.999" or "9.999.999" (no blanks) or repeats the
// code of another row.
std::vector<std::string> CfopsInvalidos(banco::TBanco& db);

struct TProblemas {
  std::vector<std::string> Erros;   // the settlement would record wrong figures
  std::vector<std::string> Avisos;  // nothing recorded goes wrong, but something is left out
};

// What a run reads, gathered from its summaries (TResumo::AcrescentarLeituras): the establishments
// whose documents and settlement entries some query of the run reads, those of whole companies (a
// state's only, when named) that a regime's sums read, and the widest dates read. An ICMS-ST
// period may be longer than the run's interval and a small business reads the year to date, so the
// dates are those of the queries, not of the request.
struct TLeituras {
  std::set<int64_t> Documentos;   // establishments whose documents and items are read
  std::set<int64_t> Lancamentos;  // establishments whose settlement entries are read
  // Whole companies (company id, state; "" every state) whose documents, or entries, are read.
  std::set<std::pair<int32_t, std::string>> EmpresasDocumentos, EmpresasLancamentos;
  TDateTime Inicio = 0, Fim = 0;
  // The documents and entries of the establishment over the dates.
  void Acrescentar(int64_t idFilial, TDateTime inicio, TDateTime fim);
};

// Checks what the run reads. Of every establishment read: the documents and settlement entries
// whose date is not a date (they would fall out of every period); over the dates read, the items
// of the documents and the settlement entries whose amounts are not numbers or have more than four
// decimals, and the items whose CFOP does not exist. Then the CFOP table and the states of the
// establishment's ST inscriptions (an
// error when `substituicaoTributaria`, ICMS-ST being selected; a warning otherwise). With a
// settlement run in progress on the connection (host/banco/formasrapidas.h), the reading of the
// establishment's own items also totals them for the run's registers and, when nothing is wrong,
// leaves the totals with the run.
TProblemas VerificarApuracao(TQDConnection& c, const TFilial& filial, const TLeituras& leituras,
                             bool substituicaoTributaria);

// The message of a refusal: the title, what was recorded before it (nothing, when `gravados` is
// empty; else each item, one a line) and the problems one a line.
std::string Relatorio(const std::string& titulo, const std::vector<std::string>& problemas,
                      const std::vector<std::string>& gravados = {});

}  // namespace integridade
