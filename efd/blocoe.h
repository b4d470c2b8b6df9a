#pragma once
// Block E of the EFD ICMS/IPI from what the settlement recorded for an establishment: per settled
// period E100 with E110, its E111 adjustments and E116 obligations; per ICMS-ST settlement E200 with
// E210, E220 and E250.
//
// The E110 fields come from the book's lines: the register totals the settlement recorded (debits
// and credits of the registers), the settlement entries of the period by kind (the field an import
// noted on an entry wins over its kind), and the balance carried in. Fields 11, 13 and 14 follow the
// official arithmetic of the current layout, where deductions beyond the balance due are carried as
// credit; when that gives another tax due or credit carried than the settlement recorded, the block
// says so in its warnings (the book is what the settlement decided; the file is what the layout
// computes).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "efd/arquivoefd.h"

class TQDConnection;

namespace efd {

class EBlocoE : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TBlocoE {
  std::vector<TApuracaoICMSEFD> ICMS;
  std::vector<TApuracaoSTEFD> ST;
  std::vector<std::string> Avisos;
};

// Throws EBlocoE when the interval holds no settled period of the establishment.
TBlocoE MontarBlocoE(TQDConnection& conexao, int64_t idFilial, TDateTime inicio, TDateTime fim);

// The records from E001 to E990, one a line ending in CR LF, as UTF-8 text (the caller writes it as
// Latin-1).
std::string EscreverBlocoE(const TBlocoE& bloco);

// Writes EscreverBlocoE's text as Latin-1 to `caminho`, replacing it only once the whole block is
// written: through an exclusive scratch file beside it (never a file or link planted there), so
// that a failure leaves an earlier file as it was. Throws EBlocoE naming the file.
void GravarBlocoE(const TBlocoE& bloco, const std::string& caminho);

// "1234,56": the layout's amount with two decimals.
std::string ValorEFD(Currency valor);

}  // namespace efd
