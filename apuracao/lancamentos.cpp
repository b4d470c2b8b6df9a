// Loading of the settlement entries of a period into summary lines: one line per entry kind, one
// detail per stored entry, in date, GIA-code and description order. A centraliser reads the
// entries of every establishment of its group, each detail naming the other establishment it
// comes from.
#include <algorithm>
#include <tuple>
#include <vector>

#include "apuracao/resumocampos.h"
#include "apuracao/resumo.h"
#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

namespace {

struct TLinhaLancamento {
  int32_t tipo = 0;
  TDateTime data = 0;
  std::string codigo, descricao, estabelecimento;
  Currency valor;
};

}  // namespace

void TResumoCampos::Load(const TFilial& filial, const std::string& codImposto, TDateTime dataInicio, TDateTime dataFim,
                         const TLancamentosApur& lancamentos, const TApuracaoCentralizada& formaApuracao) {
  std::string tipos;
  for (TLancamentoApur k : lancamentos) {  // std::set keeps ascending order
    if (!tipos.empty()) tipos += ",";
    tipos += std::to_string(GFuncoes->LancamentoApurToInt(k));
  }
  std::vector<TLinhaLancamento> linhas;
  // The tax code is read from the database (the ICMS-ST code of a state): quoted, it is only ever
  // a value. The column is text, so the quoted code selects what the bare number selected.
  auto ler = [&](const std::string& condicao, const std::string& estabelecimento) {
    TQDClientDataSet ds;
    GUtilSistema->CreateProviderAtRunTime(ds);
    ds.SetCommandText(Format(kSqlLancamentos, {condicao, texto::QuotedStr(codImposto), tipos,
                                               TFormPrincipal::DataSQL(dataInicio), TFormPrincipal::DataSQL(dataFim), ""}));
    ds.Open();
    for (ds.First(); !ds.Eof(); ds.Next()) {
      TLinhaLancamento l;
      l.tipo = ds.FieldByName("TPLANCAMENTO").AsInteger();
      l.data = ds.FieldByName("DATA").AsDateTime();
      l.codigo = ds.FieldByName("CODIGOGIA").AsString();
      l.descricao = ds.FieldByName("DESCRICAO").AsString();
      l.estabelecimento = estabelecimento;
      try {
        l.valor = ds.FieldByName("VALOR").AsCurrency();
      } catch (const EEstouroMoeda& e) {
        throw EEstouroMoeda(std::string(e.what()) + " no lançamento \"" + l.descricao + "\" de " + DataBR(l.data));
      }
      linhas.push_back(std::move(l));
    }
  };
  if (formaApuracao.TipoApuracao == 1) {
    // One establishment at a time, so that each entry is known by its own; then in the order one
    // reading of them all gives.
    for (const auto& id : GFuncoes->GetIDsFilialByFilialCfg(filial.IdEmpresa, formaApuracao.Chave1, formaApuracao.Chave2,
                                                            formaApuracao.Chave3, "'2','3'", dataInicio, dataFim))
      ler(" SC00_FILIAL.IDFILIAL IN (" + id + ")",
          std::stoll(id) == filial.IdFilial ? std::string() : RotuloEstabelecimento(std::stoll(id)));
    std::stable_sort(linhas.begin(), linhas.end(), [](const TLinhaLancamento& a, const TLinhaLancamento& b) {
      return std::tie(a.data, a.codigo, a.descricao) < std::tie(b.data, b.codigo, b.descricao);
    });
  } else {
    ler(" SC00_FILIAL.IDFILIAL = " + std::to_string(filial.IdFilial), "");
  }
  for (TLancamentoApur k : lancamentos) {
    const int32_t tipo = GFuncoes->LancamentoApurToInt(k);
    TResumoCampo* campo = Add();
    campo->SetCodigo(GFuncoes->LancamentoApurToCodOficialLivro(k));
    campo->SetDescricao(GFuncoes->LancamentoApurToString(k));
    for (const TLinhaLancamento& l : linhas) {
      if (l.tipo != tipo) continue;
      TDetalhamento* d = campo->GetDetalhamentos().Add();
      d->SetCodigo(l.codigo);
      d->SetData(l.data);
      d->SetDescricao(l.descricao);
      d->SetValor(l.valor);
      d->SetEstabelecimento(l.estabelecimento);
    }
    campo->SetSinal(GFuncoes->GetSinalLancamentoApur(k));
  }
}
