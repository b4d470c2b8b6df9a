#pragma once
// TResumo: the settlement of one tax for one establishment and one period. The run creates one
// object of a regime's subclass per tax and period, fills its identity and calls CalcularApuracao,
// whose fixed sequence calls the virtual operations below; regimes override some of them. The
// book then reads its lines and balances and asks it to print its own texts.
//
// Every exception raised inside the calculation ends it (and the run). The calculation records in
// one transaction: on an error what this summary wrote is undone, what earlier summaries recorded
// stays; a question the user cancels (EAbortarSilencioso) keeps what was recorded up to it.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apuracao/resumocampos.h"
#include "host/banco/integridade.h"
#include "host/servicos/tipos.h"

enum TTipoResumo : uint8_t {
  trInvalid, trNormal, trNormalRS, trSubstTrib, trSubstTribRS, trSubstTribSC, trSimplesSC, trBaresSC,
  trEstimativaSC, trNormalSC, trSimplesNovoRS, trSimplesPR, trSimplesRN, trNormalPR, trNormalMA, trNormalPA,
  trNormalSE
};

// The book's print callback: text at (line, column), then advance the lines given; a new page is
// begun when forced or when the page fills.
using TImprimirProc = std::function<void(int linha, int coluna, const std::string& texto, int avancar, bool novaPagina)>;

// The payment code configured for an establishment and period, as its row stands: the revenue
// code, the five sub-code columns (CODIGO1..CODIGO5: a sub-code or due-day rules, by state), the
// due-day kind and the due day as text.
struct TCodigoRecolhimentoConfigurado {
  std::string Codigo;
  std::array<std::string, 5> SubCodigos;
  int32_t IdCodigoRec = 0, TpDiaVencto = 0;
  std::string DiaVencto;
  // DIAVENCTO as a whole number; 0 when empty or not a number (a due date computed from 0 is
  // refused, naming the code: GetVencimento).
  int32_t DiaVenctoNumero() const;
};

// "ESTAB= 2 (trade name)": how the book names another establishment of a centralised settlement.
std::string RotuloEstabelecimento(int64_t idFilial);

class TResumo {
 public:
  TResumo();
  virtual ~TResumo();
  TResumo(const TResumo&) = delete;
  TResumo& operator=(const TResumo&) = delete;

  // The calculation template: the fixed order in which the operations below run, in one transaction
  // on the host's connection. EEstouroMoeda raised inside it is given the summary's tax and period.
  void CalcularApuracao();

  // Virtual operations, in slot order.
  virtual void CalcularApuracaoAntes();
  virtual void CalcularApuracaoDepois();
  virtual void CalcularCIAP();
  virtual void CalcularCreditoPresumidoTransporte();
  virtual void CalcularInsumoCreditoIndustria();
  virtual void CalcularInsumoCreditoTransporte();
  virtual void ChamarFormDadosAcessorios();
  virtual void ExcluirImposto();
  virtual TCodigoRecolhimento GetCodigoRecolhimento();
  virtual void GravarSaldoCredor();
  virtual void GravarSaldoDevedor();
  virtual void LoadCreditos();
  virtual void LoadDebitos();
  virtual void LoadRegistrosEntrada(TRegistros& registros);
  virtual void LoadRegistrosSaida(TRegistros& registros);
  virtual void LoadSaldos();
  virtual Currency GetImpostoARecolher();
  virtual Currency GetSaldoCredor();
  virtual Currency GetSaldoDevedor();
  virtual Currency GetSomaCredito();
  virtual Currency GetSomaDebito();
  virtual TTipoResumo GetTipoResumo() const;
  // Adds what the calculation of this summary reads (establishments, dates, taxes) to what the run
  // checks before recording anything: its own establishment over its period and, for a
  // centraliser, the settlement entries of the establishments of its group.
  virtual void AcrescentarLeituras(integridade::TLeituras& leituras) const;
  virtual void GravarValoresParaContabilizacao();
  virtual void ImprimirDebitosEspecificos(int& linha, const TImprimirProc& imprimir);
  virtual void ImprimirGuiasRecolhimento(int& linha, const TImprimirProc& imprimir);
  virtual void ImprimirObservacoes(int& linha, const TImprimirProc& imprimir);
  // The other establishments' shares in the register tax of item 001 (`saidas`) or 005 of a
  // centraliser whose registers list only its own lines; none by default. The book prints them as
  // the item's details, the item's amount staying what it is.
  virtual const TDetalhamentos* GetParticipacoesCentralizadas(bool saidas) const;
  // What the deductions of the balance list take off beyond what there was to pay: the tax due
  // stops at 0 (a tax record is a payment to make, never a negative one) and this part is lost.
  virtual Currency GetDeducoesNaoAproveitadas();

  TPeriodicidade GetPeriodicidade();
  TDateTime GetVencimento(const TCodigoRecolhimento& codigo);
  bool TemCodigosGIA();
  const std::vector<std::string>& GetObservacoes();

  const TApuracaoCentralizada& GetFormaApuracao() const { return FFormaApuracao; }
  void SetFormaApuracao(const TApuracaoCentralizada& v) { FFormaApuracao = v; }
  const std::string& GetCodImposto() const { return FCodImposto; }
  void SetCodImposto(std::string v) { FCodImposto = std::move(v); }
  TResumoCampos& GetCredito() { return *FCredito; }
  TResumoCampos& GetDebito() { return *FDebito; }
  TResumoCampos& GetSaldo() { return *FSaldo; }
  TDateTime GetDataFim() const { return FDataFim; }
  void SetDataFim(TDateTime v) { FDataFim = v; }
  TDateTime GetDataInicio() const { return FDataInicio; }
  void SetDataInicio(TDateTime v) { FDataInicio = v; }
  bool GetDeveCalcularCIAP() const { return FDeveCalcularCIAP; }
  void SetDeveCalcularCIAP(bool v) { FDeveCalcularCIAP = v; }
  uint8_t GetEnquadramento() const { return FEnquadramento; }
  void SetEnquadramento(uint8_t v) { FEnquadramento = v; }
  const TFilial& GetFilial() const { return FFilial; }
  void SetFilial(const TFilial& v) { FFilial = v; }
  void SetPeriodicidade(TPeriodicidade v) { FPeriodicidade = v; }
  bool GetSolicitarDadosAcessorios() const { return FSolicitarDadosAcessorios; }
  void SetSolicitarDadosAcessorios(bool v) { FSolicitarDadosAcessorios = v; }
  int32_t GetTpImposto() const { return FTpImposto; }
  void SetTpImposto(int32_t v) { FTpImposto = v; }
  bool GetDetalharCfopPorSufixo() const { return FDetalharCfopPorSufixo; }
  void SetDetalharCfopPorSufixo(bool v) { FDetalharCfopPorSufixo = v; }
  const TCodigoRecolhimento& GetCodigoRecolhimentoCache() const { return FCodigoRecolhimento; }
  void SetCodigoRecolhimento(const TCodigoRecolhimento& v) { FCodigoRecolhimento = v; }

 protected:
  // Fills the register with the rows of a register query (CFOP, DESCRICAO and the five sums).
  void CarregarRegistros(const std::string& sql, TRegistros& registros);
  // The register of the period by full CFOP or by CFOP without suffix, as DetalharCfopPorSufixo
  // asks: the query with suffix takes (establishment, start, end, extras...), the grouped one the
  // suffix zeros first.
  void CarregarRegistros(const char* sqlComSufixo, const char* sqlAgrupado, TRegistros& registros,
                         const std::vector<std::string>& extras = {});
  // The loads of the three line lists, with or without the settlement entries (the registers are
  // read in every case): a small business centralised by another leaves its entries to the
  // centraliser.
  void CarregarDebitos(bool lancamentos);
  void CarregarCreditos(bool lancamentos);
  void CarregarSaldos(bool lancamentos);
  // Records the tax due of the period (GetImpostoARecolher) with the payment code and due date of
  // GetCodigoRecolhimento: the tax record of the regimes that record no details.
  void GravarImpostoARecolher();
  // The payment code row configured for the establishment (ES02_CFG kind "2" for the regular ICMS,
  // "7" for ICMS-ST) in force over the period; none when there is none.
  std::optional<TCodigoRecolhimentoConfigurado> LerCodigoRecolhimentoConfigurado();
  // What a small business reads besides the base: its revenue from `desde` on (the start of the year
  // or of the semester) and, with `empresa`, the documents of the establishments of its company (of
  // the state `uf` only, when named) that its company-wide sums read.
  void AcrescentarLeiturasDesde(integridade::TLeituras& leituras, TDateTime desde, bool empresa,
                                const std::string& uf = "") const;
  // The zeros of the CFOP suffix ("000" for a three-digit suffix).
  static std::string ZerosSufixoCfop();
  // Prints the payment guides of a guide query: code and description, due date and amount.
  void ImprimirGuias(const std::string& sql, int& linha, const TImprimirProc& imprimir);
  // The same for a guide query of the recorded taxes of the period: company, establishment, tax,
  // start and end of the summary, then the state given.
  void ImprimirGuiasDoPeriodo(const char* sqlGuias, const std::string& uf, int& linha, const TImprimirProc& imprimir);
  // The specific debits of a query of them (CODIGOREC, DESCRICAO, VENCIMENTO as text, VALOR) filled
  // with the establishment, tax, start and end: a title when there is any, one guide line each and
  // a blank line after; `semDescricao` stands in for a null description.
  void ImprimirListaDebitosEspecificos(const char* sqlDebitos, const std::string& semDescricao, int& linha,
                                       const TImprimirProc& imprimir);
  // The guides of the period in the establishment's state, then the specific debits: the guide
  // list of the regular regimes.
  void ImprimirGuiasDoEstabelecimento(const char* sqlGuias, int& linha, const TImprimirProc& imprimir);
  // One line of a guide or specific-debit list: the text at column 6, cut to end a blank before
  // the due date at column 39; the date (none when 0 or less); the amount at column 52.
  static void ImprimirLinhaGuia(int& linha, const TImprimirProc& imprimir, const std::string& texto,
                                TDateTime vencimento, Currency valor);
  // A content of the state return's detail rows read as an amount / a whole number; 0 when it is
  // not one (the rows are typed by users as well).
  static Currency LerValorGia(const std::string& conteudo);
  static int32_t LerInteiroGia(const std::string& conteudo);
  // The guide-list line of a tax postponed to the next period (RS): its text and the amount.
  static void ImprimirValorPostergado(int& linha, const TImprimirProc& imprimir, Currency valor);
  // The five accounting values with the descriptions given, in the order of their entry types
  // 54, 55, 52, 56, 57; the auxiliary record of the debit-balance value carries `auxSaldoDevedor`.
  void GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor);
  // The same with the credit balance given (a regime that posts another balance than it carries).
  void GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor,
                              Currency saldoCredor);
  // The same with the credit and debit totals given (a regime whose tax is not the registers').
  void GravarValoresContabeis(const std::vector<std::string>& descricoes, const std::string& auxSaldoDevedor,
                              Currency totalCreditos, Currency totalDebitos, Currency saldoCredor);
  // The descriptions of the five values of the regular ICMS.
  static const std::vector<std::string>& DescricoesContabeisICMS();
  // The line of that code, added at the end with the description and sign given when missing.
  static TResumoCampo* LocalizarOuAdicionar(TResumoCampos& campos, int32_t codigo, const std::string& descricao,
                                            int8_t sinal);
  static void AdicionarDetalhe(TResumoCampo& linha, const std::string& codigo, const std::string& descricao, Currency valor);
  // The tax due as the balance lines make it, before it is kept from going below 0.
  Currency ImpostoARecolherDasLinhas();
  // Tells the user, once per calculation, which deductions the debit balance could not take.
  void AvisarDeducoesNaoAproveitadas();

  TApuracaoCentralizada FFormaApuracao;
  std::string FCodImposto;
  std::unique_ptr<TResumoCampos> FCredito;
  TDateTime FDataFim = 0, FDataInicio = 0;
  std::unique_ptr<TResumoCampos> FDebito;
  bool FDeveCalcularCIAP = false;
  uint8_t FEnquadramento = 0;
  TFilial FFilial;
  std::unique_ptr<std::vector<std::string>> FObservacoes;
  TPeriodicidade FPeriodicidade = 0;
  std::unique_ptr<TResumoCampos> FSaldo;
  bool FSolicitarDadosAcessorios = true;
  int32_t FTpImposto = 0;
  bool FDetalharCfopPorSufixo = false;
  TCodigoRecolhimento FCodigoRecolhimento;
};

// Name of a summary type as written in code ("trNormalRS") and the class that settles it.
std::string NomeTipoResumo(TTipoResumo t);
std::string ClasseTipoResumo(TTipoResumo t);
