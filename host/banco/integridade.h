#pragma once
// Stored data that the settlement would otherwise turn into wrong numbers without a word: a CFOP
// code that multiplies its family in the grouped register, an item whose CFOP does not exist (it
// would vanish from the register and the tax), an amount stored as text (SQLite's SUM reads
// "1.234,56" as 1.234 and "abc" as 0), an ST inscription of an unknown state. The schema of a new
// database refuses these rows already; databases created before it, or loaded with the checks
// switched off, still hold them, so the run looks before it records anything. Each problem is one
// text naming the table, the row id and what is wrong.
#include <cstdint>
#include <string>
#include <vector>

#include "host/banco/conexao.h"
#include "host/base/datas.h"

struct TFilial;

// The stored data would give wrong figures; the message lists the rows to correct.
class EDadosInvalidos : public EBancoDados {
 public:
  using EBancoDados::EBancoDados;
};

namespace integridade {

// Rows of ES02_CFOP whose code is not exactly "9.999" or "9.999.999" (no blanks) or repeats the
// code of another row.
std::vector<std::string> CfopsInvalidos(SQLite::Database& db);

struct TProblemas {
  std::vector<std::string> Erros;   // the settlement would record wrong figures
  std::vector<std::string> Avisos;  // nothing recorded goes wrong, but something is left out
};

// What the settlement of the establishment over the interval reads: the CFOP table, the items of
// the establishment's documents of the interval, the settlement entries of the interval of the
// establishments of its company (a centraliser reads its group's), and the states of its ST
// inscriptions (an error when ICMS-ST is settled, a warning otherwise). One query per table, each
// through the index on establishment and date. With a settlement run in progress on the connection
// (host/banco/formasrapidas.h), the reading of the items also totals them for the run's registers
// and, when nothing is wrong, leaves the totals with the run.
TProblemas VerificarApuracao(TQDConnection& c, const TFilial& filial, TDateTime inicio, TDateTime fim,
                             bool substituicaoTributaria);

// The message of a refusal: the title, that nothing was recorded, and the problems one a line.
std::string Relatorio(const std::string& titulo, const std::vector<std::string>& problemas);

}  // namespace integridade
