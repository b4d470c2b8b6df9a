// The summary section of a summary: debits, credits, balance (items 001 to 014 of model P9 with
// their detail items) and the complementary information with guides and observations.
#include <string>
#include <vector>

#include "apuracao/resumocampos.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "relatorio/layoutlivro.h"
#include "relatorio/livroicms.h"

using layoutlivro::kLinhaResumo;

namespace {

// "001 - CAPTION"
std::string TextoItem(int32_t item, const std::string& legenda) {
  std::string numero = std::to_string(item);
  if (numero.size() < 3) numero.insert(0, 3 - numero.size(), '0');
  return numero + " - " + legenda;
}

// Item column of the summary row: 96 characters; wrapped texts go on under the text they
// continue, six blanks in (where a detail's text begins).
constexpr size_t kColunaItem = 96;
constexpr size_t kRecuo = 6;

}  // namespace

void TdmLivroICMS::ImprimirLinhaResumo(const std::vector<std::string>& linhas, const std::string& auxiliar,
                                       const std::string& soma, int avancar) {
  for (size_t i = 0; i < linhas.size(); ++i) {
    const bool ultima = i + 1 == linhas.size();
    Imp(FLinha, 2, Format(kLinhaResumo, {linhas[i], ultima ? auxiliar : "", ultima ? soma : ""}), ultima ? avancar : 1);
  }
}

void TdmLivroICMS::ImprimirResumo() {
  TResumo& r = *FResumo;
  const std::string recuo(kRecuo, ' ');
  auto Continuar = [&recuo](std::vector<std::string> linhas) {
    for (size_t i = 1; i < linhas.size(); ++i) linhas[i] = recuo + linhas[i];
    return linhas;
  };
  // "001 - CAPTION", wrapped.
  auto Item = [&Continuar](int32_t item, const std::string& legenda) {
    return Continuar(texto::QuebrarEmLinhas(TextoItem(item, legenda), kColunaItem, kColunaItem - kRecuo));
  };

  // One row: the item, an empty auxiliary column and the amount in the sums column.
  auto LinhaTotal = [this, &Item](int32_t item, const std::string& legenda, Currency valor) {
    ImprimirLinhaResumo(Item(item, legenda), "", FormatarValor(valor), 1);
  };
  // With a line: its header row, the rows of each detail item with the detail's value in the
  // auxiliary column of its last row, and the amount in the sums column of the very last row. The
  // other establishments' shares of a centraliser's item follow as details of their own.
  auto LinhaValor = [this, &LinhaTotal, &Item, &recuo](int32_t item, const std::string& legenda, const TResumoCampo* campo,
                                                      Currency valor, const TDetalhamentos* outros) {
    if (!campo && !outros) {
      LinhaTotal(item, legenda, valor);
      return;
    }
    std::vector<const TDetalhamento*> detalhes;
    for (const TDetalhamentos* lista : {campo ? &campo->GetDetalhamentos() : nullptr, outros})
      for (int i = 0; lista && i < lista->Count(); ++i) detalhes.push_back(lista->GetItem(i));
    const std::vector<std::string> linhasItem = Item(campo ? campo->GetCodigo() : item, legenda);
    ImprimirLinhaResumo(linhasItem, "", "", detalhes.empty() ? 0 : 1);
    FItemAberto = linhasItem;  // its details go on under its number on another page
    for (size_t i = 0; i < detalhes.size(); ++i) {
      const TDetalhamento* d = detalhes[i];
      std::string texto;
      if (!d->GetEstabelecimento().empty()) texto += d->GetEstabelecimento() + " - ";
      if (!d->GetCodigo().empty()) texto += d->GetCodigo() + " - ";
      if (d->GetData() > 0) texto += DataBR(d->GetData()) + " - ";
      texto += d->GetDescricao();
      std::vector<std::string> linhas = texto::QuebrarEmLinhas(texto, kColunaItem - kRecuo);
      for (auto& l : linhas) l = recuo + l;
      ImprimirLinhaResumo(linhas, FormatarValor(d->GetValor()), "", i + 1 < detalhes.size() ? 1 : 0);
    }
    FItemAberto.clear();
    Imp(FLinha, 132, Format("%25s", {FormatarValor(valor)}), 1);
  };
  // A line printed with the absolute value of its total; 0 without the line.
  auto LinhaCampo = [&LinhaValor](int32_t item, const std::string& legenda, const TResumoCampo* campo) {
    LinhaValor(item, legenda, campo, campo ? campo->GetTotal().Abs() : Currency(), nullptr);
  };
  auto Tracos = [this] {
    FecharSecao();
    ImprimirTracos();
  };

  // Debits.
  FTipoSessao = tsDebitos;
  ImprimirCabecalhoSessao();
  {
    const TResumoCampos& debito = r.GetDebito();
    const TResumoCampo* linha1 = debito.Locate(1);
    Currency saidas = debito.GetRegistros().GetTotalImposto();
    LinhaValor(1, "POR SAÍDAS/PRESTAÇÕES COM DÉBITO DO IMPOSTO", linha1, linha1 ? saidas + linha1->GetTotal() : saidas,
               r.GetParticipacoesCentralizadas(true));
    LinhaCampo(2, "OUTROS DÉBITOS (DISCRIMINAR ABAIXO)", debito.Locate(2));
    LinhaCampo(3, "ESTORNO DE CRÉDITOS (DISCRIMINAR ABAIXO)", debito.Locate(3));
    LinhaTotal(4, "SUB TOTAL", debito.GetTotal());
    Tracos();
  }

  // Credits.
  FTipoSessao = tsCreditos;
  ImprimirCabecalhoSessao();
  {
    const TResumoCampos& credito = r.GetCredito();
    const TResumoCampo* linha9 = credito.Locate(9);
    LinhaValor(5, "POR ENTRADAS/AQUISIÇÕES COM CRÉDITO DO IMPOSTO", nullptr, credito.GetRegistros().GetTotalImposto(),
               r.GetParticipacoesCentralizadas(false));
    LinhaCampo(6, "OUTROS CRÉDITOS (DISCRIMINAR ABAIXO)", credito.Locate(6));
    LinhaCampo(7, "ESTORNO DE DÉBITOS (DISCRIMINAR ABAIXO)", credito.Locate(7));
    LinhaTotal(8, "SUBTOTAL", credito.GetTotal() - (linha9 ? linha9->GetTotal() : Currency()));
    LinhaCampo(9, "SALDO CREDOR DO PERÍODO ANTERIOR", linha9);
    LinhaTotal(10, "TOTAL", credito.GetTotal());
    Tracos();
  }

  // Balance.
  FTipoSessao = tsSaldo;
  ImprimirCabecalhoSessao();
  {
    const TResumoCampos& saldo = r.GetSaldo();
    LinhaTotal(11, "SALDO DEVEDOR (DÉBITO MENOS CRÉDITO)", r.GetSaldoDevedor());
    LinhaCampo(12, "DEDUÇÕES (DISCRIMINAR ABAIXO)", saldo.Locate(12));
    LinhaValor(13, "IMPOSTO A RECOLHER", saldo.Locate(13), r.GetImpostoARecolher(), nullptr);
    LinhaValor(14, "SALDO CREDOR (CRÉDITO - DÉBITO) A TRANSPORTAR PARA O PERÍODO SEGUINTE", saldo.Locate(14),
               r.GetSaldoCredor(), nullptr);
    Tracos();
  }

  // Complementary information.
  FTipoSessao = tsInformacoes;
  ImprimirCabecalhoSessao();
  ImprimirInformacoes();
}

void TdmLivroICMS::ImprimirInformacoes() {
  Imp(FLinha, 16, "GUIAS DE RECOLHIMENTO", 0);
  Imp(FLinha, 124, "GUIAS DE INFORMACAO", 1);
  Imp(FLinha, 6, "NUMERO", 0);
  Imp(FLinha, 39, "DATA", 0);
  Imp(FLinha, 62, "VALOR", 0);
  Imp(FLinha, 69, "ORGAO ARRECADADOR", 0);
  Imp(FLinha, 110, "DATA DA ENTREGA-LOCAL DA ENTREGA(BCO/REPART)", 1);
  const TImprimirProc imprimir = ProcImprimir();
  FResumo->ImprimirGuiasRecolhimento(FLinha, imprimir);
  Imp(FLinha, 3, "", 1);
  Imp(FLinha, 3, "OBSERVAÇÕES:", 1);
  FResumo->ImprimirObservacoes(FLinha, imprimir);
  FecharSecao();
}
