#include "regimes/fabricaresumos.h"

#include "apuracao/resumos.h"
#include "regimes/normal/apuracaonormal.h"
#include "regimes/normal/apuracaonormalma.h"
#include "regimes/normal/apuracaonormalpa.h"
#include "regimes/normal/apuracaonormalpr.h"
#include "regimes/normal/apuracaonormalrs.h"
#include "regimes/normal/apuracaonormalse.h"
#include "regimes/simples/apuracaosimplespr.h"
#include "regimes/simples/apuracaosimplesrn.h"
#include "regimes/simples/apuracaosimplesnovors.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "regimes/subtrib/apuracaosubtribrs.h"

std::unique_ptr<TResumo> CriarResumo(TTipoResumo tipo) {
  switch (tipo) {
    case trInvalid: return nullptr;
    case trNormal: return std::make_unique<TResumoNormal>();
    case trNormalRS: return std::make_unique<TResumoNormalRS>();
    case trSubstTrib: return std::make_unique<TResumoST>();
    case trSubstTribRS: return std::make_unique<TResumoSTRS>();
    case trSimplesPR: return std::make_unique<TResumoSimplesPR>();
    case trSimplesRN: return std::make_unique<TResumoSimplesRN>();
    case trNormalPR: return std::make_unique<TResumoNormalPR>();
    case trNormalMA: return std::make_unique<TResumoNormalMA>();
    case trNormalPA: return std::make_unique<TResumoNormalPA>();
    case trNormalSE: return std::make_unique<TResumoNormalSE>();
    case trSimplesNovoRS: return std::make_unique<TResumoSimplesNovoRS>();
    default:
      if (tipo > trNormalSE) return nullptr;
      throw ETipoResumoIndisponivel("A apuração do tipo " + NomeTipoResumo(tipo) + " (" + ClasseTipoResumo(tipo) +
                                    ") ainda não está disponível nesta versão do livro de ICMS.");
  }
}
