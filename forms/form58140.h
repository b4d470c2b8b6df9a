#pragma once
// TForm58140, "Livro Registro de Apuração do ICMS": the report form that collects a ledger request
// (company, establishment, dates, taxes, print options, book and page), validates it, copies it into
// the printing module and starts the book. It also opens the observations editor for the chosen
// establishment and interval.
//
// This is the form's logic without a widget toolkit: every control is a plain member carrying what
// the screen shows (text, check state, enabled state) and every event handler is a method with the
// handler's name. A desktop program binds its widgets to these members and calls the handlers from
// its events; the command line fills the members and calls the same handlers in the same order.
//
// Messages go through QDInterface (host/host.h), so a THost must be active while the form is used.
// A field check that fails shows its message and then throws ECampoInvalido (the host's silent abort
// of the current operation): the caller stops what it was doing and shows nothing more.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/pedidoapuracao.h"
#include "host/base/datas.h"
#include "host/servicos/tipos.h"

class TdmLivroICMS;
class TFrameSelecionarImpostos;
class TQDClientDataSet;
class TForm58140Observacoes;

// The message of a failed field check has already been shown; the operation stops here.
class ECampoInvalido : public EPedidoInvalido {
 public:
  using EPedidoInvalido::EPedidoInvalido;
};

// Controls of the report form and of the observations editor, as senders of a validation pass and
// as the place the focus goes to.
enum class TControle {
  Nenhum,
  lkpEmpresa, lkpFilial, edtDataInicio, edtDataFim,
  rbTodos, rbICMS, rbICMSST, rbCustom, btnSelecionarImpostos,
  chkImpressaoDefinitiva, edtNumLivro, edtNumPagina, rbSextos, rbOitavos,
  lkpImposto, edtData, mmoObs, dbgObs,
};

// Keys the forms react to.
enum class TTecla { Enter, SetaAbaixo, Tab, Outra };
inline bool TeclaConfirma(TTecla t) { return t == TTecla::Enter || t == TTecla::SetaAbaixo; }

// The host's field checks shared by the forms of this module.
//   DeveValidarCampo: a pass started by no sender covers every field; a pass started by leaving a
//     field covers that field only.
//   ValidaCampoData: when the pass covers the field and the text is not a date ("dd/mm/aaaa" or
//     "aaaa-mm-dd"; with obrigatorio = 1 an empty text is not one either), shows the message as a
//     warning and throws ECampoInvalido. Returns the date (0 for an empty optional field).
namespace validacao {
bool DeveValidarCampo(TControle sender, TControle campo);
TDateTime ValidaCampoData(TControle sender, TControle campo, const std::string& texto, const std::string& mensagem,
                          int obrigatorio);
// Shows the message (QDInterface->ExibirMensagem with the kind) and throws ECampoInvalido.
[[noreturn]] void Abortar(const std::string& mensagem, int tipo);
}  // namespace validacao

// A check box: caption, check state and enabled state.
struct TCaixa {
  std::string Caption;
  bool Checked = false;
  bool Enabled = true;
};

// A whole-number edit (format "0"): the text as typed, and its enabled state.
struct TEdicaoInteiro {
  std::string Text;
  bool Enabled = false;
  int32_t Valor() const;  // 0 when empty or not a number
  void SetValor(int32_t v) { Text = std::to_string(v); }
};

// A date edit: the text as typed.
struct TEdicaoData {
  std::string Text;
  TDateTime Data() const;  // 0 when the text is not a date
  void SetData(TDateTime d) { Text = d > 0 ? DataBR(d) : std::string(); }
};

// A lookup of the host: the chosen record's id, its code (search column) and its description,
// and the filter the next search is restricted by.
struct TLookup {
  int64_t Id = 0;
  std::string Codigo;
  std::string Descricao;
  std::string Filtro;
};

// A column of a grid: caption, field and width in pixels (0: as wide as its contents).
struct TColunaGrade {
  const char* Titulo;
  const char* Campo;
  int Largura;
};

// The search grid a lookup opens: its title, the query of the records it offers (restricted by
// the lookup's filter, ordered by its search column), the columns shown and the columns that
// identify the chosen record (its id and its code).
struct TPesquisa {
  std::string Titulo;
  std::string Sql;
  std::string CampoId, CampoCodigo;
  std::vector<TColunaGrade> Colunas;
};

// The four tax radios.
enum class TEscolhaImpostos { Todos, ICMS, ICMSST, Custom };

class TForm58140 {
 public:
  static constexpr const char* kCaption = "Livro Registro de Apuração do ICMS";

  explicit TForm58140(TdmLivroICMS& modulo);
  virtual ~TForm58140();
  TForm58140(const TForm58140&) = delete;
  TForm58140& operator=(const TForm58140&) = delete;

  // ---- controls, in screen order ----
  TLookup lkpEmpresa;  // "Empresa:"
  TLookup lkpFilial;   // "Estabelecimento:"
  TEdicaoData edtDataInicio;  // "Data Inicial:"
  TEdicaoData edtDataFim;     // "Data Final:"
  TEscolhaImpostos rbImpostos = TEscolhaImpostos::Todos;  // "Todos" / "ICMS Próprio" / "ICMS-ST" / "Selecionar"
  bool btnSelecionarImpostosEnabled = false;
  TCaixa chkContabilizar{"Contabilizar"};
  TCaixa chkCalcularCIAP{"Calcular CIAP"};
  TCaixa chkSemMovimento{"Imprimir períodos sem movimento", true};
  TCaixa chkDetalharSufixoCfop{"Detalhar CFOPs por sufixo"};
  TCaixa chkNaoImprimirDescricaoCFOP{"Não Imprimir descriçoes de CFOP"};
  TCaixa chkImpressaoFrenteVerso{"Impressão Frente e Verso"};
  TCaixa chkRodape{"Imprimir data e hora no rodapé"};
  TCaixa chkImpressaoDefinitiva{"Impressão definitiva"};
  TEdicaoInteiro edtNumLivro;    // "Livro:" (lblLivro follows its enabled state)
  TEdicaoInteiro edtNumPagina;   // "Página:" (lblPagina likewise)
  bool rbSextos = false;         // "Sextos" under "Formato de Impressão:"
  bool rbOitavos = true;         // "Oitavos"
  bool ActImprimirEnabled = true;  // "&Imprimir", Ctrl+I
  TControle Foco = TControle::Nenhum;

  // ---- hooks the user interface supplies ----
  // The tax-selection dialog ("Selecionar Impostos"), shown modally over the frame: the marks the
  // user leaves in the frame's data set are the selection. Without a hook the dialog closes at once.
  std::function<void(TFrameSelecionarImpostos&)> OnSelecionarImpostos;
  // The observations editor, already filled, shown modally.
  std::function<void(TForm58140Observacoes&)> OnExibirObservacoes;
  // Today's date (the default interval is the month before this one).
  std::function<TDateTime()> Relogio = [] { return Hoje(); };

  // ---- event handlers ----
  void FormCreate();
  // The dates and, for a definitive book, the book and page numbers (1 to 99999).
  void ValidarCampos(TControle sender);
  void edtDataInicioExit();
  void edtDataInicioKeyDown(TTecla tecla);
  void lkpFilialAntesDeBuscar();
  void lkpEmpresaExit();
  // Any of the four tax radios clicked: the radio becomes the checked one.
  void rbTodosClick(TEscolhaImpostos radio);
  void btnSelecionarImpostosClick();
  TQDClientDataSet& GetDataSetImpostos();
  void chkImpressaoDefinitivaClick();
  void chkImpressaoDefinitivaKeyDown(TTecla tecla);
  // Runs the print action and answers true (the key is discarded) on Enter or Down-arrow.
  bool rbOitavosKeyDown(TTecla tecla);
  // Disables the print action, prints, and enables it again whatever happens.
  bool ActImprimirExecute();
  // Builds the request and starts the book. False when nothing was handed to the printing module
  // (no line spacing chosen); failures of validation, run and printing propagate.
  bool Imprimir();
  void ActObservacoesExecute() { CadatrarObservacoes(); }
  void CadatrarObservacoes();

  // ---- lookups ----
  // Chooses a company / an establishment of the chosen company by id, as the lookups do; shows
  // "Registro não encontrado." and clears the lookup when there is none.
  bool BuscarEmpresa(int64_t idEmpresa);
  bool BuscarFilial(int64_t idFilial);
  // The same by the code the user types in the lookup (EMPRESA, FILIAL of the chosen company).
  bool BuscarEmpresaPorCodigo(const std::string& codigo);
  bool BuscarFilialPorCodigo(const std::string& codigo);
  // The search grids: "Pesquisa de Empresas" and "Pesquisa de Estabelecimentos" (of the chosen
  // company: the establishment lookup's filter is set first, as before any search).
  TPesquisa PesquisaEmpresa() const;
  TPesquisa PesquisaFilial();

  TPeriodicidade Periodicidade() const { return FPeriodicidade; }
  TdmLivroICMS& Modulo() { return modulo_; }
  TFrameSelecionarImpostos& FrameImpostos();

 protected:
  // Hands the filled module its print; tests replace it to look at the request.
  virtual bool ImprimirModulo();

 private:
  bool CarregarEmpresa(int64_t id);
  bool CarregarFilial(int64_t id);
  void BuscarPeriodicidade();

  TdmLivroICMS& modulo_;
  TPeriodicidade FPeriodicidade = 0;
  std::unique_ptr<TFrameSelecionarImpostos> FFrameImpostos;
  // The book and folha the office proposed when definitive printing was checked: left as they are,
  // the print chooses them again when it records them.
  int32_t FLivroProposto = 0, FPaginaProposta = 0;
};
