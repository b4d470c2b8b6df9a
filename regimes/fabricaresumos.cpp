#include "regimes/fabricaresumos.h"

#include "apuracao/resumos.h"
#include "regimes/normal/apuracaonormal.h"
#include "regimes/subtrib/apuracaosubtrib.h"

std::unique_ptr<TResumo> CriarResumo(TTipoResumo tipo) {
  switch (tipo) {
    case trInvalid: return nullptr;
    case trNormal: return std::make_unique<TResumoNormal>();
    case trSubstTrib: return std::make_unique<TResumoST>();
    default:
      if (tipo > trNormalSE) return nullptr;
      throw ETipoResumoIndisponivel("A apuração do tipo " + NomeTipoResumo(tipo) + " (" + ClasseTipoResumo(tipo) +
                                    ") ainda não está disponível nesta versão do livro de ICMS.");
  }
}
