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
    auto valor = [&](const char* coluna) {
      try {
        return q.FieldByName(coluna).AsCurrency();
      } catch (const EEstouroMoeda& e) {
        throw EEstouroMoeda(std::string(e.what()) + " na soma " + coluna + " do CFOP " + r->GetCFOP() + " do registro");
      }
    };
    r->SetValorContabil(valor("VLRCONTABIL"));
    r->SetBaseCalculo(valor("BASECALCULO"));
    r->SetImposto(valor("IMPOSTO"));
    r->SetIsentas(valor("ISENTAS"));
    r->SetOutras(valor("OUTRAS"));
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
