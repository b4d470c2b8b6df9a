// Loading of the settlement entries of a period into summary lines: one line per entry kind, one
// detail per stored entry, in date, GIA-code and description order.
#include "apuracao/resumocampos.h"
#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

void TResumoCampos::Load(const TFilial& filial, const std::string& codImposto, TDateTime dataInicio, TDateTime dataFim,
                         const TLancamentosApur& lancamentos, const TApuracaoCentralizada& formaApuracao) {
  std::string tipos;
  for (TLancamentoApur k : lancamentos) {  // std::set keeps ascending order
    if (!tipos.empty()) tipos += ",";
    tipos += std::to_string(GFuncoes->LancamentoApurToInt(k));
  }
  TQDClientDataSet ds;
  GUtilSistema->CreateProviderAtRunTime(ds);
  auto ids = GFuncoes->GetIDsFilialByFilialCfg(filial.IdEmpresa, formaApuracao.Chave1, formaApuracao.Chave2,
                                               formaApuracao.Chave3, "'2','3'", dataInicio, dataFim);
  std::string lista;
  for (const auto& id : ids) lista += (lista.empty() ? "" : ",") + id;
  std::string condicao = formaApuracao.TipoApuracao == 1
                             ? " SC00_FILIAL.IDFILIAL IN (" + lista + ")"
                             : " SC00_FILIAL.IDFILIAL = " + std::to_string(filial.IdFilial);
  // The tax code is read from the database (the ICMS-ST code of a state): quoted, it is only ever
  // a value. The column is text, so the quoted code selects what the bare number selected.
  ds.SetCommandText(Format(kSqlLancamentos, {condicao, texto::QuotedStr(codImposto), tipos, TFormPrincipal::DataSQL(dataInicio),
                                             TFormPrincipal::DataSQL(dataFim), ""}));
  ds.Open();
  for (TLancamentoApur k : lancamentos) {
    ds.SetFilter("TPLANCAMENTO = " + std::to_string(GFuncoes->LancamentoApurToInt(k)));
    ds.SetFiltered(true);
    TResumoCampo* campo = Add();
    campo->SetCodigo(GFuncoes->LancamentoApurToCodOficialLivro(k));
    campo->SetDescricao(GFuncoes->LancamentoApurToString(k));
    for (ds.First(); !ds.Eof(); ds.Next()) {
      TDetalhamento* d = campo->GetDetalhamentos().Add();
      d->SetCodigo(ds.FieldByName("CODIGOGIA").AsString());
      d->SetData(ds.FieldByName("DATA").AsDateTime());
      d->SetDescricao(ds.FieldByName("DESCRICAO").AsString());
      try {
        d->SetValor(ds.FieldByName("VALOR").AsCurrency());
      } catch (const EEstouroMoeda& e) {
        throw EEstouroMoeda(std::string(e.what()) + " no lançamento \"" + d->GetDescricao() + "\" de " +
                            DataBR(d->GetData()));
      }
    }
    ds.SetFiltered(false);
    ds.SetFilter("");
    campo->SetSinal(GFuncoes->GetSinalLancamentoApur(k));
  }
}
