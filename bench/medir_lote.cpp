// livro-bench-lote: times the settlement of a whole office in one `livro-icms lote` run against the
// loop of single `livro-icms apurar` runs (one process per establishment), in the same run.
//
//   livro-bench-lote ARQUIVO [--filiais F] [--itens N] [--programa CAMINHO]
//
// ARQUIVO is an office database of the benchmark generator (bench/gerador.h); when it does not
// exist it is generated first: F establishments (default 1,000, ten a company) with N items in all
// (default 1,000,000, about a thousand each) in January 2025. Two scratch copies are made beside
// it; on one the batch settles January for every establishment, on the other each establishment is
// settled by a process of its own, in the same order, as a shell loop would do it. Both are timed
// by the wall clock (with the user and system CPU time of the processes and their peak memory),
// then the settlement's records of the two copies are compared table by table. The copies are
// removed at the end.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "host/banco/motor.h"

#include "bench/medicao.h"
#include "bench/gerador.h"
#include "host/banco/conexao.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using namespace medicao;


struct TOpcoes {
  std::string Arquivo;
  gerador::TOpcoes Gerador{.Itens = 1'000'000, .Filiais = 1000, .Meses = 1};
  std::string Programa = LIVRO_BIN;
};

[[noreturn]] void Uso(const char* msg) {
  if (msg) std::cerr << "Erro: " << msg << "\n";
  std::cerr << "Uso: livro-bench-lote ARQUIVO [--filiais F] [--itens N] [--programa CAMINHO]\n"
               "  Mede o lote de janeiro de 2025 de todos os estabelecimentos contra um apurar por estabelecimento.\n"
               "  ARQUIVO é gerado quando não existe (F estabelecimentos, padrão 1000; N itens, padrão 1000000).\n";
  std::exit(2);
}

long long Inteiro(int argc, char** argv, int& i, const char* nome, long long minimo) {
  if (++i >= argc) Uso((std::string(nome) + " sem valor").c_str());
  char* fim = nullptr;
  long long v = std::strtoll(argv[i], &fim, 10);
  if (*fim != '\0' || v < minimo) Uso((std::string(nome) + " inválido").c_str());
  return v;
}

TOpcoes LerOpcoes(int argc, char** argv) {
  TOpcoes o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--filiais") o.Gerador.Filiais = static_cast<int>(Inteiro(argc, argv, i, "--filiais", 1));
    else if (a == "--itens") o.Gerador.Itens = Inteiro(argc, argv, i, "--itens", 100);
    else if (a == "--programa") {
      if (++i >= argc) Uso("--programa sem valor");
      o.Programa = argv[i];
    } else if (a == "-h" || a == "--help") Uso(nullptr);
    else if (!a.empty() && a[0] == '-') Uso(("opção desconhecida: " + a).c_str());
    else if (o.Arquivo.empty()) o.Arquivo = a;
    else Uso("mais de um arquivo");
  }
  if (o.Arquivo.empty()) Uso("informe o ARQUIVO");
  return o;
}


// What the processes of a measurement used.
struct TUso {
  double CPUUsuario = 0, CPUSistema = 0, PicoMiB = 0;
  int Falhas = 0;
};

// Runs the program with the arguments, output discarded, and adds its resources to `uso`.
void Rodar(const std::string& programa, const std::vector<std::string>& args, TUso& uso) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(programa.c_str()));
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t acoes;
  posix_spawn_file_actions_init(&acoes);
  posix_spawn_file_actions_addopen(&acoes, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&acoes, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&acoes, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int erro = posix_spawn(&pid, programa.c_str(), &acoes, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acoes);
  if (erro != 0) throw std::runtime_error("não foi possível executar " + programa);
  int estado = 0;
  rusage r{};
  wait4(pid, &estado, 0, &r);
  uso.CPUUsuario += static_cast<double>(r.ru_utime.tv_sec) + static_cast<double>(r.ru_utime.tv_usec) * 1e-6;
  uso.CPUSistema += static_cast<double>(r.ru_stime.tv_sec) + static_cast<double>(r.ru_stime.tv_usec) * 1e-6;
  uso.PicoMiB = std::max(uso.PicoMiB, static_cast<double>(r.ru_maxrss) / 1024.0);
  if (!WIFEXITED(estado) || WEXITSTATUS(estado) != 0) ++uso.Falhas;
}

// The rows the settlement records, table by table, in key order.
std::string Registros(const std::string& arquivo) {
  banco::TBanco db(arquivo);
  std::string r;
  for (const char* t : {"TR04_IMPOSTO", "TR04_IMPOSTODET", "ES02_LCTOAPUR", "ES02_LCTOAPURAUX", "ES02_GIADET", "HS_LANCCONTABIL"}) {
    r += std::string("# ") + t + "\n";
    banco::TComando q(db, std::string("SELECT * FROM ") + t + " ORDER BY 1");
    while (q.executeStep()) {
      for (int i = 0; i < q.getColumnCount(); ++i) r += (i ? "|" : "") + q.getColumn(i).getString();
      r += "\n";
    }
  }
  return r;
}

void Copiar(const std::string& de, const std::string& para) {
  for (const char* s : {"", "-wal", "-shm"}) fs::remove(para + s);
  banco::TBanco origem(de, banco::kLeitura);
  origem.exec("VACUUM INTO '" + para + "'");
}

}  // namespace

int main(int argc, char** argv) {
  const TOpcoes o = LerOpcoes(argc, argv);
  try {
    if (!fs::exists(o.Arquivo)) {
      std::cout << "Gerando " << o.Arquivo << "...\n";
      auto inicio = Relogio::now();
      auto conexao = TQDConnection::Criar(o.Arquivo);
      banco::TBanco& db = conexao->Db();
      db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -131072");
      db.exec("BEGIN");
      const gerador::TResumo resumo = gerador::Gerar(db, o.Gerador);
      db.exec("COMMIT");
      db.exec("ANALYZE");
      db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
      resumo.Escrever(std::cout, o.Gerador);
      std::printf("  gerado em %.1f s\n", Segundos(inicio));
    }
    std::vector<int64_t> filiais;
    {
      banco::TBanco db(o.Arquivo, banco::kLeitura);
      banco::TComando q(db, "SELECT IDFILIAL FROM SC00_FILIAL ORDER BY 1");
      while (q.executeStep()) filiais.push_back(q.getColumn(0).getInt64());
      banco::TComando n(db, "SELECT (SELECT COUNT(*) FROM ES02_ENTRADADET) + (SELECT COUNT(*) FROM ES02_SAIDADET)");
      n.executeStep();
      std::cout << "Banco: " << o.Arquivo << ", " << filiais.size() << " estabelecimentos, " << n.getColumn(0).getInt64()
                << " itens; programa " << o.Programa << "\n"
                << "Carga da máquina no início (1, 5, 15 min): " << Carga() << "\n";
    }
    const std::string lote = o.Arquivo + ".lote.db", sozinhos = o.Arquivo + ".sozinhos.db";
    Copiar(o.Arquivo, lote);
    Copiar(o.Arquivo, sozinhos);
    const std::vector<std::string> periodo = {"--inicio", "01/01/2025", "--fim", "31/01/2025"};

    TUso usoLote;
    auto inicio = Relogio::now();
    std::vector<std::string> args = {"lote", "--db", lote};
    args.insert(args.end(), periodo.begin(), periodo.end());
    Rodar(o.Programa, args, usoLote);
    const double tLote = Segundos(inicio);
    std::printf("lote:             %8.2f s  (CPU %.2f s usuário + %.2f s sistema, pico %.1f MiB)%s\n", tLote,
                usoLote.CPUUsuario, usoLote.CPUSistema, usoLote.PicoMiB, usoLote.Falhas ? "  FALHOU" : "");

    TUso usoLaco;
    inicio = Relogio::now();
    for (int64_t f : filiais) {
      std::vector<std::string> a = {"apurar", "--db", sozinhos, "--filial", std::to_string(f)};
      a.insert(a.end(), periodo.begin(), periodo.end());
      Rodar(o.Programa, a, usoLaco);
    }
    const double tLaco = Segundos(inicio);
    std::printf("apurar um a um:   %8.2f s  (CPU %.2f s usuário + %.2f s sistema, pico %.1f MiB)%s\n", tLaco,
                usoLaco.CPUUsuario, usoLaco.CPUSistema, usoLaco.PicoMiB,
                usoLaco.Falhas ? ("  " + std::to_string(usoLaco.Falhas) + " FALHARAM").c_str() : "");
    std::printf("por estabelecimento: lote %.1f ms, apurar %.1f ms; o lote é %.1f vezes mais rápido\n",
                1000 * tLote / static_cast<double>(filiais.size()), 1000 * tLaco / static_cast<double>(filiais.size()),
                tLaco / tLote);
    std::cout << "Registros da apuração iguais nas duas cópias: " << (Registros(lote) == Registros(sozinhos) ? "sim" : "NÃO")
              << "\nCarga da máquina no fim (1, 5, 15 min): " << Carga() << "\n";
    for (const auto& b : {lote, sozinhos})
      for (const char* s : {"", "-wal", "-shm"}) fs::remove(b + s);
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
