// livro-bench-lote: times the settlement of a whole office in one `livro-icms lote` run against the
// loop of single `livro-icms apurar` runs (one process per establishment), in the same run, and the
// batch over the same establishments grouped in companies of different sizes.
//
//   livro-bench-lote ARQUIVO [--filiais F] [--itens N] [--empresas E[,E...]] [--sem-apurar]
//                    [--programa CAMINHO]
//
// ARQUIVO is an office database of the benchmark generator (bench/gerador.h); when it does not
// exist it is generated first: F establishments (default 1,000) in E companies (default 100) with N
// items in all (default 1,000,000, about a thousand each) in January 2025. With several E, one
// database a layout, ARQUIVO.E.db, the same documents each time: only the companies change. Two
// scratch copies are made of the first; on one the batch settles January for every establishment,
// on the other (unless --sem-apurar) each establishment is settled by a process of its own, in the
// same order, as a shell loop would do it. The other layouts are settled by the batch only, in the
// same run, so that the time per establishment of each layout can be compared under the same load.
// Runs are timed by the wall clock (with the user and system CPU time of the processes and their
// peak memory), then the settlement's records of the batch and the loop are compared table by
// table. The copies are removed at the end.
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
  std::vector<int> Empresas;  // layouts: companies the establishments are grouped in
  bool Apurar = true;
  std::string Programa = LIVRO_BIN;
};

[[noreturn]] void Uso(const char* msg) {
  if (msg) std::cerr << "Erro: " << msg << "\n";
  std::cerr << "Uso: livro-bench-lote ARQUIVO [--filiais F] [--itens N] [--empresas E[,E...]] [--sem-apurar]"
               " [--programa CAMINHO]\n"
               "  Mede o lote de janeiro de 2025 de todos os estabelecimentos contra um apurar por estabelecimento.\n"
               "  ARQUIVO é gerado quando não existe (F estabelecimentos, padrão 1000, em E empresas, padrão 100;\n"
               "  N itens, padrão 1000000). Com vários E, um banco por agrupamento (ARQUIVO.E.db), cada um\n"
               "  apurado pelo lote na mesma execução.\n";
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
    else if (a == "--empresas") {
      if (++i >= argc) Uso("--empresas sem valor");
      for (const char* p = argv[i]; *p;) {
        char* fim = nullptr;
        const long v = std::strtol(p, &fim, 10);
        if (fim == p || v < 1 || (*fim != ',' && *fim != '\0')) Uso("--empresas inválido");
        o.Empresas.push_back(static_cast<int>(v));
        p = *fim ? fim + 1 : fim;
      }
    } else if (a == "--sem-apurar") o.Apurar = false;
    else if (a == "--programa") {
      if (++i >= argc) Uso("--programa sem valor");
      o.Programa = argv[i];
    } else if (a == "-h" || a == "--help") Uso(nullptr);
    else if (!a.empty() && a[0] == '-') Uso(("opção desconhecida: " + a).c_str());
    else if (o.Arquivo.empty()) o.Arquivo = a;
    else Uso("mais de um arquivo");
  }
  if (o.Arquivo.empty()) Uso("informe o ARQUIVO");
  if (o.Empresas.empty()) o.Empresas.push_back(100);
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

void Remover(const std::string& arquivo) {
  for (const char* s : {"", "-wal", "-shm"}) fs::remove(arquivo + s);
}

void Copiar(const std::string& de, const std::string& para) {
  Remover(para);
  banco::TBanco origem(de, banco::kLeitura);
  origem.exec("VACUUM INTO '" + para + "'");
}

// Generates the office when its file does not exist.
void Gerar(const std::string& arquivo, const gerador::TOpcoes& g) {
  if (fs::exists(arquivo)) return;
  std::cout << "Gerando " << arquivo << "...\n";
  auto inicio = Relogio::now();
  auto conexao = TQDConnection::Criar(arquivo);
  banco::TBanco& db = conexao->Db();
  db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -131072");
  db.exec("BEGIN");
  const gerador::TResumo resumo = gerador::Gerar(db, g);
  db.exec("COMMIT");
  db.exec("ANALYZE");
  db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
  resumo.Escrever(std::cout, g);
  std::printf("  gerado em %.1f s\n", Segundos(inicio));
}

}  // namespace

int main(int argc, char** argv) {
  const TOpcoes o = LerOpcoes(argc, argv);
  try {
    std::vector<std::string> arquivos;
    for (int empresas : o.Empresas) {
      arquivos.push_back(o.Empresas.size() == 1 ? o.Arquivo : o.Arquivo + "." + std::to_string(empresas) + ".db");
      gerador::TOpcoes g = o.Gerador;
      g.FiliaisPorEmpresa = (g.Filiais + empresas - 1) / empresas;
      Gerar(arquivos.back(), g);
    }
    std::vector<int64_t> filiais;
    {
      banco::TBanco db(arquivos[0], banco::kLeitura);
      banco::TComando q(db, "SELECT IDFILIAL FROM SC00_FILIAL ORDER BY 1");
      while (q.executeStep()) filiais.push_back(q.getColumn(0).getInt64());
      banco::TComando n(db, "SELECT (SELECT COUNT(*) FROM ES02_ENTRADADET) + (SELECT COUNT(*) FROM ES02_SAIDADET)");
      n.executeStep();
      std::cout << "Banco: " << arquivos[0] << ", " << filiais.size() << " estabelecimentos, " << n.getColumn(0).getInt64()
                << " itens; programa " << o.Programa << "\n"
                << "Carga da máquina no início (1, 5, 15 min): " << Carga() << "\n";
    }
    const std::vector<std::string> periodo = {"--inicio", "01/01/2025", "--fim", "31/01/2025"};
    const double n = static_cast<double>(filiais.size());

    // The batch over each layout, one after the other.
    const std::string lote = o.Arquivo + ".lote.db", sozinhos = o.Arquivo + ".sozinhos.db";
    double tLote = 0;
    for (size_t k = 0; k < arquivos.size(); ++k) {
      const std::string copia = k == 0 ? lote : o.Arquivo + ".lote" + std::to_string(k) + ".db";
      Copiar(arquivos[k], copia);
      TUso uso;
      auto inicio = Relogio::now();
      std::vector<std::string> args = {"lote", "--db", copia};
      args.insert(args.end(), periodo.begin(), periodo.end());
      Rodar(o.Programa, args, uso);
      const double t = Segundos(inicio);
      if (k == 0) tLote = t;
      else Remover(copia);
      std::printf("lote, %4d empresa(s): %8.2f s  (CPU %.2f s usuário + %.2f s sistema, pico %.1f MiB), %.2f ms por"
                  " estabelecimento, %.2f vezes o do primeiro%s\n",
                  o.Empresas[k], t, uso.CPUUsuario, uso.CPUSistema, uso.PicoMiB, 1000 * t / n, t / tLote,
                  uso.Falhas ? "  FALHOU" : "");
    }

    if (o.Apurar) {
      Copiar(arquivos[0], sozinhos);
      TUso usoLaco;
      auto inicio = Relogio::now();
      for (int64_t f : filiais) {
        std::vector<std::string> a = {"apurar", "--db", sozinhos, "--filial", std::to_string(f)};
        a.insert(a.end(), periodo.begin(), periodo.end());
        Rodar(o.Programa, a, usoLaco);
      }
      const double tLaco = Segundos(inicio);
      std::printf("apurar um a um:   %8.2f s  (CPU %.2f s usuário + %.2f s sistema, pico %.1f MiB)%s\n", tLaco,
                  usoLaco.CPUUsuario, usoLaco.CPUSistema, usoLaco.PicoMiB,
                  usoLaco.Falhas ? ("  " + std::to_string(usoLaco.Falhas) + " FALHARAM").c_str() : "");
      std::printf("por estabelecimento: lote %.1f ms, apurar %.1f ms; o lote é %.1f vezes mais rápido\n", 1000 * tLote / n,
                  1000 * tLaco / n, tLaco / tLote);
      std::cout << "Registros da apuração iguais nas duas cópias: " << (Registros(lote) == Registros(sozinhos) ? "sim" : "NÃO")
                << "\n";
    }
    std::cout << "Carga da máquina no fim (1, 5, 15 min): " << Carga() << "\n";
    Remover(lote);
    Remover(sozinhos);
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
