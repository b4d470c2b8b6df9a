#include "regimes/normal/apuracaonormalma.h"

void TResumoNormalMA::GravarSaldoCredor() { GravarSaldoCredorComCodigoEFD("020004", TCodigoGiaSaldo::NaoUsado, true); }
