#pragma once
// The host interface object (QDInterface): user messages (through the run's interaction), rounding,
// due dates, the host's print settings and the numbering of definitive books.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/base/datas.h"
#include "host/base/fracao.h"
#include "host/base/moeda.h"
#include "host/interacao/interacao.h"

class TQDConnection;

// What the host knows of one definitive book (for its terms).
struct TLivroRegistrado {
  TDateTime PrimeiraData = 0, UltimaData = 0;  // start of the first and of the last period printed
  int32_t UltimaPagina = 0;                    // 0: nothing recorded for the book
  int32_t IdConfiguracao = 0;
  bool Encerrado = false;  // full by the pages per book, or a later book exists
};

// A definitive print that would number a book wrongly (a folha another period holds, the opening
// term's folha, a number past five digits, a period before one the book holds, the other print
// mode); the message names the book, the folha and the period.
class ENumeracaoLivro : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TSignatario {
  std::string Nome, Qualificacao, CPF;  // the accountant's Qualificacao holds the CRC number
};
struct TSignatarios {
  TSignatario Representante, Contador;
};

// Due date of a payment code's rule (ES02_CODIGOREC TPDIAVENCTO, DIAVENCTO) for a period ending on
// `fim`; what CalcularVencimento answers.
TDateTime VencimentoDaRegra(int32_t tpDiaVencto, TDateTime fim, int32_t diaVencto);

class TQDInterface {
 public:
  TQDInterface(TQDConnection& conexao, TInteracao& interacao) : c_(conexao), interacao_(interacao) {}
  virtual ~TQDInterface() = default;

  void ExibirMensagem(const std::string& texto, int tipo);
  int ExibirMensagemPersonalizada(const std::string& texto, int tipo, const std::vector<TBotao>& botoes, TBotao padrao,
                                  const std::string& titulo, const std::vector<std::string>& legendas);
  TInteracao& Interacao() { return interacao_; }

  // Rounded to `decimais` decimals (half away from zero); the first and last integers are kept for
  // the host's signature and not used.
  Currency Arredondar(int32_t, int32_t decimais, Currency valor, int32_t);
  // "TRUNCAR" cuts, "MATEMATICO" rounds halves away from zero, "PAR" rounds halves to the even
  // digit; any other mode is an error.
  Currency ArredondarModo(Currency valor, const std::string& modo, int32_t decimais);
  // The same for exact fractions (a rate, an amount over the fiscal unit), to 0..30 decimals; the
  // result stays exact, so that a rate of five decimals keeps them. Throws std::invalid_argument
  // for other decimals or another mode.
  TFracao Arredondar(int32_t, int32_t decimais, const TFracao& valor, int32_t);
  TFracao ArredondarModo(const TFracao& valor, const std::string& modo, int32_t decimais);

  // Due date of a payment code's rule for the period (rules in docs/servicos.md).
  virtual TDateTime CalcularVencimento(int64_t idFilial, int32_t tpDiaVencto, TDateTime ini, TDateTime fim, int32_t diaVencto);

  // Host print settings (HS_CONFIG): FRENTE_VERSO (2 = double-sided by default) and RODAPE (1 date
  // and time always, 3 optional, other never).
  int32_t GetConfigFrenteVerso();
  int32_t GetConfigRodape();
  std::string GetConfig(const std::string& chave, const std::string& padrao);

  // Book numbering of definitive books (docs/servicos.md). Pages are counted from 1 (the opening
  // term); a row of HS_NUMERACAOLIVRO holds the first and last page a period printed.
  int32_t ObterIdConfiguracaoLivro(int64_t idFilial, int32_t tipo, TDateTime ini, TDateTime fim, const std::string& tabela);
  void ObterNumeracaoLivro(int64_t idFilial, int32_t idConfiguracao, TDateTime data, const std::string& modulo,
                           int32_t& livro, int32_t& pagina);
  // `frenteVerso`: 2 double-sided (PAGINA), 1 single-sided (FOLHA), 0 not known; the book keeps
  // the mode of its first print.
  void GravarNumeracaoLivro(int64_t idFilial, int32_t livro, int32_t paginaInicial, int32_t pagina,
                            int32_t idConfiguracao, const std::string& modulo, TDateTime data, int32_t frenteVerso = 0);
  // Throws ENumeracaoLivro unless a definitive print of the period beginning at `data` may go into
  // book `livro` from folha `pagina` in the mode `frenteVerso` (as above). Called inside the
  // print's write transaction, so that nothing is recorded between the check and the record.
  void VerificarNumeracaoLivro(int64_t idFilial, const std::string& modulo, int32_t livro, int32_t pagina,
                               TDateTime data, int32_t frenteVerso);
  // Pages per book; 0 or less: no limit.
  int32_t ObterPaginasLivro(int32_t idConfiguracao);
  TLivroRegistrado ObterLivroRegistrado(int64_t idFilial, const std::string& modulo, int32_t livro);
  TSignatarios ObterSignatarios(int64_t idFilial, TDateTime data);

 private:
  TQDConnection& c_;
  TInteracao& interacao_;
};
