// livro-bench-gerar: creates a large bookkeeping database for the benchmarks (bench/gerador.h).
//
//   livro-bench-gerar ARQUIVO [--itens N] [--filiais F] [--meses M] [--substituir]
//
// By default one establishment (IDFILIAL 1) with about 1,000,000 items over the twelve months of
// 2025; --filiais splits the items among F establishments (the office of the batch benchmark),
// --meses keeps the documents to the first M months. The same options always give the same file.
//
// The load runs in one transaction with prepared statements, journal and syncing off (a half-written
// file is useless anyway), then ANALYZE, and the file is left in the journal mode the program uses.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "host/banco/motor.h"

#include "bench/medicao.h"
#include "bench/gerador.h"
#include "host/banco/conexao.h"

namespace {

using namespace medicao;

struct TOpcoesLinha {
  std::string Arquivo;
  gerador::TOpcoes Gerador;
  bool Substituir = false;
};

[[noreturn]] void Uso(const char* msg) {
  if (msg) std::cerr << "Erro: " << msg << "\n";
  std::cerr << "Uso: livro-bench-gerar ARQUIVO [--itens N] [--filiais F] [--meses M] [--substituir]\n"
               "  Cria um banco SQLite com escrituração de 2025 (cerca de N itens de documentos; padrão 1000000)\n"
               "  de F estabelecimentos (padrão 1) nos primeiros M meses (padrão 12).\n"
               "  --substituir apaga ARQUIVO se existir.\n";
  std::exit(2);
}

long long Inteiro(int argc, char** argv, int& i, const char* nome, long long minimo, long long maximo) {
  if (++i >= argc) Uso((std::string(nome) + " sem valor").c_str());
  char* fim = nullptr;
  long long v = std::strtoll(argv[i], &fim, 10);
  if (*fim != '\0' || v < minimo || v > maximo) Uso((std::string(nome) + " fora dos limites").c_str());
  return v;
}

TOpcoesLinha LerOpcoes(int argc, char** argv) {
  TOpcoesLinha o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--itens") o.Gerador.Itens = Inteiro(argc, argv, i, "--itens", 100, 1'000'000'000);
    else if (a == "--filiais") o.Gerador.Filiais = static_cast<int>(Inteiro(argc, argv, i, "--filiais", 1, 100'000));
    else if (a == "--meses") o.Gerador.Meses = static_cast<int>(Inteiro(argc, argv, i, "--meses", 1, 12));
    else if (a == "--substituir") o.Substituir = true;
    else if (a == "-h" || a == "--help") Uso(nullptr);
    else if (!a.empty() && a[0] == '-') Uso(("opção desconhecida: " + a).c_str());
    else if (o.Arquivo.empty()) o.Arquivo = a;
    else Uso("mais de um arquivo");
  }
  if (o.Arquivo.empty()) Uso("informe o ARQUIVO");
  if (o.Gerador.Itens < 100LL * o.Gerador.Filiais) Uso("--itens deve dar ao menos 100 itens a cada estabelecimento");
  return o;
}


}  // namespace

int main(int argc, char** argv) {
  TOpcoesLinha o = LerOpcoes(argc, argv);
  try {
    if (o.Substituir) {
      for (const char* ext : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(o.Arquivo + ext);
    }
    auto inicio = std::chrono::steady_clock::now();
    auto conexao = TQDConnection::Criar(o.Arquivo);
    banco::TBanco& db = conexao->Db();
    // Bulk load: no journal, no syncing, a large page cache.
    db.exec("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; PRAGMA cache_size = -131072; PRAGMA temp_store = MEMORY");
    db.exec("BEGIN");
    const gerador::TResumo resumo = gerador::Gerar(db, o.Gerador);
    db.exec("COMMIT");
    double tCarga = Segundos(inicio);
    auto inicioAnalyze = std::chrono::steady_clock::now();
    db.exec("ANALYZE");
    double tAnalyze = Segundos(inicioAnalyze);
    db.exec("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
    conexao.reset();
    double total = Segundos(inicio);
    auto tamanho = std::filesystem::file_size(o.Arquivo);

    std::cout << "Banco gerado: " << o.Arquivo << "\n"
              << "  estabelecimentos em São Paulo/SP (mensal), inscrições de ICMS-ST em RJ (com número) e MG (sem, GNRE)\n";
    resumo.Escrever(std::cout, o.Gerador);
    char linha[200];
    std::snprintf(linha, sizeof linha, "  tamanho               %.1f MiB\n  tempo                 %.2f s (carga %.2f s, ANALYZE %.2f s)\n",
                  static_cast<double>(tamanho) / (1024.0 * 1024.0), total, tCarga, tAnalyze);
    std::cout << linha;
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
