#pragma once
// Terminal interaction: messages go to standard error; questions and dialogs are asked on the
// terminal when standard input is one, otherwise they take their default and say so.
#include "host/interacao/interacao.h"

class TInteracaoTerminal : public TInteracao {
 public:
  TInteracaoTerminal();
  void ExibirMensagem(const std::string& texto, TTipoMensagem tipo) override;
  int ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo, const std::vector<TBotao>& botoes,
                                  TBotao padrao, const std::string& titulo,
                                  const std::vector<std::string>& legendas) override;
  bool PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) override;
  bool EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos,
                   TTeclasConfirmacao teclas = {}) override;

 private:
  bool tty_;
};
