#pragma once
// TResumoNormalSE: the regular regime with the state's own recording of the credit balance carried to the
// next period. Sergipe: the GIA entry code is required (without it nothing is recorded) and the SPED code is 020005.
#include "regimes/normal/apuracaonormal.h"

class TResumoNormalSE : public TResumoNormal {
 public:
  void GravarSaldoCredor() override;
};
