// The page header of every page of the book and the headings of its six sections.
#include <algorithm>
#include <string>
#include <vector>

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/servicos/qdinterface.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "relatorio/layoutlivro.h"
#include "relatorio/livroicms.h"

using impressao::TFonte;
using impressao::TFontes;

using layoutlivro::kLinhaResumo;

namespace {
constexpr const char* kNaoDefinitiva = "*** IMPRESSÃO NÃO DEFINITIVA - SEM VALOR FISCAL ***";
}  // namespace

void TdmLivroICMS::ImprimirCabecalhoPagina() {
  // Five digits: a sixth would print a number no book can hold.
  if (FPagina > 99999 || FLivro > 99999)
    throw ENumeracaoLivro("A folha " + std::to_string(FPagina) + " do livro " + std::to_string(FLivro) +
                          " passaria de cinco algarismos (99999); nada foi gravado.");
  const TFilial& filial = FResumo->GetFilial();
  const auto* st = dynamic_cast<const TResumoST*>(FResumo);
  const int colunas = FPrn->TamanhoQteColunas();

  const bool registro = FTipoSessao == tsEntradas || FTipoSessao == tsSaidas;
  ImpC(FLinha, 0,
       registro ? "R E G I S T R O   D E   A P U R A Ç Ã O   D O   I C M S"
                : "R E S U M O   D A   A P U R A Ç Ã O   D O   I M P O S T O",
       1, TFontes{TFonte::Negrito, TFonte::Normal});
  if (st) ImpC(FLinha, 0, "ICMS SUBSTITUIÇÃO TRIBUTÁRIA / " + st->GetUF(), 1, TFontes{TFonte::Normal});

  // The company block stays whole inside the frame: at column 125, or with long codes as far left
  // as it takes to end at column 156, a blank after the firm's name, which wraps before it.
  const std::string bloco = Format("EMP= %d/ESTAB= %d   MODELO P9",
                                   {std::to_string(filial.CodigoEmpresa), std::to_string(filial.CodigoFilial)});
  const int colunaBloco = std::min(125, colunas - 4 - static_cast<int>(texto::Tamanho(bloco)) + 1);
  // Name and address wrap at blanks, each line from column 22 up to a blank before the company
  // block (the name) or up to the column before the right border (the address).
  auto quebrar = [this](int ultimaColuna, const std::string& t) {
    std::vector<std::string> linhas = texto::QuebrarEmLinhas(t, static_cast<size_t>(ultimaColuna - 22 + 1));
    if (linhas.empty()) linhas.emplace_back();
    for (size_t i = 0; i < linhas.size(); ++i) {
      if (i > 0) ++FLinha;
      FPrn->Imp(FLinha, 22, linhas[i]);
    }
    ControlarSaltoDeLinhaEPagina(1, false);
  };
  Imp(FLinha, colunaBloco, bloco, 0);
  Imp(FLinha, 2, "FIRMA.............: ", 0);
  quebrar(colunaBloco - 2, filial.RazaoSocial);

  Imp(FLinha, 2, "ENDEREÇO..........: ", 0);
  quebrar(colunas - 4, texto::Maiusculas(Format("%s, %s   BAIRRO: ..: %s   CEP.: %s   CIDADE.: %s / %2s",
                                                {filial.Endereco + " " + filial.Numero, filial.Complemento,
                                                 filial.Bairro, FormatarMascara("##.###-###;0", filial.CEP),
                                                 filial.Cidade, filial.UF})));

  Imp(FLinha, 2,
      Format("INSCRIÇÃO ESTADUAL: %-27s CNPJ....: %s",
             {filial.InscrEstadual, FormatarMascara("##.###.###/####-##;0", filial.CNPJ)}),
      0);
  if (st) Imp(FLinha, 98, "INSCR. EST. SUBSTITUTO TRIBUT.: " + st->GetInscrEst(), 0);
  Imp(FLinha, 2, "", 1);

  Imp(FLinha, 2,
      Format("%6s............: %-5s  LIVRO....: %-9s MES OU PERÍODO/ANO.: %s A %s",
             {FFrenteVerso ? "PÁGINA" : "FOLHA.", FormatarZeros(FPagina, 5), FormatarZeros(FLivro, 5),
              DataBR(FResumo->GetDataInicio()), DataBR(FResumo->GetDataFim())}),
      0);
  // A print that is not the book carries the same numbers as one that is: every page says so, on
  // the numbers' own line, ending inside the frame.
  if (!FImpressaoDefinitiva) Imp(FLinha, colunas - 4 - static_cast<int>(texto::Tamanho(kNaoDefinitiva)) + 1, kNaoDefinitiva, 0);
  ControlarSaltoDeLinhaEPagina(1, false);
  Imp(FLinha, 2, std::string(static_cast<size_t>(colunas - 5), '-'), 1);
  FLinhaCorpo = FLinha;
}

void TdmLivroICMS::ImprimirCabecalhoSessao() {
  FecharSecao();
  struct TAbrir {
    bool& aberta;
    ~TAbrir() { aberta = true; }
  } abrir{FSecaoAberta};
  const int colunas = FPrn->TamanhoQteColunas();
  const std::string tracos(static_cast<size_t>(colunas - 5), '-');

  if (FTipoSessao == tsEntradas || FTipoSessao == tsSaidas) {
    const bool entradas = FTipoSessao == tsEntradas;
    // The title and its six heading lines stay on the page of the section's first row: seven
    // lines and that row must fit in the body, whose last line is the page length minus 7.
    if (FLinha + 7 > FPrn->TamanhoQteLinhas() - 7) FPrn->NovaPagina();
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

  const char* titulo = "";
  const char* vertical = "";
  switch (FTipoSessao) {
    case tsDebitos: titulo = "D É B I T O   D O   I M P O S T O"; vertical = "DÉBITO"; break;
    case tsCreditos: titulo = "C R É D I T O   D O   I M P O S T O"; vertical = "CRÉDITO"; break;
    case tsSaldo: titulo = "A P U R A Ç Ã O   D O   S A L D O"; vertical = "SALDO"; break;
    default: titulo = "I N F O R M A Ç Õ E S   C O M P L E M E N T A R E S"; break;
  }
  // The side word runs down from the title line and must end above the page's closing line; the
  // complementary information's title keeps its dashes and the guides' two caption lines with it. A
  // section heading too low for them starts the next page instead.
  const int altura = FTipoSessao == tsInformacoes ? 4 : static_cast<int>(texto::Tamanho(vertical));
  if (FLinha + altura - 1 > FPrn->TamanhoQteLinhas() - 7) FPrn->NovaPagina();

  // The column heading only when the section begins right under the page header (line 9 or above,
  // or the first line after a header that grew with a wrapped name or address). The complementary
  // information going on from another page has no amount columns to head.
  if (FLinha <= std::max(9, FLinhaCorpo) && !(FContinuando && FTipoSessao == tsInformacoes)) {
    Imp(FLinha, 105, "|", 0);
    Imp(FLinha, 128, "VALORES", 1);
    Imp(FLinha, 2, tracos, 1);
    Imp(FLinha, 2, Format(kLinhaResumo, {"", "     COLUNA AUXILIAR     ", "          SOMAS          "}), 0);
  }
  Imp(FLinha, 15, titulo, 0);
  if (FTipoSessao == tsInformacoes) {
    Imp(FLinha, 2, "", 1);
    Imp(FLinha, 2, tracos, 1);
    return;
  }
  // Going on from another page, the side word could run past the section's last rows.
  if (!FContinuando) ImpVertical(FLinha, 4, vertical);
  Imp(FLinha, 2, Format(kLinhaResumo, {"", "", ""}), 1);
  Imp(FLinha, 7, "|" + std::string(static_cast<size_t>(colunas - 11), '-'), 1);
}
