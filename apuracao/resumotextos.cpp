// Texts a summary contributes to the book: payment guides, specific debits and observations.
#include "apuracao/resumo.h"
#include "apuracao/sqlapuracao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

void TResumo::ImprimirGuias(const std::string& sql, int& linha, const TImprimirProc& imprimir) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(sql);
  q.Open();
  for (; !q.Eof(); q.Next()) {
    Currency valor = q.FieldByName("VLRIMPOSTO").AsCurrency();
    if (valor <= Currency()) continue;
    ImprimirLinhaGuia(linha, imprimir, q.FieldByName("CODIGOREC").AsString() + " - " + q.FieldByName("DESCRICAO").AsString(),
                      q.FieldByName("VENCIMENTO").AsDateTime(), valor);
  }
}

void TResumo::ImprimirGuiasDoPeriodo(const char* sqlGuias, const std::string& uf, int& linha, const TImprimirProc& imprimir) {
  ImprimirGuias(Format(sqlGuias, {std::to_string(FFilial.IdEmpresa), std::to_string(FFilial.IdFilial),
                                  texto::QuotedStr(FCodImposto), TFormPrincipal::DataSQL(FDataInicio),
                                  TFormPrincipal::DataSQL(FDataFim), texto::QuotedStr(uf)}),
                linha, imprimir);
}

void TResumo::ImprimirGuiasDoEstabelecimento(const char* sqlGuias, int& linha, const TImprimirProc& imprimir) {
  ImprimirGuiasDoPeriodo(sqlGuias, FFilial.UF, linha, imprimir);
  ImprimirDebitosEspecificos(linha, imprimir);
}

void TResumo::ImprimirLinhaGuia(int& linha, const TImprimirProc& imprimir, const std::string& texto, TDateTime vencimento,
                                Currency valor) {
  // Columns 6 to 37, before the date: the whole text, an installment or agreement number at its end
  // included, goes on under itself on the next lines.
  constexpr size_t kLargura = 39 - 6 - 1;
  const std::vector<std::string> linhas = texto::QuebrarEmLinhas(texto, kLargura);
  imprimir(linha, 6, linhas.empty() ? std::string() : linhas.front(), 0, false);
  if (vencimento > 0) imprimir(linha, 39, DataBR(vencimento), 0, false);
  imprimir(linha, 52, FormatarValorGuia(valor), 1, false);
  for (size_t i = 1; i < linhas.size(); ++i) imprimir(linha, 6, linhas[i], 1, false);
}

void TResumo::ImprimirValorPostergado(int& linha, const TImprimirProc& imprimir, Currency valor) {
  imprimir(linha, 6, "Valor postergado para apuração seguinte", 0, false);
  imprimir(linha, 53, GFuncoes->FormatarFloat(valor), 1, false);
}

void TResumo::ImprimirGuiasRecolhimento(int&, const TImprimirProc&) {}

const TDetalhamentos* TResumo::GetParticipacoesCentralizadas(bool) const { return nullptr; }

std::string RotuloEstabelecimento(int64_t idFilial) {
  const TFilial f = GFuncoes->GetDadosFilial(idFilial);
  return "ESTAB= " + std::to_string(f.CodigoFilial) + " (" + (f.NomeFantasia.empty() ? f.RazaoSocial : f.NomeFantasia) +
         ")";
}

void TResumo::ImprimirDebitosEspecificos(int& linha, const TImprimirProc& imprimir) {
  ImprimirListaDebitosEspecificos(kSqlDebitosEspecificos, "", linha, imprimir);
}

void TResumo::ImprimirListaDebitosEspecificos(const char* sqlDebitos, const std::string& semDescricao, int& linha,
                                              const TImprimirProc& imprimir) {
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(sqlDebitos, {std::to_string(FFilial.IdFilial), texto::QuotedStr(FCodImposto),
                               TFormPrincipal::DataSQL(FDataInicio), TFormPrincipal::DataSQL(FDataFim)}));
  q.Open();
  if (q.Eof()) return;
  imprimir(linha, 3, "", 1, false);
  imprimir(linha, 3, "DÉBITOS ESPECÍFICOS", 1, false);
  for (; !q.Eof(); q.Next()) {
    TDateTime vencimento = 0;
    if (!TentarLerData(texto::Aparar(q.FieldByName("VENCIMENTO").AsString()), vencimento)) vencimento = 0;
    const TCampo descricao = q.FieldByName("DESCRICAO");
    std::string texto =
        q.FieldByName("CODIGOREC").AsString() + " - " + (descricao.IsNull() ? semDescricao : descricao.AsString());
    // The agreement the debit is paid under, unless its description already names it.
    const std::string acordo = texto::Aparar(q.FieldByName("ACORDO").AsString());
    if (!acordo.empty() && texto.find(acordo) == std::string::npos) texto += " - Acordo " + acordo;
    ImprimirLinhaGuia(linha, imprimir, texto, vencimento, q.FieldByName("VALOR").AsCurrency());
  }
  imprimir(linha, 3, "", 1, false);
}

const std::vector<std::string>& TResumo::GetObservacoes() {
  if (FObservacoes) return *FObservacoes;
  FObservacoes = std::make_unique<std::vector<std::string>>();
  TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
  q.SetSQL(Format(kSqlObservacoes, {std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(FDataInicio),
                                    TFormPrincipal::DataSQL(FDataFim), texto::QuotedStr(FCodImposto)}));
  q.Open();
  while (!q.Eof()) {
    // Line breaks at the end of a text close its last line; they do not open another one.
    std::string obs = q.FieldByName("OBSERVACAO").AsString();
    while (!obs.empty() && (obs.back() == '\n' || obs.back() == '\r')) obs.pop_back();
    for (auto& l : texto::Linhas(obs)) FObservacoes->push_back(l);
    q.Next();
    if (!q.Eof()) FObservacoes->emplace_back();
  }
  return *FObservacoes;
}

void TResumo::ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) {
  for (const auto& l : GetObservacoes()) {
    auto pedacos = texto::Pedacos(l, 155);
    for (size_t i = 0; i < pedacos.size(); ++i) {
      if (i > 0) ++linha;
      imprimir(linha, 3, pedacos[i], 0, false);
    }
    ++linha;
  }
}
