#pragma once
// TResumoNormalSC: the regular ICMS regime of an establishment in Santa Catarina. The generic
// regular settlement, recorded with what the state's payment document asks for: the due-date class
// of the payment code, the agreement number of an extended due date (proposed from the latest one
// recorded and confirmed in a dialog when the class needs one) and the periodicity code. The book
// lists the recorded guides with the description of the recorded class. The estimate and the bars
// and restaurants regimes derive from it.
#include <string>

#include "regimes/normal/apuracaonormal.h"

class TResumoNormalSC : public TResumoNormal {
 public:
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void ChamarFormDadosAcessorios() override;
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) override;

  void BuscaDadosAuxiliares();
  std::string GetNumeroAcordoDoPeriodoOuAnterior();

  const std::string& GetAcordo() const { return FAcordo; }
  bool GetTemAcordo() const { return FTemAcordo; }

 protected:
  std::string FAcordo;
  bool FTemAcordo = false;
};
