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

void TResumoNormal::GravarSaldoDevedor() {
  TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim,
                          c.Vencimento, GetImpostoARecolher(), {}, {});
}

void TResumoNormal::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuias(Format(kSqlGuiasNormal, {std::to_string(FFilial.IdEmpresa), std::to_string(FFilial.IdFilial),
                                         texto::QuotedStr(FCodImposto), TFormPrincipal::DataSQL(FDataInicio),
                                         TFormPrincipal::DataSQL(FDataFim), texto::QuotedStr(FFilial.UF)}),
                linha, imprimir);
  ImprimirDebitosEspecificos(linha, imprimir);
}
