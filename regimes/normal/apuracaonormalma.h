#pragma once
// TResumoNormalMA: the regular regime with the state's own recording of the credit balance carried to the
// next period. Maranhão: the balance goes without a GIA entry code; its SPED code (020004) is looked up only for
// periods starting before 8 September 2009.
#include "regimes/normal/apuracaonormal.h"

class TResumoNormalMA : public TResumoNormal {
 public:
  void GravarSaldoCredor() override;
};
