// The book texts of the RS small-business summary: the guides (with the tax postponed), the
// month's revenue and deduction figures of this establishment and, for a centraliser, of the
// others, the rate, the warning when the year's revenue leaves the class, and the composition of
// the revenue and of its deductions item by item, which queries the documents again.
#include <cctype>

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "regimes/simples/apuracaosimplesnovors.h"
#include "regimes/simples/sqlsimples.h"
#include "regimes/sqlregimes.h"

void TResumoSimplesNovoRS::ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir) {
  const Currency imposto = GetImpostoARecolher();
  if (imposto > Currency() && Pequeno(imposto, GetUPF())) ImprimirValorPostergado(linha, imprimir, imposto);
  ImprimirGuiasDoEstabelecimento(kSqlGuiasAplicacao, linha, imprimir);
}

namespace {

// One figure of the observations: its caption at one column and the amount at another.
void Figura(int& linha, const TImprimirProc& imprimir, int coluna, const std::string& legenda, int colunaValor,
            Currency valor, int avancar) {
  imprimir(linha, coluna, legenda, 0, false);
  imprimir(linha, colunaValor, GFuncoes->FormatarFloat(valor), avancar, false);
}

// Gross revenue, deductions and taxable revenue of a block, on one line.
void Totais(int& linha, const TImprimirProc& imprimir, const std::string& legendaBruta, Currency bruta,
            int colunaDeducoes, const std::string& legendaDeducoes, Currency deducoes,
            const std::string& legendaTributavel, Currency tributavel, int avancar) {
  Figura(linha, imprimir, 3, legendaBruta, 40, bruta, 0);
  Figura(linha, imprimir, colunaDeducoes, legendaDeducoes, 85, deducoes, 0);
  Figura(linha, imprimir, 112, legendaTributavel, 140, tributavel, avancar);
}

}  // namespace

void TResumoSimplesNovoRS::ImprimirObservacoes(int& linha, const TImprimirProc& imprimir) {
  TResumo::ImprimirObservacoes(linha, imprimir);
  imprimir(linha, 2, "", 1, false);

  imprimir(linha, 3, "INFORMAÇÕES DESTE ESTABELECIMENTO", 1, false);
  Figura(linha, imprimir, 3, "Rec Bruta Mês                  :", 40, FReceitaBrutaMesPropria, 1);
  Figura(linha, imprimir, 3, "Rec. de Serviços no Mês        :", 40, FReceitaServicosPropria, 1);
  Figura(linha, imprimir, 3, "Outras Receitas no Mês         :", 40, FOutrasRecMes, 1);
  Totais(linha, imprimir, "Total Rec. Bruta deste Estab.  :", GetTotalReceitaBrutaMesPropria(), 74, "Deduções :",
         GetTotalDeducaoPropria(), "Rec. Tributável       :", GetTotalReceitaTribMesPropria(), 2);

  if (Papel() == 1) {
    imprimir(linha, 3, "INFORMAÇÕES DEMAIS ESTABELECIMENTOS", 1, false);
    Figura(linha, imprimir, 3, "Rec Bruta Mês                  :", 40, FReceitaBrutaMesCentraliz, 1);
    Figura(linha, imprimir, 3, "Rec. de Serviços no Mês        :", 40, FReceitaServicosCentraliz, 1);
    Figura(linha, imprimir, 3, "Receita Bruta Outros Estab. RS :", 40, FRecBrutaRS, 1);
    Figura(linha, imprimir, 3, "Receita Bruta Estab. Outra UF  :", 40, FRecBrutaOutros, 1);
    Totais(linha, imprimir, "Total Rec. Bruta demais Estab. :", GetTotalReceitaBrutaMesCentraliz(), 74, "Deduções :",
           GetTotalDeducaoCentraliz(), "Rec. Tributável       :", GetTotalReceitaTribMesCentraliz(), 2);
  }

  Totais(linha, imprimir, "Total Rec. Bruta Mês           : ",
         GetTotalReceitaBrutaMesPropria() + GetTotalReceitaBrutaMesCentraliz(), 68, "Total Deduções :",
         GetTotalDeducaoPropria() + GetTotalDeducaoCentraliz(), "Total Rec. Tributável :",
         GetTotalReceitaTribMesPropria() + GetTotalReceitaTribMesCentraliz(), 1);
  Figura(linha, imprimir, 3, "Rec. Bruta Acumulada do Ano    :", 40, FReceitaBrutaAcumulada, 0);
  imprimir(linha, 112, "Alíquota              :", 0, false);
  imprimir(linha, 147, FormatarFixo(FAliquota, 4), 1, false);

  const TTipoEnquadramento atual = FEnquadramento, novo = GetNovoEnquadramento();
  if (atual == 0 && novo == 1)
    imprimir(linha, 2,
             "ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de ME. Mude para apuração Normal ou para EPP no pacote 7730.",
             1, false);
  else if (atual == 0 && novo == 2)
    imprimir(linha, 2,
             "ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de ME e também de EPP. Mude para apuração Normal no "
             "pacote 7730.",
             1, false);
  else if (atual == 1 && novo == 2)
    imprimir(linha, 2, "ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de EPP. Mude para apuração Normal no pacote 7730.",
             1, false);

  ImprimirComposicaoCalculo(linha, imprimir);
}

// Each item of the period with a formula, as the revenue sums evaluate it: an entry (CFOP of
// class 1, 2 or 3) lowers the total, so it prints with its sign changed. A CFOP whose class is
// not a digit counts as an exit. The union of entries and exits prints equal rows once.
void TResumoSimplesNovoRS::ImprimirComposicaoCalculo(int& linha, const TImprimirProc& imprimir) {
  if (!FSolicitarDadosAcessorios) return;
  TEvMacroFormula formulas;
  auto Itens = [&](const char* sql, int32_t numero, bool comCodigo) {
    TQDSQLQuery q(GUtilSistema->GetConnectionSistema());
    q.SetSQL(Format(sql, {std::to_string(numero), std::to_string(FFilial.IdFilial), TFormPrincipal::DataSQL(FDataInicio),
                          TFormPrincipal::DataSQL(FDataFim)}));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      const std::string cfop = q.FieldByName("CFOP").AsString();
      Currency valor = AvaliarFormula(formulas, q, numero).ParaMoeda();
      const int classe = !cfop.empty() && std::isdigit(static_cast<unsigned char>(cfop[0])) ? cfop[0] - '0' : 4;
      if (classe < 4) valor = -valor;
      imprimir(linha, 3, cfop, 0, false);
      if (comCodigo) {
        imprimir(linha, 54, q.FieldByName("INFORMACAO1").AsString(), 0, false);
        imprimir(linha, 65, q.FieldByName("FORMULA").AsString(), 0, false);
      } else {
        imprimir(linha, 50, q.FieldByName("FORMULA").AsString(), 0, false);
      }
      imprimir(linha, 130, GFuncoes->FormatarFloat(valor), 1, false);
    }
  };
  auto Linha = [&](const std::string& legenda, Currency valor, int avancar) {
    imprimir(linha, 130, GFuncoes->FormatarFloat(valor), 0, false);
    imprimir(linha, 3, legenda, avancar, false);
  };

  imprimir(linha, 2, "", 1, true);
  imprimir(linha, 3, "R E C E I T A   B R U T A", 1, false);
  imprimir(linha, 3, "CFOP", 0, false);
  imprimir(linha, 50, "FÓRMULA", 0, false);
  imprimir(linha, 140, "VALOR", 1, false);
  Itens(kSqlComposicaoReceita, 5, false);
  Linha("SERVIÇOS", FReceitaServicosPropria, 1);
  Linha("OUTRAS RECEITAS (Juros, seguro, frete, etc.)", FOutrasRecMes, 1);
  imprimir(linha, 3, "TOTAL RECEITA BRUTA DO MÊS", 0, false);
  imprimir(linha, 130, GFuncoes->FormatarFloat(GetTotalReceitaBrutaMesPropria()), 2, false);

  imprimir(linha, 3, "D E D U Ç Õ E S   D A   R E C E I T A   B R U T A", 1, false);
  imprimir(linha, 3, "CFOP", 0, false);
  imprimir(linha, 50, "CÓDIGO", 0, false);
  imprimir(linha, 75, "FÓRMULA", 0, false);
  imprimir(linha, 140, "VALOR", 1, false);
  Itens(kSqlComposicaoDeducoes, 6, true);
  Linha("SERVICOS", FReceitaServicosPropria, 1);
  Linha("SALDO DEVEDOR ICMS-ST", FSaldoDevedorSTPropria, 1);
  if (Papel() == 1) Linha("DEDUÇÕES DE OUTROS ESTABELECIMENTOS DO RS", FDedRecBruta, 1);
  imprimir(linha, 3, "TOTAL", 0, false);
  imprimir(linha, 130, GFuncoes->FormatarFloat(GetTotalDeducaoPropria()), 2, false);
  imprimir(linha, 3, "TOTAL RECEITA TRIBUTÁVEL", 0, false);
  imprimir(linha, 130, GFuncoes->FormatarFloat(GetTotalReceitaTribMesPropria()), 1, false);
}
