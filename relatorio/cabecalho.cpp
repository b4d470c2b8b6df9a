// The page header of every page of the book and the headings of its six sections.
#include <string>

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "relatorio/layoutlivro.h"
#include "relatorio/livroicms.h"

using impressao::TFonte;
using impressao::TFontes;

namespace {

// Digits of `valor` placed in the '#' positions of the mask, literals kept (a mask "...;0": the
// value holds no literals); positions left without a digit show '_'.
std::string FormatarMascara(const std::string& mascara, const std::string& valor) {
  const std::u32string m = texto::ParaU32(mascara.substr(0, mascara.find(';')));
  const std::u32string v = texto::ParaU32(valor);
  std::u32string r;
  size_t k = 0;
  for (char32_t c : m) {
    if (c == U'#') r.push_back(k < v.size() ? v[k++] : U'_');
    else r.push_back(c);
  }
  return texto::DeU32(r);
}

std::string Zeros(int32_t numero, size_t largura) {
  std::string s = std::to_string(numero);
  return s.size() < largura ? std::string(largura - s.size(), '0') + s : s;
}

}  // namespace

using layoutlivro::kLinhaResumo;

void TdmLivroICMS::ImprimirCabecalhoPagina() {
  const TFilial& filial = FResumo->GetFilial();
  const auto* st = dynamic_cast<const TResumoST*>(FResumo);
  const int colunas = FPrn->TamanhoQteColunas();

  const bool registro = FTipoSessao == tsEntradas || FTipoSessao == tsSaidas;
  ImpC(FLinha, 0,
       registro ? "R E G I S T R O   D E   A P U R A Ç Ã O   D O   I C M S"
                : "R E S U M O   D A   A P U R A Ç Ã O   D O   I M P O S T O",
       1, TFontes{TFonte::Negrito, TFonte::Normal});
  if (st) ImpC(FLinha, 0, "ICMS SUBSTITUIÇÃO TRIBUTÁRIA / " + st->GetUF(), 1, TFontes{TFonte::Normal});

  Imp(FLinha, 125,
      Format("EMP= %d/ESTAB= %d   MODELO P9",
             {std::to_string(filial.CodigoEmpresa), std::to_string(filial.CodigoFilial)}),
      0);
  Imp(FLinha, 2, "FIRMA.............: ", 0);
  ImpQuebraLinha(FLinha, 22, 125, filial.RazaoSocial, 1);

  Imp(FLinha, 2, "ENDEREÇO..........: ", 0);
  ImpQuebraLinha(FLinha, 22, colunas - 2,
                 texto::Maiusculas(Format("%s, %s   BAIRRO: ..: %s   CEP.: %s   CIDADE.: %s / %2s",
                                          {filial.Endereco + " " + filial.Numero, filial.Complemento, filial.Bairro,
                                           FormatarMascara("##.###-###;0", filial.CEP), filial.Cidade, filial.UF})),
                 1);

  Imp(FLinha, 2,
      Format("INSCRIÇÃO ESTADUAL: %-27s CNPJ....: %s",
             {filial.InscrEstadual, FormatarMascara("##.###.###/####-##;0", filial.CNPJ)}),
      0);
  if (st) Imp(FLinha, 98, "INSCR. EST. SUBSTITUTO TRIBUT.: " + st->GetInscrEst(), 0);
  Imp(FLinha, 2, "", 1);

  Imp(FLinha, 2,
      Format("%6s............: %-5s  LIVRO....: %-9s MES OU PERÍODO/ANO.: %s A %s",
             {FFrenteVerso ? "PÁGINA" : "FOLHA.", Zeros(FPagina, 5), Zeros(FLivro, 5),
              DataBR(FResumo->GetDataInicio()), DataBR(FResumo->GetDataFim())}),
      1);
  Imp(FLinha, 2, std::string(static_cast<size_t>(colunas - 5), '-'), 1);
}

void TdmLivroICMS::ImprimirCabecalhoSessao() {
  const int colunas = FPrn->TamanhoQteColunas();
  const std::string tracos(static_cast<size_t>(colunas - 5), '-');

  if (FTipoSessao == tsEntradas || FTipoSessao == tsSaidas) {
    const bool entradas = FTipoSessao == tsEntradas;
    Imp(FLinha, 2, std::string(static_cast<size_t>((colunas - 19) / 2), '-'), 0);
    ImpC(FLinha, 0, entradas ? " E N T R A D A S " : " S A I D A S ", 0, TFontes());
    Imp(FLinha, 89, std::string(static_cast<size_t>((colunas - 18) / 2 - 3), '-'), 1);
    Imp(FLinha, 2,
        "                         CODIFICACAO                        |                 |                    "
        "I.C.M.S. - VALORES FISCAIS                              ",
        1);
    Imp(FLinha, 2,
        "------------------------------------------------------------|                 |-------------------"
        "---------------------------------------------------------",
        1);
    Imp(FLinha, 2,
        Format("C |                                                         |     VALORES     |  OPERACOES COM %s "
               "DO IMPOSTO |   OPERACOES SEM %0:s DO IMPOSTO     ",
               {entradas ? "CRÉDITO" : "DÉBITO "}),
        1);
    Imp(FLinha, 2,
        "O |                        FISCAL                           |                 |-------------------"
        "----------------|----------------------------------------",
        1);
    Imp(FLinha, 2,
        Format("N |                                                         |    CONTABEIS    |  BASE DE CALCULO|"
               "IMPOSTO %s|   ISENTAS OU N.T.|       OUTRAS        ",
               {entradas ? "CREDITADO" : "DEBITADO "}),
        1);
    Imp(FLinha, 2, tracos, 1);
    return;
  }

  // Summary kinds. The column heading only when the section begins right under the page header.
  if (FLinha <= 9) {
    Imp(FLinha, 105, "|", 0);
    Imp(FLinha, 128, "VALORES", 1);
    Imp(FLinha, 2, tracos, 1);
    Imp(FLinha, 2, Format(kLinhaResumo, {"", "     COLUNA AUXILIAR     ", "          SOMAS          "}), 0);
  }
  const char* titulo = "";
  const char* vertical = "";
  switch (FTipoSessao) {
    case tsDebitos: titulo = "D É B I T O   D O   I M P O S T O"; vertical = "DÉBITO"; break;
    case tsCreditos: titulo = "C R É D I T O   D O   I M P O S T O"; vertical = "CRÉDITO"; break;
    case tsSaldo: titulo = "A P U R A Ç Ã O   D O   S A L D O"; vertical = "SALDO"; break;
    default: titulo = "I N F O R M A Ç Õ E S   C O M P L E M E N T A R E S"; break;
  }
  Imp(FLinha, 15, titulo, 0);
  if (FTipoSessao == tsInformacoes) {
    Imp(FLinha, 2, "", 1);
    Imp(FLinha, 2, tracos, 1);
    return;
  }
  ImpVertical(FLinha, 4, vertical);
  Imp(FLinha, 2, Format(kLinhaResumo, {"", "", ""}), 1);
  Imp(FLinha, 7, "|" + std::string(static_cast<size_t>(colunas - 11), '-'), 1);
}
