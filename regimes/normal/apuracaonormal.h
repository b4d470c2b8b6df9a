#pragma once
// TResumoNormal: the generic regular-regime ICMS summary (tax "2001"). It keeps the base
// calculation and adds the recording of the tax due and the printing of its payment guides.
#include "apuracao/resumo.h"

class TResumoNormal : public TResumo {
 public:
  TResumoNormal();
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;
};
