// livro-bench-apuracao: times the settlement of a year against the same aggregation queries run
// bare on SQLite.
//
//   livro-bench-apuracao ARQUIVO [--repeticoes R] [--filial ID] [--ano AAAA] [--planos] [--sql]
//                        [--prefixo-por-faixa]
//
// Each repetition
//   (a) settles the twelve months of the year for the establishment, all taxes, as the command line
//       does (TPedidoApuracao + TExecucaoApuracao, scripted interaction with no answers);
//   (b) runs bare the aggregation queries the settlement issues for the same summaries: for every
//       month, the entry and exit registers (grouped by CFOP, the settlement's default) and the three
//       settlement-entry loads (debits, credits, balance lines) of the regular summary and of each
//       ICMS-ST inscription, formatted with the same arguments, adapted by AdaptarSQL and stepped
//       through with SQLite::Statement, every column read.
// It prints both times, their ratio, the number of summaries and the peak resident memory, then the
// best and the median of the R repetitions. --planos prints EXPLAIN QUERY PLAN of the adapted texts of
// the first month; --sql prints those texts and stops (nothing is measured).
//
// --prefixo-por-faixa also times, bare, a variant of the register queries in which the prefix join
// "DES.CFOP STARTING WITH x" is preceded by the range "DES.CFOP >= x AND DES.CFOP < x || U+10FFFF",
// which lets SQLite search the CFOP index instead of scanning every CFOP for every item row.
//
// The settlement writes its results into the database. Re-running it replaces them (the rows of a
// period are updated in place), so the file can be measured again and again; use a copy when the
// generated file must stay untouched.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

#include "apuracao/apuracao.h"
#include "apuracao/sqlapuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/conexao.h"
#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "regimes/subtrib/sqlsubtrib.h"

namespace {

using Relogio = std::chrono::steady_clock;

double Segundos(Relogio::time_point desde) { return std::chrono::duration<double>(Relogio::now() - desde).count(); }

// CPU time of the process (single-threaded): steadier than the wall clock on a shared machine.
double SegundosCPU() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double PicoMemoriaMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;  // KiB on Linux
}

struct TOpcoes {
  std::string Arquivo;
  int Repeticoes = 3;
  int64_t Filial = 1;
  int Ano = 2025;
  bool Planos = false;
  bool Sql = false;
  bool PrefixoPorFaixa = false;
};

[[noreturn]] void Uso(const char* msg) {
  if (msg) std::cerr << "Erro: " << msg << "\n";
  std::cerr << "Uso: livro-bench-apuracao ARQUIVO [--repeticoes R] [--filial ID] [--ano AAAA] [--planos] [--sql]\n"
               "       [--prefixo-por-faixa]\n"
               "  Mede a apuração dos 12 meses do ano (padrão 2025, estabelecimento 1, todos os impostos)\n"
               "  contra as mesmas consultas de agregação executadas diretamente no SQLite.\n"
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
    else if (a == "--planos") o.Planos = true;
    else if (a == "--sql") o.Sql = true;
    else if (a == "--prefixo-por-faixa") o.PrefixoPorFaixa = true;
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

// ------------------------------------------------------------------ the bare queries

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
std::vector<TInscricao> Inscricoes(SQLite::Database& db, int64_t filial, int ano) {
  SQLite::Statement q(db,
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
std::string Tipos(SQLite::Database& db, std::initializer_list<int> ordinais) {
  std::string r;
  for (int o : ordinais) {
    SQLite::Statement q(db, "SELECT TPLANCAMENTO FROM HS_TIPOLANCAMENTO WHERE ORDINAL = ?");
    q.bind(1, o);
    if (!q.executeStep()) throw std::runtime_error("HS_TIPOLANCAMENTO sem o ordinal " + std::to_string(o));
    r += (r.empty() ? "" : ",") + q.getColumn(0).getString();
  }
  return r;
}

// The prefix join of the grouped registers with a range in front that an index can serve; the
// original condition stays, so the rows are exactly the same.
std::string PrefixoPorFaixa(const std::string& sql) {
  const std::string marca = "DES.CFOP STARTING WITH ";
  size_t p = sql.find(marca);
  if (p == std::string::npos) return sql;
  size_t ini = p + marca.size(), i = ini;
  int nivel = 0;
  bool emTexto = false;
  for (; i < sql.size(); ++i) {
    char c = sql[i];
    if (c == '\'') emTexto = !emTexto;
    if (emTexto) continue;
    if (c == '(') ++nivel;
    if (c == ')' && nivel-- == 0) break;
  }
  const std::string expr = sql.substr(ini, i - ini);
  return sql.substr(0, p) + "DES.CFOP >= (" + expr + ") AND DES.CFOP < (" + expr + ") || char(1114111) AND " + marca + expr +
         sql.substr(i);
}

std::vector<TConsulta> MontarConsultas(SQLite::Database& db, const TOpcoes& o, bool porFaixa = false) {
  auto adaptar = [porFaixa](const std::string& sql) { return AdaptarSQL(porFaixa ? PrefixoPorFaixa(sql) : sql); };
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

TResultadoBruto ExecutarBrutas(SQLite::Database& db, const std::vector<TConsulta>& consultas) {
  TResultadoBruto r;
  auto inicio = Relogio::now();
  const double cpu0 = SegundosCPU();
  for (const auto& c : consultas) {
    auto t0 = Relogio::now();
    SQLite::Statement q(db, c.Sql);
    const int n = q.getColumnCount();
    int colImposto = -1;
    if (c.Registro)
      for (int i = 0; i < n; ++i)
        if (std::string(q.getColumnName(i)) == "IMPOSTO") colImposto = i;
    while (q.executeStep()) {
      ++r.Linhas;
      for (int i = 0; i < n; ++i) {  // read every column, as the settlement's loads do
        SQLite::Column col = q.getColumn(i);
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

// ------------------------------------------------------------------ the settlement

struct TResultadoApuracao {
  double Total = 0, CPU = 0;
  int Resumos = 0;
  double ImpostoRegistros = 0;  // tax totals of the summaries' entry and exit registers
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
    r.ImpostoRegistros += s->GetDebito().GetRegistros().GetTotalImposto().ToDouble() +
                          s->GetCredito().GetRegistros().GetTotalImposto().ToDouble();
    r.DevidoPorImposto[s->GetCodImposto()] += s->GetImpostoARecolher();
  }
  return r;
}

// ------------------------------------------------------------------ plans

void ImprimirPlanos(SQLite::Database& db, const std::vector<TConsulta>& consultas) {
  std::cout << "\nPlanos de execução (EXPLAIN QUERY PLAN) das consultas do primeiro mês:\n";
  std::string primeiroMes = consultas.empty() ? "" : consultas.front().Rotulo.substr(0, 7);
  for (const auto& c : consultas) {
    if (c.Rotulo.compare(0, 7, primeiroMes) != 0) break;
    std::cout << "\n-- " << c.Rotulo << "\n";
    SQLite::Statement q(db, "EXPLAIN QUERY PLAN " + c.Sql);
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
              << "), estabelecimento " << o.Filial << ", ano " << o.Ano << ", " << o.Repeticoes << " repetições\n";
    auto conexao = TQDConnection::Abrir(o.Arquivo);
    SQLite::Database& db = conexao->Db();
    {
      SQLite::Statement q(db, "SELECT (SELECT COUNT(*) FROM ES02_ENTRADADET), (SELECT COUNT(*) FROM ES02_SAIDADET)");
      q.executeStep();
      std::cout << "Itens: " << q.getColumn(0).getInt64() << " de entrada, " << q.getColumn(1).getInt64() << " de saída\n";
    }
    const auto consultas = MontarConsultas(db, o);
    const auto consultasFaixa = o.PrefixoPorFaixa ? MontarConsultas(db, o, true) : std::vector<TConsulta>{};
    if (o.Sql) {
      for (const auto& c : consultas) {
        if (c.Rotulo.compare(0, 7, consultas.front().Rotulo, 0, 7) != 0) break;
        std::cout << "-- " << c.Rotulo << "\n" << c.Sql << ";\n";
      }
      return 0;
    }
    std::cout << "Consultas brutas por repetição: " << consultas.size() << "\n";
    std::cout << "Memória após abrir o banco: " << Fmt("%.1f MiB", PicoMemoriaMiB()) << "\n\n";

    TInteracaoRoteirizada interacao;  // no answers: every question takes its default
    THost host(*conexao, interacao);

    std::vector<double> tApuracao, tBruto, razoes, cApuracao, cBruto, razoesCPU, tFaixa;
    TResultadoApuracao ultimaApuracao;
    TResultadoBruto melhorBruto;
    melhorBruto.Total = 1e300;
    for (int rep = 1; rep <= o.Repeticoes; ++rep) {
      TResultadoApuracao a = Apurar(*conexao, o);
      TResultadoBruto b = ExecutarBrutas(db, consultas);
      tApuracao.push_back(a.Total);
      tBruto.push_back(b.Total);
      razoes.push_back(a.Total / b.Total);
      cApuracao.push_back(a.CPU);
      cBruto.push_back(b.CPU);
      razoesCPU.push_back(a.CPU / b.CPU);
      if (b.Total < melhorBruto.Total) melhorBruto = b;
      std::cout << "repetição " << rep << ": apuração " << Fmt("%.3f s", a.Total) << ", consultas brutas "
                << Fmt("%.3f s", b.Total) << ", razão " << Fmt("%.2f", a.Total / b.Total) << " (CPU "
                << Fmt("%.3f s / %.3f s = %.2f", a.CPU, b.CPU, a.CPU / b.CPU) << "), resumos " << a.Resumos
                << ", linhas brutas " << b.Linhas << ", pico de memória " << Fmt("%.1f MiB", PicoMemoriaMiB()) << "\n";
      if (std::fabs(a.ImpostoRegistros - b.ImpostoRegistros) > 0.01 * static_cast<double>(consultas.size()))
        std::cout << "  ATENÇÃO: total de imposto dos registros difere: apuração "
                  << Fmt("%.2f", a.ImpostoRegistros) << ", consultas brutas " << Fmt("%.2f", b.ImpostoRegistros) << "\n";
      if (o.PrefixoPorFaixa) {
        TResultadoBruto f = ExecutarBrutas(db, consultasFaixa);
        tFaixa.push_back(f.Total);
        std::cout << "  variante com prefixo por faixa: " << Fmt("%.3f s", f.Total) << " (CPU " << Fmt("%.3f s", f.CPU)
                  << "), registros: entradas " << Fmt("%.3f s", f.PorClasse[cRegistroEntrada]) << ", saídas "
                  << Fmt("%.3f s", f.PorClasse[cRegistroSaida]) << "\n";
        if (std::fabs(f.ImpostoRegistros - b.ImpostoRegistros) > 0.005 || f.Linhas != b.Linhas)
          std::cout << "  ATENÇÃO: a variante devolveu outras linhas ou totais\n";
      }
      ultimaApuracao = std::move(a);
    }

    std::cout << "\nResumo (" << o.Repeticoes << " repetições)\n"
              << "  apuração          melhor " << Fmt("%8.3f s", *std::min_element(tApuracao.begin(), tApuracao.end()))
              << "  mediana " << Fmt("%8.3f s", Mediana(tApuracao)) << "\n"
              << "  consultas brutas  melhor " << Fmt("%8.3f s", *std::min_element(tBruto.begin(), tBruto.end()))
              << "  mediana " << Fmt("%8.3f s", Mediana(tBruto)) << "\n"
              << "  razão apuração/brutas  melhor " << Fmt("%.2f", *std::min_element(razoes.begin(), razoes.end()))
              << "  mediana " << Fmt("%.2f", Mediana(razoes)) << "  (melhor/melhor "
              << Fmt("%.2f", *std::min_element(tApuracao.begin(), tApuracao.end()) /
                                 *std::min_element(tBruto.begin(), tBruto.end()))
              << ")\n"
              << "  tempo de CPU: apuração melhor " << Fmt("%.3f s", *std::min_element(cApuracao.begin(), cApuracao.end()))
              << " mediana " << Fmt("%.3f s", Mediana(cApuracao)) << "; brutas melhor "
              << Fmt("%.3f s", *std::min_element(cBruto.begin(), cBruto.end())) << " mediana "
              << Fmt("%.3f s", Mediana(cBruto)) << "; razão mediana " << Fmt("%.2f", Mediana(razoesCPU)) << "\n"
              << "  resumos apurados  " << ultimaApuracao.Resumos << "\n"
              << "  pico de memória   " << Fmt("%.1f MiB", PicoMemoriaMiB()) << " (ru_maxrss)\n"
              << "  consultas brutas por tipo (melhor repetição):\n";
    for (int c = 0; c < kQtdeClasses; ++c)
      std::cout << "    " << kNomesClasse[c] << ": " << Fmt("%.3f s", melhorBruto.PorClasse[c]) << "\n";
    if (!tFaixa.empty())
      std::cout << "  variante com prefixo por faixa (consultas brutas)  melhor "
                << Fmt("%.3f s", *std::min_element(tFaixa.begin(), tFaixa.end())) << "  mediana " << Fmt("%.3f s", Mediana(tFaixa))
                << "\n";
    std::cout << "  imposto a recolher no ano:";
    for (const auto& [imposto, valor] : ultimaApuracao.DevidoPorImposto)
      std::cout << " " << imposto << " = " << FormatarValor(valor) << ";";
    std::cout << "\n  mensagens da apuração: " << interacao.Registro().size() << "\n";
    for (size_t i = 0; i < interacao.Registro().size() && i < 5; ++i) std::cout << "    " << interacao.Registro()[i] << "\n";

    if (o.Planos) ImprimirPlanos(db, consultas);
  } catch (const std::exception& e) {
    std::cerr << "Erro: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
