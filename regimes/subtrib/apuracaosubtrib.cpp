#include "regimes/subtrib/apuracaosubtrib.h"

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/sqlregimes.h"
#include "regimes/subtrib/sqlsubtrib.h"

TResumoST::TResumoST() { FTpImposto = 3; }

void TResumoST::CalcularApuracaoAntes() {}
void TResumoST::CalcularApuracaoDepois() {}
void TResumoST::CalcularCIAP() {}
void TResumoST::CalcularCreditoPresumidoTransporte() {}
void TResumoST::CalcularInsumoCreditoIndustria() {}
void TResumoST::CalcularInsumoCreditoTransporte() {}

TTipoResumo TResumoST::GetTipoResumo() const { return trSubstTrib; }

TCodigoRecolhimento TResumoST::GetCodigoRecolhimento() {
  if (FUF == FFilial.UF) return TResumo::GetCodigoRecolhimento();
  if (!FCodigoRecolhimento.Codigo.empty() && FCodigoRecolhimento.Vencimento <= 0)
    FCodigoRecolhimento.Vencimento = GetVencimento(FCodigoRecolhimento);
  return FCodigoRecolhimento;
}

void TResumoST::GravarSaldoDevedor() {
  TCodigoRecolhimento c = GetCodigoRecolhimento();
  GFuncoes->GravarImposto(FFilial.IdEmpresa, FFilial.IdFilial, FCodImposto, c.Codigo, FDataInicio, FDataFim,
                          c.Vencimento, FInscrEst.empty() ? Currency() : GetImpostoARecolher(), {}, {});
}

void TResumoST::LoadRegistrosEntrada(TRegistros& registros) {
  CarregarRegistros(kSqlRegEntradaSufixoST, kSqlRegEntradaAgrupadoST, registros, {texto::QuotedStr(FUF)});
}

void TResumoST::LoadRegistrosSaida(TRegistros& registros) {
  CarregarRegistros(kSqlRegSaidaSufixoST, kSqlRegSaidaAgrupadoST, registros, {texto::QuotedStr(FUF)});
}

void TResumoST::GravarValoresParaContabilizacao() {
  GravarValoresContabeis({"Total de Créditos de ICMS-ST", "Total de Débitos de ICMS-ST", "Saldo Devedor de ICMS-ST",
                          "Saldo Credor de ICMS-ST", "Saldo Devedor Antes das Deduções"},
                         FUF == FFilial.UF ? "002" : "999");
}

void TResumoST::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasOuGNRE(kSqlGuiasRecolhidas, linha, imprimir);
}

void TResumoST::ImprimirGuiasOuGNRE(const char* sqlGuias, int& linha, const TImprimirProc& imprimir) {
  if (FInscrEst.empty()) {
    ImprimirGNRE(linha, imprimir);
  } else {
    ImprimirGuiasDoPeriodo(sqlGuias, FUF, linha, imprimir);
  }
  ImprimirDebitosEspecificos(linha, imprimir);
}

void TResumoST::ImprimirGNRE(int& linha, const TImprimirProc& imprimir) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlGNRE, {std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(FDataInicio),
                             TFormPrincipal::DataSQL(FDataFim), texto::QuotedStr(FCodImposto)}));
  q.Open();
  Currency soma;
  for (; !q.Eof(); q.Next()) {
    Currency valor = q.FieldByName("VALORGNRE").AsCurrency();
    if (valor <= Currency()) continue;
    ImprimirLinhaGuia(linha, imprimir, q.FieldByName("CODIGOREC").AsString() + " - " + "GNRE n. " + q.FieldByName("NUMEROGNRE").AsString(),
                      q.FieldByName("VENCIMENTO").AsDateTime(), valor);
    soma += valor;
  }
  if (soma != GetSaldoDevedor())
    QDInterface->ExibirMensagem("Atenção! A soma dos valores das guias de recolhimento está diferente do \rtotal do débito de ICMS-ST para " +
                                    FUF + "." + "\r" + "Verifique se todos os documentos desta apuração possuem as informações de GNRE.",
                                0);
}
