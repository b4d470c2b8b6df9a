// livro-bench-efd: times reading and loading a large EFD ICMS/IPI file.
//
//   livro-bench-efd [--documentos N] [--banco ARQUIVO] [--em-memoria]
//
// Writes, in the system's temporary folder, the file of one SP establishment for one month with N
// documents (default 100,000): 60 % exits and 40 % entries, each C100 with two C170 items and one or
// two C190 lines, one participant in ten documents, a C197 in one document in fifty, block E with
// E110 and one E111. Then loads it as `efd importar` does, read and written record by record
// (TImportacaoEFD::ImportarArquivo), into a new database file (default: in the temporary folder), and
// prints the file's size and lines, the time and items a second, the rows loaded, the peak resident
// memory (ru_maxrss) and the machine's load. A second load of the same file (the replacement of the
// first) is timed too. Run once per size: the peak is the process's. --em-memoria reads the whole
// file first and then loads it, as the import did before it loaded as it read.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "bench/medicao.h"
#include "efd/arquivoefd.h"
#include "efd/importacaoefd.h"
#include "host/banco/conexao.h"

namespace fs = std::filesystem;

namespace {

using namespace medicao;


std::string Centavos(int64_t c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld,%02lld", static_cast<long long>(c / 100), static_cast<long long>(c % 100));
  return buf;
}

int64_t Gerar(const std::string& caminho, int64_t documentos) {
  std::ofstream f(caminho, std::ios::binary);
  // The file's own counts, as the import checks them: lines of each block and of each record.
  int64_t linhas = 0, noBloco = 0;
  std::map<std::string, int64_t> registros;
  auto linha = [&](const std::string& s) {
    f << s << "\r\n";
    ++linhas;
    ++noBloco;
    ++registros[s.substr(1, 4)];
  };
  auto fechar = [&](const char* reg) {
    linha(std::string("|") + reg + "|" + std::to_string(noBloco + 1) + "|");
    noBloco = 0;
  };
  linha("|0000|019|0|01012026|31012026|EMPRESA DO BENCH LTDA|11111111000191||SP|100200300400|3550308|||A|1|");
  linha("|0001|0|");
  const int64_t participantes = documentos / 10 + 1;
  for (int64_t p = 1; p <= participantes; ++p) {
    char cnpj[32];
    std::snprintf(cnpj, sizeof cnpj, "%08lld000100", static_cast<long long>(20000000 + p));
    const char* mun = p % 3 == 0 ? "3304557" : p % 3 == 1 ? "3550308" : "3106200";
    linha("|0150|P" + std::to_string(p) + "|PARTICIPANTE " + std::to_string(p) + "|1058|" + cnpj + "||" +
          std::to_string(100000 + p) + "|" + mun + "||RUA|1|||");
  }
  fechar("0990");
  linha("|C001|0|");
  uint64_t semente = 42;
  auto aleatorio = [&](int64_t n) {
    semente = semente * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<int64_t>((semente >> 33) % static_cast<uint64_t>(n));
  };
  for (int64_t d = 1; d <= documentos; ++d) {
    const bool saida = aleatorio(10) < 6;
    const int dia = static_cast<int>(1 + aleatorio(31));
    char data[16];
    std::snprintf(data, sizeof data, "%02d012026", dia);
    const int64_t valor1 = 1000 + aleatorio(500000), valor2 = aleatorio(2) ? 1000 + aleatorio(200000) : 0;
    const std::string cfop1 = saida ? "5102" : "1102", cfop2 = saida ? "6102" : "2102";
    const std::string part = "P" + std::to_string(1 + aleatorio(participantes));
    linha("|C100|" + std::string(saida ? "1|0|" : "0|1|") + part + "|55|00|1|" + std::to_string(d) + "||" + data + "|" +
          data + "|" + Centavos(valor1 + valor2) + "|1|0|0|" + Centavos(valor1 + valor2) +
          "|0|0|0|0|0|0|0|0|0|0|0|0|0|");
    linha("|C170|1|ITEM1||1|UN|" + Centavos(valor1) + "|0|0|000|" + cfop1 + "||0|18,00|0|0|0|0|0|||0|0|0|||||||||||||");
    linha("|C170|2|ITEM2||1|UN|" + Centavos(valor2) + "|0|0|000|" + cfop2 + "||0|12,00|0|0|0|0|0|||0|0|0|||||||||||||");
    linha("|C190|000|" + cfop1 + "|18,00|" + Centavos(valor1) + "|" + Centavos(valor1) + "|" + Centavos(valor1 * 18 / 100) +
          "|0|0|0|0||");
    if (valor2 > 0)
      linha("|C190|000|" + cfop2 + "|12,00|" + Centavos(valor2) + "|" + Centavos(valor2) + "|" +
            Centavos(valor2 * 12 / 100) + "|0|0|0|0||");
    if (d % 50 == 0) {
      linha("|C195|OBS1||");
      linha("|C197|SP10090001|AJUSTE DO BENCH||0|0|1,00|0|");
    }
  }
  fechar("C990");
  linha("|E001|0|");
  linha("|E100|01012026|31012026|");
  linha("|E110|0|0|10,00|0|0|0|0|0|0|10,00|0|10,00|0|0|");
  linha("|E111|SP009999|OUTROS DEBITOS|10,00|");
  fechar("E990");
  linha("|9001|0|");
  for (const char* reg : {"9900", "9990", "9999"}) registros[reg] = 1;
  registros["9900"] = static_cast<int64_t>(registros.size());
  for (const auto& [reg, n] : std::map<std::string, int64_t>(registros)) linha("|9900|" + reg + "|" + std::to_string(n) + "|");
  linha("|9990|" + std::to_string(noBloco + 2) + "|");  // with itself and the 9999 that follows it
  linha("|9999|" + std::to_string(linhas + 1) + "|");
  return linhas;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t documentos = 100000;
  std::string banco;
  bool emMemoria = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--documentos" && i + 1 < argc) documentos = std::atoll(argv[++i]);
    else if (a == "--banco" && i + 1 < argc) banco = argv[++i];
    else if (a == "--em-memoria") emMemoria = true;
    else {
      std::cerr << "uso: livro-bench-efd [--documentos N] [--banco ARQUIVO] [--em-memoria]\n";
      return 1;
    }
  }
  const fs::path dir = fs::temp_directory_path();
  const std::string arquivo = (dir / ("livro-bench-efd-" + std::to_string(getpid()) + ".txt")).string();
  if (banco.empty()) banco = (dir / ("livro-bench-efd-" + std::to_string(getpid()) + ".db")).string();
  for (const char* s : {"", "-wal", "-shm"}) fs::remove(banco + s);

  auto t = Relogio::now();
  const int64_t linhas = Gerar(arquivo, documentos);
  std::printf("arquivo: %lld documentos, %lld linhas, %.1f MB (gerado em %.2f s)\n", static_cast<long long>(documentos),
              static_cast<long long>(linhas), static_cast<double>(fs::file_size(arquivo)) / 1e6, Segundos(t));

  auto conexao = TQDConnection::Criar(banco);
  const std::string cargaInicial = Carga();
  t = Relogio::now();
  // The whole file read first, then loaded: how the import worked before it loaded as it read.
  auto importar = [&] {
    efd::TArquivoEFD lido;
    if (!emMemoria) return efd::TImportacaoEFD(*conexao).ImportarArquivo(arquivo, lido);
    lido = efd::LerArquivoEFD(arquivo);
    return efd::TImportacaoEFD(*conexao).Importar(lido);
  };
  const efd::TResumoImportacao r = importar();
  const double carga = Segundos(t);
  const double pico = PicoMemoriaMiB();
  t = Relogio::now();
  importar();
  const double recarga = Segundos(t);
  std::printf("leitura e carga: %.2f s (%.0f itens/s)   nova carga (substitui): %.2f s (%.0f itens/s)\n", carga,
              static_cast<double>(r.Itens) / carga, recarga, static_cast<double>(r.Itens) / recarga);
  std::printf("carregado: %lld entradas, %lld saídas, %lld itens, %lld lançamentos\n",
              static_cast<long long>(r.Entradas), static_cast<long long>(r.Saidas), static_cast<long long>(r.Itens),
              static_cast<long long>(r.Lancamentos));
  std::printf("pico de memória (ru_maxrss): %.0f MiB após a primeira carga, %.0f MiB no fim\n", pico, PicoMemoriaMiB());
  std::printf("carga da máquina: %s no início, %s no fim\n", cargaInicial.c_str(), Carga().c_str());
  conexao.reset();
  fs::remove(arquivo);
  for (const char* s : {"", "-wal", "-shm"}) fs::remove(banco + s);
  return 0;
}
