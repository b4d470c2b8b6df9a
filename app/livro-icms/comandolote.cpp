// The batch: the establishments to settle, settled in this process or handed to workers, and the
// table of what each left.
#include "app/livro-icms/comandolote.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "app/livro-icms/loteprocessos.h"
#include "app/livro-icms/progresso.h"
#include "host/banco/acesso.h"
#include "host/banco/conexao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"

namespace fs = std::filesystem;

namespace {

std::string UmaLinha(std::string s) {
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

std::string Coluna(const std::string& s, size_t largura, bool direita = false) {
  const std::string t = texto::Copiar(s, 1, largura);
  return direita ? texto::PreencherEsquerda(t, largura) : texto::PreencherDireita(t, largura);
}

}  // namespace

TComandoLote::TComandoLote(CLI::App& app) {
  lote_ = app.add_subcommand("lote",
                             "Apura (e imprime) todos os estabelecimentos ativos no intervalo, ou os de uma empresa, "
                             "numa só execução: cada um como o apurar o apuraria sozinho.");
  lote_->add_option("--db", o_.Banco, "Arquivo do banco de dados.")->required();
  lote_->add_option("--inicio", o_.Inicio, "Data inicial (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  lote_->add_option("--fim", o_.Fim, "Data final (dd/mm/aaaa ou aaaa-mm-dd).")->required();
  lote_->add_option("--empresa", o_.Empresa, "Código (IDEMPRESA) da empresa: só os estabelecimentos dela.")
      ->check(CLI::PositiveNumber);
  lote_->add_option("--impostos", o_.Impostos,
                    "Impostos: todos (padrão), icms, icms-st ou lista de códigos separados por vírgula (ex.: 2001,4019).");
  lote_->add_flag("--contabilizar", o_.Contabilizar, "Contabiliza os valores apurados no intervalo.");
  lote_->add_option("--livros", o_.Livros,
                    "Pasta onde gravar o livro de cada estabelecimento, em PDF e texto "
                    "(livro-IDFILIAL-AAAAMMDD-AAAAMMDD.pdf/.txt; a pasta é criada quando falta).");
  lote_->add_option("--respostas", o_.Respostas,
                    "Arquivo de respostas às perguntas e diálogos da apuração: as linhas antes da primeira seção "
                    "[filial N] respondem a cada estabelecimento desde o início; a seção [filial N], só ao N.");
  lote_->add_option("--processos", processos_,
                    "Número de processos que apuram ao mesmo tempo, cada um com a sua conexão ao banco (padrão: 1, "
                    "todos neste processo).")
      ->check(CLI::Range(1, kMaximoProcessos));
  // A worker of a batch in several processes (app/livro-icms/loteprocessos.h): "I/N".
  lote_->add_option("--trabalhador", trabalhador_)->group("");
}

bool TComandoLote::Executar(int& codigo) {
  if (!lote_->parsed()) return false;
  codigo = trabalhador_.empty() ? Lote() : TrabalhadorDoLote(o_, ValidarDatas(o_.Inicio, o_.Fim));
  return true;
}

int TComandoLote::Lote() {
  const auto inicioLote = std::chrono::steady_clock::now();
  const TIntervalo datas = ValidarDatas(o_.Inicio, o_.Fim);
  const TRespostasLote respostas(o_.Respostas);
  if (!o_.Livros.empty()) {
    std::error_code ec;
    fs::create_directories(o_.Livros, ec);
    if (!fs::is_directory(o_.Livros)) throw std::runtime_error("Não é possível criar a pasta dos livros: " + o_.Livros);
  }
  auto conexao = TQDConnection::Abrir(o_.Banco);
  const std::vector<TFilialLote> filiais = EstabelecimentosDoLote(*conexao, o_.Empresa, datas.Fim);
  if (filiais.empty())
    throw std::runtime_error("Nenhum estabelecimento ativo até " + DataBR(datas.Fim) +
                             (o_.Empresa ? " na empresa " + std::to_string(o_.Empresa) +
                                               banco::SemAcessoDoPapel(*conexao, "a empresa " + std::to_string(o_.Empresa))
                                         : std::string()) +
                             ".");

  const int processos = static_cast<int>(std::min<size_t>(static_cast<size_t>(processos_), filiais.size()));
  std::vector<TResultadoFilial> resultados;
  if (processos > 1) {
    conexao.reset();  // the workers open their own
    resultados = ApurarEmProcessos(o_, filiais, processos);
  } else {
    TBarraProgresso barra("Apurando");
    for (const TFilialLote& f : filiais) {
      barra.Atualizar(static_cast<int64_t>(resultados.size()), static_cast<int64_t>(filiais.size()),
                      "filial " + std::to_string(f.Id) + " " + texto::Copiar(f.Nome, 1, 30));
      resultados.push_back(ApurarFilialDoLote(*conexao, o_, datas, respostas, f));
      if (resultados.back().Interrompido) break;
    }
    barra.Atualizar(static_cast<int64_t>(filiais.size()), static_cast<int64_t>(filiais.size()));
  }
  const double segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicioLote).count();
  const bool interrompido =
      std::any_of(resultados.begin(), resultados.end(), [](const auto& r) { return r.Interrompido; });

  // The table: one line per tax of each establishment, the errors after it.
  const size_t apurados = static_cast<size_t>(
      std::count_if(resultados.begin(), resultados.end(), [](const auto& r) { return r.Apurado; }));
  char tempo[32];
  std::snprintf(tempo, sizeof tempo, "%.1f", segundos);
  std::replace(std::begin(tempo), std::end(tempo), '.', ',');
  std::cout << "Lote de " << DataBR(datas.Inicio) << " a " << DataBR(datas.Fim) << ": " << filiais.size()
            << " estabelecimento(s) em " << tempo << " s"
            << (processos > 1 ? " com " + std::to_string(processos) + " processos" : std::string()) << "; " << apurados
            << " apurado(s)"
            << (apurados < filiais.size() ? ", " + std::to_string(filiais.size() - apurados) + " não" : std::string())
            << ".\n\n";
  std::cout << "Filial  " << Coluna("Estabelecimento", 32) << "  Imposto  " << Coluna("A recolher", 16, true) << "  "
            << Coluna("Saldo credor", 16, true) << "  Avisos\n";
  for (const TResultadoFilial& r : resultados) {
    std::cout << texto::PreencherEsquerda(std::to_string(r.Filial.Id), 6) << "  " << Coluna(r.Filial.Nome, 32) << "  ";
    const std::string avisos = texto::PreencherEsquerda(std::to_string(r.Mensagens.size()), 6);
    if (!r.Apurado) {
      std::cout << Coluna("ERRO (abaixo)", 45) << "  " << avisos << "\n";
      continue;
    }
    if (r.Impostos.empty()) {
      std::cout << Coluna("nenhum período completo no intervalo", 45) << "  " << avisos << "\n";
      continue;
    }
    for (size_t i = 0; i < r.Impostos.size(); ++i) {
      const auto& imp = r.Impostos[i];
      if (i > 0) std::cout << std::string(8 + 32 + 2, ' ');
      std::cout << Coluna(imp.Codigo, 7) << "  " << Coluna(FormatarValor(imp.ARecolher), 16, true) << "  "
                << Coluna(FormatarValor(imp.SaldoCredor), 16, true) << (i == 0 ? "  " + avisos : std::string()) << "\n";
    }
  }
  bool titulo = false;
  for (const TResultadoFilial& r : resultados) {
    if (r.Mensagens.empty()) continue;
    if (!titulo) std::cout << "\nMensagens das apurações:\n";
    titulo = true;
    std::cout << "  filial " << r.Filial.Id << " - " << r.Filial.Nome << "\n";
    for (const auto& m : r.Mensagens) std::cout << "    " << UmaLinha(m) << "\n";
  }
  titulo = false;
  for (const TResultadoFilial& r : resultados) {
    if (r.Apurado) continue;
    if (!titulo) std::cerr << "\nEstabelecimentos não apurados:\n";
    titulo = true;
    std::cerr << "  filial " << r.Filial.Id << " - " << r.Filial.Nome << ": " << UmaLinha(r.Erro) << "\n";
  }
  if (interrompido)
    std::cerr << "O banco de dados ficou bloqueado por outro programa: os estabelecimentos seguintes não foram "
                 "apurados.\n";
  if (!o_.Livros.empty()) std::cout << "\nLivros gravados em " << o_.Livros << " (PDF e texto de cada estabelecimento apurado).\n";
  return apurados == filiais.size() ? 0 : 5;
}
