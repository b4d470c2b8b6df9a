#pragma once
// The page-oriented print engine the book module prints through. A job is Abrir() ... Fechar()
// (or Cancelar()); pages are 160 columns by 66 or 88 lines and every text is placed by explicit
// line and column (1-based) on the current page. The engine raises OnNewPage(n) as each page
// begins (the first from Abrir()), OnBeforeNewPage() as each page ends while it can still be
// written (the last one too, from Fechar()) and OnAfterPrint() once the outputs are complete.
// NovaPagina() may be called from inside OnNewPage (the module leaves the first side blank that
// way). Finished pages go to the requested outputs (text and/or PDF) and stay available through
// Paginas() for inspection. Handlers are copied before being called, so a handler may reassign
// any event.
//
// Outputs are written beside their targets and replace them only when the whole job succeeded,
// after OnAfterPrint: a job that fails or is cancelled, or whose OnAfterPrint throws, leaves every
// earlier file as it was.
//
// With a preview (OnVisualizar, the engine's "preview on"), Fechar() shows the finished pages
// before anything is completed; the job counts as printed only when the user printed or saved it
// from there. Closed without either, the job ends as Cancelar() ends it and Fechar() says so.
//
// Printed text loses its accents by default (the engine's SemAcento setting), as on the printers
// the book was laid out for; SetSemAcento(false) keeps them.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/impressao/fontes.h"
#include "host/impressao/pagina.h"
#include "host/impressao/informacoespdf.h"

namespace impressao {

class TSaidaTexto;
class TSaidaPdf;
class TSubstituicaoArquivos;

enum class TLinha { Seis, Oito };  // lines per inch: 66 or 88 lines a page
enum class TModelo { Grafico, Matricial };
// Paper of the PDF output: A4 and Letter fit the grid inside 10 mm margins; the continuous form
// (9.5 x 11 in) takes the grid at the printer's own pitch, 20 characters and 6 or 8 lines an inch.
enum class TPapel { A4, Carta, Formulario };

class TQDprint {
 public:
  std::function<void(int)> OnNewPage;
  std::function<void()> OnBeforeNewPage;
  std::function<void()> OnAfterPrint;
  // The preview, called by Fechar() once the last page has ended. It answers where the user sent
  // the job (a printer's name, a file), which becomes NomeImpressora(), or nothing when the preview
  // was closed without printing or saving.
  std::function<std::optional<std::string>(TQDprint&)> OnVisualizar;
  // Raised by Fechar() once the outputs are in place, while what they replaced is still kept
  // aside: the job's record is written here. When it throws, the outputs are put back as they were
  // and Fechar() throws; when they cannot be, its message names the files that now disagree with
  // the record.
  std::function<void()> OnConfirmar;

  TQDprint();
  ~TQDprint();
  TQDprint(const TQDprint&) = delete;
  TQDprint& operator=(const TQDprint&) = delete;

  // Outputs of the next job (empty path: none). Without outputs the job stays in memory only.
  void SetArquivoTexto(std::string caminho) { arquivoTexto_ = std::move(caminho); }
  void SetArquivoPdf(std::string caminho) { arquivoPdf_ = std::move(caminho); }
  // The journal of the next job's renames, with its mark (see TSubstituicaoArquivos::SetDiario):
  // whoever records the job keeps the mark in the same commit, so that a job killed before it can
  // be told from one killed after it.
  void SetDiario(std::string caminho, std::string marca) {
    diario_ = std::move(caminho);
    marca_ = std::move(marca);
  }
  // Document information of the next jobs' PDF (and of Salvar's).
  void SetInformacoesPdf(TInformacoesPdf informacoes) { informacoesPdf_ = std::move(informacoes); }
  // Where the job went: the destination the preview reported, else the output files ("Memória"
  // when there are none).
  std::string NomeImpressora() const;

  TPapel Papel() const { return papel_; }
  void SetPapel(TPapel papel) { papel_ = papel; }

  // Line spacing; only between jobs (std::logic_error while a job is open).
  void SetLinha(TLinha linha);
  TLinha Linha() const { return linha_; }
  // The spacing of the page just begun, while nothing is printed on it (from OnNewPage): a page
  // that must read in a larger type, such as a book's term, keeps 6 lines an inch in a job printed
  // at 8. The pages after it return to the job's spacing. std::logic_error once the page has text.
  void SetLinhaDaPagina(TLinha linha);
  // Lines of the current page (of the job's pages when none is open).
  int TamanhoQteLinhas() const { return aberto_ ? paginas_.back().QteLinhas() : Linhas(linha_); }
  int TamanhoQteColunas() const { return 160; }

  bool SemAcento() const { return semAcento_; }
  void SetSemAcento(bool v) { semAcento_ = v; }
  TFontes Fonte() const { return fonte_; }  // font set of Imp()
  void SetFonte(TFontes f) { fonte_ = f; }
  const std::string& Titulo() const { return titulo_; }
  void SetTitulo(std::string t) { titulo_ = std::move(t); }
  TModelo Modelo() const { return TModelo::Grafico; }
  int Pagina() const { return pagina_; }  // page counter of the job, 1 on the first page

  // The printer dialog; false when the user cancels (here only when set up to, for tests).
  bool Setup() { return !cancelarSetup_; }
  void SetCancelarSetup(bool v) { cancelarSetup_ = v; }

  // Opens the outputs and begins page 1; false, with nothing printed, if an output cannot be
  // created. std::logic_error if a job is already open.
  bool Abrir();
  void NovaPagina();
  // Ends the last page, shows the preview (when there is one), completes the outputs, raises
  // OnAfterPrint and then puts the outputs in place of their targets. On any failure
  // (std::runtime_error, or what OnAfterPrint or the preview throws) no target changes. False when
  // the preview was closed without printing or saving: then nothing is written and OnAfterPrint is
  // not raised.
  bool Fechar();
  // Ends the job without its last page's events: nothing is written, no target changes.
  void Cancelar();
  bool Aberto() const { return aberto_; }

  // Text at (linha, coluna) in the current font; std::out_of_range for a line off the page.
  void Imp(int linha, int coluna, std::string_view texto);
  // Text centred on coluna (its middle character there: start = coluna - length / 2); coluna 0
  // is the page centre.
  void ImpC(int linha, int coluna, std::string_view texto, TFontes fontes);

  // Pages of the current (or last) job, in order.
  const std::vector<TPagina>& Paginas() const { return paginas_; }
  // Writes the finished pages of the current (or last) job to a text and/or a PDF file (empty
  // path: none) as the job's outputs would have written them, the PDF on `papel`. The files are
  // replaced together and only when both are complete; std::runtime_error names the file that
  // could not be written. From the preview of a job being closed, the files are replaced with the
  // job's outputs, when its record is written (OnConfirmar), and not at all if the job fails.
  void Salvar(const std::string& caminhoTexto, const std::string& caminhoPdf, TPapel papel) const;

 private:
  static int Linhas(TLinha linha) { return linha == TLinha::Seis ? 66 : 88; }
  void Escrever(int linha, int coluna, std::string texto, TFontes fontes);
  void EncerrarPagina();
  void IniciarPagina();

  std::string arquivoTexto_, arquivoPdf_, titulo_ = "Livro de ICMS";
  std::string destino_;  // reported by the preview
  std::string diario_, marca_;
  TInformacoesPdf informacoesPdf_;
  TLinha linha_ = TLinha::Seis;
  TPapel papel_ = TPapel::A4;
  TFontes fonte_;
  bool semAcento_ = true, cancelarSetup_ = false, aberto_ = false, visualizando_ = false;
  int pagina_ = 0;
  std::vector<TPagina> paginas_;
  TGrade grade_;  // the grid of the page that ended, for the next one
  std::unique_ptr<TSaidaTexto> texto_;
  std::unique_ptr<TSaidaPdf> pdf_;
  std::unique_ptr<TSubstituicaoArquivos> substituicao_;
};

}  // namespace impressao
