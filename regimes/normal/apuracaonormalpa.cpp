#include "regimes/normal/apuracaonormalpa.h"

void TResumoNormalPA::GravarSaldoCredor() { GravarSaldoCredorComCodigoEFD("020007", TCodigoGiaSaldo::SeHouverCodigos, false); }
