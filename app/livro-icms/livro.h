#pragma once
// The book as `imprimir` prints it: the report form TForm58140 driven with the command line's
// options exactly as the desktop user would (creation defaults, the fields the user changes, then
// the print action). `imprimir` prints one establishment's book with it and `lote --livros` every
// establishment's.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/base/datas.h"

class TApuracao;
namespace impressao { class TQDprint; }

struct TOpcoesImpressao {
  int64_t IdFilial = 0;
  std::string Inicio, Fim;
  std::vector<std::string> Saidas;
  std::string Impostos;
  bool Contabilizar = false, CIAP = false, SemMovimento = false, NaoImprimirSemMovimento = false;
  bool DetalharSufixo = false, SemDescricaoCfop = false, FrenteVerso = false, Rodape = false;
  bool Definitivo = false;
  int32_t Livro = 0, Pagina = 0;
  bool Sextos = false, Oitavos = false;
  bool SemFrenteVerso = false;
};

// What the print engine takes from the command line: paper, accents and line spacing.
struct TOpcoesPagina {
  std::string Papel = "a4";
  bool Acentos = false;
};

void ConfigurarPagina(impressao::TQDprint& prn, const TOpcoesPagina& o);

// The outputs by kind, each checked for writing before anything runs: a scratch file is created
// beside it, as the print will, and removed again; the output itself is not touched.
void VerificarSaidas(const std::vector<std::string>& saidas, std::string& txt, std::string& pdf);

struct TLivroImpresso {
  bool Impresso = false;  // false: the print could not begin (an output file)
  std::string NomeFilial;
  TDateTime Inicio = 0, Fim = 0;
  int Resumos = 0;  // 0: no whole period in the interval, nothing printed or recorded
  int32_t Paginas = 0, Livro = 0, ProximaPagina = 0;
  bool Definitivo = false;
};

// Settles and prints the book of o.IdFilial into `txt` and `pdf` (either may be empty) through the
// report form. Needs an active THost, whose interaction answers the run's questions; the host's
// current company and establishment become the request's. `aoTerminar`, when given, sees the
// calculated run before the form goes away. The form's and the run's exceptions propagate
// (ECampoInvalido after the form showed its message, EAbortarSilencioso, errors).
TLivroImpresso ImprimirPeloFormulario(const TOpcoesImpressao& o, const TOpcoesPagina& pagina, const std::string& txt,
                                      const std::string& pdf, const std::function<void(TApuracao&)>& aoTerminar = {});
