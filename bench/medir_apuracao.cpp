// livro-bench-apuracao: times the settlement and the printed book of a year against what SQLite
// needs to read every item once.
//
//   livro-bench-apuracao ARQUIVO [--repeticoes R] [--filial ID] [--ano AAAA] [--sem-livro]
//                        [--consultas-brutas] [--planos] [--sql]
//
// Each repetition runs, on one connection:
//   (a) the read-once baseline: every item of the establishment's entries and exits of the year read
//       once with its document and its participant's state (documents, accounts, participants and
//       municipalities joined, items through their index), the eight amounts the registers add up
//       totalled in memory by month, CFOP, state and ST flag: the least a settlement of the year can
//       read;
//   (b) the settlement of the twelve months, all taxes, as the command line does (TPedidoApuracao +
//       TExecucaoApuracao, scripted interaction with no answers);
//   (c) unless --sem-livro, the book of the year printed to a text and a PDF file (the printing module
//       TdmLivroICMS with the report form's defaults), which settles again and then prints;
//   (d) with --consultas-brutas, the settlement's register and entry texts run bare on SQLite as
//       written (adapted by AdaptarSQL), what the settlement cost before it answered its registers
//       from one reading.
// It prints the times (wall clock and process CPU), the ratios settlement / baseline and book /
// settlement, the peak resident memory and the machine's load; then the best and the median of the
// R repetitions. The tax of the settlement's registers is checked against the baseline's totals, tax
// by tax. --planos prints EXPLAIN QUERY PLAN of the baseline's and the first month's register texts;
// --sql prints those texts and stops.
//
// The settlement writes its results into the database. Re-running it replaces them (the rows of a
// period are updated in place), so the file can be measured again and again; use a copy when the
// generated file must stay untouched.
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/banco/motor.h"

#include "bench/medicao.h"
#include "apuracao/apuracao.h"
#include "apuracao/sqlapuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/conexao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "host/servicos/selecaoimpostos.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "regimes/subtrib/sqlsubtrib.h"
#include "relatorio/livroicms.h"

namespace {

using namespace medicao;


struct TOpcoes {
  std::string Arquivo;
  int Repeticoes = 3;
  int64_t Filial = 1;
  int Ano = 2025;
  bool Livro = true;
  bool Brutas = false;
  bool Planos = false;
  bool Sql = false;
};

[[noreturn]] void Uso(const char* msg) {
  if (msg) std::cerr << "Erro: " << msg << "\n";
  std::cerr << "Uso: livro-bench-apuracao ARQUIVO [--repeticoes R] [--filial ID] [--ano AAAA] [--sem-livro]\n"
               "       [--consultas-brutas] [--planos] [--sql]\n"
               "  Mede a apuração dos 12 meses do ano (padrão 2025, estabelecimento 1, todos os impostos) e o livro\n"
               "  impresso em texto e PDF contra a leitura única dos itens com documento e participante.\n"
               "  A apuração grava no banco (regravações substituem); use uma cópia se preferir.\n";
  std::exit(2);
}

long Inteiro(int argc, char** argv, int& i, const char* nome, long minimo) {
  if (++i >= argc) Uso((std::string(nome) + " sem valor").c_str());
  char* fim = nullptr;
  long v = std::strtol(argv[i], &fim, 10);
  if (*fim != '\0' || v < minimo) Uso((std::string(nome) + " inválido").c_str());
  return v;
}

TOpcoes LerOpcoes(int argc, char** argv) {
  TOpcoes o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--repeticoes") o.Repeticoes = static_cast<int>(Inteiro(argc, argv, i, "--repeticoes", 1));
    else if (a == "--filial") o.Filial = Inteiro(argc, argv, i, "--filial", 1);
    else if (a == "--ano") o.Ano = static_cast<int>(Inteiro(argc, argv, i, "--ano", 1900));
    else if (a == "--sem-livro") o.Livro = false;
    else if (a == "--consultas-brutas") o.Brutas = true;
    else if (a == "--planos") o.Planos = true;
    else if (a == "--sql") o.Sql = true;
    else if (a == "-h" || a == "--help") Uso(nullptr);
    else if (!a.empty() && a[0] == '-') Uso(("opção desconhecida: " + a).c_str());
    else if (o.Arquivo.empty()) o.Arquivo = a;
    else Uso("mais de um arquivo");
  }
  if (o.Arquivo.empty()) Uso("informe o ARQUIVO");
  return o;
}

std::string Dois(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

// ------------------------------------------------------------------ the read-once baseline

// The baseline's query of one side: documents first, their participant's state (one lookup per
// document), then the items.
std::string SqlBase(bool saidas) {
  const std::string doc = saidas ? "ES02_SAIDA" : "ES02_ENTRADA", item = saidas ? "ES02_SAIDADET" : "ES02_ENTRADADET",
                    chave = saidas ? "IDSAIDA" : "IDENTRADA", data = saidas ? "DATAEMISSAO" : "DATAENTRADA",
                    flag = saidas ? "DEBITOST" : "CREDITOST";
  return "SELECT S." + chave + ", S." + data + ", M.UF, D.IDCFOP, D." + flag +
         " = 1, D.VLRCONTABIL, D.BCICMS, D.ICMS, D.ISENTASICMS, D.NTICMS, D.OUTRASICMS, D.BCICMSST, D.ICMSST"
         " FROM " + doc + " S"
         " LEFT JOIN CO01_PLANO P ON (P.IDPLANO = S.IDPLANO)"
         " LEFT JOIN ES02_CLIFOR C ON (C.IDCLIFOR = P.IDCLIFOR)"
         " LEFT JOIN CA06_MUNICIPIO M ON (M.IDMUNICIPIO = C.IDMUNICIPIO)"
         " JOIN " + item + " D ON (D." + chave + " = S." + chave + ")"
         " WHERE S.IDFILIAL = ?1 AND S." + data + " BETWEEN ?2 AND ?3";
}

struct TResultadoBase {
  double Total = 0, CPU = 0;
  int64_t Itens = 0;
  size_t Grupos = 0;
  double ICMS = 0;                            // ICMS of every item (the regular registers)
  std::map<std::string, double> ICMSSTPorUF;  // ICMS-ST of the flagged items by participant state
};

TResultadoBase LerUmaVez(banco::TBanco& db, const TOpcoes& o) {
  TResultadoBase r;
  auto inicio = Relogio::now();
  const double cpu0 = SegundosCPU();
  // month (1-12), CFOP id, state (index), flag -> the eight amounts
  struct TChave {
    int Mes;
    int64_t IdCfop;
    int UF;
    bool ST;
    bool operator==(const TChave&) const = default;
  };
  struct THash {
    size_t operator()(const TChave& c) const {
      return std::hash<uint64_t>()(static_cast<uint64_t>(c.IdCfop) * 1021u + static_cast<uint64_t>(c.Mes) * 67u +
                                   static_cast<uint64_t>(c.UF + 1) * 2u + (c.ST ? 1u : 0u));
    }
  };
  std::vector<std::string> ufs;
  std::vector<std::unordered_map<TChave, std::array<double, 8>, THash>> lados(2);
  for (bool saidas : {false, true}) {
    auto& totais = lados[saidas ? 1 : 0];
    const std::string sql = SqlBase(saidas);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db.getHandle(), sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db.getHandle()));
    const std::string ini = std::to_string(o.Ano) + "-01-01", fim = std::to_string(o.Ano) + "-12-31";
    sqlite3_bind_int64(st, 1, o.Filial);
    sqlite3_bind_text(st, 2, ini.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, fim.c_str(), -1, SQLITE_TRANSIENT);
    int64_t documento = -1;
    int mes = 0, uf = -1;
    while (sqlite3_step(st) == SQLITE_ROW) {
      ++r.Itens;
      if (sqlite3_column_int64(st, 0) != documento) {  // the document's month and state, once a document
        documento = sqlite3_column_int64(st, 0);
        const char* data = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        mes = data && std::strlen(data) >= 7 ? (data[5] - '0') * 10 + (data[6] - '0') : 0;
        uf = -1;
        if (const char* u = reinterpret_cast<const char*>(sqlite3_column_text(st, 2))) {
          auto it = std::find(ufs.begin(), ufs.end(), u);
          uf = static_cast<int>(it - ufs.begin());
          if (it == ufs.end()) ufs.emplace_back(u);
        }
      }
      auto& v = totais[TChave{mes, sqlite3_column_int64(st, 3), uf, sqlite3_column_int(st, 4) == 1}];
      for (int i = 0; i < 8; ++i) v[static_cast<size_t>(i)] += sqlite3_column_double(st, 5 + i);
    }
    sqlite3_finalize(st);
  }
  r.Total = Segundos(inicio);
  r.CPU = SegundosCPU() - cpu0;
  for (const auto& totais : lados) {
    r.Grupos += totais.size();
    for (const auto& [chave, v] : totais) {
      r.ICMS += v[2];
      if (chave.ST && chave.UF >= 0) r.ICMSSTPorUF[ufs[static_cast<size_t>(chave.UF)]] += v[7];
    }
  }
  return r;
}

// ------------------------------------------------------------------ the register texts run bare (--consultas-brutas)

enum TClasse { cRegistroEntrada, cRegistroSaida, cLancamentos, kQtdeClasses };
const char* const kNomesClasse[] = {"registro de entradas", "registro de saídas", "lançamentos de apuração"};

struct TConsulta {
  std::string Rotulo;  // "2025-01 2001 entradas"
  TClasse Classe;
  std::string Sql;     // adapted, ready for SQLite
  bool Registro;       // a register query (its IMPOSTO column counts in the check total)
};

struct TInscricao {
  std::string UF, Imposto;
};

// The establishment's ST inscriptions in force in the year, in the order the settlement takes them.
std::vector<TInscricao> Inscricoes(banco::TBanco& db, int64_t filial, int ano) {
  banco::TComando q(db,
      "SELECT I.UF, C.IMPOSTO FROM HS_INSCRICAOST I JOIN HS_CODIGOICMSST C ON (C.UF = I.UF)"
      " WHERE I.IDFILIAL = ? AND I.DATAINICIO <= ? AND (I.DATAFIM IS NULL OR I.DATAFIM >= ?) ORDER BY I.UF, I.IDINSCRICAOST");
  q.bind(1, static_cast<int64_t>(filial));
  q.bind(2, std::to_string(ano) + "-12-31");
  q.bind(3, std::to_string(ano) + "-01-01");
  std::vector<TInscricao> r;
  while (q.executeStep()) r.push_back({q.getColumn(0).getString(), q.getColumn(1).getString()});
  return r;
}

// The stored entry types of entry kinds (ordinals), in ascending ordinal order as the settlement lists them.
std::string Tipos(banco::TBanco& db, std::initializer_list<int> ordinais) {
  std::string r;
  for (int o : ordinais) {
    banco::TComando q(db, "SELECT TPLANCAMENTO FROM HS_TIPOLANCAMENTO WHERE ORDINAL = ?");
    q.bind(1, o);
    if (!q.executeStep()) throw std::runtime_error("HS_TIPOLANCAMENTO sem o ordinal " + std::to_string(o));
    r += (r.empty() ? "" : ",") + q.getColumn(0).getString();
  }
  return r;
}

std::vector<TConsulta> MontarConsultas(banco::TBanco& db, const TOpcoes& o) {
  auto adaptar = [](const std::string& sql) { return AdaptarSQL(sql); };
  const std::string id = std::to_string(o.Filial), zeros = "000";
  const std::string tiposDebito = Tipos(db, {2, 3}), tiposCredito = Tipos(db, {0, 1, 4, 5}), tiposSaldo = Tipos(db, {8, 9});
  const std::string condicao = " SC00_FILIAL.IDFILIAL = " + id;
  const auto inscricoes = Inscricoes(db, o.Filial, o.Ano);
  const int dias[] = {31, (o.Ano % 4 == 0 && (o.Ano % 100 != 0 || o.Ano % 400 == 0)) ? 29 : 28, 31, 30, 31, 30,
                      31, 31, 30, 31, 30, 31};
  std::vector<TConsulta> r;
  auto lancamentos = [&](const std::string& rotulo, const std::string& imposto, const std::string& ini,
                         const std::string& fim) {
    for (const std::string* tipos : {&tiposDebito, &tiposCredito, &tiposSaldo})
      r.push_back({rotulo + " lançamentos " + *tipos, cLancamentos,
                   AdaptarSQL(Format(kSqlLancamentos, {condicao, texto::QuotedStr(imposto), *tipos, ini, fim, ""})), false});
  };
  for (int m = 1; m <= 12; ++m) {
    const std::string mes = std::to_string(o.Ano) + "-" + Dois(m);
    const std::string ini = "'" + mes + "-01'", fim = "'" + mes + "-" + Dois(dias[m - 1]) + "'";
    // regular ICMS: debits (exits register) are loaded before credits (entries register)
    lancamentos(mes + " 2001", "2001", ini, fim);
    r.push_back({mes + " 2001 saídas", cRegistroSaida, adaptar(Format(kSqlRegSaidaAgrupado, {zeros, id, ini, fim})), true});
    r.push_back({mes + " 2001 entradas", cRegistroEntrada, adaptar(Format(kSqlRegEntradaAgrupado, {zeros, id, ini, fim})), true});
    for (const auto& insc : inscricoes) {
      const std::string uf = texto::QuotedStr(insc.UF), rot = mes + " " + insc.Imposto + " (" + insc.UF + ")";
      lancamentos(rot, insc.Imposto, ini, fim);
      r.push_back({rot + " saídas", cRegistroSaida, adaptar(Format(kSqlRegSaidaAgrupadoST, {zeros, id, ini, fim, uf})), true});
      r.push_back({rot + " entradas", cRegistroEntrada, adaptar(Format(kSqlRegEntradaAgrupadoST, {zeros, id, ini, fim, uf})), true});
    }
  }
  return r;
}

struct TResultadoBruto {
  double Total = 0, CPU = 0;
  double PorClasse[kQtdeClasses] = {0, 0, 0};
  int64_t Linhas = 0;
  double ImpostoRegistros = 0;  // sum of the IMPOSTO column of every register row
};

TResultadoBruto ExecutarBrutas(banco::TBanco& db, const std::vector<TConsulta>& consultas) {
  TResultadoBruto r;
  auto inicio = Relogio::now();
  const double cpu0 = SegundosCPU();
  for (const auto& c : consultas) {
    auto t0 = Relogio::now();
    banco::TComando q(db, c.Sql);
    const int n = q.getColumnCount();
    int colImposto = -1;
    if (c.Registro)
      for (int i = 0; i < n; ++i)
        if (std::string(q.getColumnName(i)) == "IMPOSTO") colImposto = i;
    while (q.executeStep()) {
      ++r.Linhas;
      for (int i = 0; i < n; ++i) {  // read every column, as the settlement's loads do
        banco::TColuna col = q.getColumn(i);
        if (col.isText()) (void)col.getString();
        else (void)col.getDouble();
      }
      if (colImposto >= 0) r.ImpostoRegistros += q.getColumn(colImposto).getDouble();
    }
    r.PorClasse[c.Classe] += Segundos(t0);
  }
  r.Total = Segundos(inicio);
  r.CPU = SegundosCPU() - cpu0;
  return r;
}

// ------------------------------------------------------------------ the settlement and the book

struct TResultadoApuracao {
  double Total = 0, CPU = 0;
  int Resumos = 0;
  std::map<std::string, double> ImpostoRegistros;  // tax of the entry and exit registers, by tax code
  std::map<std::string, std::string> UFDoImposto;   // the state of each ICMS-ST code
  std::map<std::string, Currency> DevidoPorImposto;
};

TResultadoApuracao Apurar(TQDConnection& conexao, const TOpcoes& o) {
  TResultadoApuracao r;
  auto inicio = Relogio::now();
  const double cpu0 = SegundosCPU();
  TPedidoApuracao pedido;
  pedido.IdFilial = o.Filial;
  pedido.DataInicio = std::to_string(o.Ano) + "-01-01";
  pedido.DataFim = std::to_string(o.Ano) + "-12-31";
  pedido.Impostos = "todos";
  TExecucaoApuracao execucao(conexao, pedido);
  execucao.Calcular();
  r.Total = Segundos(inicio);
  r.CPU = SegundosCPU() - cpu0;
  TResumos& rs = execucao.Apuracao().GetResumos();
  r.Resumos = rs.Count();
  for (int i = 0; i < rs.Count(); ++i) {
    TResumo* s = rs.GetItem(i);
    r.ImpostoRegistros[s->GetCodImposto()] += s->GetDebito().GetRegistros().GetTotalImposto().ToDouble() +
                                              s->GetCredito().GetRegistros().GetTotalImposto().ToDouble();
    if (auto* st = dynamic_cast<TResumoST*>(s)) r.UFDoImposto[s->GetCodImposto()] = st->GetUF();
    r.DevidoPorImposto[s->GetCodImposto()] += s->GetImpostoARecolher();
  }
  return r;
}

struct TResultadoLivro {
  double Total = 0, CPU = 0;
  double CPUPaginas = 0;  // the printing alone: after the book's own settlement
  int Paginas = 0;
  uintmax_t BytesTexto = 0, BytesPdf = 0;
};

// The book of the year as the report form prints it by default, to a text and a PDF file.
TResultadoLivro ImprimirLivro(TQDConnection& conexao, const TOpcoes& o) {
  const auto pasta = std::filesystem::temp_directory_path();
  const std::string base = (pasta / ("livro-bench-" + std::to_string(getpid()))).string();
  TResultadoLivro r;
  auto inicio = Relogio::now();
  const double cpu0 = SegundosCPU();
  {
    TFrameSelecionarImpostos impostos(conexao);
    SelecionarImpostos(impostos, "todos");
    TdmLivroICMS modulo;
    modulo.FIdFilial = o.Filial;
    modulo.FIdEmpresa = GFuncoes->GetDadosFilial(o.Filial).IdEmpresa;
    modulo.FDataInicio = EncodeDate(o.Ano, 1, 1);
    modulo.FDataFim = EncodeDate(o.Ano, 12, 31);
    modulo.FDataSetImpostos = &impostos.GetDataSet();
    modulo.Prn().SetArquivoTexto(base + ".txt");
    modulo.Prn().SetArquivoPdf(base + ".pdf");
    double cpuApurado = 0;
    modulo.OnApurado = [&cpuApurado] { cpuApurado = SegundosCPU(); };
    if (!modulo.Imprimir()) throw std::runtime_error("o livro não pôde ser impresso");
    r.CPUPaginas = SegundosCPU() - cpuApurado;
    r.Paginas = modulo.GetUltimaPagina();
  }
  r.Total = Segundos(inicio);
  r.CPU = SegundosCPU() - cpu0;
  r.BytesTexto = std::filesystem::file_size(base + ".txt");
  r.BytesPdf = std::filesystem::file_size(base + ".pdf");
  std::filesystem::remove(base + ".txt");
  std::filesystem::remove(base + ".pdf");
  return r;
}

// ------------------------------------------------------------------ plans

void ImprimirPlanos(banco::TBanco& db, const std::vector<TConsulta>& consultas) {
  std::cout << "\nPlanos de execução (EXPLAIN QUERY PLAN) das consultas do primeiro mês:\n";
  std::string primeiroMes = consultas.empty() ? "" : consultas.front().Rotulo.substr(0, 7);
  for (const auto& c : consultas) {
    if (c.Rotulo.compare(0, 7, primeiroMes) != 0) break;
    std::cout << "\n-- " << c.Rotulo << "\n";
    banco::TComando q(db, "EXPLAIN QUERY PLAN " + c.Sql);
    std::map<int, int> nivel;
    while (q.executeStep()) {
      int idNo = q.getColumn(0).getInt(), pai = q.getColumn(1).getInt();
      int n = nivel.count(pai) ? nivel[pai] + 1 : 0;
      nivel[idNo] = n;
      std::cout << "   " << std::string(static_cast<size_t>(n) * 2, ' ') << q.getColumn(3).getString() << "\n";
    }
  }
}

double Mediana(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double Melhor(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

std::string Fmt(const char* formato, double a, double b = 0, double c = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, formato, a, b, c);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  TOpcoes o = LerOpcoes(argc, argv);
  try {
    std::cout << "Banco: " << o.Arquivo << " ("
              << Fmt("%.1f MiB", static_cast<double>(std::filesystem::file_size(o.Arquivo)) / (1024.0 * 1024.0))
              << "), estabelecimento " << o.Filial << ", ano " << o.Ano << ", " << o.Repeticoes << " repetições\n"
              << "Carga da máquina no início (1, 5, 15 min): " << Carga() << "\n";
    auto conexao = TQDConnection::Abrir(o.Arquivo);
    banco::TBanco& db = conexao->Db();
    {
      banco::TComando q(db, "SELECT (SELECT COUNT(*) FROM ES02_ENTRADADET), (SELECT COUNT(*) FROM ES02_SAIDADET)");
      q.executeStep();
      std::cout << "Itens: " << q.getColumn(0).getInt64() << " de entrada, " << q.getColumn(1).getInt64() << " de saída\n";
    }
    const auto consultas = o.Brutas || o.Sql || o.Planos ? MontarConsultas(db, o) : std::vector<TConsulta>{};
    if (o.Sql) {
      std::cout << "-- leitura única (saídas)\n" << SqlBase(true) << ";\n";
      for (const auto& c : consultas) {
        if (c.Rotulo.compare(0, 7, consultas.front().Rotulo, 0, 7) != 0) break;
        std::cout << "-- " << c.Rotulo << "\n" << c.Sql << ";\n";
      }
      return 0;
    }
    std::cout << "Memória após abrir o banco: " << Fmt("%.1f MiB", PicoMemoriaMiB()) << "\n\n";

    TInteracaoRoteirizada interacao;  // no answers: every question takes its default
    THost host(*conexao, interacao);

    std::vector<double> tBase, tApuracao, tLivro, tBruto, cBase, cApuracao, cLivro, rApuracao, rLivro, rPaginas;
    TResultadoApuracao ultima;
    TResultadoBase base;
    TResultadoLivro livro;
    for (int rep = 1; rep <= o.Repeticoes; ++rep) {
      base = LerUmaVez(db, o);
      TResultadoApuracao a = Apurar(*conexao, o);
      tBase.push_back(base.Total);
      cBase.push_back(base.CPU);
      tApuracao.push_back(a.Total);
      cApuracao.push_back(a.CPU);
      rApuracao.push_back(a.CPU / base.CPU);
      std::cout << "repetição " << rep << ": leitura única " << Fmt("%.3f s (CPU %.3f s)", base.Total, base.CPU)
                << ", apuração " << Fmt("%.3f s (CPU %.3f s)", a.Total, a.CPU) << ", razão apuração/leitura "
                << Fmt("%.2f (CPU %.2f)", a.Total / base.Total, a.CPU / base.CPU);
      if (o.Livro) {
        livro = ImprimirLivro(*conexao, o);
        tLivro.push_back(livro.Total);
        cLivro.push_back(livro.CPU);
        rLivro.push_back(livro.CPU / a.CPU);
        // The pages alone against the settlement of the same repetition: on a busy machine the
        // book's own settlement and the one measured before it drift apart, its pages do not.
        rPaginas.push_back(1 + livro.CPUPaginas / a.CPU);
        std::cout << ", livro " << Fmt("%.3f s (CPU %.3f s, páginas %.3f s)", livro.Total, livro.CPU, livro.CPUPaginas)
                  << ", razão livro/apuração " << Fmt("%.2f (CPU %.2f)", livro.Total / a.Total, livro.CPU / a.CPU);
      }
      if (o.Brutas) {
        TResultadoBruto b = ExecutarBrutas(db, consultas);
        tBruto.push_back(b.Total);
        std::cout << ", textos de referência brutos " << Fmt("%.3f s (CPU %.3f s)", b.Total, b.CPU);
      }
      std::cout << ", pico de memória " << Fmt("%.1f MiB", PicoMemoriaMiB()) << "\n";
      // The registers' tax, tax by tax, against the baseline's totals.
      for (const auto& [imposto, valor] : a.ImpostoRegistros) {
        auto uf = a.UFDoImposto.find(imposto);
        const double esperado = uf == a.UFDoImposto.end() ? base.ICMS : base.ICMSSTPorUF[uf->second];
        if (std::fabs(valor - esperado) > 0.005)
          std::cout << "  ATENÇÃO: imposto " << imposto << " dos registros " << Fmt("%.2f", valor) << ", leitura única "
                    << Fmt("%.2f", esperado) << "\n";
      }
      ultima = std::move(a);
    }

    std::cout << "\nResumo (" << o.Repeticoes << " repetições; melhor e mediana)\n"
              << "  leitura única     " << Fmt("%8.3f s  %8.3f s", Melhor(tBase), Mediana(tBase)) << "   CPU "
              << Fmt("%.3f s  %.3f s", Melhor(cBase), Mediana(cBase)) << "  (" << base.Itens << " itens, " << base.Grupos
              << " totais mês/CFOP/UF/ST)\n"
              << "  apuração          " << Fmt("%8.3f s  %8.3f s", Melhor(tApuracao), Mediana(tApuracao)) << "   CPU "
              << Fmt("%.3f s  %.3f s", Melhor(cApuracao), Mediana(cApuracao)) << "  (" << ultima.Resumos << " resumos)\n";
    if (o.Livro)
      std::cout << "  livro txt + pdf   " << Fmt("%8.3f s  %8.3f s", Melhor(tLivro), Mediana(tLivro)) << "   CPU "
                << Fmt("%.3f s  %.3f s", Melhor(cLivro), Mediana(cLivro)) << "  (" << livro.Paginas << " páginas, texto "
                << Fmt("%.1f MiB, PDF %.1f MiB)", static_cast<double>(livro.BytesTexto) / 1048576.0,
                       static_cast<double>(livro.BytesPdf) / 1048576.0)
                << "\n";
    if (o.Brutas)
      std::cout << "  textos brutos     " << Fmt("%8.3f s  %8.3f s", Melhor(tBruto), Mediana(tBruto)) << "\n";
    std::cout << "  apuração / leitura única (CPU, mediana)  " << Fmt("%.2f", Mediana(rApuracao)) << "  (melhor/melhor "
              << Fmt("%.2f", Melhor(cApuracao) / Melhor(cBase)) << ")\n";
    if (o.Livro)
      std::cout << "  livro / apuração (CPU, mediana)          " << Fmt("%.2f", Mediana(rLivro)) << "  (melhor/melhor "
                << Fmt("%.2f", Melhor(cLivro) / Melhor(cApuracao)) << ")\n"
                << "  1 + páginas / apuração (CPU, mediana)    " << Fmt("%.2f", Mediana(rPaginas)) << "\n";
    std::cout << "  pico de memória   " << Fmt("%.1f MiB", PicoMemoriaMiB()) << " (ru_maxrss)\n"
              << "  carga da máquina no fim (1, 5, 15 min): " << Carga() << "\n"
              << "  imposto a recolher no ano:";
    for (const auto& [imposto, valor] : ultima.DevidoPorImposto)
      std::cout << " " << imposto << " = " << FormatarValor(valor) << ";";
    std::cout << "\n  mensagens: " << interacao.Registro().size() << "\n";
    for (size_t i = 0; i < interacao.Registro().size() && i < 3; ++i) std::cout << "    " << interacao.Registro()[i] << "\n";

    if (o.Planos) {
      std::cout << "\n-- leitura única (saídas)\n";
      banco::TComando q(db, "EXPLAIN QUERY PLAN " + SqlBase(true));
      while (q.executeStep()) std::cout << "   " << q.getColumn(3).getString() << "\n";
      ImprimirPlanos(db, consultas);
    }
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
