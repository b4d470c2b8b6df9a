#include "regimes/normal/apuracaonormal.h"

#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

TResumoNormal::TResumoNormal() {
  FCodImposto = "2001";
  FTpImposto = 1;
}

void TResumoNormal::CalcularApuracaoAntes() {}
void TResumoNormal::CalcularApuracaoDepois() {}

TTipoResumo TResumoNormal::GetTipoResumo() const { return trNormal; }

void TResumoNormal::GravarSaldoDevedor() { GravarImpostoARecolher(); }

void TResumoNormal::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoEstabelecimento(kSqlGuiasNormal, linha, imprimir);
}

void TResumoNormal::GravarSaldoCredorComCodigoEFD(const std::string& codigoEFD, TCodigoGiaSaldo gia, bool efdAte2009) {
  int64_t idGia = 0;
  int32_t idEFD = 0;
  if (gia == TCodigoGiaSaldo::Obrigatorio || (gia == TCodigoGiaSaldo::SeHouverCodigos && TemCodigosGIA())) {
    idGia = GFuncoes->GetIDLctoApurCod(FFilial.UF, FTpImposto, 5, 1);
    if (idGia <= 0) {
      if (gia == TCodigoGiaSaldo::Obrigatorio) {
        QDInterface->ExibirMensagem("Não foi possível encontrar um código de GIA para atualizar o saldo credor.", 0);
        return;
      }
      QDInterface->ExibirMensagem("Não foi possível encontrar um código de GIA para atualizar o saldo credor. \rO Saldo "
                                  "credor será gravado sem código de GIA.",
                                  0);
    }
  }
  if (GUtilEscrita->GetPerfilEFD(FFilial.IdFilial, FDataInicio) && (!efdAte2009 || FDataInicio < EncodeDate(2009, 9, 8))) {
    idEFD = GFuncoes->GetIdDetalheRs(codigoEFD, FFilial.UF, 12, FDataInicio);
    if (idEFD <= 0)
      QDInterface->ExibirMensagem("Não foi possível encontrar o código para saldo credor usado no SPED Fiscal. \rClique no "
                                  "botão SPED do pacote 5871 para atualizar os códigos.",
                                  0);
  }
  GFuncoes->GravarLctoApur(FFilial.IdFilial, 5, FTpImposto, FCodImposto, idGia, GetSaldoCredor(), FDataFim + 1, FDataFim + 1,
                           "SALDO CREDOR DE PERÍODO ANTERIOR", 0, idEFD);
}
