// The report form driven as the desktop user would, from the options of the command line.
#include "app/livro-icms/livro.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include <unistd.h>

#include "forms/form58140.h"
#include "forms/pedidoapuracao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/impressao/substituicao.h"
#include "host/servicos/selecaoimpostos.h"
#include "relatorio/relatorio.h"

namespace fs = std::filesystem;

namespace {

std::string Minusculas(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// A check box the user can only tick while it is enabled.
void Marcar(TCaixa& caixa, bool pedido, const char* opcao) {
  if (!pedido) return;
  if (caixa.Enabled)
    caixa.Checked = true;
  else if (!caixa.Checked)
    std::cerr << "Aviso: \"" << caixa.Caption << "\" não está disponível; " << opcao << " ignorada.\n";
}

}  // namespace

void ConfigurarPagina(impressao::TQDprint& prn, const TOpcoesPagina& o) {
  prn.SetPapel(o.Papel == "carta" ? impressao::TPapel::Carta
               : o.Papel == "formulario" ? impressao::TPapel::Formulario
                                          : impressao::TPapel::A4);
  prn.SetSemAcento(!o.Acentos);
}

void VerificarSaidas(const std::vector<std::string>& saidas, std::string& txt, std::string& pdf) {
  for (const auto& s : saidas) {
    std::string ext = Minusculas(fs::path(s).extension().string());
    std::string& destino = ext == ".txt" ? txt : pdf;
    if (ext != ".txt" && ext != ".pdf")
      throw std::runtime_error("O arquivo de saída deve terminar em .pdf ou .txt: " + s);
    if (!destino.empty()) throw std::runtime_error("Mais de um arquivo de saída " + ext + ": " + destino + " e " + s);
    std::error_code ec;
    if (fs::is_directory(s, ec)) throw std::runtime_error("O arquivo de saída é uma pasta: " + s);
    // The print writes a scratch file beside the output and renames it over the output: that is
    // what is tried here, never the output itself (a link planted there is not followed).
    impressao::TSubstituicaoArquivos teste;
    const int fd = impressao::AbrirRascunho(teste.Adicionar(s));
    if (fd < 0) throw std::runtime_error("Não é possível gravar o arquivo de saída: " + s);
    ::close(fd);
    teste.Descartar();
    destino = s;
  }
}

TLivroImpresso ImprimirPeloFormulario(const TOpcoesImpressao& o, const TOpcoesPagina& pagina, const std::string& txt,
                                      const std::string& pdf, const std::function<void(TApuracao&)>& aoTerminar) {
  // The host's current company and establishment are the ones of the request.
  FormPrincipal->IdEmpresaAtual = GFuncoes->GetDadosFilial(o.IdFilial).IdEmpresa;
  FormPrincipal->IdFilialAtual = o.IdFilial;

  TdmLivroICMS modulo;
  TForm58140 form(modulo);
  // The tax-selection dialog: the user marks the codes given.
  form.OnSelecionarImpostos = [&](TFrameSelecionarImpostos& frame) { SelecionarImpostos(frame, o.Impostos); };

  form.FormCreate();
  if (form.lkpFilial.Id == 0)
    throw std::runtime_error("Estabelecimento sem município cadastrado: " + std::to_string(o.IdFilial));
  if (!o.Inicio.empty()) {
    form.edtDataInicio.Text = o.Inicio;
    form.edtDataInicioKeyDown(TTecla::Enter);  // the end date becomes the end of that period
  }
  if (!o.Fim.empty()) form.edtDataFim.Text = o.Fim;

  std::string impostos = Minusculas(texto::Aparar(o.Impostos));
  if (impostos == "todos")
    form.rbTodosClick(TEscolhaImpostos::Todos);
  else if (impostos == "icms")
    form.rbTodosClick(TEscolhaImpostos::ICMS);
  else if (impostos == "icms-st")
    form.rbTodosClick(TEscolhaImpostos::ICMSST);
  else if (!impostos.empty())
    form.rbTodosClick(TEscolhaImpostos::Custom);

  Marcar(form.chkContabilizar, o.Contabilizar, "--contabilizar");
  Marcar(form.chkCalcularCIAP, o.CIAP, "--ciap");
  if (o.NaoImprimirSemMovimento) form.chkSemMovimento.Checked = false;
  if (o.SemMovimento) form.chkSemMovimento.Checked = true;
  Marcar(form.chkDetalharSufixoCfop, o.DetalharSufixo && !o.Definitivo, "--detalhar-sufixo");
  Marcar(form.chkNaoImprimirDescricaoCFOP, o.SemDescricaoCfop && !o.Definitivo, "--sem-descricao-cfop");
  Marcar(form.chkImpressaoFrenteVerso, o.FrenteVerso, "--frente-verso");
  if (o.SemFrenteVerso) form.chkImpressaoFrenteVerso.Checked = false;
  Marcar(form.chkRodape, o.Rodape, "--rodape");
  if (o.Definitivo) {
    form.chkImpressaoDefinitiva.Checked = true;
    form.chkImpressaoDefinitivaClick();
    if (o.DetalharSufixo || o.SemDescricaoCfop)
      std::cerr << "Aviso: a impressão definitiva detalha os CFOPs sem sufixo e com descrição; "
                   "--detalhar-sufixo e --sem-descricao-cfop ignoradas.\n";
    if (o.Livro > 0) form.edtNumLivro.SetValor(o.Livro);
    if (o.Pagina > 0) form.edtNumPagina.SetValor(o.Pagina);
  }
  if (o.Sextos) {
    form.rbSextos = true;
    form.rbOitavos = false;
  }

  modulo.Prn().SetArquivoTexto(txt);
  modulo.Prn().SetArquivoPdf(pdf);
  ConfigurarPagina(modulo.Prn(), pagina);
  TLivroImpresso r;
  r.Impresso = form.ActImprimirExecute();
  r.NomeFilial = form.lkpFilial.Descricao;
  r.Inicio = modulo.FDataInicio;
  r.Fim = modulo.FDataFim;
  r.Resumos = modulo.GetApuracao().GetResumos().Count();
  r.Paginas = modulo.GetUltimaPagina();
  r.Livro = modulo.FLivro;
  r.ProximaPagina = modulo.FPagina;
  r.Definitivo = form.chkImpressaoDefinitiva.Checked;
  if (aoTerminar) aoTerminar(modulo.GetApuracao());
  return r;
}
