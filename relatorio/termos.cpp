// The opening and closing terms of a definitive book. The opening term is page 1 of each book
// (its numbered pages begin at 2); the closing term takes the page after the book's last page once
// the book is full. Each term names the book, the pages it holds, the establishment with its
// address and registrations, the place and date, and has the signatures of the company's legal
// representative and of its accountant, as the establishment's configuration gives them.
#include <algorithm>
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

// A term reads in the 10-cpi type, each character over two of the grid's columns, on a page of 6
// lines an inch whatever the book's spacing: at least 9 points on every paper. Its text runs over
// the grid's columns 11 to 150 (70 characters); the signatures take columns 11 and 91, 30
// characters each.
constexpr int kMargem = 11;
constexpr size_t kLargura = 70, kRecuo = 20;
constexpr int kAssinatura1 = 11, kAssinatura2 = 91;
constexpr size_t kLarguraAssinatura = 30;

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
  FPrn->SetLinhaDaPagina(impressao::TLinha::Seis);
  const TDadosTermo& d = FDadosTermo;
  const TFilial& f = d.Filial;
  const bool abertura = termo == TTermo::Abertura;

  ImpTermo(kMargem,
           texto::PreencherEsquerda("LIVRO: " + FormatarZeros(d.Livro, 5) + "   FOLHA: " +
                                        FormatarZeros(abertura ? 1 : d.Folhas, 5),
                                    kLargura),
           kLargura, 4);
  ImpC(FLinha, 0, abertura ? "T E R M O   D E   A B E R T U R A" : "T E R M O   D E   E N C E R R A M E N T O", 4,
       TFontes{TFonte::Negrito, TFonte::Normal});

  const std::string folhas = d.Folhas > 0 ? "Contém este livro " + std::to_string(d.Folhas) +
                                                " folhas, numeradas tipograficamente de 1 a " + std::to_string(d.Folhas)
                                          : "Contém este livro folhas numeradas tipograficamente a partir de 1";
  const std::string paragrafo = folhas + ", que " + (abertura ? "servirá" : "serviu") +
                                " de Livro Registro de Apuração do ICMS, modelo P9, número " + std::to_string(d.Livro) +
                                ", do estabelecimento abaixo identificado:";
  for (const auto& l : texto::QuebrarEmLinhas(paragrafo, kLargura)) ImpTermo(kMargem, l, kLargura, 1);
  ++FLinha;

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
    const auto linhas = texto::QuebrarEmLinhas(linha, kLargura, kLargura - kRecuo);
    for (size_t i = 0; i < linhas.size(); ++i)
      ImpTermo(kMargem, (i == 0 ? "" : std::string(kRecuo, ' ')) + linhas[i], kLargura, 1);
  }

  ++FLinha;
  for (const auto& l : texto::QuebrarEmLinhas(f.Cidade + ", " + DataPorExtenso(d.Data) + ".", kLargura))
    ImpTermo(kMargem, l, kLargura, 1);
  FLinha += 4;

  // Each signature's lines side by side, a name too long for its column going on below.
  const TSignatarios s = QDInterface->ObterSignatarios(f.IdFilial, d.Data);
  auto assinatura = [](const TSignatario& p, const std::string& qualificacao) {
    std::vector<std::string> r{std::string(kLarguraAssinatura, '_')};
    auto juntar = [&r](const std::string& texto) {
      for (auto& l : texto::QuebrarEmLinhas(texto, kLarguraAssinatura)) r.push_back(std::move(l));
    };
    juntar(p.Nome);
    juntar(qualificacao);
    if (!p.CPF.empty()) juntar("CPF: " + p.CPF);
    return r;
  };
  auto esquerda = assinatura(s.Representante, s.Representante.Qualificacao.empty() ? "Representante legal"
                                                                                     : s.Representante.Qualificacao);
  auto direita =
      assinatura(s.Contador, "Contador" + (s.Contador.Qualificacao.empty() ? "" : " - CRC " + s.Contador.Qualificacao));
  const size_t linhas = std::max(esquerda.size(), direita.size());
  esquerda.resize(linhas);
  direita.resize(linhas);
  for (size_t i = 0; i < linhas; ++i) {
    ImpTermo(kAssinatura1, esquerda[i], kLarguraAssinatura, 0);
    ImpTermo(kAssinatura2, direita[i], kLarguraAssinatura, 1);
  }

  // In a book, its numbered pages follow the opening term.
  if (abertura && FResumo) FPrn->NovaPagina();
}

// The engine keeps a wide text's centre where its grid span has it: a line padded to its block's
// width and placed at the block's middle is drawn from the block's first column, so the lines of a
// block start together on paper (and the text output shows the block centred on its columns).
void TdmLivroICMS::ImpTermo(int coluna, const std::string& texto, size_t largura, int avancar) {
  if (!texto.empty()) {
    FPrn->SetFonte(TFontes{TFonte::Normal});
    FPrn->Imp(FLinha, coluna + static_cast<int>(largura / 2), texto::PreencherDireita(texto, largura));
    FPrn->SetFonte(TFontes());
  }
  ControlarSaltoDeLinhaEPagina(avancar, false);
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
