#pragma once
// A settled period whose data changed afterwards. The settlement records the tax of a period
// (TR04_IMPOSTO); when documents or entries of that period are replaced later (an import of a
// corrected file), what was recorded no longer follows from the data. The period is marked, tax by
// tax, until a settlement records that tax again; what reads the recorded settlement as final (the
// EFD block E) refuses a marked period instead of writing the old tax.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/base/datas.h"

class TQDConnection;

namespace banco {

struct TPeriodoAlterado {
  std::string Imposto;
  TDateTime Inicio = 0, Fim = 0;
  std::string Motivo;
};

class EPeriodoAlterado : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Marks every tax the settlement recorded for the establishment in a period crossing [inicio, fim];
// returns the periods marked (none when nothing was settled there).
std::vector<TPeriodoAlterado> MarcarPeriodoAlterado(TQDConnection& c, int64_t idFilial, TDateTime inicio,
                                                    TDateTime fim, const std::string& motivo);
// The settlement recorded `imposto` for [inicio, fim] again: its marks inside that interval go.
void LimparPeriodoAlterado(TQDConnection& c, int64_t idFilial, const std::string& imposto, TDateTime inicio,
                           TDateTime fim);
std::vector<TPeriodoAlterado> PeriodosAlterados(TQDConnection& c, int64_t idFilial, TDateTime inicio, TDateTime fim);
// Throws EPeriodoAlterado naming each marked period crossing [inicio, fim] and the tax to settle
// again; `oQue` is what cannot be done ("O bloco E").
void ExigirApuracaoAtual(TQDConnection& c, int64_t idFilial, TDateTime inicio, TDateTime fim, const std::string& oQue);

}  // namespace banco
