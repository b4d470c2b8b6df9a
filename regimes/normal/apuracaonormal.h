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

 protected:
  // How a state's credit balance entry takes its GIA entry code: not at all, when the state has
  // codes (a missing one is warned about and the entry goes without), or always (a missing one is
  // warned about and nothing is recorded).
  enum class TCodigoGiaSaldo { NaoUsado, SeHouverCodigos, Obrigatorio };
  // The credit balance carried to the next period with the state's digital-bookkeeping (SPED) code
  // of it, looked up when the establishment keeps that bookkeeping (and, with `efdAte2009`, only
  // for periods starting before 8 September 2009).
  void GravarSaldoCredorComCodigoEFD(const std::string& codigoEFD, TCodigoGiaSaldo gia, bool efdAte2009);
};
