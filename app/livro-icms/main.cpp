// livro-icms: the command line of the ICMS settlement ledger.
//   livro-icms db criar ARQUIVO        creates an empty database with the schema
//   livro-icms db demo ARQUIVO         creates a database with the demo office
//   livro-icms apurar --db ... --filial ... --inicio ... --fim ...
#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>

#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "host/interacao/interacaoterminal.h"
#include "relatorio/extrato.h"

namespace {

struct TOpcoesComuns {
  std::string Banco;
  std::string Respostas;
};

std::unique_ptr<TInteracao> CriarInteracao(const std::string& respostas) {
  if (respostas.empty()) return std::make_unique<TInteracaoTerminal>();
  return std::make_unique<TInteracaoRoteirizada>(TInteracaoRoteirizada::DeArquivo(respostas));
}

void ImprimirRegistro(const TInteracao& i) {
  if (auto* r = dynamic_cast<const TInteracaoRoteirizada*>(&i)) {
    if (r->Registro().empty()) return;
    std::cout << "\nMensagens da apuração:\n";
    for (const auto& m : r->Registro()) std::cout << "  " << m << "\n";
  }
}

int Apurar(const TOpcoesComuns& comuns, const TPedidoApuracao& pedido) {
  auto interacao = CriarInteracao(comuns.Respostas);
  auto conexao = TQDConnection::Abrir(comuns.Banco);
  THost host(*conexao, *interacao);
  TExecucaoApuracao execucao(*conexao, pedido);
  try {
    execucao.Calcular();
  } catch (const EAbortarSilencioso&) {
    ImprimirRegistro(*interacao);
    std::cerr << "Apuração interrompida pelo usuário (aborted by the user).\n";
    return 3;
  }
  std::cout << ExtratoApuracao(execucao.Apuracao());
  ImprimirRegistro(*interacao);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Livro Registro de Apuração do ICMS (modelo P9): apuração e livro de um estabelecimento."};
  app.require_subcommand(1);

  auto* db = app.add_subcommand("db", "Cria bancos de dados do livro de ICMS.");
  db->require_subcommand(1);
  std::string arquivo;
  auto* criar = db->add_subcommand("criar", "Cria um banco de dados vazio, com o esquema.");
  criar->add_option("arquivo", arquivo, "Arquivo SQLite a criar (não pode existir).")->required();
  auto* demo = db->add_subcommand("demo", "Cria um banco com o escritório de demonstração, pronto para apurar.");
  demo->add_option("arquivo", arquivo, "Arquivo SQLite a criar (não pode existir).")->required();

  TOpcoesComuns comuns;
  TPedidoApuracao pedido;
  auto* apurar = app.add_subcommand("apurar", "Apura o ICMS de um estabelecimento, período a período, e grava os resultados.");
  apurar->add_option("--db", comuns.Banco, "Arquivo do banco de dados.")->required();
  apurar->add_option("--filial", pedido.IdFilial, "Código (IDFILIAL) do estabelecimento.")->required();
  apurar->add_option("--inicio", pedido.DataInicio, "Data inicial (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  apurar->add_option("--fim", pedido.DataFim, "Data final (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  apurar->add_option("--impostos", pedido.Impostos,
                     "Impostos: todos (padrão), icms, icms-st ou lista de códigos separados por vírgula (ex.: 2001,4019).");
  apurar->add_flag("--contabilizar", pedido.Contabilizar, "Contabiliza os valores apurados no intervalo.");
  apurar->add_flag("--ciap", pedido.CalcularCIAP, "Calcula o crédito de CIAP do ativo permanente.");
  apurar->add_flag("--detalhar-sufixo", pedido.DetalharSufixoCfop, "Detalha os CFOPs por sufixo nos registros.");
  apurar->add_option("--respostas", comuns.Respostas,
                     "Arquivo de respostas às perguntas e diálogos da apuração (uma resposta por linha).");

  CLI11_PARSE(app, argc, argv);
  try {
    if (criar->parsed()) {
      TQDConnection::Criar(arquivo);
      std::cout << "Banco criado: " << arquivo << "\n";
      return 0;
    }
    if (demo->parsed()) {
      auto c = TQDConnection::Criar(arquivo);
      try {
        c->CarregarDemo();
      } catch (...) {
        c.reset();
        std::filesystem::remove(arquivo);
        throw;
      }
      std::cout << "Banco de demonstração criado: " << arquivo << " (estabelecimento 1: matriz em SP)\n";
      return 0;
    }
    if (apurar->parsed()) return Apurar(comuns, pedido);
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
