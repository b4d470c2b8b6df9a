#pragma once
// The host's fiscal services (GFuncoes): establishment data, periods, classification and regime,
// centralisation, ST inscriptions, payment codes, entry kinds, and the recording of taxes and
// settlement entries. Everything is read from and written to the host database; every rule the
// settlement does not fix itself is documented in docs/servicos.md.
//
// Recording is idempotent: writing the same settlement again replaces what the earlier write
// stored (same establishment, tax, period and entry type/description) and never duplicates it.
// Entries typed by users (GERADO = 0) and tax records of another kind (TR04_IMPOSTO.TP 2) are never
// replaced. Each write is one transaction (a savepoint inside the summary's, when there is one).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/base/datas.h"
#include "host/base/fracao.h"
#include "host/base/moeda.h"
#include "host/servicos/formula.h"
#include "host/servicos/tipos.h"

class TQDConnection;
struct TCampoEdicao;
class TQDFormRavelPadraoResult;
struct TCampoDialogo;

// The state has no fiscal unit (HS_UPF) in force at the date. A regime that cannot settle without
// it lets it end the run; one that can go on (the RS small business tells the user and settles
// what does not depend on it) catches this type and no other failure.
class EUPFNaoCadastrada : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TApuracaoFuncoes {
 public:
  explicit TApuracaoFuncoes(TQDConnection& conexao) : c_(conexao) {}
  virtual ~TApuracaoFuncoes() = default;

  // Throws std::runtime_error "Estabelecimento não encontrado: N" for an unknown id.
  virtual TFilial GetDadosFilial(int64_t idFilial);
  virtual TPeriodicidade GetPeriodicidadeICMS(int64_t idFilial, TDateTime data);
  virtual TDateTime IncPeriodo(TDateTime data, TPeriodicidade p);
  virtual TDateTime DecPeriodo(TDateTime data, TPeriodicidade p);
  virtual TTipoEnquadramento GetEnquadramentoFilial(const TFilial& f, TDateTime ini, TDateTime fim);
  virtual TApuracaoCentralizada GetFormaApuracao(const TFilial& f, TDateTime ini, TDateTime fim);
  virtual uint8_t GetRegimeApuracaoSC(const TFilial& f, TDateTime ini, TDateTime fim);
  virtual TInscricoesST GetInscricoesST(const TFilial& f, TDateTime ini, TDateTime fim, uint8_t tipoApuracao);
  virtual std::string GetCodigoICMSST(const std::string& uf);
  virtual TCodigoRecolhimento GetCodigoRecolhimentoByID(int32_t idCodigoRec);
  virtual std::vector<std::string> GetIDsFilialByFilialCfg(int32_t idEmpresa, int32_t chave1, int32_t chave2,
                                                           int32_t chave3, const std::string& tipos,
                                                           TDateTime ini, TDateTime fim);

  // Entry kinds (ordinals 0..9) and what the host maps them to.
  virtual int32_t LancamentoApurToInt(TLancamentoApur k);
  virtual int32_t LancamentoApurToCodOficialLivro(TLancamentoApur k);
  virtual std::string LancamentoApurToString(TLancamentoApur k);
  virtual int8_t GetSinalLancamentoApur(TLancamentoApur k);

  // Host calculations that store their own settlement entries.
  virtual void CalcularCIAP(const TFilial& f, TDateTime ini, TDateTime fim, TPeriodicidade p);
  virtual void CalcularCreditoPresumidoTransporte(const TFilial& f, TDateTime ini, TDateTime fim);
  virtual void CalcularInsumoCreditoIndustria(const TFilial& f, TDateTime ini, TDateTime fim);
  virtual void CalcularInsumoCreditoTransporte(const TFilial& f, TDateTime ini, TDateTime fim);

  virtual void ExcluirImposto(const TFilial& f, const std::string& imposto, TDateTime ini, TDateTime fim);
  // A negative amount is refused (std::invalid_argument): a tax record is a payment to make.
  virtual void GravarImposto(int32_t idEmpresa, int64_t idFilial, const std::string& imposto,
                             const std::string& codigoRec, TDateTime ini, TDateTime fim, TDateTime vencimento,
                             Currency valor, const std::vector<std::string>& campos,
                             const std::vector<std::string>& conteudos);
  virtual int64_t GravarLctoApur(int64_t idFilial, int32_t tipo, int32_t tpImposto, const std::string& imposto,
                                 int64_t idLctoApurCod, Currency valor, TDateTime data, TDateTime dataFim,
                                 const std::string& descricao, int32_t origem, int64_t idOrigem);
  virtual void GravarLctoApurAux(int64_t idLctoApur, int32_t tp, const std::string& informacao);
  virtual int64_t GetIDLctoApurCod(const std::string& uf, int32_t tpImposto, int32_t tpLancamento, int32_t padrao);
  virtual int64_t GetIDLctoApurCod(const std::string& uf, const std::string& codigo, int32_t tpImposto,
                                   int32_t tpLancamento, int32_t padrao);
  // The latest HS_UPF value of the state not after the date; EUPFNaoCadastrada when there is none.
  virtual Currency GetUPF(const std::string& uf, TDateTime data);
  virtual std::string FormatarFloat(Currency valor);

  // --- State returns (GIA), docs/servicos.md "GIA" -----------------------------------------------
  // Id of the establishment's return of that month, created when it does not exist yet. `tipo` is
  // the return's kind (0 normal); `diaInicio`/`diaFim` the days it covers (0 and 0: the month; 1 and
  // the month's last day are the same return). Throws std::invalid_argument for a month or days
  // that do not exist.
  virtual int32_t GetIDGia(int64_t idFilial, int32_t ano, int32_t mes, int32_t tipo, int32_t diaInicio, int32_t diaFim);
  // Stores one detail row (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO), replacing its content when the row
  // exists; the list form stores one row per field name with its content (lists of equal length,
  // else std::invalid_argument) and leaves the other rows of the code alone. An unknown GIA id is
  // an error.
  virtual void GravarGiaDet(int32_t idGia, const std::string& tpRegistro, const std::string& codigo,
                            const std::string& nomeCampo, const std::string& conteudo);
  virtual void GravarGiaDet(int32_t idGia, const std::string& tpRegistro, const std::string& codigo,
                            const std::vector<std::string>& nomesCampos, const std::vector<std::string>& conteudos);

  // --- Revenue by CFOP formulas, docs/servicos.md "CFOP formulas" ---------------------------------
  // Each document item of the interval (entries by DATAENTRADA, exits by DATAEMISSAO) is evaluated
  // with the formula of number `formula` that ES02_CFOPCFGUF holds for its own CFOP in the state
  // of `f` (also for the establishments of other states in a company-wide sum); items whose CFOP
  // has no such row, or a blank formula, add nothing. A formula that cannot be evaluated throws
  // EFormulaCFOP (host/servicos/formula.h); a CFOP with two rows of the number,
  // EDadosInvalidos (host/banco/integridade.h).
  //
  // The establishment's entries and exits, both added, exact.
  virtual TFracao CalcularValorFormulaCFOP(const TFilial& f, int32_t formula, TDateTime ini, TDateTime fim);
  // Services revenue of the establishment in the interval: the accounting value of the items of its
  // service documents (ES02_SERVICO / ES02_SERVICODET), as the RS small business counts it.
  virtual Currency GetSomaReceitaServicos(const TFilial& f, TDateTime ini, TDateTime fim);
  // Formula `formula` summed over the documents of the scope (0 the company, 1 the establishment,
  // 2 the company's establishments in the state of `f`), entries times `fatorEntradas` and exits
  // times `fatorSaidas` (-1, 0 or +1; 0 does not read that side), rounded to ten-thousandths once,
  // on the total.
  virtual Currency GetSomaReceitaFormulaCFOPUF(const TFilial& f, int32_t formula, TDateTime ini, TDateTime fim,
                                               TTipoSomaReceita tipo, int32_t fatorEntradas, int32_t fatorSaidas);

  // --- Configuration and bookkeeping codes ---------------------------------------------------------
  // The establishment's HS_FILIALCFG row of keys (chave1, chave2, chave3) in force over the whole
  // interval, the latest start first; Informacao1 is its TEXTO. Kinds in use: (2, 7, 3), the
  // CRESCE-RN band (docs/tabelas.md).
  virtual TFilialCfg GetFilialCfg(int64_t idFilial, int32_t chave1, int32_t chave2, int32_t chave3, TDateTime ini,
                                  TDateTime fim);
  // Id of the digital-bookkeeping detail code of the state in force at the date (HS_DETALHEEFD);
  // 0 when none. `tabela` is the code table (12: credit-balance detail codes).
  virtual int32_t GetIdDetalheRs(const std::string& codigo, const std::string& uf, int32_t tabela, TDateTime data);

  // Whether the field is the last enabled input of its dialog: Enter there confirms the dialog.
  bool EhUltimoComponenteAtivo(const TCampoEdicao& campo, const TQDFormRavelPadraoResult& dialogo) const;
  // The same for the field at `indice` of a dialog as the run's interaction receives it.
  bool EhUltimoComponenteAtivo(size_t indice, const std::vector<TCampoDialogo>& campos) const;

  // Print-job record of a finished book.
  virtual void SalvaPaginasImpressas(int64_t idFilial, int32_t modulo, int32_t paginas, int32_t definitiva,
                                     int32_t frenteVerso, const std::string& impressora,
                                     const std::string& configuracao, int32_t modelo);

 protected:
  TQDConnection& c_;

 private:
  struct TTipoLancamento { int32_t tipo = 0, linha = 0; std::string descricao; int8_t sinal = 0; };
  const TTipoLancamento& Tipo(TLancamentoApur k);
  void GravarCreditoCalculado(const TFilial& f, TDateTime ini, TDateTime fim, const std::string& descricao, Currency valor);
  void CalcularCreditoPresumido(const TFilial& f, TDateTime ini, TDateTime fim, const std::string& tipo,
                                const std::string& descricao, bool saidas);
  std::vector<TTipoLancamento> tipos_;
  // Compiled CFOP formulas, kept for the host's lifetime (one run): each text is parsed once.
  TEvMacroFormula formulas_;
};
