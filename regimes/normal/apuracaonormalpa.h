#pragma once
// TResumoNormalPA: the regular regime with the state's own recording of the credit balance carried to the
// next period. Pará: the GIA entry code when the state has codes (recorded without one, with a warning, when it is
// missing) and the SPED code 020007.
#include "regimes/normal/apuracaonormal.h"

class TResumoNormalPA : public TResumoNormal {
 public:
  void GravarSaldoCredor() override;
};
