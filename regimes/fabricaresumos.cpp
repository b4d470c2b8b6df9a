#include "regimes/fabricaresumos.h"

#include "apuracao/resumos.h"
#include "regimes/normal/apuracaobaressc.h"
#include "regimes/normal/apuracaoestimativasc.h"
#include "regimes/normal/apuracaonormal.h"
#include "regimes/normal/apuracaonormalma.h"
#include "regimes/normal/apuracaonormalpa.h"
#include "regimes/normal/apuracaonormalpr.h"
#include "regimes/normal/apuracaonormalrs.h"
#include "regimes/normal/apuracaonormalsc.h"
#include "regimes/normal/apuracaonormalse.h"
#include "regimes/simples/apuracaosimplespr.h"
#include "regimes/simples/apuracaosimplesrn.h"
#include "regimes/simples/apuracaosimplesnovors.h"
#include "regimes/simples/apuracaosimplessc.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "regimes/subtrib/apuracaosubtribrs.h"
#include "regimes/subtrib/apuracaosubtribsc.h"
#include "regimes/subtrib/formasrapidasst.h"

std::unique_ptr<TResumo> CriarResumo(TTipoResumo tipo) {
  RegistrarFormasRapidasST();
  switch (tipo) {
    case trInvalid: return nullptr;
    case trNormal: return std::make_unique<TResumoNormal>();
    case trNormalRS: return std::make_unique<TResumoNormalRS>();
    case trSubstTrib: return std::make_unique<TResumoST>();
    case trSubstTribRS: return std::make_unique<TResumoSTRS>();
    case trSimplesPR: return std::make_unique<TResumoSimplesPR>();
    case trSimplesRN: return std::make_unique<TResumoSimplesRN>();
    case trNormalPR: return std::make_unique<TResumoNormalPR>();
    case trSubstTribSC: return std::make_unique<TResumoSTSC>();
    case trSimplesSC: return std::make_unique<TResumoSimplesSC>();
    case trBaresSC: return std::make_unique<TResumoBaresSC>();
    case trEstimativaSC: return std::make_unique<TResumoEstimativaSC>();
    case trNormalSC: return std::make_unique<TResumoNormalSC>();
    case trNormalMA: return std::make_unique<TResumoNormalMA>();
    case trNormalPA: return std::make_unique<TResumoNormalPA>();
    case trNormalSE: return std::make_unique<TResumoNormalSE>();
    case trSimplesNovoRS: return std::make_unique<TResumoSimplesNovoRS>();
  }
  return nullptr;  // an ordinal beyond the types
}
