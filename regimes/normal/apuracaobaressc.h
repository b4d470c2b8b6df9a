#pragma once
// TResumoBaresSC: the special regime of Santa Catarina for bars and restaurants. The tax is not the
// ICMS of exits less entries: it is 2.6 % of the value of the entries plus 3.6 % of what the exits
// exceed the entries by, both values summed by the state's CFOP formula 5. The registers of the
// book list the documents but their tax adds nothing to the summary.
#include "regimes/normal/apuracaonormalsc.h"

class TResumoBaresSC : public TResumoNormalSC {
 public:
  TResumoBaresSC();
  void CalcularApuracaoAntes() override;
  TTipoResumo GetTipoResumo() const override;
  void GravarValoresParaContabilizacao() override;

  void CalcularBares();
  Currency GetTotalImposto() const { return Currency(); }

  Currency GetValorEntradas() const { return FValorEntradas; }
  Currency GetValorSaidas() const { return FValorSaidas; }
  Currency GetDebitoEntradas() const { return FDebitoEntradas; }
  Currency GetDebitoDiferenca() const { return FDebitoDiferenca; }

 private:
  Currency FValorEntradas;
  Currency FValorSaidas;
  Currency FDebitoEntradas;
  Currency FDebitoDiferenca;
};
