#include "host/interacao/interacaoterminal.h"

#include <unistd.h>

#include <iostream>

#include "host/base/texto.h"
#include "host/interacao/interacaoroteirizada.h"

namespace {
std::string Legivel(std::string s) {
  for (auto& c : s)
    if (c == '\r') c = '\n';
  return s;
}
}  // namespace

TInteracaoTerminal::TInteracaoTerminal() : tty_(isatty(STDIN_FILENO) != 0) {}

void TInteracaoTerminal::ExibirMensagem(const std::string& texto, TTipoMensagem tipo) {
  const char* rotulo = tipo == TTipoMensagem::Aviso ? "Aviso" : tipo == TTipoMensagem::Erro ? "Erro" : "Informação";
  std::cerr << rotulo << ": " << Legivel(texto) << "\n";
}

int TInteracaoTerminal::ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem, const std::vector<TBotao>& botoes,
                                                    TBotao padrao, const std::string& titulo,
                                                    const std::vector<std::string>& legendas) {
  std::string padraoLeg;
  for (size_t i = 0; i < botoes.size(); ++i)
    if (botoes[i] == padrao && i < legendas.size()) padraoLeg = legendas[i];
  std::cerr << "\n" << titulo << "\n" << Legivel(texto) << "\n";
  if (!tty_) {
    std::cerr << "(sem terminal: resposta padrão \"" << NormalizarLegenda(padraoLeg) << "\")\n";
    return ResultadoModal(padrao);
  }
  for (;;) {
    for (size_t i = 0; i < botoes.size(); ++i)
      std::cerr << "  [" << i + 1 << "] " << NormalizarLegenda(i < legendas.size() ? legendas[i] : "")
                << (botoes[i] == padrao ? " (padrão)" : "") << "\n";
    std::cerr << "Escolha: " << std::flush;
    std::string r;
    if (!std::getline(std::cin, r)) return ResultadoModal(padrao);
    r = texto::Aparar(r);
    if (r.empty()) return ResultadoModal(padrao);
    try {
      size_t k = std::stoul(r);
      if (k >= 1 && k <= botoes.size()) return ResultadoModal(botoes[k - 1]);
    } catch (const std::exception&) {
      for (size_t i = 0; i < botoes.size() && i < legendas.size(); ++i)
        if (NormalizarLegenda(legendas[i]) == NormalizarLegenda(r)) return ResultadoModal(botoes[i]);
    }
    std::cerr << "Opção inválida.\n";
  }
}

bool TInteracaoTerminal::PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) {
  return ExibirMensagemPersonalizada(texto, TTipoMensagem::Confirmacao, {TBotao::Sim, TBotao::Nao},
                                     padraoSim ? TBotao::Sim : TBotao::Nao, titulo, {"&Sim", "&Não"}) == mrYes;
}

bool TInteracaoTerminal::EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos, TTeclasConfirmacao) {
  std::cerr << "\n" << titulo << "\n";
  if (!tty_) {
    std::cerr << "(sem terminal: dados confirmados como estão)\n";
    return true;
  }
  std::cerr << "(Enter mantém o valor; \"cancelar\" desiste)\n";
  std::vector<TCampoDialogo> novos = campos;
  for (auto& c : novos) {
    if (!c.Habilitado) {
      std::cerr << "  " << c.Legenda << " " << c.Valor << "\n";
      continue;
    }
    std::cerr << "  " << c.Legenda << " [" << c.Valor << "]: " << std::flush;
    std::string r;
    if (!std::getline(std::cin, r)) break;
    r = texto::Aparar(r);
    if (NormalizarLegenda(r) == "CANCELAR") return false;
    if (!r.empty()) c.Valor = r;
  }
  campos = std::move(novos);
  return true;
}
