#include "host/interacao/interacaoroteirizada.h"

#include <fstream>

#include "host/base/texto.h"

int ResultadoModal(TBotao b) {
  switch (b) {
    case TBotao::Ok: return mrOk;
    case TBotao::Cancelar: return mrCancel;
    case TBotao::Sim: return mrYes;
    case TBotao::Nao: return mrNo;
    case TBotao::NaoParaTodos: return mrNoToAll;
    case TBotao::SimParaTodos: return mrYesToAll;
  }
  return mrCancel;
}

std::string NormalizarLegenda(const std::string& legenda) {
  std::string s;
  for (char c : legenda)
    if (c != '&') s.push_back(c);
  return texto::Maiusculas(texto::SemAcento(texto::Aparar(s)));
}

namespace {
const char* NomeTipo(TTipoMensagem t) {
  switch (t) {
    case TTipoMensagem::Aviso: return "aviso";
    case TTipoMensagem::Erro: return "erro";
    case TTipoMensagem::Informacao: return "informação";
    case TTipoMensagem::Confirmacao: return "confirmação";
  }
  return "mensagem";
}

std::string UmaLinha(std::string s) {
  for (auto& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}
}  // namespace

TInteracaoRoteirizada::TInteracaoRoteirizada(std::vector<std::string> respostas) : respostas_(std::move(respostas)) {}

TInteracaoRoteirizada TInteracaoRoteirizada::DeArquivo(const std::string& caminho) {
  std::ifstream f(caminho);
  if (!f) throw EArquivoRespostas("Não foi possível ler o arquivo de respostas: " + caminho);
  std::vector<std::string> r;
  std::string linha;
  int n = 0;
  while (std::getline(f, linha)) {
    ++n;
    std::string t = texto::Aparar(linha);
    if (t.empty() || t[0] == '#') continue;
    if (t.find('\0') != std::string::npos || texto::ParaU32(t).find(U'\uFFFD') != std::u32string::npos)
      throw EArquivoRespostas(caminho + ":" + std::to_string(n) + ": texto que não é UTF-8 válido");
    if (t.find('=') != std::string::npos) {  // a dialog answer: every piece must be campo=valor
      size_t ini = 0;
      while (ini < t.size()) {
        size_t fim = t.find(';', ini);
        if (fim == std::string::npos) fim = t.size();
        std::string par = texto::Aparar(t.substr(ini, fim - ini));
        if (!par.empty() && (par.find('=') == std::string::npos || par.find('=') == 0))
          throw EArquivoRespostas(caminho + ":" + std::to_string(n) + ": esperado campo=valor em \"" + par + "\"");
        ini = fim + 1;
      }
    }
    r.push_back(t);
  }
  return TInteracaoRoteirizada(std::move(r));
}

bool TInteracaoRoteirizada::ProximaResposta(std::string& r) {
  if (proxima_ >= respostas_.size()) return false;
  r = respostas_[proxima_++];
  return true;
}

void TInteracaoRoteirizada::ExibirMensagem(const std::string& texto, TTipoMensagem tipo) {
  registro_.push_back(std::string("[") + NomeTipo(tipo) + "] " + UmaLinha(texto));
}

int TInteracaoRoteirizada::ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem, const std::vector<TBotao>& botoes,
                                                       TBotao padrao, const std::string& titulo,
                                                       const std::vector<std::string>& legendas) {
  auto legenda = [&](size_t i) { return i < legendas.size() ? legendas[i] : std::string(); };
  std::string r;
  int resultado = ResultadoModal(padrao);
  std::string escolhida;
  for (size_t i = 0; i < botoes.size(); ++i)
    if (botoes[i] == padrao) escolhida = legenda(i);
  bool usouPadrao = true;
  if (ProximaResposta(r)) {
    std::string n = NormalizarLegenda(r);
    bool achou = false;
    for (size_t i = 0; i < botoes.size() && !achou; ++i) {
      if (NormalizarLegenda(legenda(i)) == n) {
        resultado = ResultadoModal(botoes[i]);
        escolhida = legenda(i);
        achou = true;
      }
    }
    for (size_t i = 0; i < botoes.size() && !achou; ++i) {
      TBotao b = botoes[i];
      if ((n == "SIM" && b == TBotao::Sim) || (n == "NAO" && b == TBotao::Nao) || (n == "OK" && b == TBotao::Ok) ||
          (n == "CANCELAR" && b == TBotao::Cancelar) || (n == "TODOS" && b == TBotao::SimParaTodos) ||
          (n == "NENHUM" && b == TBotao::NaoParaTodos)) {
        resultado = ResultadoModal(b);
        escolhida = legenda(i).empty() ? r : legenda(i);
        achou = true;
      }
    }
    if (!achou) throw EArquivoRespostas("Resposta \"" + r + "\" não corresponde a nenhum botão da pergunta \"" + UmaLinha(texto) + "\"");
    usouPadrao = false;
  }
  registro_.push_back("[pergunta] " + (titulo.empty() ? "" : titulo + ": ") + UmaLinha(texto) + " => " +
                      NormalizarLegenda(escolhida) + (usouPadrao ? " (padrão, sem resposta)" : ""));
  return resultado;
}

bool TInteracaoRoteirizada::PerguntarSimNao(const std::string& texto, const std::string& titulo, bool padraoSim) {
  int r = ExibirMensagemPersonalizada(texto, TTipoMensagem::Confirmacao, {TBotao::Sim, TBotao::Nao},
                                      padraoSim ? TBotao::Sim : TBotao::Nao, titulo, {"&Sim", "&Não"});
  return r == mrYes;
}

bool TInteracaoRoteirizada::EditarDados(const std::string& titulo, std::vector<TCampoDialogo>& campos, TTeclasConfirmacao) {
  std::string r;
  if (!ProximaResposta(r)) {
    registro_.push_back("[dados] " + titulo + " => confirmado sem alterações (sem resposta)");
    return true;
  }
  if (NormalizarLegenda(r) == "CANCELAR") {
    registro_.push_back("[dados] " + titulo + " => cancelado");
    return false;
  }
  std::vector<TCampoDialogo> novos = campos;
  size_t ini = 0;
  while (ini < r.size()) {
    size_t fim = r.find(';', ini);
    if (fim == std::string::npos) fim = r.size();
    std::string par = texto::Aparar(r.substr(ini, fim - ini));
    ini = fim + 1;
    if (par.empty()) continue;
    size_t eq = par.find('=');
    if (eq == std::string::npos) throw EArquivoRespostas("Resposta de diálogo sem campo=valor: \"" + par + "\"");
    std::string nome = NormalizarLegenda(par.substr(0, eq));
    bool achou = false;
    for (auto& c : novos) {
      std::string leg = NormalizarLegenda(c.Legenda);
      if (!leg.empty() && leg.back() == ':') leg.pop_back();
      if (NormalizarLegenda(c.Nome) == nome || leg == nome) {
        if (!c.Habilitado)
          throw EArquivoRespostas("O campo \"" + par.substr(0, eq) + "\" do diálogo \"" + titulo + "\" está desabilitado");
        c.Valor = texto::Aparar(par.substr(eq + 1));
        achou = true;
      }
    }
    if (!achou) throw EArquivoRespostas("O diálogo \"" + titulo + "\" não tem o campo \"" + par.substr(0, eq) + "\"");
  }
  campos = std::move(novos);
  registro_.push_back("[dados] " + titulo + " => " + r);
  return true;
}
