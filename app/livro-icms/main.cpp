// livro-icms: the command line of the ICMS settlement ledger.
//   livro-icms db criar ARQUIVO        creates an empty database with the schema
//   livro-icms db demo ARQUIVO         creates a database with the demo office
//   livro-icms db copiar --de A --para B   moves an office between engines (app/livro-icms/comandocopiar.h)
//   livro-icms db papeis URI --criar-contador NOME --empresas 1,2 | --criar-auditor NOME [--empresas ...]
//                                      an office server's roles (host/banco/acesso.h)
//   livro-icms apurar --db ... --filial ... --inicio ... --fim ...
//   livro-icms imprimir --db ... --filial ... --saida livro.pdf [--saida livro.txt] [options]
//   livro-icms observacoes listar|gravar|excluir --db ... --filial ... [--imposto --data --texto]
//   livro-icms termos --db ... --filial ... --livro N --abertura|--encerramento --saida termo.pdf
//   livro-icms efd importar|exportar|conferir ...   (app/livro-icms/comandosefd.h)
//   livro-icms lote --db ... --inicio ... --fim ... [--empresa N] [--livros PASTA] (app/livro-icms/comandolote.h)
//
// `imprimir` goes through the report form TForm58140 exactly as the desktop does (creation
// defaults, the fields the user would change, then the print action: app/livro-icms/livro.h);
// `observacoes` goes through the observations editor TForm58140Observacoes.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "apuracao/apuracao.h"
#include "app/livro-icms/comandocopiar.h"
#include "app/livro-icms/comandolote.h"
#include "app/livro-icms/comandosefd.h"
#include "app/livro-icms/livro.h"
#include "forms/form58140.h"
#include "forms/observacoes.h"
#include "forms/pedidoapuracao.h"
#include "host/banco/acesso.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "host/interacao/interacaoterminal.h"
#include "relatorio/relatorio.h"

namespace {

struct TOpcoesComuns {
  std::string Banco;
  std::string Respostas;
  bool Sim = false;
};

// Scripted answers where every question left without an answer is answered "Sim" (--sim).
class TInteracaoSempreSim : public TInteracaoRoteirizada {
 public:
  explicit TInteracaoSempreSim(TInteracaoRoteirizada base) : TInteracaoRoteirizada(std::move(base)) {}
  int ExibirMensagemPersonalizada(const std::string& texto, TTipoMensagem tipo, const std::vector<TBotao>& botoes,
                                  TBotao padrao, const std::string& titulo,
                                  const std::vector<std::string>& legendas) override {
    if (RespostasRestantes() == 0 && std::find(botoes.begin(), botoes.end(), TBotao::Sim) != botoes.end())
      AdicionarResposta("sim");
    return TInteracaoRoteirizada::ExibirMensagemPersonalizada(texto, tipo, botoes, padrao, titulo, legendas);
  }
};

std::unique_ptr<TInteracao> CriarInteracao(const std::string& respostas) {
  if (respostas.empty()) return std::make_unique<TInteracaoTerminal>();
  return std::make_unique<TInteracaoRoteirizada>(TInteracaoRoteirizada::DeArquivo(respostas));
}

std::unique_ptr<TInteracao> CriarInteracaoFormulario(const std::string& respostas, bool sim) {
  if (sim) {
    return std::make_unique<TInteracaoSempreSim>(respostas.empty() ? TInteracaoRoteirizada()
                                                                   : TInteracaoRoteirizada::DeArquivo(respostas));
  }
  if (respostas.empty()) return std::make_unique<TInteracaoTerminal>();
  return std::make_unique<TInteracaoRoteirizada>(TInteracaoRoteirizada::DeArquivo(respostas));
}

void ImprimirRegistro(const TInteracao& i, const char* titulo = "Mensagens da apuração:") {
  if (auto* r = dynamic_cast<const TInteracaoRoteirizada*>(&i)) {
    if (r->Registro().empty()) return;
    std::cout << "\n" << titulo << "\n";
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

// ---------------------------------------------------------------------------------------------
// imprimir

int ImprimirLivro(const TOpcoesComuns& comuns, const TOpcoesImpressao& o, const TOpcoesPagina& pagina) {
  std::string txt, pdf;
  VerificarSaidas(o.Saidas, txt, pdf);

  auto interacao = CriarInteracaoFormulario(comuns.Respostas, comuns.Sim);
  auto conexao = TQDConnection::Abrir(comuns.Banco);
  THost host(*conexao, *interacao);
  TLivroImpresso livro;
  try {
    livro = ImprimirPeloFormulario(o, pagina, txt, pdf);
  } catch (const EAbortarSilencioso&) {
    ImprimirRegistro(*interacao);
    std::cerr << "Apuração interrompida pelo usuário (aborted by the user).\n";
    return 3;
  } catch (...) {
    ImprimirRegistro(*interacao);
    throw;
  }

  std::cout << "Livro Registro de Apuração do ICMS - estabelecimento " << o.IdFilial << " (" << livro.NomeFilial << "), "
            << DataBR(livro.Inicio) << " a " << DataBR(livro.Fim) << "\n";
  if (livro.Resumos == 0) {
    std::cout << "Nenhum período de apuração completo no intervalo: nenhum livro foi impresso, nenhum arquivo "
                 "foi gravado e nada foi registrado.\n";
    ImprimirRegistro(*interacao);
    return 0;
  }
  if (!livro.Impresso) {
    ImprimirRegistro(*interacao);
    throw std::runtime_error("A impressão não pôde ser iniciada (arquivo de saída); a apuração foi gravada, o livro não.");
  }
  std::cout << "Apurações impressas: " << livro.Resumos << "\n";
  std::cout << "Páginas impressas: " << livro.Paginas << " (" << (livro.Definitivo ? "definitiva, " : "") << "livro "
            << livro.Livro << ", próxima página " << livro.ProximaPagina << ")\n";
  for (const auto& a : {txt, pdf})
    if (!a.empty()) std::cout << "Arquivo gravado: " << a << "\n";
  ImprimirRegistro(*interacao);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// observacoes

struct TOpcoesObservacoes {
  int64_t IdFilial = 0;
  std::string Imposto, Data, Texto, Arquivo, Inicio, Fim;
};

std::string NomeFilial(TQDConnection& c, int64_t idFilial) {
  TQDSQLQuery q(c);
  q.SetSQL("SELECT NOME FROM SC00_FILIAL WHERE IDFILIAL = " + std::to_string(idFilial));
  q.Open();
  if (q.Eof()) throw std::runtime_error(banco::NaoEncontrado(c, "Estabelecimento", idFilial));
  return q.FieldByName("NOME").AsString();
}

std::string LerArquivoTexto(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  if (!f) throw std::runtime_error("Não foi possível ler o arquivo: " + caminho);
  std::stringstream s;
  s << f.rdbuf();
  std::string t = s.str();
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  return t;
}

enum class TAcaoObservacao { Listar, Gravar, Excluir };

int Observacoes(const TOpcoesComuns& comuns, const TOpcoesObservacoes& o, TAcaoObservacao acao) {
  auto interacao = CriarInteracaoFormulario(comuns.Respostas, comuns.Sim);
  auto conexao = TQDConnection::Abrir(comuns.Banco);
  THost host(*conexao, *interacao);

  TForm58140Observacoes obs;
  obs.FIdFilialObs = o.IdFilial;
  obs.FNomeFilial = NomeFilial(*conexao, o.IdFilial);
  if (!o.Inicio.empty() || !o.Fim.empty()) {
    TIntervalo livro = ValidarDatas(o.Inicio, o.Fim);
    obs.FDataInicialLivro = livro.Inicio;
    obs.FDataFinalLivro = livro.Fim;
  }
  try {
    obs.FormShow();
    if (!o.Imposto.empty()) {
      obs.lkpImpostoEnter();
      obs.BuscarImposto(o.Imposto);
      obs.lkpImpostoExit();
    }
    switch (acao) {
      case TAcaoObservacao::Listar: {
        if (!o.Imposto.empty()) obs.ValidarCampos(TControle::lkpImposto);
        std::cout << obs.lblTitulo << "\n";
        if (obs.IsEmpty()) std::cout << "Nenhuma observação.\n";
        for (int i = 0; i < obs.RecordCount(); ++i)
          std::cout << obs.dbgObsDrawColumnCell(i, 0) << "  " << texto::PreencherDireita(obs.dbgObsDrawColumnCell(i, 1), 7)
                    << "  " << obs.dbgObsDrawColumnCell(i, 2) << "\n";
        break;
      }
      case TAcaoObservacao::Gravar: {
        obs.edtData.Text = o.Data;
        obs.edtDataKeyDown(TTecla::Enter);
        bool nova = obs.Estado() == TEstadoDataSet::dsInsert;
        obs.mmoObs = o.Arquivo.empty() ? o.Texto : LerArquivoTexto(o.Arquivo);
        obs.SalvarRegistro();
        std::cout << (nova ? "Observação incluída: " : "Observação alterada: ") << obs.edtData.Text << ", imposto "
                  << obs.lkpImposto.Codigo << ".\n";
        break;
      }
      case TAcaoObservacao::Excluir: {
        obs.edtData.Text = o.Data;
        obs.ValidarCampos(TControle::Nenhum);
        if (!obs.Localizar(texto::Aparar(o.Imposto), obs.edtData.Data()))
          throw std::runtime_error("Não há observação do imposto " + o.Imposto + " em " + DataBR(obs.edtData.Data()) + ".");
        std::cout << (obs.ExcluirRegistro() ? "Observação excluída.\n" : "Observação mantida.\n");
        break;
      }
    }
  } catch (...) {
    ImprimirRegistro(*interacao, "Mensagens:");
    throw;
  }
  ImprimirRegistro(*interacao, "Mensagens:");
  return 0;
}

// ---------------------------------------------------------------------------------------------
// termos

struct TOpcoesTermos {
  int64_t IdFilial = 0;
  int32_t Livro = 0, Folhas = 0;
  bool Abertura = false, Encerramento = false, Sextos = false;
  std::string Data;
  std::vector<std::string> Saidas;
};

int ImprimirTermos(const TOpcoesComuns& comuns, const TOpcoesTermos& o, const TOpcoesPagina& pagina) {
  std::string txt, pdf;
  VerificarSaidas(o.Saidas, txt, pdf);
  auto interacao = CriarInteracaoFormulario(comuns.Respostas, comuns.Sim);
  auto conexao = TQDConnection::Abrir(comuns.Banco);
  THost host(*conexao, *interacao);
  const TFilial filial = GFuncoes->GetDadosFilial(o.IdFilial);
  const TLivroRegistrado livro = QDInterface->ObterLivroRegistrado(o.IdFilial, "07", o.Livro);

  TDateTime data = 0;
  if (!o.Data.empty() && !TentarLerData(texto::Aparar(o.Data), data)) throw std::runtime_error("Data inválida: " + o.Data);
  int32_t folhas = o.Folhas;
  if (o.Abertura) {
    if (data == 0) data = livro.UltimaPagina > 0 ? livro.PrimeiraData : Hoje();
    if (folhas == 0) {
      const int32_t cfg = livro.UltimaPagina > 0 ? livro.IdConfiguracao
                                                 : QDInterface->ObterIdConfiguracaoLivro(o.IdFilial, 5, data, data, "ES02_CFG");
      folhas = QDInterface->ObterPaginasLivro(cfg);
    }
  } else {
    if (livro.UltimaPagina == 0 && folhas == 0)
      throw std::runtime_error("O livro " + std::to_string(o.Livro) + " do estabelecimento " + std::to_string(o.IdFilial) +
                               " não tem páginas impressas em definitivo; informe --folhas.");
    // A book closed by a definitive print already holds its closing term on its last page.
    if (folhas == 0) folhas = livro.Encerrado ? livro.UltimaPagina : livro.UltimaPagina + 1;
    if (data == 0) data = GFuncoes->IncPeriodo(livro.UltimaData, GFuncoes->GetPeriodicidadeICMS(o.IdFilial, livro.UltimaData));
    if (livro.UltimaPagina > 0 && !livro.Encerrado)
      std::cout << "Aviso: o livro " << o.Livro << " ainda não está completo; o termo ocupa a folha " << folhas
                << " e a próxima impressão definitiva continua no mesmo livro.\n";
  }

  TdmLivroICMS modulo;
  modulo.FIdFilial = o.IdFilial;
  modulo.FIdEmpresa = filial.IdEmpresa;
  modulo.FImpressaoDefinitiva = true;
  modulo.SetFormatoImpressao(o.Sextos ? impressao::TLinha::Seis : impressao::TLinha::Oito);
  modulo.Prn().SetArquivoTexto(txt);
  modulo.Prn().SetArquivoPdf(pdf);
  ConfigurarPagina(modulo.Prn(), pagina);
  if (!modulo.ImprimirTermo(o.Abertura ? TTermo::Abertura : TTermo::Encerramento, o.Livro, folhas, data))
    throw std::runtime_error("A impressão do termo não pôde ser iniciada (arquivo de saída).");
  std::cout << (o.Abertura ? "Termo de abertura" : "Termo de encerramento") << " do livro " << o.Livro << " ("
            << folhas << " folhas, " << DataBR(data) << ") - estabelecimento " << o.IdFilial << "\n";
  for (const auto& a : {txt, pdf})
    if (!a.empty()) std::cout << "Arquivo gravado: " << a << "\n";
  ImprimirRegistro(*interacao, "Mensagens:");
  return 0;
}

// ---------------------------------------------------------------------------------------------
// db papeis

std::vector<int64_t> LerEmpresas(const std::string& texto) {
  std::vector<int64_t> r;
  if (texto::Aparar(texto) == "todas") return r;
  std::stringstream s(texto);
  for (std::string parte; std::getline(s, parte, ',');) {
    const std::string p = texto::Aparar(parte);
    if (p.empty() || p.find_first_not_of("0123456789") != std::string::npos || p.size() > 15)
      throw std::runtime_error("Empresa inválida em --empresas: \"" + p + "\" (códigos IDEMPRESA separados por vírgula, ou todas).");
    r.push_back(std::stoll(p));
  }
  return r;
}

int Papeis(const std::string& arquivo, const std::string& contador, const std::string& auditor, const std::string& empresas) {
  if (contador.empty() && auditor.empty()) throw std::runtime_error("Informe --criar-contador NOME ou --criar-auditor NOME.");
  if (!contador.empty() && texto::Aparar(empresas).empty())
    throw std::runtime_error("Informe as empresas do contador " + contador + " (--empresas 1,2, ou todas).");
  auto conexao = TQDConnection::Abrir(arquivo);
  const bool ehAuditor = !auditor.empty();
  std::cout << banco::CriarPapel(*conexao, ehAuditor ? auditor : contador, ehAuditor, LerEmpresas(empresas)) << "\n";
  return 0;
}

std::string UmaLinhaPorMensagem(std::string s) {
  std::replace(s.begin(), s.end(), '\r', '\n');
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Livro Registro de Apuração do ICMS (modelo P9): apuração e livro de um estabelecimento."};
  app.set_help_flag("-h,--help", "Mostra esta ajuda e sai.");
  app.require_subcommand(1);

  auto* db = app.add_subcommand("db", "Cria bancos de dados do livro de ICMS, copia escritórios entre eles e cria os papéis do servidor do escritório.");
  db->require_subcommand(1);
  std::string arquivo;
  auto* criar = db->add_subcommand("criar", "Cria um banco de dados vazio, com o esquema.");
  criar->add_option("arquivo", arquivo, "Arquivo SQLite a criar (não pode existir), ou postgresql://... (ou postgresql: com as variáveis PG*) de um banco sem as tabelas.")->required();
  auto* demo = db->add_subcommand("demo", "Cria um banco com o escritório de demonstração, pronto para apurar.");
  demo->add_option("arquivo", arquivo, "Arquivo SQLite a criar (não pode existir), ou postgresql://... (ou postgresql: com as variáveis PG*) de um banco sem as tabelas.")->required();

  auto* papeis = db->add_subcommand("papeis", "Cria o papel (usuário) de um contador ou de um auditor no servidor do escritório.");
  papeis->add_option("arquivo", arquivo, "postgresql://... do banco do escritório, conectado como o seu administrador.")->required();
  std::string contador, auditor, empresas;
  auto* optContador = papeis->add_option("--criar-contador", contador,
                                         "Papel de um contador: lê, apura e imprime só as empresas de --empresas.");
  auto* optAuditor = papeis->add_option("--criar-auditor", auditor,
                                        "Papel de um auditor: lê as empresas de --empresas (padrão: todas) e imprime livros "
                                        "não definitivos; não grava nada.");
  optContador->excludes(optAuditor);
  papeis->add_option("--empresas", empresas, "Códigos (IDEMPRESA) das empresas liberadas, separados por vírgula, ou todas.");

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

  // imprimir: the report form's request.
  TOpcoesImpressao imp;
  auto* imprimir = app.add_subcommand(
      "imprimir", "Apura e imprime o Livro Registro de Apuração do ICMS (modelo P9) em PDF e/ou texto.");
  imprimir->add_option("--db", comuns.Banco, "Arquivo do banco de dados.")->required();
  imprimir->add_option("--filial", imp.IdFilial, "Código (IDFILIAL) do estabelecimento.")->required();
  imprimir->add_option("--inicio", imp.Inicio,
                       "Data inicial (dd/mm/aaaa ou aaaa-mm-dd). Padrão: primeiro dia do mês anterior. "
                       "A data final passa a ser o fim do período que começa nela.");
  imprimir->add_option("--fim", imp.Fim, "Data final (dd/mm/aaaa ou aaaa-mm-dd). Padrão: fim do período da data inicial.");
  imprimir->add_option("--saida", imp.Saidas,
                       "Arquivo do livro: .pdf ou .txt (pode ser repetida uma vez para gravar os dois formatos).")
      ->required();
  imprimir->add_option("--impostos", imp.Impostos,
                       "Impostos: todos, icms (ICMS Próprio), icms-st ou lista de códigos separados por vírgula "
                       "(ex.: 2001,4019). Vazio: todos.");
  imprimir->add_flag("--contabilizar", imp.Contabilizar, "Contabilizar: contabiliza os valores apurados no intervalo.");
  imprimir->add_flag("--ciap", imp.CIAP, "Calcular CIAP: calcula o crédito de CIAP do ativo permanente.");
  auto* semMov = imprimir->add_flag("--sem-movimento", imp.SemMovimento,
                                    "Imprimir períodos sem movimento (padrão).");
  auto* naoSemMov = imprimir->add_flag("--nao-imprimir-sem-movimento", imp.NaoImprimirSemMovimento,
                                       "Não imprime os registros de entradas e saídas dos períodos sem movimento.");
  semMov->excludes(naoSemMov);
  imprimir->add_flag("--detalhar-sufixo", imp.DetalharSufixo, "Detalhar CFOPs por sufixo (não na impressão definitiva).");
  imprimir->add_flag("--sem-descricao-cfop", imp.SemDescricaoCfop,
                     "Não imprime as descrições dos CFOPs (não na impressão definitiva).");
  imprimir->add_flag("--frente-verso", imp.FrenteVerso,
                     "Impressão frente e verso (padrão conforme a configuração FRENTE_VERSO do escritório).");
  imprimir->add_flag("--rodape", imp.Rodape,
                     "Imprime data e hora no rodapé (quando a configuração RODAPE do escritório permite escolher).");
  auto* definitivo = imprimir->add_flag("--definitivo", imp.Definitivo,
                                        "Impressão definitiva: numeração de livro e página mantida pelo escritório.");
  imprimir->add_option("--livro", imp.Livro, "Número do livro (impressão definitiva; padrão: o proposto pelo escritório).")
      ->needs(definitivo)
      ->check(CLI::PositiveNumber);
  imprimir->add_option("--pagina", imp.Pagina,
                       "Número da página inicial (impressão definitiva; padrão: a proposta pelo escritório).")
      ->needs(definitivo)
      ->check(CLI::PositiveNumber);
  auto* semFrenteVerso = imprimir->add_flag("--sem-frente-verso", imp.SemFrenteVerso,
                                            "Impressão só na frente da folha, mesmo que o escritório imprima frente e verso.");
  semFrenteVerso->excludes(imprimir->get_option("--frente-verso"));
  TOpcoesPagina pagina;
  auto opcoesPagina = [&pagina](CLI::App* c) {
    c->add_option("--papel", pagina.Papel, "Papel do PDF: a4 (padrão), carta ou formulario (formulário contínuo 9,5 x 11 pol.).")
        ->check(CLI::IsMember({"a4", "carta", "formulario"}));
    c->add_flag("--acentos", pagina.Acentos, "Imprime os textos com acentos (padrão: sem acentos, como nas impressoras do livro).");
  };
  opcoesPagina(imprimir);
  auto* sextos = imprimir->add_flag("--sextos", imp.Sextos, "Formato de impressão em sextos (66 linhas por página).");
  auto* oitavos = imprimir->add_flag("--oitavos", imp.Oitavos, "Formato de impressão em oitavos (88 linhas por página; padrão).");
  sextos->excludes(oitavos);
  imprimir->add_option("--respostas", comuns.Respostas,
                       "Arquivo de respostas às perguntas e diálogos da apuração (uma resposta por linha).");
  imprimir->add_flag("--sim", comuns.Sim, "Responde \"Sim\" às confirmações que o arquivo de respostas não responder.");

  // observacoes: the observations editor.
  TOpcoesObservacoes obs;
  auto* observacoes = app.add_subcommand("observacoes", "Observações impressas no livro (uma por estabelecimento, imposto e data).");
  observacoes->require_subcommand(1);
  auto comunsObs = [&](CLI::App* c) {
    c->add_option("--db", comuns.Banco, "Arquivo do banco de dados.")->required();
    c->add_option("--filial", obs.IdFilial, "Código (IDFILIAL) do estabelecimento.")->required();
    auto* ini = c->add_option("--inicio", obs.Inicio, "Data inicial do livro (dd/mm/aaaa ou aaaa-mm-dd).");
    auto* fim = c->add_option("--fim", obs.Fim, "Data final do livro (dd/mm/aaaa ou aaaa-mm-dd).");
    ini->needs(fim);
    fim->needs(ini);
    c->add_option("--respostas", comuns.Respostas, "Arquivo de respostas às perguntas (uma resposta por linha).");
  };
  auto* listar = observacoes->add_subcommand("listar", "Lista as observações do estabelecimento (no intervalo do livro, se dado).");
  comunsObs(listar);
  listar->add_option("--imposto", obs.Imposto, "Código do imposto (ex.: 2001); lista só as desse imposto.");
  auto* gravar = observacoes->add_subcommand("gravar", "Inclui a observação de um imposto e data, ou altera a que já existe.");
  comunsObs(gravar);
  gravar->add_option("--imposto", obs.Imposto, "Código do imposto (ex.: 2001, 4019).")->required();
  gravar->add_option("--data", obs.Data, "Data da observação (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  auto* txt = gravar->add_option("--texto", obs.Texto, "Texto da observação.");
  auto* arq = gravar->add_option("--arquivo", obs.Arquivo, "Arquivo com o texto da observação (pode ter várias linhas).");
  txt->excludes(arq);
  auto* excluir = observacoes->add_subcommand("excluir", "Exclui a observação de um imposto e data (pede confirmação).");
  comunsObs(excluir);
  excluir->add_option("--imposto", obs.Imposto, "Código do imposto (ex.: 2001).")->required();
  excluir->add_option("--data", obs.Data, "Data da observação (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  excluir->add_flag("--sim", comuns.Sim, "Confirma a exclusão sem perguntar.");

  // termos: the opening and closing terms of a definitive book.
  TOpcoesTermos termos;
  auto* cmdTermos = app.add_subcommand("termos", "Imprime o termo de abertura ou de encerramento de um livro definitivo.");
  cmdTermos->add_option("--db", comuns.Banco, "Arquivo do banco de dados.")->required();
  cmdTermos->add_option("--filial", termos.IdFilial, "Código (IDFILIAL) do estabelecimento.")->required();
  cmdTermos->add_option("--livro", termos.Livro, "Número do livro.")->required()->check(CLI::Range(1, 99999));
  auto* abertura = cmdTermos->add_flag("--abertura", termos.Abertura, "Termo de abertura (folha 1 do livro).");
  auto* encerramento = cmdTermos->add_flag("--encerramento", termos.Encerramento,
                                           "Termo de encerramento (folha seguinte à última do livro).");
  abertura->excludes(encerramento);
  cmdTermos->add_option("--saida", termos.Saidas, "Arquivo do termo: .pdf ou .txt (pode ser repetida uma vez).")->required();
  cmdTermos->add_option("--data", termos.Data,
                        "Data do termo (padrão: início do primeiro período do livro na abertura, fim do último no encerramento).");
  cmdTermos->add_option("--folhas", termos.Folhas,
                        "Número de folhas declarado (padrão: as do livro configurado na abertura, a última folha no encerramento).")
      ->check(CLI::Range(1, 99999));
  cmdTermos->add_flag("--sextos", termos.Sextos, "Formato de impressão em sextos (66 linhas por página).");
  opcoesPagina(cmdTermos);

  TComandoCopiar comandoCopiar(*db);
  TComandosEFD comandosEfd(app);
  TComandoLote comandoLote(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help
    std::cerr << "Erro: " << e.what() << "\nUse --help para ver as opções.\n";
    return 1;
  }
  try {
    if (criar->parsed()) {
      TQDConnection::Criar(arquivo);
      std::cout << "Banco criado: " << banco::TBanco::SemSenha(arquivo) << "\n";
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
      std::cout << "Banco de demonstração criado: " << banco::TBanco::SemSenha(arquivo)
                << " (estabelecimentos 1 e 2 em SP, 3 e 4 no RS, 5 no MA, 6 no PA, 7 em SE, 60 a 62 no PR, 63 e 64 no RN, "
                   "80 a 84 em SC; 70 e 71 no RS, Simples Gaúcho de 07/2006 a 06/2007)\n";
      return 0;
    }
    if (papeis->parsed()) return Papeis(arquivo, contador, auditor, empresas);
    if (apurar->parsed()) return Apurar(comuns, pedido);
    if (imprimir->parsed()) return ImprimirLivro(comuns, imp, pagina);
    if (cmdTermos->parsed()) {
      if (!termos.Abertura && !termos.Encerramento) throw std::runtime_error("Informe --abertura ou --encerramento.");
      return ImprimirTermos(comuns, termos, pagina);
    }
    if (gravar->parsed() && obs.Texto.empty() && obs.Arquivo.empty())
      throw std::runtime_error("Informe o texto da observação (--texto ou --arquivo).");
    if (listar->parsed()) return Observacoes(comuns, obs, TAcaoObservacao::Listar);
    if (gravar->parsed()) return Observacoes(comuns, obs, TAcaoObservacao::Gravar);
    if (excluir->parsed()) return Observacoes(comuns, obs, TAcaoObservacao::Excluir);
    if (int codigo = 0; comandoCopiar.Executar(codigo)) return codigo;
    if (int codigo = 0; comandosEfd.Executar(codigo)) return codigo;
    if (int codigo = 0; comandoLote.Executar(codigo)) return codigo;
  } catch (const EAbortarSilencioso&) {
    std::cerr << "Apuração interrompida pelo usuário (aborted by the user).\n";
    return 3;
  } catch (const ECampoInvalido&) {
    return 1;  // the form has shown its message (a warning or an error, as the form has it)
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << UmaLinhaPorMensagem(e.what()) << "\n";
    return 1;
  }
  return 0;
}
