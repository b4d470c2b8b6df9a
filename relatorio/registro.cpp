// The register sections of a summary: entries and exits by CFOP with subtotals by origin or
// destination and a total, and the empty sections stamped for a period without movement.
#include <string>
#include <vector>

#include "apuracao/registros.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "relatorio/layoutlivro.h"
#include "relatorio/livroicms.h"

namespace {

// Text padded on the right with dots to n characters (never cut).
std::string PreencherPontos(const std::string& s, size_t n) {
  size_t t = texto::Tamanho(s);
  return t < n ? s + std::string(n - t, '.') : s;
}

}  // namespace

void TdmLivroICMS::ImprimirLinhaRegistro(const std::string& texto, const TRegistro* valores) {
  auto valor = [valores](Currency (TRegistro::*campo)() const) {
    return valores ? FormatarValor((valores->*campo)()) : std::string();
  };
  Imp(FLinha, 2,
      Format(layoutlivro::kLinhaRegistro,
             {texto, valor(&TRegistro::GetValorContabil), valor(&TRegistro::GetBaseCalculo),
              valor(&TRegistro::GetImposto), valor(&TRegistro::GetIsentas), valor(&TRegistro::GetOutras)}),
      1);
}

// `sufixo` is k, the width the CFOP suffix adds to the CFOP (0 without suffix detail); the
// description then gets w = 51 - k characters, and a second row for the characters w + 1 to 2w.
void TdmLivroICMS::ImprimirSessaoRegistro(const TRegistros& registros, const std::string& subtotais,
                                          const std::vector<std::string>& grupos, int sufixo) {
  const size_t k = static_cast<size_t>(sufixo);
  const size_t w = 51 - k;
  for (int i = 0; i < registros.Count(); ++i) {
    const TRegistro* r = registros.GetItem(i);
    const std::string& descricao = r->GetDescricaoCFOP();
    const bool continua = FImprimirDescricaoCfop && texto::Tamanho(descricao) > w;
    // A description's second row never opens a page alone: both rows go on the same page.
    if (continua && FLinha + 1 > FPrn->TamanhoQteLinhas() - 7) FPrn->NovaPagina();
    ImprimirLinhaRegistro(r->GetCFOP() + " " + (FImprimirDescricaoCfop ? texto::Copiar(descricao, 1, w) : std::string(w, ' ')),
                          r);
    if (continua)
      ImprimirLinhaRegistro(std::string(6, ' ') + std::string(k, ' ') + texto::Copiar(descricao, w + 1, w), nullptr);
  }
  ImprimirLinhaRegistro(subtotais, nullptr);
  for (const auto& grupo : grupos) {
    auto soma = registros.GetSoma(grupo);
    ImprimirLinhaRegistro(soma->GetCFOP() + " " + PreencherPontos(soma->GetDescricaoCFOP(), 51), soma.get());
  }
  auto total = registros.GetSoma();
  ImprimirLinhaRegistro(std::string(6, ' ') + PreencherPontos(total->GetDescricaoCFOP(), 51), total.get());
  FecharSecao();
}

void TdmLivroICMS::ImprimirRegistro() {
  const int sufixo = FDetalharSufixoCfop ? GUtilEscrita->GetMascaraESufixoCfop().TamanhoSufixo + 1 : 0;

  FTipoSessao = tsEntradas;
  ImprimirCabecalhoSessao();
  ImprimirSessaoRegistro(FResumo->GetCredito().GetRegistros(), "      SUBTOTAIS ENTRADAS", {"1", "2", "3"}, sufixo);

  FTipoSessao = tsSaidas;
  ImprimirTracos();
  ImprimirCabecalhoSessao();
  ImprimirSessaoRegistro(FResumo->GetDebito().GetRegistros(), "      SUBTOTAIS SAÍDAS", {"5", "6", "7"}, sufixo);
}

// Heading, eight empty rows and the stamp written diagonally over the first three amount columns.
void TdmLivroICMS::ImprimirSessaoSemMovimento() {
  ImprimirCabecalhoSessao();
  for (int i = 0; i < 8; ++i) ImprimirLinhaRegistro("", nullptr);
  const int l = FLinha - 5;
  Imp(l, 65, "P E R Í O D O", 0);
  Imp(l + 1, 87, "S E M", 0);
  Imp(l + 2, 99, "M O V I M E N T O", 0);
  FecharSecao();
}

void TdmLivroICMS::ImprimirRegistroSemMovimento() {
  FTipoSessao = tsEntradas;
  ImprimirSessaoSemMovimento();
  FTipoSessao = tsSaidas;
  ImprimirTracos();
  ImprimirSessaoSemMovimento();
}
