// The faster forms of the settlement's SQL texts (host/banco/formasrapidas.h) held against the texts
// themselves, run as written: the eight CFOP registers (apuracao/formasrapidas.h) and the GNRE
// guides (regimes/subtrib/formasrapidasst.h), on the demo office with rows made to trip the joins
// and on a generated office, every establishment, month and state.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "host/banco/motor.h"

#include "ambiente.h"
#include "utilitarios.h"
#include "apuracao/formasrapidas.h"
#include "apuracao/sqlapuracao.h"
#include "bench/gerador.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/formasrapidas.h"
#include "host/banco/integridade.h"
#include "host/base/formatacao.h"
#include "regimes/subtrib/formasrapidasst.h"
#include "regimes/subtrib/sqlsubtrib.h"

namespace {

// A row as the settlement reads it: texts as they are, amounts as Currency (ten-thousandths).
std::string Linha(const std::vector<TCampo::Valor>& valores, const std::vector<std::string>& campos) {
  std::string r;
  for (size_t i = 0; i < valores.size(); ++i) {
    const TCampo c(valores[i]);
    const bool valor = campos[i] == "VLRCONTABIL" || campos[i] == "BASECALCULO" || campos[i] == "IMPOSTO" ||
                       campos[i] == "ISENTAS" || campos[i] == "OUTRAS" || campos[i] == "VALORGNRE";
    r += (i ? "|" : "") + (c.IsNull() ? std::string("NULL") : valor ? std::to_string(c.AsCurrency().Raw()) : c.AsString());
  }
  return r + "\n";
}

std::string Executar(banco::TBanco& db, const std::string& sql) {
  banco::TComando q(db, sql);
  std::vector<std::string> campos;
  for (int i = 0; i < q.getColumnCount(); ++i) campos.push_back(q.getColumnName(i));
  std::string r;
  while (q.executeStep()) {
    std::vector<TCampo::Valor> v;
    for (int i = 0; i < q.getColumnCount(); ++i) {
      const banco::TColuna c = q.getColumn(i);
      if (c.isNull()) v.emplace_back(std::monostate{});
      else if (c.isInteger()) v.emplace_back(static_cast<int64_t>(c.getInt64()));
      else if (c.isFloat()) v.emplace_back(c.getDouble());
      else v.emplace_back(c.getString());
    }
    r += Linha(v, campos);
  }
  return r;
}

class FormasRapidas : public AmbienteTeste {
 protected:
  void SetUp() override {
    AmbienteTeste::SetUp();
    RegistrarFormasRapidasApuracao();
    RegistrarFormasRapidasST();
  }

  // The reference: the text as written, adapted to SQLite.
  std::string Referencia(const std::string& sql) { return Executar(conexao_->Db(), AdaptarSQL(sql)); }
  std::vector<std::string> Colunas(const std::string& sql) {
    banco::TComando q(conexao_->Db(), AdaptarSQL(sql));
    std::vector<std::string> r;
    for (int i = 0; i < q.getColumnCount(); ++i) r.push_back(q.getColumnName(i));
    return r;
  }

  // The faster form of a register, which must answer from memory.
  std::string Rapida(const std::string& sql) {
    banco::TFormaExecucao f = banco::FormaDeExecucao(*conexao_, sql);
    if (!f.Linhas) {
      ADD_FAILURE() << "sem forma rápida: " << sql.substr(0, 160);
      return {};
    }
    EXPECT_EQ(f.Linhas->Campos, Colunas(sql));
    std::string r;
    for (const auto& l : f.Linhas->Linhas) r += Linha(l, f.Linhas->Campos);
    return r;
  }

  // Reads the establishment's items over [ini, fim] as a run does (its checks), inside `emCurso`.
  void LerItens(int64_t filial, const std::string& ini, const std::string& fim) {
    TDateTime a = 0, b = 0;
    ASSERT_TRUE(TentarLerData(ini, a) && TentarLerData(fim, b));
    integridade::TLeituras leituras;
    leituras.Acrescentar(filial, a, b);
    const integridade::TProblemas p = integridade::VerificarApuracao(*conexao_, GFuncoes->GetDadosFilial(filial), leituras, true);
    ASSERT_TRUE(p.Erros.empty()) << p.Erros.front();
  }

  // Every register text, for each period given, with and without the suffix, each zeros text,
  // regular and each state: the same rows as the text. Returns the rows compared.
  int CompararRegistros(int64_t filial, const std::vector<std::pair<std::string, std::string>>& periodos,
                        const std::vector<std::string>& ufs, const std::vector<std::string>& zeros) {
    const std::string f = std::to_string(filial);
    int linhas = 0;
    auto comparar = [&](const std::string& sql) {
      const std::string esperado = Referencia(sql);
      EXPECT_EQ(Rapida(sql), esperado) << sql.substr(0, 200);
      linhas += static_cast<int>(std::count(esperado.begin(), esperado.end(), '\n'));
    };
    for (const auto& [ini, fim] : periodos) {
      const std::string a = "'" + ini + "'", b = "'" + fim + "'";
      SCOPED_TRACE("filial " + f + " " + ini + " a " + fim);
      comparar(Format(kSqlRegEntradaSufixo, {f, a, b}));
      comparar(Format(kSqlRegSaidaSufixo, {f, a, b}));
      for (const std::string& z : zeros) {
        comparar(Format(kSqlRegEntradaAgrupado, {z, f, a, b}));
        comparar(Format(kSqlRegSaidaAgrupado, {z, f, a, b}));
      }
      for (const std::string& uf : ufs) {
        const std::string u = "'" + uf + "'";
        comparar(Format(kSqlRegEntradaSufixoST, {f, a, b, u}));
        comparar(Format(kSqlRegSaidaSufixoST, {f, a, b, u}));
        for (const std::string& z : zeros) {
          comparar(Format(kSqlRegEntradaAgrupadoST, {z, f, a, b, u}));
          comparar(Format(kSqlRegSaidaAgrupadoST, {z, f, a, b, u}));
        }
      }
    }
    return linhas;
  }

  // The GNRE guides of the periods: the faster form gives the text's rows in the text's order, from
  // memory, except for a period that meets one already answered (the last `comTexto` periods), which
  // runs the text. Returns the rows compared.
  int CompararGNRE(int64_t filial, const std::string& imposto, const std::vector<std::pair<std::string, std::string>>& periodos,
                   size_t comTexto = 0) {
    int linhas = 0;
    for (size_t i = 0; i < periodos.size(); ++i) {
      const auto& [ini, fim] = periodos[i];
      const std::string sql = Format(kSqlGNRE, {std::to_string(filial), "'" + ini + "'", "'" + fim + "'", "'" + imposto + "'"});
      const banco::TFormaExecucao forma = banco::FormaDeExecucao(*conexao_, sql);
      EXPECT_EQ(forma.Linhas.has_value(), i + comTexto < periodos.size()) << ini;
      std::string obtido = forma.Linhas ? std::string() : Executar(conexao_->Db(), forma.Sql);
      if (forma.Linhas) {
        EXPECT_EQ(forma.Linhas->Campos, Colunas(sql));
        for (const auto& l : forma.Linhas->Linhas) obtido += Linha(l, forma.Linhas->Campos);
      }
      const std::string esperado = Referencia(sql);
      EXPECT_EQ(obtido, esperado) << ini;
      linhas += static_cast<int>(std::count(esperado.begin(), esperado.end(), '\n'));
    }
    return linhas;
  }

  static std::vector<std::pair<std::string, std::string>> Meses(int ano, int de, int ate) {
    std::vector<std::pair<std::string, std::string>> r;
    for (int m = de; m <= ate; ++m) {
      const TDateTime ini = EncodeDate(ano, m, 1);
      r.emplace_back(DataISO(ini), DataISO(IncMes(ini, 1) - 1));
    }
    return r;
  }
};

// The demo office, every establishment over the years it has documents, plus rows that test the
// joins: a family without its .000 row (two descriptions on one CFOP line), a family row without
// description, a code without suffix, a family whose rows all begin with "5.914.00" (zeros "00"
// count the item once per row, as the text does), exits without participant or with a broken one
// (regular register only), flags other than 1, whole-number amounts and amounts of four decimals.
// (A date with a time after the day is refused by the run's check.)
TEST_F(FormasRapidas, RegistrosDoEscritorioDeDemonstracaoSaoOsDoTexto) {
  Sql("INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (7001, '5.911.001', 'BONIFICAÇÃO B'),"
      " (7002, '5.911.002', 'BONIFICAÇÃO A'), (7003, '5.912.000', NULL), (7004, '5.912.001', 'AMOSTRA'),"
      " (7005, '5.913', 'SEM SUFIXO'), (7006, '5.914.000', 'FAMÍLIA'), (7007, '5.914.005', 'FAMÍLIA 5'),"
      " (7008, '1.911.001', 'ENTRADA SEM FAMÍLIA');"
      "INSERT INTO CO01_PLANO (IDPLANO, IDEMPRESA, CONTA, DESCRICAO, IDCLIFOR) VALUES (7090, 1, '9', 'SEM PARTICIPANTE', 7099);"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES"
      " (7101, 1, 6, '2026-06-10', 1), (7102, 1, NULL, '2026-06-11', 2), (7103, 1, 7090, '2026-06-12', 3),"
      " (7105, 1, 6, '2026-06-30', 5);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS, NTICMS, OUTRASICMS,"
      " BCICMSST, ICMSST, DEBITOST) VALUES"
      " (7201, 7101, 7001, 100, 100, 18, 0, 0, 0, 140, 7.2, 1), (7202, 7101, 7002, 50.25, 0, 0, 50.25, 0, 0, 0, 0, 1),"
      " (7203, 7101, 7003, 10.0001, 10, 1.2, 0, 0.0001, 0, 14, 1.33, 2), (7204, 7101, 7004, 20, 20, 2.4, 0, 0, 0, 28, 2.66, 1),"
      " (7205, 7102, 7005, 30, 30, 5.4, 0, 0, 0, 42, 2.1, 1), (7206, 7103, 7006, 40, 40, 7.2, 0, 0, 0, 56, 2.8, 1),"
      " (7208, 7105, 7007, 70.5, 70.5, 12.69, 0, 0, 0, 98.7, 4.93, 1),"
      " (7209, 7105, 7006, 0.0003, 0, 0, 0, 0, 0.0003, 0, 0, 0);"
      "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, DATAEMISSAO, NUMERO) VALUES"
      " (7301, 1, 4, '2026-06-03', '2026-06-01', 9);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL, BCICMS, ICMS, BCICMSST, ICMSST, CREDITOST)"
      " VALUES (7401, 7301, 7008, 500, 500, 60, 700, 40, 1), (7402, 7301, 7006, 10, 10, 1.2, 14, 0.8, 1)");

  // Each establishment over the months it has documents in, a month without any and a span of
  // months; the zeros of a shorter and of no suffix on the
  // establishment that has the families made above.
  const std::vector<std::string> ufs = {"SP", "RJ", "MG", "RS", "SC", "PR", "RN", "MA", "PA", "SE", "EX", "AM"};
  std::vector<int64_t> filiais;
  {
    banco::TComando q(conexao_->Db(), "SELECT IDFILIAL FROM SC00_FILIAL ORDER BY 1");
    while (q.executeStep()) filiais.push_back(q.getColumn(0).getInt64());
  }
  int linhas = 0;
  for (int64_t filial : filiais) {
    std::vector<std::pair<std::string, std::string>> periodos = {{"2026-04-01", "2026-07-31"}, {"2026-11-01", "2026-11-30"}};
    banco::TComando q(conexao_->Db(),
                        "SELECT DISTINCT substr(DATAEMISSAO, 1, 7) FROM ES02_SAIDA WHERE IDFILIAL = ?1 UNION"
                        " SELECT DISTINCT substr(DATAENTRADA, 1, 7) FROM ES02_ENTRADA WHERE IDFILIAL = ?1");
    q.bind(1, static_cast<int64_t>(filial));
    while (q.executeStep()) {
      const std::string mes = q.getColumn(0).getString();
      const TDateTime ini = EncodeDate(std::stoi(mes.substr(0, 4)), std::stoi(mes.substr(5, 2)), 1);
      periodos.emplace_back(DataISO(ini), DataISO(IncMes(ini, 1) - 1));
    }
    banco::TApuracaoEmCurso emCurso(*conexao_);
    LerItens(filial, "01/01/2006", "31/12/2026");
    linhas += CompararRegistros(filial, periodos, ufs, filial == 1 ? std::vector<std::string>{"000", "00", ""}
                                                                     : std::vector<std::string>{"000"});
  }
  EXPECT_GT(linhas, 300);

  // The rows made above, worked by hand for June 2026, when establishment 1 has no other document
  // (amounts in ten-thousandths). Grouped exits, zeros "000": 5.911 twice (no 5.911.000 row: each
  // item keeps its own description, in text order); 5.912 twice, the family row having no
  // description: its own item has none (a null sorts first), the other keeps "AMOSTRA"; 5.913 alone;
  // 5.914: 40 + 70.5 + 0.0003 = 110.5003 of 7206, 7208 and 7209, base 110.5, ICMS 7.2 + 12.69 =
  // 19.89, others 0.0003. Zeros "00": the rows 5.914.000 and 5.914.005 both begin with "5.914.00",
  // so the family is counted under each. ICMS-ST
  // of MG (participant 6): 7201, 7202, 7204 and 7208; 7203 has the flag 2, 7209 the flag 0, 7205 no
  // participant and 7206 a participant that does not exist.
  {
    banco::TApuracaoEmCurso emCurso(*conexao_);
    LerItens(1, "01/06/2026", "30/06/2026");
    const std::string grupos = Rapida(Format(kSqlRegSaidaAgrupado, {"000", "1", "'2026-06-01'", "'2026-06-30'"}));
    EXPECT_EQ(grupos,
              "5.911|BONIFICAÇÃO A|502500|0|0|502500|0\n5.911|BONIFICAÇÃO B|1000000|1000000|180000|0|0\n"
              "5.912|NULL|100001|100000|12000|1|0\n5.912|AMOSTRA|200000|200000|24000|0|0\n"
              "5.913|SEM SUFIXO|300000|300000|54000|0|0\n"
              "5.914|FAMÍLIA|1105003|1105000|198900|0|3\n");
    EXPECT_CONTEM(Rapida(Format(kSqlRegSaidaAgrupado, {"00", "1", "'2026-06-01'", "'2026-06-30'"})),
                  "5.914|FAMÍLIA|1105003|1105000|198900|0|3\n5.914|FAMÍLIA 5|1105003|1105000|198900|0|3\n");
    EXPECT_EQ(Rapida(Format(kSqlRegSaidaSufixoST, {"1", "'2026-06-01'", "'2026-06-30'", "'MG'"})),
              "5.911.001|BONIFICAÇÃO B|1000000|1400000|72000|0|0\n"
              "5.911.002|BONIFICAÇÃO A|502500|0|0|0|0\n"
              "5.912.001|AMOSTRA|200000|280000|26600|0|0\n"
              "5.914.005|FAMÍLIA 5|705000|987000|49300|0|0\n");
  }
  // Outside a run, and for an interval or an establishment the run did not read, the texts run as
  // written.
  const std::string janeiro = Format(kSqlRegSaidaSufixo, {"1", "'2026-01-01'", "'2026-01-31'"});
  EXPECT_FALSE(banco::FormaDeExecucao(*conexao_, janeiro).Linhas);
  banco::TApuracaoEmCurso emCurso(*conexao_);
  LerItens(1, "01/01/2026", "31/01/2026");
  EXPECT_TRUE(banco::FormaDeExecucao(*conexao_, janeiro).Linhas);
  EXPECT_FALSE(banco::FormaDeExecucao(*conexao_, Format(kSqlRegSaidaSufixo, {"1", "'2026-01-01'", "'2026-02-28'"})).Linhas);
  EXPECT_FALSE(banco::FormaDeExecucao(*conexao_, Format(kSqlRegSaidaSufixo, {"2", "'2026-01-01'", "'2026-01-31'"})).Linhas);
}

// Offices drawn at random from a fixed seed: the head office's first quarter of 2027, a few hundred
// items on random days, CFOPs, participants (some without one), ST flags, signs and magnitudes up to
// ten million, with amounts of zero to four decimals. The faster forms give the texts' rows to the
// last digit, every month and the quarter. An office with one amount of five decimals is refused by
// the check, that item named, and no faster form answers for it: the texts add the stored values
// and round the sum, the forms add each item's ten-thousandths (32.99955 + 0.00005 is 33.0000
// summed first, 32.9996 + 0.0001 = 32.9997 item by item).
TEST_F(FormasRapidas, EscritoriosAleatoriosDaoOsNumerosDosTextos) {
  std::mt19937_64 sorteio(20270101);
  auto numero = [&](int64_t de, int64_t ate) { return std::uniform_int_distribution<int64_t>(de, ate)(sorteio); };
  // An amount of `casas` decimals as SQL text (five: the last one not 0), up to ten million, now and
  // then negative.
  auto valor = [&](int casas) {
    std::string t = std::to_string(numero(0, numero(0, 3) == 0 ? 10'000'000 : 5'000));
    if (casas > 0) {
      std::string f;
      for (int i = 0; i < casas; ++i) f += static_cast<char>('0' + numero(0, 9));
      if (casas == 5 && f.back() == '0') f.back() = '5';
      t += "." + f;
    }
    return numero(0, 19) == 0 ? "-" + t : t;
  };
  std::vector<int64_t> cfops, planos;
  {
    banco::TComando q(conexao_->Db(), "SELECT IDCFOP FROM ES02_CFOP");
    while (q.executeStep()) cfops.push_back(q.getColumn(0).getInt64());
    banco::TComando p(conexao_->Db(), "SELECT IDPLANO FROM CO01_PLANO WHERE IDEMPRESA = 1");
    while (p.executeStep()) planos.push_back(p.getColumn(0).getInt64());
  }
  const std::vector<std::pair<std::string, std::string>> periodos = {
      {"2027-01-01", "2027-01-31"}, {"2027-02-01", "2027-02-28"}, {"2027-03-01", "2027-03-31"}, {"2027-01-01", "2027-03-31"}};
  int comparados = 0, recusados = 0, linhas = 0;
  SemVerificacoes();  // the amounts of five decimals go in
  for (int escritorio = 0; escritorio < 40; ++escritorio) {
    SCOPED_TRACE("escritório " + std::to_string(escritorio));
    const bool fino = escritorio % 4 == 3;  // one amount of five decimals
    const int64_t itemFino = fino ? numero(0, 199) : -1;
    std::string sql;
    int64_t documento[2] = {0, 0};  // the entry and the exit being filled
    for (int64_t item = 0; item < 200; ++item) {
      const bool saida = item % 2 == 0;
      int64_t& doc = documento[saida ? 1 : 0];
      if (item % 6 < 2) {
        doc = 800000 + item;
        const std::string data = "'2027-0" + std::to_string(numero(1, 3)) + "-" + (numero(0, 1) ? "1" : "2") +
                                 std::to_string(numero(1, 8)) + "'";
        const std::string plano =
            numero(0, 9) == 0 ? "NULL" : std::to_string(planos[static_cast<size_t>(numero(0, static_cast<int64_t>(planos.size()) - 1))]);
        sql += std::string(saida ? "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO)"
                                 : "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO)") +
               " VALUES (" + std::to_string(doc) + ", 1, " + plano + ", " + data + ", " + std::to_string(item) + ");";
      }
      std::string valores;
      for (int c = 0; c < 8; ++c)
        valores += ", " + (item == itemFino && c == 2 ? valor(5) : valor(static_cast<int>(numero(0, 4))));
      const std::string cfop = std::to_string(cfops[static_cast<size_t>(numero(0, static_cast<int64_t>(cfops.size()) - 1))]);
      sql += std::string(saida ? "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA" : "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA") +
             ", IDCFOP, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS, NTICMS, OUTRASICMS, BCICMSST, ICMSST, " +
             (saida ? "DEBITOST" : "CREDITOST") + ") VALUES (" + std::to_string(800000 + item) + ", " + std::to_string(doc) +
             ", " + cfop + valores + ", " + std::to_string(numero(0, 1)) + ");";
    }
    Sql(sql);
    {
      banco::TApuracaoEmCurso emCurso(*conexao_);
      integridade::TLeituras leituras;
      leituras.Acrescentar(1, EncodeDate(2027, 1, 1), EncodeDate(2027, 3, 31));
      const integridade::TProblemas p = integridade::VerificarApuracao(*conexao_, GFuncoes->GetDadosFilial(1), leituras, true);
      if (fino) {
        ASSERT_EQ(p.Erros.size(), 1u);
        EXPECT_CONTEM(p.Erros[0], (itemFino % 2 ? "IDENTRADADET " : "IDSAIDADET ") + std::to_string(800000 + itemFino) + ": ICMS ");
        EXPECT_CONTEM(p.Erros[0], "tem mais de quatro casas decimais");
        EXPECT_FALSE(banco::FormaDeExecucao(*conexao_, Format(kSqlRegSaidaSufixo, {"1", "'2027-01-01'", "'2027-03-31'"})).Linhas);
        ++recusados;
      } else {
        ASSERT_TRUE(p.Erros.empty()) << p.Erros.front();
        linhas += CompararRegistros(1, periodos, {"SP", "RJ", "MG"}, {"000"});
        ++comparados;
      }
    }
    Sql("DELETE FROM ES02_SAIDADET WHERE IDSAIDADET >= 800000; DELETE FROM ES02_ENTRADADET WHERE IDENTRADADET >= 800000;"
        "DELETE FROM ES02_SAIDA WHERE IDSAIDA >= 800000; DELETE FROM ES02_ENTRADA WHERE IDENTRADA >= 800000");
  }
  EXPECT_EQ(comparados, 30);
  EXPECT_EQ(recusados, 10);
  EXPECT_GT(linhas, 3000);
}

// A generated office of two establishments over a quarter: the registers of every month and of the
// quarter, and the GNRE guides, read once for the interval of the items read, in the text's order.
TEST_F(FormasRapidas, RegistrosEGuiasDeUmEscritorioGeradoSaoOsDoTexto) {
  Montar(false);
  {
    TTransacao t(*conexao_);
    gerador::Gerar(conexao_->Db(), {.Itens = 6000, .Filiais = 2, .Meses = 3});
    t.Confirmar();
  }
  std::vector<std::pair<std::string, std::string>> periodos = Meses(2025, 1, 4);
  periodos.emplace_back("2025-01-01", "2025-03-31");
  int linhas = 0, guias = 0;
  for (int64_t filial : {1, 2}) {
    banco::TApuracaoEmCurso emCurso(*conexao_);
    LerItens(filial, "01/01/2025", "30/04/2025");
    linhas += CompararRegistros(filial, periodos, {"SP", "RJ", "MG", "PR"}, {"000"});
    guias += CompararGNRE(filial, "4011", periodos, 1);
    EXPECT_EQ(CompararGNRE(filial, "4019", periodos, 1), 0);
  }
  EXPECT_GT(linhas, 500);
  EXPECT_GT(guias, 40);

  // A guide of establishment 1 that pays an exit of establishment 2 is establishment 1's, as in the
  // text; outside a reading of the items, each period's guides are read for that period.
  Sql("INSERT INTO ES02_SAIDASPINF (IDSAIDASPINF, IDSAIDA) VALUES (9001, (SELECT MIN(IDSAIDA) FROM ES02_SAIDA WHERE IDFILIAL = 2));"
      "INSERT INTO ES02_GNRE (IDGNRE, IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, VALORGNRE, NUMEROGNRE, UFFAVOR)"
      " VALUES (9001, 1, '4011', '100048', '2025-02-09', 12.34, 'X', 'MG');"
      "INSERT INTO ES02_GNRES (IDGNRES, IDGNRE, IDSAIDASPINF) VALUES (9001, 9001, 9001)");
  {
    banco::TApuracaoEmCurso emCurso(*conexao_);
    EXPECT_GT(CompararGNRE(1, "4011", periodos), 0);
    EXPECT_GT(CompararGNRE(2, "4011", periodos), 0);
    LerItens(1, "01/01/2025", "30/04/2025");
    EXPECT_GT(CompararGNRE(1, "4011", periodos, 1), 0);
    // Asked again, each month meets itself: the text runs, with the same rows.
    EXPECT_GT(CompararGNRE(1, "4011", periodos, periodos.size()), 0);
  }

  // Guides of exits of 01/02 and 28/02, February's first and last days: February hands them over,
  // and a period that meets February at one of those days alone runs the text.
  Sql("INSERT INTO ES02_SAIDASPINF (IDSAIDASPINF, IDSAIDA) VALUES"
      " (9002, (SELECT MIN(IDSAIDA) FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO = '2025-02-01')),"
      " (9003, (SELECT MIN(IDSAIDA) FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO = '2025-02-28'));"
      "INSERT INTO ES02_GNRE (IDGNRE, IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, VALORGNRE, NUMEROGNRE, UFFAVOR) VALUES"
      " (9002, 1, '4011', '100048', '2025-03-09', 1.00, 'PRIMEIRO', 'MG'), (9003, 1, '4011', '100048', '2025-03-09', 2.00, 'ULTIMO', 'MG');"
      "INSERT INTO ES02_GNRES (IDGNRES, IDGNRE, IDSAIDASPINF) VALUES (9002, 9002, 9002), (9003, 9003, 9003)");
  banco::TApuracaoEmCurso outra(*conexao_);
  LerItens(1, "01/01/2025", "30/04/2025");
  CompararGNRE(1, "4011", {{"2025-02-01", "2025-02-28"}});
  CompararGNRE(1, "4011", {{"2025-01-01", "2025-02-01"}, {"2025-02-28", "2025-03-31"}}, 2);
}

}  // namespace
