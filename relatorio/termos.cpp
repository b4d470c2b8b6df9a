// The opening and closing terms of a definitive book. The opening term is page 1 of each book
// (its numbered pages begin at 2); the closing term takes the page after the book's last page once
// the book is full. Each term names the book, the pages it holds, the establishment with its
// address and registrations, the place and date, and has the signatures of the company's legal
// representative and of its accountant, as the establishment's configuration gives them.
#include <string>
#include <vector>

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "relatorio/livroicms.h"

using impressao::TFonte;
using impressao::TFontes;

namespace {

std::string DataPorExtenso(TDateTime data) {
  static const char* const meses[] = {"janeiro", "fevereiro", "março",    "abril",   "maio",     "junho",
                                      "julho",   "agosto",    "setembro", "outubro", "novembro", "dezembro"};
  const TDataPartes p = DecodeDate(data);
  return std::to_string(p.dia) + " de " + meses[p.mes - 1] + " de " + std::to_string(p.ano);
}

// Columns of the term's text and of its two signatures.
constexpr int kMargem = 11;
constexpr size_t kLargura = 140;
constexpr int kAssinatura1 = 11, kAssinatura2 = 91;

}  // namespace

void TdmLivroICMS::AbrirLivro(TDateTime data) {
  FDadosTermo = {FResumo->GetFilial(), FLivro, QDInterface->ObterPaginasLivro(FIdConfiguracaoLivro), data};
  FTermoPendente = TTermo::Abertura;
}

void TdmLivroICMS::EncerrarLivro() {
  if (!FResumoNumerado) return;
  FDadosTermo = {FResumoNumerado->GetFilial(), FLivro, FPagina, FResumoNumerado->GetDataFim()};
  FTermoPendente = TTermo::Encerramento;
  FPrn->NovaPagina();  // the new-page event prints the term on page FPagina of the book
  ++FPagina;
  QDInterface->GravarNumeracaoLivro(FIdFilial, FLivro, FPaginaInicial, FPagina, FConfiguracaoNumeracao, "07",
                                    FResumoNumerado->GetDataInicio(), FFrenteVerso ? 2 : 1);
}

void TdmLivroICMS::ImprimirPaginaTermo() {
  const TTermo termo = FTermoPendente;
  FTermoPendente = TTermo::Nenhum;
  FPaginaDeTermo = true;
  const TDadosTermo& d = FDadosTermo;
  const TFilial& f = d.Filial;
  const bool abertura = termo == TTermo::Abertura;

  Imp(FLinha, 2,
      texto::PreencherEsquerda("LIVRO: " + FormatarZeros(d.Livro, 5) + "   FOLHA: " +
                                   FormatarZeros(abertura ? 1 : d.Folhas, 5),
                               155),
      4);
  ImpC(FLinha, 0, abertura ? "T E R M O   D E   A B E R T U R A" : "T E R M O   D E   E N C E R R A M E N T O", 4,
       TFontes{TFonte::Negrito, TFonte::Normal});

  const std::string folhas = d.Folhas > 0 ? "Contém este livro " + std::to_string(d.Folhas) +
                                                " folhas, numeradas tipograficamente de 1 a " + std::to_string(d.Folhas)
                                          : "Contém este livro folhas numeradas tipograficamente a partir de 1";
  const std::string paragrafo = folhas + ", que " + (abertura ? "servirá" : "serviu") +
                                " de Livro Registro de Apuração do ICMS, modelo P9, número " + std::to_string(d.Livro) +
                                ", do estabelecimento abaixo identificado:";
  for (const auto& l : texto::QuebrarEmLinhas(paragrafo, kLargura)) Imp(FLinha, kMargem, l, 1);
  Imp(FLinha, kMargem, "", 1);

  std::string endereco = f.Endereco + (f.Numero.empty() ? "" : ", " + f.Numero);
  if (!f.Complemento.empty()) endereco += " - " + f.Complemento;
  const std::vector<std::string> identificacao = {
      "Empresa...........: " + f.RazaoSocial,
      "Endereço..........: " + endereco,
      "Bairro............: " + f.Bairro + "   CEP: " + FormatarMascara("##.###-###;0", f.CEP),
      "Município.........: " + f.Cidade + " / " + f.UF,
      "Inscrição Estadual: " + f.InscrEstadual,
      "CNPJ..............: " + FormatarMascara("##.###.###/####-##;0", f.CNPJ)};
  for (const auto& linha : identificacao) {
    const auto linhas = texto::QuebrarEmLinhas(linha, kLargura, kLargura - 20);
    for (size_t i = 0; i < linhas.size(); ++i) Imp(FLinha, kMargem + (i == 0 ? 0 : 20), linhas[i], 1);
  }

  Imp(FLinha, kMargem, "", 1);
  Imp(FLinha, kMargem, f.Cidade + ", " + DataPorExtenso(d.Data) + ".", 5);

  const TSignatarios s = QDInterface->ObterSignatarios(f.IdFilial, d.Data);
  const std::string traco(60, '_');
  Imp(FLinha, kAssinatura1, traco, 0);
  Imp(FLinha, kAssinatura2, traco, 1);
  Imp(FLinha, kAssinatura1, s.Representante.Nome, 0);
  Imp(FLinha, kAssinatura2, s.Contador.Nome, 1);
  Imp(FLinha, kAssinatura1, s.Representante.Qualificacao.empty() ? "Representante legal" : s.Representante.Qualificacao, 0);
  Imp(FLinha, kAssinatura2, "Contador" + (s.Contador.Qualificacao.empty() ? "" : " - CRC " + s.Contador.Qualificacao), 1);
  if (!s.Representante.CPF.empty()) Imp(FLinha, kAssinatura1, "CPF: " + s.Representante.CPF, 0);
  if (!s.Contador.CPF.empty()) Imp(FLinha, kAssinatura2, "CPF: " + s.Contador.CPF, 0);

  // In a book, its numbered pages follow the opening term.
  if (abertura && FResumo) FPrn->NovaPagina();
}

bool TdmLivroICMS::ImprimirTermo(TTermo termo, int32_t livro, int32_t folhas, TDateTime data) {
  FResumo = nullptr;
  FDadosTermo = {GFuncoes->GetDadosFilial(FIdFilial), livro, folhas, data};
  FTermoPendente = termo;
  FUltimaPagina = 0;
  if (!FPrn->Setup() || !FPrn->Abrir()) {
    FTermoPendente = TTermo::Nenhum;
    return false;
  }
  try {
    return FPrn->Fechar();
  } catch (...) {
    if (FPrn->Aberto()) FPrn->Cancelar();
    throw;
  }
}
