// The CFOP registers of a summary: entries and exits of the period grouped by CFOP, with or without
// the suffix.
#include "apuracao/resumo.h"
#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/host.h"

std::string TResumo::ZerosSufixoCfop() {
  return std::string(GUtilEscrita->GetMascaraESufixoCfop().TamanhoSufixo, '0');
}

void TResumo::CarregarRegistros(const std::string& sql, TRegistros& registros) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(sql);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    TRegistro* r = registros.Add();
    r->SetCFOP(q.FieldByName("CFOP").AsString());
    r->SetDescricaoCFOP(q.FieldByName("DESCRICAO").AsString());
    r->SetValorContabil(q.FieldByName("VLRCONTABIL").AsCurrency());
    r->SetBaseCalculo(q.FieldByName("BASECALCULO").AsCurrency());
    r->SetImposto(q.FieldByName("IMPOSTO").AsCurrency());
    r->SetIsentas(q.FieldByName("ISENTAS").AsCurrency());
    r->SetOutras(q.FieldByName("OUTRAS").AsCurrency());
  }
}

void TResumo::LoadRegistrosEntrada(TRegistros& registros) {
  std::string id = std::to_string(FFilial.IdFilial), ini = TFormPrincipal::DataSQL(FDataInicio),
              fim = TFormPrincipal::DataSQL(FDataFim);
  CarregarRegistros(FDetalharCfopPorSufixo ? Format(kSqlRegEntradaSufixo, {id, ini, fim})
                                           : Format(kSqlRegEntradaAgrupado, {ZerosSufixoCfop(), id, ini, fim}),
                    registros);
}

void TResumo::LoadRegistrosSaida(TRegistros& registros) {
  std::string id = std::to_string(FFilial.IdFilial), ini = TFormPrincipal::DataSQL(FDataInicio),
              fim = TFormPrincipal::DataSQL(FDataFim);
  CarregarRegistros(FDetalharCfopPorSufixo ? Format(kSqlRegSaidaSufixo, {id, ini, fim})
                                           : Format(kSqlRegSaidaAgrupado, {ZerosSufixoCfop(), id, ini, fim}),
                    registros);
}
