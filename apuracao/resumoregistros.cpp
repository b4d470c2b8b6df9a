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

void TResumo::CarregarRegistros(const char* sqlComSufixo, const char* sqlAgrupado, TRegistros& registros,
                                const std::vector<std::string>& extras) {
  std::vector<std::string> args = {std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(FDataInicio),
                                   TFormPrincipal::DataSQL(FDataFim)};
  args.insert(args.end(), extras.begin(), extras.end());
  if (!FDetalharCfopPorSufixo) args.insert(args.begin(), ZerosSufixoCfop());
  CarregarRegistros(Format(FDetalharCfopPorSufixo ? sqlComSufixo : sqlAgrupado, args), registros);
}

void TResumo::LoadRegistrosEntrada(TRegistros& registros) {
  CarregarRegistros(kSqlRegEntradaSufixo, kSqlRegEntradaAgrupado, registros);
}

void TResumo::LoadRegistrosSaida(TRegistros& registros) {
  CarregarRegistros(kSqlRegSaidaSufixo, kSqlRegSaidaAgrupado, registros);
}
