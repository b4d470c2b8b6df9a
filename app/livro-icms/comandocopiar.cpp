#include "app/livro-icms/comandocopiar.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include "forms/pedidoapuracao.h"
#include "host/banco/conexao.h"
#include "host/banco/copia.h"
#include "host/banco/registrosapuracao.h"
#include "host/banco/vincular.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "regimes/normal/apuracaonormalrs.h"

namespace {

std::string Nome(const std::string& alvo) { return banco::TBanco::SemSenha(alvo); }

// The target, created when missing; refused when it holds an office already.
std::unique_ptr<TQDConnection> AbrirDestino(const std::string& alvo, bool& criado) {
  bool existe = false;
  if (banco::TBanco::EhServidor(alvo)) {
    try {
      existe = banco::TBanco(alvo, banco::kEscrita).tableExists("HS_VERSAO");
    } catch (const banco::EMotor& e) {
      throw EBancoDados("Não foi possível conectar ao destino " + Nome(alvo) + ": " + e.what());
    }
  } else {
    existe = std::filesystem::exists(alvo);
  }
  criado = !existe;
  if (criado) return TQDConnection::Criar(alvo);
  auto c = TQDConnection::Abrir(alvo);
  const banco::TTabelaComDados dados = banco::DadosDoEscritorio(*c);
  if (!dados.Tabela.empty())
    throw EBancoDados("O destino " + Nome(alvo) + " já tem dados (tabela " + dados.Tabela + ", " + std::to_string(dados.Linhas) +
                      " linha(s)): a cópia só grava num banco novo ou vazio. Nada foi gravado.");
  return c;
}

// The month of the establishment's latest document, to the end of the settlement period it begins.
TPedidoApuracao PedidoDeConferencia(TQDConnection& c, int64_t idFilial, const std::string& inicio, const std::string& fim) {
  TPedidoApuracao p;
  p.IdFilial = idFilial;
  p.DataInicio = inicio;
  p.DataFim = fim;
  if (!inicio.empty()) return p;
  banco::TComando q(c.Db(), "SELECT MAX(D) FROM (SELECT MAX(DATAEMISSAO) AS D FROM ES02_SAIDA WHERE IDFILIAL = ?1"
                            " UNION ALL SELECT MAX(DATAENTRADA) AS D FROM ES02_ENTRADA WHERE IDFILIAL = ?1)");
  banco::Vincular(q, idFilial);
  const std::string ultima = q.executeStep() && !q.getColumn(0).isNull() ? q.getColumn(0).getString() : std::string();
  if (ultima.size() < 10) return p;
  p.DataInicio = ultima.substr(0, 8) + "01";
  TDateTime d = 0;
  TentarLerData(p.DataInicio, d);
  TInteracaoRoteirizada interacao;
  THost host(c, interacao);
  p.DataFim = DataISO(GFuncoes->IncPeriodo(d, GFuncoes->GetPeriodicidadeICMS(idFilial, d)));
  return p;
}

// The records the settlement leaves, read before its transaction is rolled back.
std::string ApurarSemGravar(TQDConnection& c, const TPedidoApuracao& p) {
  TInteracaoRoteirizada interacao;
  GPostergarImposto = piPerguntar;
  TTransacao rascunho(c);
  THost host(c, interacao);
  TExecucaoApuracao execucao(c, p);
  execucao.Calcular();
  return banco::RegistrosDaApuracao(c.Db(), p.IdFilial);
}

size_t Linhas(const std::string& registros) {
  size_t n = 0;
  for (size_t p = 0; (p = registros.find('\n', p)) != std::string::npos; ++p)
    if (p + 1 < registros.size() && registros[p + 1] != '#') ++n;
  return n;
}

}  // namespace

TComandoCopiar::TComandoCopiar(CLI::App& db) {
  copiar_ = db.add_subcommand("copiar",
                              "Copia um escritório para outro banco (arquivo SQLite ou postgresql://...), confere as "
                              "linhas de cada tabela e uma apuração nos dois.");
  copiar_->add_option("--de", de_, "Banco de origem: arquivo SQLite ou postgresql://...")->required();
  copiar_->add_option("--para", para_,
                      "Banco de destino: arquivo SQLite a criar, ou postgresql://... de um banco sem as tabelas "
                      "(ou com as tabelas vazias).")
      ->required();
  copiar_->add_option("--estabelecimento", idFilial_,
                      "IDFILIAL do estabelecimento apurado na conferência (padrão: o de menor IDFILIAL).")
      ->check(CLI::PositiveNumber);
  auto* ini = copiar_->add_option("--inicio", inicio_,
                                  "Data inicial da apuração de conferência (padrão: o mês do último documento do "
                                  "estabelecimento).");
  auto* fim = copiar_->add_option("--fim", fim_, "Data final da apuração de conferência.");
  ini->needs(fim);
  fim->needs(ini);
}

bool TComandoCopiar::Executar(int& codigo) {
  if (!copiar_->parsed()) return false;
  codigo = Copiar();
  return true;
}

int TComandoCopiar::Copiar() {
  if (de_ == para_) throw std::runtime_error("A origem e o destino são o mesmo banco: " + Nome(de_));
  auto origem = TQDConnection::Abrir(de_);
  bool criado = false;
  auto destino = AbrirDestino(para_, criado);
  std::cout << "Cópia de " << Nome(de_) << " para " << Nome(para_) << "\n\n";
  std::cout << texto::PreencherDireita("Tabela", 24) << texto::PreencherEsquerda("Origem", 12)
            << texto::PreencherEsquerda("Destino", 12) << "\n";
  bool iguais = true;
  // A file this copy created goes with a copy that did not complete; a server's schema stays, empty.
  auto desfazer = [&] {
    if (!criado || banco::TBanco::EhServidor(para_)) return;
    destino.reset();
    std::filesystem::remove(para_);
  };
  try {
    TTransacao t(*destino);
    banco::CopiarEscritorio(origem->Db(), destino->Db(), [&](const std::string& tabela, int64_t) {
      const int64_t a = banco::ContarLinhas(origem->Db(), tabela), b = banco::ContarLinhas(destino->Db(), tabela);
      iguais = iguais && a == b;
      std::cout << texto::PreencherDireita(tabela, 24) << texto::PreencherEsquerda(std::to_string(a), 12)
                << texto::PreencherEsquerda(std::to_string(b), 12) << (a == b ? "" : "  DIFERENTE") << "\n";
    });
    if (iguais) t.Confirmar();
  } catch (...) {
    desfazer();
    throw;
  }
  if (!iguais) {
    desfazer();
    std::cout << "\nAs contagens diferem: a cópia foi desfeita e nada foi gravado em " << Nome(para_) << ".\n";
    return 4;
  }
  std::cout << "\nContagens iguais em todas as tabelas; cópia gravada em " << Nome(para_) << ".\n";
  return Conferir(*origem, *destino);
}

int TComandoCopiar::Conferir(TQDConnection& origem, TQDConnection& destino) {
  int64_t filial = idFilial_;
  if (filial == 0) {
    banco::TComando q(origem.Db(), "SELECT MIN(IDFILIAL) FROM SC00_FILIAL");
    if (q.executeStep() && !q.getColumn(0).isNull()) filial = q.getColumn(0).getInt64();
  }
  if (filial == 0) {
    std::cout << "Nenhum estabelecimento no escritório: não há apuração a conferir.\n";
    return 0;
  }
  const TPedidoApuracao p = PedidoDeConferencia(origem, filial, inicio_, fim_);
  if (p.DataInicio.empty()) {
    std::cout << "O estabelecimento " << filial << " não tem documentos: informe --inicio e --fim para conferir uma apuração.\n";
    return 0;
  }
  const TIntervalo datas = ValidarDatas(p.DataInicio, p.DataFim);
  const std::string a = ApurarSemGravar(origem, p), b = ApurarSemGravar(destino, p);
  banco::NumerarAposOMaior(destino.Db());
  std::cout << "Conferência: estabelecimento " << filial << " apurado de " << DataBR(datas.Inicio) << " a " << DataBR(datas.Fim)
            << " nos dois bancos, sem gravar: ";
  if (a == b) {
    std::cout << "registros iguais (" << Linhas(a) << " linhas).\n";
    return 0;
  }
  size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  const size_t linha = a.rfind('\n', i) == std::string::npos ? 0 : a.rfind('\n', i) + 1;
  std::cout << "registros DIFERENTES.\n  origem:  " << a.substr(linha, a.find('\n', linha) - linha)
            << "\n  destino: " << b.substr(linha, b.find('\n', linha) - linha) << "\n";
  return 4;
}
