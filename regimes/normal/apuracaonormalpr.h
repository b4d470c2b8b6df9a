#pragma once
// TResumoNormalPR: the regular regime of Paraná. It settles, records and prints as the generic
// regular regime; only its payment code differs: the due day is chosen by the third digit from the
// end of the state inscription through the rules of the revenue code (regimes/vencimentopr.h).
#include "regimes/normal/apuracaonormal.h"

class TResumoNormalPR : public TResumoNormal {
 public:
  TCodigoRecolhimento GetCodigoRecolhimento() override;
};
