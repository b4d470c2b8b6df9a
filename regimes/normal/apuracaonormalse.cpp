#include "regimes/normal/apuracaonormalse.h"

void TResumoNormalSE::GravarSaldoCredor() { GravarSaldoCredorComCodigoEFD("020005", TCodigoGiaSaldo::Obrigatorio, false); }
