#pragma once
// TdmLivroICMS: the ledger printing module. It turns one request (establishment, interval, taxes
// and print options, written into its public fields) into the "Livro Registro de Apuração do
// ICMS", model P9: it runs the settlement, then walks the calculated summaries in list order and
// prints, for each one, the register section (entries and exits by CFOP) and the summary section
// (items 001 to 014, guides, specific debits, observations) on the page-oriented print engine. It
// controls line and page breaks, draws the frame and footer of every page, numbers pages and
// books, keeps the numbering of a definitive book in the host and records the finished job.
//
// Use: set the request fields, SetFormatoImpressao, the engine's outputs through Prn()
// (SetArquivoTexto / SetArquivoPdf), then Imprimir(). Needs an active THost.
//
// Page grid: 160 columns by 66 (1/6 inch) or 88 (1/8 inch) lines; every text is placed by explicit
// line and column (1-based). FLinha is the current line: 2 at each new page, the page header
// leaves it on the first free line (8, or 9 for a tax-substitution summary), and a page break is
// asked for as soon as it passes the page length minus 7 (60 of 66, 82 of 88).
//
// Implementation split: livroicms.cpp (run, print operations, page events, frame, job record),
// cabecalho.cpp (page header and section headings), registro.cpp (register sections),
// resumolivro.cpp (summary section).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apuracao/apuracao.h"
#include "host/base/datas.h"
#include "host/impressao/fontes.h"
#include "host/impressao/motorimpressao.h"

class TQDClientDataSet;
class TRegistro;
class TRegistros;
class TResumoCampo;

// The section being printed; the page header and the section headings look at it.
enum TTipoSessao { tsEntradas, tsSaidas, tsDebitos, tsCreditos, tsSaldo, tsInformacoes };

// Terms of a definitive book: the opening term is its page 1, the closing term follows its last
// page.
enum class TTermo { Nenhum, Abertura, Encerramento };

class TdmLivroICMS {
 public:
  // Module number of the ledger in the host (footer, job record).
  static constexpr int kModulo = 58140;

  TdmLivroICMS();
  virtual ~TdmLivroICMS();
  TdmLivroICMS(const TdmLivroICMS&) = delete;
  TdmLivroICMS& operator=(const TdmLivroICMS&) = delete;

  // The request, written by the report form (or the command line) before Imprimir.
  int64_t FIdFilial = 0;
  int32_t FIdEmpresa = 0;  // carried, not used by the printing
  TDateTime FDataInicio = 0, FDataFim = 0;
  bool FContabilizar = false;
  bool FCalcularCIAP = false;
  bool FImprimirSemMovimento = true;
  bool FFrenteVerso = false;
  bool FImpressaoDefinitiva = false;
  int32_t FIdConfiguracaoLivro = 0;  // also set again for each summary
  bool FSolicitarDadosAcessorios = false;
  int32_t FLivro = 1;   // book number
  int32_t FPagina = 2;  // number the next page header prints
  // A definitive print whose book and folha were not typed by the user: they are chosen again, as
  // the first free folha of the book, inside the print's write transaction, so that two prints at
  // once never take the same folhas.
  bool FNumeracaoAutomatica = false;
  bool FImprimirRodape = false;  // date and time in the footer
  TQDClientDataSet* FDataSetImpostos = nullptr;  // selected taxes (field MARCADO)
  bool FDetalharSufixoCfop = false;
  bool FImprimirDescricaoCfop = true;
  // Clock of the footer's date and time (tests fix it).
  std::function<TDateTime()> FAgora = Agora;
  // Called once the settlement is done, before the first page: where a progress display turns from
  // settling to printing (and where the benchmark splits the two).
  std::function<void()> OnApurado;

  // Line spacing: 66 lines a page for Seis, 88 for Oito. The module starts with Oito.
  void SetFormatoImpressao(impressao::TLinha formato);
  impressao::TLinha GetFormatoImpressao() const { return FFormatoImpressao; }

  // Runs the settlement and prints the book. Returns false when the book was not printed: the
  // print job could not be begun (printer setup cancelled or an output that cannot be created) or
  // the engine's preview was closed without printing or saving it. Then nothing about the job is
  // recorded, neither the book numbering of a definitive book nor the job (what the settlement
  // recorded stays). Returns true otherwise, also when the interval yields no summary (no job is
  // opened then). Errors of the run, the database or the host propagate; the module can print
  // again afterwards.
  //
  // The numbering and the job are recorded in one transaction that stays open until the job is
  // closed, so while a preview is open the database's write lock is held.
  bool Imprimir();

  // Prints one term of book `livro` of establishment FIdFilial by itself, as a job of one page:
  // `folhas` is the number of pages the term states, `data` its date. Returns false when the job
  // could not be begun or was closed from the preview without printing.
  bool ImprimirTermo(TTermo termo, int32_t livro, int32_t folhas, TDateTime data);

  impressao::TQDprint& Prn() { return *FPrn; }
  TApuracao& GetApuracao() { return *FApuracao; }
  // The engine's page counter of the last page begun in the last job (pages of the job).
  int32_t GetUltimaPagina() const { return FUltimaPagina; }

 protected:
  // Print operations: the sections and the summaries print only through these.
  // Text at (linha, coluna), then `avancar` lines and a page break when the page fills or
  // `novaPagina` asks for one.
  void Imp(int linha, int coluna, const std::string& texto, int avancar = 0, bool novaPagina = false);
  // Text centred on `coluna` (0: the page centre) at the current line, in the font set given;
  // `linha` is ignored.
  void ImpC(int linha, int coluna, const std::string& texto, int avancar, impressao::TFontes fontes);
  // The text in pieces of (colunaFinal - colunaInicial) characters at colunaInicial, one piece
  // per line, `linha` raised before each further piece; then `avancar` lines.
  void ImpQuebraLinha(int& linha, int colunaInicial, int colunaFinal, const std::string& texto, int avancar);
  // The text downwards from (linha, coluna), one character per line; the line does not move.
  void ImpVertical(int linha, int coluna, const std::string& texto);
  void ControlarSaltoDeLinhaEPagina(int linhas, bool forcar);

  // Page frame: borders on lines 1 to FLinha, dashes on line 1 and on line FLinha; then FLinha
  // moves to the footer line.
  void ImprimirQuadro();
  // Whether to leave the front of the first sheet blank (even first page of a double-sided book).
  bool GetEjetarPagina(int32_t pagina);

  // Engine events.
  void prnLivroNewPage(int pagina);
  void prnLivroBeforeNewPage();
  void prnLivroAfterPrint();

  // Page header and section headings (cabecalho.cpp).
  void ImprimirCabecalhoPagina();
  void ImprimirCabecalhoSessao();
  // Register sections (registro.cpp).
  void ImprimirRegistro();
  void ImprimirRegistroSemMovimento();
  // Summary section (resumolivro.cpp).
  void ImprimirResumo();
  void ImprimirInformacoes();
  // Rows of one summary item or detail whose text is already cut to the item column: the
  // amounts on the last row, which advances `avancar` lines (the others one each).
  void ImprimirLinhaResumo(const std::vector<std::string>& linhas, const std::string& auxiliar,
                           const std::string& soma, int avancar);

  // The print callback handed to the summaries' own texts.
  TImprimirProc ProcImprimir();

  // Terms (termos.cpp). A term is printed by the new-page event on the page that begins after
  // FTermoPendente was set: the text of the term, without the book's header, frame or footer.
  void ImprimirPaginaTermo();
  void ImpTermo(int coluna, const std::string& texto, size_t largura, int avancar);
  // Ends the current book with its closing term on the next page and records that page with the
  // numbering of the book's last summary.
  void EncerrarLivro();
  // The book begins with the summary being printed: its opening term goes on the next page begun.
  void AbrirLivro(TDateTime data);
  // Leaves the page being begun blank: no header, frame or footer.
  void PularPagina();

  // Journals of the job's renames (diario.cpp), both under the job's write lock: what prints killed
  // before or after their record left behind is ended first; then this job's journal is named.
  void RepararImpressoesInterrompidas();
  void PrepararDiario();

  // A section whose rows go on on another page repeats there, under the page header, its heading
  // (with the summary's column heading) and the summary item being printed: ImprimirCabecalhoSessao
  // opens the section, FecharSecao ends it after its last row. The repetition waits for the
  // section's next row, so that a page that fills with a section's last row does not repeat a
  // heading over nothing.
  void FecharSecao();
  // The PDF's document information for a job from the current summary to the period ending `fim`.
  impressao::TInformacoesPdf InformacoesPdf(TDateTime fim);
  void ImprimirContinuacao();
  // A line of dashes between sections, left out at the top of a page (the header ends with one).
  void ImprimirTracos();

  impressao::TLinha FFormatoImpressao = impressao::TLinha::Oito;
  std::unique_ptr<TApuracao> FApuracao;
  std::unique_ptr<impressao::TQDprint> FPrn;
  TResumo* FResumo = nullptr;
  TTipoSessao FTipoSessao = tsEntradas;
  int32_t FLinha = 2;
  int32_t FUltimaPagina = 0;
  int32_t FPaginaInicial = 0;
  TDateTime FFimPeriodo = 0;
  int32_t FLinhaCorpo = 8;  // first line under the current page's header
  bool FSecaoAberta = false, FContinuacaoPendente = false, FContinuando = false;
  std::vector<std::string> FItemAberto;  // the summary item whose detail rows are being printed
  std::optional<std::string> FEscritorioRodape;  // the footer's office, read on the job's first page

  // The term the next page carries, with the book, page count and date it states.
  TTermo FTermoPendente = TTermo::Nenhum;
  struct TDadosTermo {
    TFilial Filial;
    int32_t Livro = 0, Folhas = 0;
    TDateTime Data = 0;
  } FDadosTermo;
  bool FPaginaDeTermo = false;  // the current page holds a term
  // The summary whose numbering the job recorded last, with its book configuration: a closing
  // term printed after it extends that record.
  TResumo* FResumoNumerado = nullptr;
  int32_t FConfiguracaoNumeracao = 0;

  // Register rows (registro.cpp): the lines of one side, its subtotal caption and the sums of
  // its three CFOP groups, then its total.
  void ImprimirSessaoRegistro(const TRegistros& registros, const std::string& subtotais,
                              const std::vector<std::string>& grupos, int sufixo);

 private:
  void ImprimirLinhaRegistro(const std::string& texto, const TRegistro* valores);
  void ImprimirSessaoSemMovimento();
};
