#pragma once
// TResumoSTSC: the ICMS-ST of an inscription in Santa Catarina. As the generic ST summary, plus
// what the state's payment document asks for: the tax is recorded with the due-date class and the
// periodicity code, the book's guides are described by the recorded class, and the specific debits
// also list the ST charged per operation (entry code 11065), grouped by payment code or one by one
// as each entry asks, in the period of its competence.
#include "regimes/subtrib/apuracaosubtrib.h"

class TResumoSTSC : public TResumoST {
 public:
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void ImprimirDebitosEspecificos(int& linha, const TImprimirProc& imprimir) override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
};
