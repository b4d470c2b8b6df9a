#pragma once
// TResumoEstimativaSC: the estimate regime of Santa Catarina. The settlement runs over the calendar
// semester (January to June, July to December): from the semester's second month on, each month
// also carries, as other debits and other credits, the ICMS of the exits and entries of the
// semester's earlier days and the estimated instalments recorded in them, so its result is the
// semester's running result. Only the semester's last month records the tax; no credit balance is
// carried, and there is no agreement to ask for.
#include "regimes/normal/apuracaonormalsc.h"

class TResumoEstimativaSC : public TResumoNormalSC {
 public:
  void CalcularApuracaoAntes() override;
  void CalcularApuracaoDepois() override;
  void GravarSaldoCredor() override;
  void GravarSaldoDevedor() override;
  TTipoResumo GetTipoResumo() const override;
  void AcrescentarLeituras(integridade::TLeituras& leituras) const override;

  TDateTime GetDataInicioSemestre() const;
  void GetValoresAcumulados();
  void CalcularEstimativa();

  Currency GetCreditoAcumulado() const { return FCreditoAcumulado; }
  Currency GetDebitoAcumulado() const { return FDebitoAcumulado; }
  Currency GetParcelasAcumuladas() const { return FParcelasAcumuladas; }

 private:
  Currency FCreditoAcumulado;
  Currency FDebitoAcumulado;
  Currency FParcelasAcumuladas;
};
