#pragma once
// Scripted interaction: answers come from a list (an answers file) in the order the questions are
// asked; every message and question shown is recorded, so batch runs can print them and tests can
// assert on them. A question with no answer left takes its default button and the record says so.
//
// Answers file: one answer per line; blank lines and lines starting with '#' are skipped.
//   - a question is answered by a button caption ("Sim", "&Não", "Anexo VIII", "Todos") compared
//     without '&', accents and case, or by one of sim/nao/cancelar/ok;
//   - a dialog is answered by "campo=valor; campo=valor" (field names or captions) or "cancelar";
//     fields not named keep their values.
#include <stdexcept>
#include <string>
#include <vector>

#include "host/interacao/interacao.h"

class EArquivoRespostas : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TInteracaoRoteirizada : public TInteracao {
 public:
  TInteracaoRoteirizada() = default;
  explicit TInteracaoRoteirizada(std::vector<std::string> respostas);
  // Reads an answers file; throws EArquivoRespostas naming file and line when it is malformed.
  static TInteracaoRoteirizada DeArquivo(const std::string& caminho);

  void ExibirMensagem(const std::string& texto, TTipoMensagem tipo) override;
  int ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo, const std::vector<TBotao>& botoes,
                                  TBotao padrao, const std::string& titulo,
                                  const std::vector<std::string>& legendas) override;
  bool PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) override;
  bool EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos,
                   TTeclasConfirmacao teclas = {}) override;

  void AdicionarResposta(std::string r) { respostas_.push_back(std::move(r)); }
  // Every answer of the script, in order, whether used or not.
  const std::vector<std::string>& Respostas() const { return respostas_; }
  // What was shown, in order: "[aviso] texto", "[pergunta] texto => Sim (padrão)", ...
  const std::vector<std::string>& Registro() const { return registro_; }
  size_t RespostasRestantes() const { return respostas_.size() - proxima_; }

 private:
  bool ProximaResposta(std::string& r);
  std::vector<std::string> respostas_;
  size_t proxima_ = 0;
  std::vector<std::string> registro_;
};

// Caption compared the way answers are: without '&', accents and case, trimmed.
std::string NormalizarLegenda(const std::string& legenda);
