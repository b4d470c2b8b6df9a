#pragma once
// The host interface object (QDInterface): user messages (through the run's interaction), rounding,
// due dates, the host's print settings and the numbering of definitive books.
#include <cstdint>
#include <string>
#include <vector>

#include "host/base/datas.h"
#include "host/base/moeda.h"
#include "host/interacao/interacao.h"

class TQDConnection;

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
  // "TRUNCAR" cuts, "MATEMATICO" rounds; any other mode is an error.
  Currency ArredondarModo(Currency valor, const std::string& modo, int32_t decimais);

  // Due date of a payment code's rule for the period (rules in docs/servicos.md).
  virtual TDateTime CalcularVencimento(int64_t idFilial, int32_t tpDiaVencto, TDateTime ini, TDateTime fim, int32_t diaVencto);

  // Host print settings (HS_CONFIG): FRENTE_VERSO (2 = double-sided by default) and RODAPE (1 date
  // and time always, 3 optional, other never).
  int32_t GetConfigFrenteVerso();
  int32_t GetConfigRodape();
  std::string GetConfig(const std::string& chave, const std::string& padrao);

  // Book numbering of definitive books (docs/servicos.md).
  int32_t ObterIdConfiguracaoLivro(int64_t idFilial, int32_t tipo, TDateTime ini, TDateTime fim, const std::string& tabela);
  void ObterNumeracaoLivro(int64_t idFilial, int32_t idConfiguracao, TDateTime data, const std::string& modulo,
                           int32_t& livro, int32_t& pagina);
  void GravarNumeracaoLivro(int64_t idFilial, int32_t livro, int32_t paginaInicial, int32_t pagina,
                            int32_t idConfiguracao, const std::string& modulo, TDateTime data);

 private:
  TQDConnection& c_;
  TInteracao& interacao_;
};
