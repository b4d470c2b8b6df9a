// Data that must not turn into wrong numbers: what the schema and the run refuse before anything is
// recorded (malformed or repeated CFOPs, amounts stored as text or of more than four decimals, dates
// that are not dates, items without a CFOP, due days and inscription states that are not what they
// claim, requests outside the limits or starting inside a period, sums beyond the money type), in
// every row a run reads and only there, each row named as the user finds it; that a refusal met
// inside a period says what was recorded before it; that each summary records whole or not at all, that
// another program's lock is waited for and reported, that a file which is not ours is left as it
// was, and that another writer's tax record is never replaced.
#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <filesystem>
#include <functional>
#include <future>
#include <thread>

#include <unistd.h>

#include "ambiente.h"
#include "apuracao/apuracao.h"
#include "host/banco/integridade.h"
#include "host/servicos/apuracaofuncoes.h"
#include "utilitarios.h"

namespace fs = std::filesystem;

namespace {


}  // namespace

// The host services with something happening in the middle of February's summary: after its
// credit balance was recorded, before its tax due.
class TFuncoesEmFevereiro : public TApuracaoFuncoes {
 public:
  TFuncoesEmFevereiro(TQDConnection& c, std::function<void()> evento) : TApuracaoFuncoes(c), evento_(std::move(evento)) {}
  void GravarImposto(int32_t idEmpresa, int64_t idFilial, const std::string& imposto, const std::string& codigoRec,
                     TDateTime ini, TDateTime fim, TDateTime vencimento, Currency valor,
                     const std::vector<std::string>& campos, const std::vector<std::string>& conteudos) override {
    if (ini == EncodeDate(2026, 2, 1)) evento_();
    TApuracaoFuncoes::GravarImposto(idEmpresa, idFilial, imposto, codigoRec, ini, fim, vencimento, valor, campos, conteudos);
  }

 private:
  std::function<void()> evento_;
};

// Rows as a database created before the schema's checks, or loaded with them switched off, can
// hold them (SemVerificacoes).
class Dados : public AmbienteTeste {
 protected:
  // An amount the run refuses, as stored: the text `texto` (as '1.234,56') in SQLite; the server's
  // numeric columns refuse a text, so there the same digits with five decimals (1234.56001; 1.00001
  // for a text without digits).
  std::string Ruim(const std::string& texto) {
    if (!NoServidor()) return "'" + texto + "'";
    std::string numero;
    for (char c : texto)
      if (std::isdigit(static_cast<unsigned char>(c))) numero += c;
      else if (c == ',') numero += '.';
    return numero.empty() ? "1.00001" : numero + "001";
  }
  // How the run names that amount of column `coluna`.
  std::string Recusa(const std::string& coluna, const std::string& texto) {
    return NoServidor() ? coluna + " " + Ruim(texto) + " tem mais de quatro casas decimais"
                        : coluna + " '" + texto + "' não é um número";
  }
};

// ---------------------------------------------------------------------------------------------
// What the schema of a new database refuses

TEST_F(Dados, EsquemaRecusaCodigosEValoresQueViramNumerosErrados) {
  const char* recusados[] = {
      "INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES ('5.102.000 ', 'com espaço')",
      "INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES ('5.102.000', 'repetido')",
      "INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES ('5102', 'sem ponto')",
      "INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES ('5.102.0001', 'sufixo longo')",
      "INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, ICMS) VALUES (1, 10, '1.234,56')",
      "INSERT INTO ES02_ENTRADADET (IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (1, 1, 'abc')",
      "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, IMPOSTO, VALOR, DATA) VALUES (1, 1, '2001', '10,00', '2026-01-31')",
      "UPDATE ES02_CODIGOREC SET DIAVENCTO = '2O' WHERE IDCODIGOREC = 1",
      "UPDATE ES02_CODIGOREC SET DIAVENCTO = '123456' WHERE IDCODIGOREC = 2",
      "UPDATE HS_INSCRICAOST SET UF = 'XX' WHERE IDINSCRICAOST = 1",
  };
  for (const char* sql : recusados) EXPECT_THROW(Sql(sql), EBancoDados) << sql;
  // what is well formed still goes in: both CFOP forms, a decimal text SQLite reads as a number
  Sql("INSERT INTO ES02_CFOP (CFOP, DESCRICAO) VALUES ('5.103', 'sem sufixo'), ('5.103.001', 'com sufixo');"
      "INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, ICMS) VALUES (1, 10, '1234.56');"
      "UPDATE ES02_CODIGOREC SET DIAVENCTO = NULL WHERE IDCODIGOREC = 4");
  EXPECT_EQ(Valor("SELECT typeof(ICMS) FROM ES02_SAIDADET ORDER BY IDSAIDADET DESC LIMIT 1"), "real");
}

// ---------------------------------------------------------------------------------------------
// What the run refuses before recording anything

TEST_F(Dados, CfopRepetidoOuComEspacosNaoMultiplicaAFamilia) {
  // A database of the earlier schema: no unique index, no format check. With these rows the grouped
  // register joined the family row twice and January's exits went from 48,644.55 to 90,362.64.
  SemVerificacoes();
  Sql("DROP INDEX IX_ES02_CFOP_CFOP; CREATE INDEX IX_ES02_CFOP_CFOP ON ES02_CFOP (CFOP);"
      "INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (40, '5.102.000 ', 'VENDA'), (41, '5.102.000', 'VENDA')");
  const std::string antes = TodasAsLinhas();
  const std::string erro = Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); });
  EXPECT_CONTEM(erro, "A apuração de 01/01/2026 a 31/01/2026 do estabelecimento 1 da empresa 1 foi recusada");
  EXPECT_CONTEM(erro, "e nada foi gravado.");
  EXPECT_CONTEM(erro, "\n- ES02_CFOP IDCFOP 10: CFOP '5.102.000' repetido (3 linhas com esse código");
  EXPECT_CONTEM(erro, "\n- ES02_CFOP IDCFOP 40: CFOP '5.102.000 ' fora do formato 9.999 ou 9.999.999 (sem espaços)");
  EXPECT_CONTEM(erro, "\n- ES02_CFOP IDCFOP 41: CFOP '5.102.000' repetido");
  EXPECT_EQ(TodasAsLinhas(), antes);
  EXPECT_TRUE(interacao_->Registro().empty());
}

TEST_F(Dados, ValoresGravadosComoTextoEItensSemCfopSaoRecusados) {
  // SQLite's SUM reads '1.234,56' as 1.234 and 'abc' as 0, and the register's inner join drops an
  // item whose CFOP is missing: each would settle a plausible wrong tax. The server's numeric
  // columns refuse the texts when written; the item without CFOP goes in on both.
  SemVerificacoes();
  Sql("INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS)"
      " SELECT 9001, MIN(IDSAIDA), 999, 1000, 1000, 180 FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO LIKE '2026-01-%'");
  bool textos = GravarTextoEmNumero(
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS)"
      " SELECT 9002, MIN(IDSAIDA), 10, 1000, 1000, '1.234,56' FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO LIKE '2026-01-%'",
      "1.234,56");
  textos = GravarTextoEmNumero("INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL, OUTRASICMS)"
                               " SELECT 9003, MIN(IDENTRADA), 1, 'abc', 'abc' FROM ES02_ENTRADA WHERE IDFILIAL = 1"
                               " AND DATAENTRADA LIKE '2026-01-%'",
                               "abc") && textos;
  textos = GravarTextoEmNumero("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA,"
                               " DATAFIM, DESCRICAO) VALUES (9004, 2, 1, 1, '2001', '420,00', '2026-01-20', '2026-01-20',"
                               " 'digitado com vírgula')",
                               "420,00") && textos;
  // outside the interval or of another company's establishments: not read, not refused
  textos = GravarTextoEmNumero("INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, ICMS)"
                               " SELECT 9005, MIN(IDSAIDA), 10, 'x' FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO LIKE '2026-02-%'",
                               "x") && textos;
  const std::string antes = TodasAsLinhas();
  const std::string erro = Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); });
  // Each row named as the user finds it: the document (number, series, date) or the entry, and the
  // codes of establishment and company; then its table and id.
  EXPECT_CONTEM(erro, "\n- Saída nº 4101 série 1 de 01/01/2026 do estabelecimento 1 da empresa 1, ES02_SAIDADET IDSAIDADET 9001:"
                      " IDCFOP 999 não existe em ES02_CFOP");
  EXPECT_EQ(TodasAsLinhas(), antes);
  if (!textos) return;
  EXPECT_CONTEM(erro, "\n- Saída nº 4101 série 1 de 01/01/2026 do estabelecimento 1 da empresa 1, ES02_SAIDADET IDSAIDADET 9002:"
                      " ICMS '1.234,56' não é um número");
  EXPECT_CONTEM(erro, "\n- Entrada nº 63301 série 1 de 04/01/2026 do estabelecimento 1 da empresa 1, ES02_ENTRADADET"
                      " IDENTRADADET 9003: VLRCONTABIL 'abc' não é um número; OUTRASICMS 'abc' não é um número");
  // the branch's entry: the head office centralises it
  EXPECT_CONTEM(erro, "\n- Lançamento de apuração 'digitado com vírgula' de 20/01/2026 do estabelecimento 2 da empresa 1,"
                      " ES02_LCTOAPUR IDLCTOAPUR 9004: VALOR '420,00' não é um número");
  EXPECT_EQ(erro.find("9005"), std::string::npos) << erro;
}

// The due day of a payment code. Filial 1 pays its ICMS with code 046-2 (id 1) and its own
// state's ICMS-ST with 063-2 (id 2), due days 20 and 9 of the next month.
TEST_F(Dados, DiaDeVencimentoSoRecusadoQuandoOVencimentoUsaEle) {
  SemVerificacoes();
  // A due day that is not a number counts as 0; a code the run does not use refuses nothing.
  Sql("UPDATE ES02_CODIGOREC SET DIAVENCTO = '2O' WHERE IDCODIGOREC = 2");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001'"), "046-2|2026-02-20\n");
  EXPECT_EQ(GFuncoes->GetCodigoRecolhimentoByID(2).DiaVencto, 0);

  // Used, 0 (as "2O" counts) or a day past any month's end is refused, naming the code, and the
  // summary records nothing: 0 used to be the next month's last day, moved off the weekend.
  auto Gravado = [&] { return Linhas("SELECT * FROM TR04_IMPOSTO") + Linhas("SELECT * FROM ES02_LCTOAPUR ORDER BY 1"); };
  const std::string antes = Gravado();
  for (const char* dia : {"2O", "0", "32", ""}) {
    Sql(std::string("UPDATE ES02_CODIGOREC SET DIAVENCTO = '") + dia + "' WHERE IDCODIGOREC = 1");
    const std::string numero = std::string(dia) == "32" ? "32" : "0";
    EXPECT_EQ(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
              std::string("O vencimento do imposto 2001 de 01/01/2026 a 31/01/2026 do estabelecimento 1 não pode ser "
                          "calculado: o código de recolhimento 046-2 (ES02_CODIGOREC IDCODIGOREC 1, DIAVENCTO '") +
                  dia + "') dá o dia de vencimento " + numero + "; informe um dia de 1 a 31.")
        << dia;
    EXPECT_EQ(Gravado(), antes) << dia;
  }
  // A configured row whose CODIGO was left empty is checked all the same.
  Sql("UPDATE ES02_CODIGOREC SET CODIGO = '' WHERE IDCODIGOREC = 1");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
                "o código de recolhimento '' (ES02_CODIGOREC IDCODIGOREC 1, DIAVENCTO '') dá o dia de vencimento 0;");
  EXPECT_EQ(Gravado(), antes);
  Sql("UPDATE ES02_CODIGOREC SET CODIGO = '046-2' WHERE IDCODIGOREC = 1");
  // 1 and 31 are days: 01/02/2026 is a Sunday, paid on Monday 02/02; February has no 31st, so its
  // last day, Saturday 28/02, moves to Monday 02/03.
  for (const auto& [dia, vencimento] : {std::pair<std::string, std::string>{"1", "2026-02-02"}, {"31", "2026-03-02"}}) {
    Sql("UPDATE ES02_CODIGOREC SET DIAVENCTO = '" + dia + "' WHERE IDCODIGOREC = 1");
    Apurar("01/01/2026", "31/01/2026", 1, "icms");
    EXPECT_EQ(Valor("SELECT VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001'"), vencimento) << dia;
  }
  // Days after the period end (kind 3) may pass 31: 31/01/2026 + 45 days = 17/03/2026; one day
  // after is Sunday 01/02/2026, kept as it falls.
  for (const auto& [dias, vencimento] : {std::pair<std::string, std::string>{"45", "2026-03-17"}, {"1", "2026-02-01"}}) {
    Sql("UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 3, DIAVENCTO = '" + dias + "' WHERE IDCODIGOREC = 1");
    Apurar("01/01/2026", "31/01/2026", 1, "icms");
    EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001'"), "046-2|" + vencimento + "\n");
  }
  // Counted in working days (kind 1): February 2026 begins on a Sunday, so its working days are
  // Mon 2, Tue 3, Wed 4, Thu 5, Fri 6 and then Mon 9, the 6th.
  Sql("UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 1, DIAVENCTO = '6' WHERE IDCODIGOREC = 1");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001'"), "046-2|2026-02-09\n");
  // The second month after the period (kind 4): February 2026 has 28 days, so 21/03 falls on the
  // weekday of 21/02, a Saturday (20/02 is the Friday above); the due date moves to Monday 23/03/2026.
  Sql("UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 4, DIAVENCTO = '21' WHERE IDCODIGOREC = 1");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001'"), "046-2|2026-03-23\n");

  // The ICMS-ST of filial 1's RJ inscription is paid with the inscription's own code, 0213 (id 3):
  // in the month of the period end (kind 2), day 28 is 28/01/2026; a day of 0 is refused naming it.
  Sql("UPDATE ES02_CODIGOREC SET DIAVENCTO = '9' WHERE IDCODIGOREC = 2;"
      "UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 2, DIAVENCTO = '28' WHERE IDCODIGOREC = 3");
  Apurar("01/01/2026", "31/01/2026", 1, "icms-st");
  EXPECT_EQ(Linhas("SELECT VENCIMENTO FROM TR04_IMPOSTO WHERE CODIGOREC = '0213'"), "2026-01-28\n");
  Sql("UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 0, DIAVENCTO = '0' WHERE IDCODIGOREC = 3");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms-st"); }),
                "o código de recolhimento 0213 (ES02_CODIGOREC IDCODIGOREC 3, DIAVENCTO '0') dá o dia de vencimento 0;"
                " informe um dia de 1 a 31.");
}

TEST_F(Dados, TodaLinhaQueARunLeEhVerificadaESoEssas) {
  SemVerificacoes();
  // An ICMS-ST period longer than the run: RJ's inscription settled quarterly, so January's run
  // settles RJ's ST of January to March and reads February's exit 4115 (customer in RJ).
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 9 WHERE IDINSCRICAOST = 1;"
      "UPDATE ES02_SAIDADET SET ICMSST = " + Ruim("1.234,56") + ", DEBITOST = 1 WHERE IDSAIDADET = (SELECT MIN(IDSAIDADET) FROM ES02_SAIDADET"
      " WHERE IDSAIDA = 18)");
  const std::string antes = TodasAsLinhas();
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "todos"); }),
                "\n- Saída nº 4115 série 1 de 02/02/2026 do estabelecimento 1 da empresa 1, ES02_SAIDADET IDSAIDADET");
  EXPECT_EQ(TodasAsLinhas(), antes);
  // January's own ICMS alone does not read February, nor a December 2025 exit: it settles.
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO) VALUES (99001, 1, '2025-12-15');"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, ICMS) VALUES (99001, 99001, 10, " + Ruim("x") + ")");
  EXPECT_EQ(Apurar("01/01/2026", "31/01/2026", 1, "icms")->Apuracao().GetResumos().Count(), 1);

  // A small business reads the year to date: March 2007 of the PR small business 61 reads its
  // January exit 6101.
  Sql("UPDATE ES02_SAIDADET SET VLRCONTABIL = " + Ruim("9.000,00") + " WHERE IDSAIDA = 6101");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/03/2007", "31/03/2007", 61, "icms"); }),
                "\n- Saída nº 6101 série 1 de 15/01/2007 do estabelecimento");
  // So does SC's: March 2007 of Chapecó (83) reads its January exit 8101.
  Sql("UPDATE ES02_SAIDADET SET VLRCONTABIL = " + Ruim("40.000,00") + " WHERE IDSAIDADET = 8101");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/03/2007", "31/03/2007", 83, "icms"); }),
                "\n- Saída nº 8101 série 1 de 12/01/2007 do estabelecimento");
  Sql("UPDATE ES02_SAIDADET SET VLRCONTABIL = 40000 WHERE IDSAIDADET = 8101");
  // PR's reads its own documents only: not those of the company's regular establishment (60).
  Sql("UPDATE ES02_SAIDADET SET VLRCONTABIL = 40000 WHERE IDSAIDA = 6101;"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO) VALUES (99002, 60, '2007-02-10');"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (99002, 99002, 10, " + Ruim("5,00") + ")");
  EXPECT_NO_THROW(Apurar("01/03/2007", "31/03/2007", 61, "icms"));

  // The ICMS-ST of RS of a centraliser adds the ST exits of its company's other establishments:
  // Porto Alegre (3) reads exit 2001 of Caxias do Sul (4); Caxias itself does not read Porto Alegre's.
  Sql("UPDATE ES02_SAIDADET SET ICMSST = " + Ruim("170,00") + " WHERE IDSAIDADET = 1007");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 3, "icms-st"); }),
                "\n- Saída nº 2001 série 1 de 18/01/2026 do estabelecimento 2 da empresa 20, ES02_SAIDADET IDSAIDADET 1007:"
                " " + Recusa("ICMSST", "170,00"));
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 4, "icms-st"); }),  // its own, of course
                "ES02_SAIDADET IDSAIDADET 1007");
  Sql("UPDATE ES02_SAIDADET SET ICMSST = 170 WHERE IDSAIDADET = 1007");
  // Settled quarterly, Caxias's own ICMS-ST of January reads its February too.
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 9 WHERE IDFILIAL = 4;"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO) VALUES (99003, 4, '2026-02-10');"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, ICMSST, DEBITOST) VALUES (99003, 99003, 19, " + Ruim("9,00") + ", 1)");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 4, "icms-st"); }), "ES02_SAIDADET IDSAIDADET 99003");
  Sql("DELETE FROM ES02_SAIDADET WHERE IDSAIDADET = 99003; UPDATE HS_INSCRICAOST SET PERIODICIDADE = 0 WHERE IDFILIAL = 4");

  // The RS small business adds the services of the company's RS establishments over the year, and
  // reads their settlement entries (their ICMS-ST is settled inside it): a January service and an
  // entry of Pelotas (70) read as text by January's run of Santa Maria (71). (Services and
  // settlement entries are checked for text only, which the server refuses when written.)
  Sql("UPDATE ES02_SERVICO SET DATAEMISSAO = '2007-01-20' WHERE IDSERVICO = 9500");
  if (GravarTextoEmNumero("UPDATE ES02_SERVICODET SET VLRCONTABIL = '800,00' WHERE IDSERVICODET = 9500", "800,00") &&
      GravarTextoEmNumero("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA,"
                          " DESCRICAO) VALUES (9105, 70, 13, 3, '4023', '12,00', '2007-01-10', 'débito de ST')",
                          "12,00")) {
    const std::string erro = Erro<EDadosInvalidos>([&] { Apurar("01/01/2007", "31/01/2007", 71, "icms"); });
    EXPECT_CONTEM(erro, "\n- Serviço nº 51 de 20/01/2007 do estabelecimento 1 da empresa 70, ES02_SERVICODET IDSERVICODET 9500:"
                        " VLRCONTABIL '800,00' não é um número");
    EXPECT_CONTEM(erro, "ES02_LCTOAPUR IDLCTOAPUR 9105: VALOR '12,00' não é um número");
    Sql("DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 9105");
  }

  // The RN centraliser (63) adds the revenue of its company's other establishment: an exit of
  // Mossoró (64) read as text refuses Natal's January.
  Sql("UPDATE ES02_SAIDADET SET VLRCONTABIL = " + Ruim("8.000,00") + " WHERE IDSAIDA = 6401");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2007", "31/01/2007", 63, "icms"); }),
                "\n- Saída nº 6401 série 1 de 23/01/2007 do estabelecimento");

  // The SC estimate reads its own semester to date: June 2026 of Joinville (81) reads its March
  // exit 8043; July opens a semester and does not; nor does June read Blumenau (82), of the same
  // company, whose February exit 8081 is as bad.
  Sql("UPDATE ES02_SAIDADET SET ICMS = " + Ruim("4.250,00") + " WHERE IDSAIDADET = 8043;"
      "UPDATE ES02_SAIDADET SET ICMS = " + Ruim("2.975,00") + " WHERE IDSAIDADET = 8081");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/06/2026", "30/06/2026", 81, "icms"); }),
                "\n- Saída nº 8043 série 1 de 18/03/2026 do estabelecimento");
  EXPECT_NO_THROW(Apurar("01/07/2026", "31/07/2026", 81, "icms"));
  Sql("UPDATE ES02_SAIDADET SET ICMS = 4250 WHERE IDSAIDADET = 8043");
  EXPECT_NO_THROW(Apurar("01/06/2026", "30/06/2026", 81, "icms"));

  // Settlement entries: a centraliser reads its group's, an establishment settled alone its own
  // only. A bad entry of the PA establishment (6) refuses PA and no other establishment of its
  // company; one of the São Paulo head office (1) does not refuse its centralised branch (2). So do
  // PA's exit of five decimals and its exit dated in a month 13.
  const bool lancamentos =
      GravarTextoEmNumero("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA,"
                          " DESCRICAO) VALUES (9101, 6, 1, 1, '2001', '10,00', '2026-01-10', 'outro crédito'),"
                          "        (9102, 1, 1, 1, '2001', '20,00', '2026-01-10', 'outro crédito')",
                          "10,00");
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (99101, 6, '2026-01-12', 77), (99102, 6, '2026-13-01', 78);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (99101, 99101, 10, 12.34567)");
  const std::string pa = Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 6, "icms"); });
  if (lancamentos) {
    EXPECT_CONTEM(pa, "\n- Lançamento de apuração 'outro crédito' de 10/01/2026 do estabelecimento 4 da empresa 20,"
                      " ES02_LCTOAPUR IDLCTOAPUR 9101: VALOR '10,00' não é um número");
  }
  EXPECT_CONTEM(pa, "\n- Saída nº 78 sem série de '2026-13-01' do estabelecimento 4 da empresa 20, ES02_SAIDA IDSAIDA 99102:"
                    " data de emissão '2026-13-01' não é uma data AAAA-MM-DD");
  EXPECT_CONTEM(pa, "\n- Saída nº 77 sem série de 12/01/2026 do estabelecimento 4 da empresa 20, ES02_SAIDADET IDSAIDADET 99101:"
                    " VLRCONTABIL 12.34567 tem mais de quatro casas decimais");
  for (int64_t filial : {3, 5, 7, 2}) {
    SCOPED_TRACE(filial);
    EXPECT_NO_THROW(Apurar("01/01/2026", "31/01/2026", filial, "icms"));
  }
}

TEST_F(Dados, DataQueNaoEhDataEhRecusadaComODocumento) {
  // Each of these compares, as text, outside January's BETWEEN: exit 4101 (1 January, ICMS 416.93
  // of the 48,644.55 of January's exits) would drop out of the tax without a word.
  const char* datas[] = {"'2026-01-31 10:00:00'", "'02/01/2026'", "'2026-1-2'", "20260102", "'2026-02-30'", "''"};
  for (const char* data : datas) EXPECT_THROW(Sql(std::string("UPDATE ES02_SAIDA SET DATAEMISSAO = ") + data +
                                                  " WHERE IDSAIDA = 1"), EBancoDados) << data;
  EXPECT_THROW(Sql("UPDATE ES02_LCTOAPUR SET DATA = '20/01/2026' WHERE IDFILIAL = 1"), EBancoDados);
  SemVerificacoes();
  const std::string antes = TodasAsLinhas();
  for (const char* data : datas) {
    SCOPED_TRACE(data);
    Sql(std::string("UPDATE ES02_SAIDA SET DATAEMISSAO = ") + data + " WHERE IDSAIDA = 1");
    const std::string guardada = Valor("SELECT DATAEMISSAO FROM ES02_SAIDA WHERE IDSAIDA = 1");
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
                  "\n- Saída nº 4101 série 1 de '" + guardada + "' do estabelecimento 1 da empresa 1, ES02_SAIDA IDSAIDA 1:"
                  " data de emissão '" + guardada + "' não é uma data AAAA-MM-DD (o documento ficaria fora de todo período)");
  }
  Sql("UPDATE ES02_SAIDA SET DATAEMISSAO = '2026-01-01' WHERE IDSAIDA = 1;"
      "UPDATE ES02_ENTRADA SET DATAENTRADA = '4/1/2026' WHERE IDENTRADA = 1;"
      "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO)"
      " VALUES (9201, 2, 1, 1, '2001', 10, '2026-01-5', 'crédito da filial')");
  const std::string erro = Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); });
  EXPECT_CONTEM(erro, "\n- Entrada nº 63301 série 1 de '4/1/2026' do estabelecimento 1 da empresa 1, ES02_ENTRADA IDENTRADA 1:"
                      " data de entrada '4/1/2026' não é uma data AAAA-MM-DD");
  EXPECT_CONTEM(erro, "\n- Lançamento de apuração 'crédito da filial' de '2026-01-5' do estabelecimento 2 da empresa 1,"
                      " ES02_LCTOAPUR IDLCTOAPUR 9201: DATA '2026-01-5' não é uma data AAAA-MM-DD");
  Sql("UPDATE ES02_ENTRADA SET DATAENTRADA = '2026-01-04' WHERE IDENTRADA = 1; DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 9201");
  EXPECT_EQ(TodasAsLinhas(), antes);
}

// A month 13 or a day 0 is no date either, though the schema lets it in (its CHECK takes the NULL
// that date() gives them for a pass): '2026-13-01' sorts after every day of 2026 and before 2027,
// '2026-01-00' between 31 December and 1 January, so the document would belong to no period. Dates
// inside the interval the run reads are checked in the same reading as the items: '2026-01-2 '
// lies between January's first and last day as text, '2026-02-30' inside the first quarter.
TEST_F(Dados, DataForaDoCalendarioEhRecusadaDentroOuForaDoIntervalo) {
  const std::string antes = TodasAsLinhas();
  // The document is named with its date as the host's screens read it.
  auto recusada = [&](const char* data, const std::string& legivel, const char* fim, const std::string& documento,
                      const char* coluna) {
    SCOPED_TRACE(data);
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", fim, 1, "icms"); }),
                  "\n- " + documento + " de " + legivel + " do estabelecimento 1 da empresa 1, " + coluna + ": data de " +
                      (documento[0] == 'S' ? "emissão" : "entrada") + " '" + data + "' não é uma data AAAA-MM-DD");
  };
  for (const char* data : {"2026-13-01", "2026-01-00"}) {
    Sql(std::string("UPDATE ES02_SAIDA SET DATAEMISSAO = '") + data + "' WHERE IDSAIDA = 1");
    recusada(data, "'" + std::string(data) + "'", "31/01/2026", "Saída nº 4101 série 1", "ES02_SAIDA IDSAIDA 1");
  }
  SemVerificacoes();
  Sql("UPDATE ES02_SAIDA SET DATAEMISSAO = '2026-01-2 ' WHERE IDSAIDA = 1");
  recusada("2026-01-2 ", "02/01/2026", "31/01/2026", "Saída nº 4101 série 1", "ES02_SAIDA IDSAIDA 1");
  Sql("UPDATE ES02_SAIDA SET DATAEMISSAO = '2026-01-01' WHERE IDSAIDA = 1;"
      "UPDATE ES02_ENTRADA SET DATAENTRADA = '2026-02-30' WHERE IDENTRADA = 1");
  recusada("2026-02-30", "'2026-02-30'", "31/03/2026", "Entrada nº 63301 série 1", "ES02_ENTRADA IDENTRADA 1");
  Sql("UPDATE ES02_ENTRADA SET DATAENTRADA = '2026-01-04' WHERE IDENTRADA = 1");
  // A month 13 or 00 sorts inside an interval that crosses a year ('2025-13-05' and '2026-00-10'
  // lie between '2025-12-01' and '2026-01-31'), so the reading of the items meets it.
  for (const std::string data : {"2025-13-05", "2026-00-10"}) {
    SCOPED_TRACE(data);
    Sql("UPDATE ES02_SAIDA SET DATAEMISSAO = '" + data + "' WHERE IDSAIDA = 1");
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/12/2025", "31/01/2026", 1, "icms"); }),
                  "ES02_SAIDA IDSAIDA 1: data de emissão '" + data + "' não é uma data AAAA-MM-DD");
  }
  Sql("UPDATE ES02_SAIDA SET DATAEMISSAO = '2026-01-01' WHERE IDSAIDA = 1");
  EXPECT_EQ(TodasAsLinhas(), antes);
}

TEST_F(Dados, ValorDeMaisDeQuatroCasasEhRecusado) {
  // The registers add the items' ten-thousandths; the texts add the stored values first and round
  // the sum: 32.99955 + 0.00005 read one by one is 32.9996 + 0.0001 = 32.9997, summed first 33.0000.
  EXPECT_THROW(Sql("UPDATE ES02_SAIDADET SET ICMS = 32.99955 WHERE IDSAIDADET = 1"), EBancoDados);
  Sql("UPDATE ES02_SAIDADET SET ICMS = 32.9995 WHERE IDSAIDADET = 1");  // four decimals go in
  SemVerificacoes();
  Sql("UPDATE ES02_SAIDADET SET ICMS = 32.99955, BCICMS = 183.33083 WHERE IDSAIDADET = 1");
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
                "\n- Saída nº 4101 série 1 de 01/01/2026 do estabelecimento 1 da empresa 1, ES02_SAIDADET IDSAIDADET 1:"
                " BCICMS 183.33083 tem mais de quatro casas decimais (arredonde-o a quatro); ICMS 32.99955 tem mais de"
                " quatro casas decimais");
}

// A refusal met inside a period (the host's services read some rows only there) undoes that
// period; the ones before stay recorded and the message says which.
TEST_F(Dados, RecusaNoMeioDaRunDizOQueFicouGravado) {
  host_->SetFuncoes(std::make_unique<TFuncoesEmFevereiro>(*conexao_, [] {
    throw EDadosInvalidos("O código de recolhimento não pode ser usado", {"ES02_CODIGOREC IDCODIGOREC 1: exemplo"});
  }));
  const std::string erro = Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/03/2026", 1, "icms"); });
  EXPECT_CONTEM(erro, "O código de recolhimento não pode ser usado: o banco tem dados que dariam números errados (invalid"
                      " stored data), e o que foi apurado antes ficou gravado: imposto 2001 de 01/01/2026 a 31/01/2026.");
  EXPECT_EQ(erro.find("nada foi gravado"), std::string::npos) << erro;
  EXPECT_EQ(Linhas("SELECT INICIO, VLRIMPOSTO FROM TR04_IMPOSTO"), "2026-01-01|10373.58\n");
}

TEST_F(Dados, InscricaoDeEstadoDesconhecidoEhErroQuandoOICMSSTEhApurado) {
  SemVerificacoes();
  Sql("UPDATE HS_INSCRICAOST SET UF = 'XX' WHERE IDINSCRICAOST = 1");  // was RJ
  const std::string antes = TodasAsLinhas();
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2026", "31/01/2026", 1, "todos"); }),
                "\n- HS_INSCRICAOST IDINSCRICAOST 1: estado 'XX' sem código de ICMS-ST em HS_CODIGOICMSST");
  EXPECT_EQ(TodasAsLinhas(), antes);

  // Settling only the own ICMS, the inscription changes no figure: a warning, and the run goes on.
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(e->Apuracao().GetResumos().Count(), 1);
  ASSERT_EQ(interacao_->Registro().size(), 1u);
  EXPECT_EQ(interacao_->Registro()[0],
            "[aviso] HS_INSCRICAOST IDINSCRICAOST 1: estado 'XX' sem código de ICMS-ST em HS_CODIGOICMSST; "
            "a inscrição é ignorada");
}

TEST_F(Dados, InicioDentroDeUmPeriodoEhRecusadoEFimDentroDizOQueFicouDeFora) {
  const std::string antes = TodasAsLinhas();
  // February 2026 has 28 days: from the 15th both period starts are 14 days away, and the period
  // that holds the date is named; from the 16th the next one is nearer.
  EXPECT_EQ(Erro<EIntervaloInvalido>([&] { Apurar("15/02/2026", "28/02/2026"); }),
            "A data inicial 15/02/2026 não é o início de um período de apuração do estabelecimento (periodicidade "
            "Mensal), e só períodos inteiros são apurados. O período mais próximo começa em 01/02/2026.");
  EXPECT_CONTEM(Erro<EIntervaloInvalido>([&] { Apurar("16/02/2026", "31/03/2026"); }), "começa em 01/03/2026.");
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 5 WHERE IDFILIAL = 1");  // fortnightly: 1-15, 16-end
  EXPECT_CONTEM(Erro<EIntervaloInvalido>([&] { Apurar("10/01/2026", "31/01/2026"); }),
                "(periodicidade Quinzenal), e só períodos inteiros são apurados. O período mais próximo começa em 16/01/2026.");
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 7 WHERE IDFILIAL = 1");
  // An establishment that opened on 20/02/2026: 01/03 is nearer (9 days against 19), but the hint
  // is the first day of its first period, which would otherwise never be settled.
  Sql("UPDATE SC00_FILIAL SET INICIOATIVIDADE = '2026-02-20' WHERE IDFILIAL = 1");
  EXPECT_EQ(Erro<EIntervaloInvalido>([&] { Apurar("20/02/2026", "31/03/2026"); }),
            "A data inicial 20/02/2026 não é o início de um período de apuração do estabelecimento (periodicidade "
            "Mensal), e só períodos inteiros são apurados. O estabelecimento iniciou as atividades em 20/02/2026, "
            "dentro do período que começa em 01/02/2026: comece a apuração nesse dia, para que o primeiro período "
            "seja apurado.");
  EXPECT_CONTEM(Erro<EIntervaloInvalido>([&] { Apurar("20/03/2026", "30/04/2026"); }), "começa em 01/04/2026.");
  // Opened on the period's first or last day: inside it too.
  for (const std::string dia : {"01", "28"}) {
    Sql("UPDATE SC00_FILIAL SET INICIOATIVIDADE = '2026-02-" + dia + "' WHERE IDFILIAL = 1");
    EXPECT_CONTEM(Erro<EIntervaloInvalido>([&] { Apurar("10/02/2026", "31/03/2026"); }),
                  "iniciou as atividades em " + dia + "/02/2026, dentro do período que começa em 01/02/2026");
  }
  Sql("UPDATE SC00_FILIAL SET INICIOATIVIDADE = '2015-03-02' WHERE IDFILIAL = 1");
  EXPECT_EQ(TodasAsLinhas(), antes);
  EXPECT_TRUE(interacao_->Registro().empty());

  // An end inside a period settles the whole periods before it and says which days it left out.
  auto e = Apurar("01/01/2026", "15/02/2026", 1, "icms");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(Linhas("SELECT INICIO, FIM FROM TR04_IMPOSTO"), "2026-01-01|2026-01-31\n");
  ASSERT_EQ(interacao_->Registro().size(), 1u);
  EXPECT_EQ(interacao_->Registro()[0],
            "[informação] Só períodos de apuração inteiros são apurados: os dias de 01/02/2026 a 15/02/2026 não "
            "completam um período e ficaram de fora.");
}

TEST_F(Dados, LimitesDeDatasEDeIntervalo) {
  const std::string antes = TodasAsLinhas();
  EXPECT_EQ(Erro<EIntervaloInvalido>([&] { Apurar("01/01/2026", "31/12/9999"); }),
            "A data 31/12/9999 está fora das datas que a apuração aceita (01/01/1900 a 31/12/2099).");
  EXPECT_CONTEM(Erro<EIntervaloInvalido>([&] { Apurar("01/12/1899", "31/12/1899"); }), "A data 01/12/1899 está fora");
  EXPECT_EQ(Erro<EIntervaloInvalido>([&] { Apurar("01/01/2021", "01/01/2026"); }),
            "O intervalo de 01/01/2021 a 01/01/2026 passa de 5 anos, o maior que uma apuração aceita; divida-o em "
            "pedidos menores.");
  EXPECT_EQ(TodasAsLinhas(), antes);
  // five years to the day are settled: 60 monthly periods
  EXPECT_EQ(Apurar("01/01/2021", "31/12/2025", 1, "icms")->Apuracao().GetResumos().Count(), 60);
  // The first and the last day accepted are inside: the first month and the last one settle (no
  // documents, a tax due of 0).
  EXPECT_EQ(Apurar("01/01/1900", "31/01/1900", 1, "icms")->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(Apurar("01/12/2099", "31/12/2099", 1, "icms")->Apuracao().GetResumos().Count(), 1);
  // An interval shorter than a period settles nothing and names all of its days.
  const size_t mensagens = interacao_->Registro().size();
  EXPECT_EQ(Apurar("01/01/2026", "20/01/2026", 1, "icms")->Apuracao().GetResumos().Count(), 0);
  ASSERT_EQ(interacao_->Registro().size(), mensagens + 1);
  EXPECT_CONTEM(interacao_->Registro().back(), "os dias de 01/01/2026 a 20/01/2026 não completam um período");
}

TEST_F(Dados, SomaQueNaoCabeNaMoedaEhErroClaroENadaEhGravado) {
  // Two exits of 600 trillion of ICMS each, in two CFOP families: the exits register holds
  // 6.0e18 ten-thousandths per line and their sum passes 2^63. It used to wrap around and record
  // a tax of about -644 trillion.
  Sql("INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS)"
      " SELECT MIN(IDSAIDA), 10, 0, 0, 6e14 FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO LIKE '2026-01-%';"
      "INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS)"
      " SELECT MIN(IDSAIDA), 17, 0, 0, 6e14 FROM ES02_SAIDA WHERE IDFILIAL = 1 AND DATAEMISSAO LIKE '2026-01-%'");
  const std::string erro = Erro<EEstouroMoeda>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); });
  EXPECT_CONTEM(erro, "Valor monetário fora do limite suportado");
  EXPECT_CONTEM(erro, "(apuração do imposto 2001 de 01/01/2026 a 31/01/2026)");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM TR04_IMPOSTO"), "0");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE GERADO = 1"), "0");

  // One line beyond the range is named by its CFOP and column.
  Sql("UPDATE ES02_SAIDADET SET ICMS = 1e15 WHERE ICMS = 6e14 AND IDCFOP = 10");
  EXPECT_CONTEM(Erro<EEstouroMoeda>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
                "na soma IMPOSTO do CFOP 5.102 do registro (apuração do imposto 2001 de 01/01/2026 a 31/01/2026)");
}

// ---------------------------------------------------------------------------------------------
// Recording

// The kinds of settlement entries are the host's table: without all ten the run is refused, and
// once the missing row is back the same session settles with it; a row past the ten (ordinal 10)
// is no kind and neither stands for a missing one nor stops the run. An "outros créditos" entry
// (kind 1, the row of ordinal 0) of 500.00 lowers January's tax due of 10,373.58 to 9,873.58.
TEST_F(Dados, TiposDeLancamentoIncompletosRecusadosAteSeremCorrigidos) {
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO) VALUES"
      " (1, 1, 1, '2001', 500.00, '2026-01-15', '2026-01-15', 'Crédito de janeiro');"
      "INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL)"
      " VALUES (10, 1, 6, 'OUTROS CRÉDITOS', 1);"
      "DELETE FROM HS_TIPOLANCAMENTO WHERE ORDINAL = 0");
  EXPECT_CONTEM(Erro<EBancoDados>([&] { Apurar("01/01/2026", "31/01/2026", 1, "icms"); }),
                "A tabela HS_TIPOLANCAMENTO deve ter os dez tipos de lançamento (0 a 9).");
  Sql("INSERT INTO HS_TIPOLANCAMENTO (ORDINAL, TPLANCAMENTO, CODOFICIAL, DESCRICAO, SINAL)"
      " VALUES (0, 1, 6, 'OUTROS CRÉDITOS', 1)");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Valor("SELECT VLRIMPOSTO FROM TR04_IMPOSTO"), "9873.58");
  EXPECT_THROW(GFuncoes->LancamentoApurToInt(10), std::out_of_range);
  // An entry code that the state does not have is id 0 (the entry is recorded without code).
  EXPECT_EQ(GFuncoes->GetIDLctoApurCod("SP", "999", 1, 1, 0), 0);
}

TEST_F(Dados, RegistroDeImpostoDeOutroProgramaNaoEhSubstituido) {
  Sql("INSERT INTO TR04_IMPOSTO (IDIMPOSTO, IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VENCIMENTO, VLRIMPOSTO, TP)"
      " VALUES (500, 1, 1, '2001', '046-2', '2026-01-01', '2026-01-31', '2026-03-10', 999.99, 2);"
      "INSERT INTO TR04_IMPOSTODET (IDIMPOSTO, NOMECAMPO, CONTEUDO) VALUES (500, 'ACORDO', '123/2026')");
  const std::string outro = Linhas("SELECT * FROM TR04_IMPOSTO WHERE IDIMPOSTO = 500") +
                            Linhas("SELECT * FROM TR04_IMPOSTODET WHERE IDIMPOSTO = 500");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  // A detail its own row no longer has a field for (an earlier version's) goes with the re-run:
  // the regular ICMS records no detail field at all.
  Sql("INSERT INTO TR04_IMPOSTODET (IDIMPOSTO, NOMECAMPO, CONTEUDO) SELECT IDIMPOSTO, 'ANTIGO', 'x' FROM TR04_IMPOSTO"
      " WHERE TP = 1");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");  // a re-run updates its own row only
  EXPECT_EQ(Linhas("SELECT * FROM TR04_IMPOSTO WHERE IDIMPOSTO = 500") +
                Linhas("SELECT * FROM TR04_IMPOSTODET WHERE IDIMPOSTO = 500"),
            outro);
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM TR04_IMPOSTODET WHERE IDIMPOSTO <> 500"), "0");
  // the settlement's own record: January's tax due of the demo (see db/demo.sql)
  EXPECT_EQ(Linhas("SELECT TP, VLRIMPOSTO FROM TR04_IMPOSTO WHERE IDIMPOSTO <> 500"), "1|10373.58\n");
  GFuncoes->ExcluirImposto(GFuncoes->GetDadosFilial(1), "2001", EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31));
  EXPECT_EQ(Linhas("SELECT IDIMPOSTO FROM TR04_IMPOSTO"), "500\n");
}

// ---------------------------------------------------------------------------------------------
// A database in a file: opening, migration, locks, a killed process

class BancoEmArquivo : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / ("livro_dados_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    arquivo_ = (dir_ / "escrita.db").string();
    TQDConnection::Criar(arquivo_)->CarregarDemo();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // First column of the first row, read by a connection of its own.
  std::string Valor(const std::string& sql) {
    banco::TBanco db(arquivo_);
    banco::TComando q(db, sql);
    return q.executeStep() ? q.getColumn(0).getString() : std::string();
  }

  // Settles the demo's filial 1 on a connection of its own, as one run of the program.
  static void ApurarNoArquivo(TQDConnection& c, const std::string& ini, const std::string& fim) {
    TInteracaoRoteirizada interacao;
    THost host(c, interacao);
    TPedidoApuracao p;
    p.IdFilial = 1;
    p.DataInicio = ini;
    p.DataFim = fim;
    p.Impostos = "icms";
    TExecucaoApuracao(c, p).Calcular();
  }

  fs::path dir_;
  std::string arquivo_;
};

TEST_F(BancoEmArquivo, ArquivoQueNaoEhDoLivroFicaComoEstava) {
  const std::string alheio = (dir_ / "alheio.db").string(), vazio = (dir_ / "vazio.db").string(),
                    texto = (dir_ / "texto.db").string();
  {
    banco::TBanco db(alheio, banco::kEscrita | banco::kCriar);
    db.exec("CREATE TABLE CLIENTES (ID INTEGER); INSERT INTO CLIENTES VALUES (1)");
  }
  std::ofstream(vazio).close();
  std::ofstream(texto) << "isto não é um banco\n";
  for (const std::string& a : {alheio, vazio, texto}) {
    const std::string antes = Ler(a);
    EXPECT_THROW(TQDConnection::Abrir(a), EBancoDados) << a;
    EXPECT_EQ(Ler(a), antes) << a;  // not switched to WAL, not turned into a database
    EXPECT_FALSE(fs::exists(a + "-wal")) << a;
  }
}

TEST_F(BancoEmArquivo, VersaoAnteriorEhMigradaSoSemCfopsRepetidos) {
  {  // the same database as version 1 kept it: no unique CFOP index, a family row entered twice
    banco::TBanco db(arquivo_, banco::kEscrita);
    db.exec("PRAGMA ignore_check_constraints = ON;"
            "DROP INDEX IX_ES02_CFOP_CFOP; CREATE INDEX IX_ES02_CFOP_CFOP ON ES02_CFOP (CFOP);"
            "INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (41, '5.102.000', 'VENDA');"
            "INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA)"
            " VALUES (1, '07', 1, 2, 8, '2026-01-01');"  // version 1: the next page, 8
            // no host configuration tables, and a GIA row entered twice by hand
            "DROP TABLE HS_FILIALCFG; DROP TABLE HS_DETALHEEFD;"
            "DROP INDEX IX_ES02_GIADET; CREATE INDEX IX_ES02_GIADET ON ES02_GIADET (IDGIA, TPREGISTRO, CODIGO);"
            "INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES) VALUES (1, 1, 2026, 1);"
            "INSERT INTO ES02_GIADET (IDGIADET, IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO)"
            " VALUES (1, 1, 'ABC', '32', '', '7'), (2, 1, 'ABC', '32', '', '9');"
            // nor what version 3 added for the EFD imports
            "DROP INDEX IX_ES02_ENTRADA_IMPORTACAO; DROP INDEX IX_ES02_SAIDA_IMPORTACAO;"
            "DROP INDEX IX_ES02_LCTOAPUR_IMPORTACAO; DROP TABLE HS_IMPORTACAOEFD;"
            "ALTER TABLE ES02_ENTRADA DROP COLUMN IDIMPORTACAO; ALTER TABLE ES02_SAIDA DROP COLUMN IDIMPORTACAO;"
            "ALTER TABLE ES02_LCTOAPUR DROP COLUMN IDIMPORTACAO;"
            // nor the book's print mode of version 5
            "ALTER TABLE HS_NUMERACAOLIVRO DROP COLUMN FRENTEVERSO;"
            "UPDATE HS_VERSAO SET VERSAO = 1");
  }
  const std::string erro = Erro<EDadosInvalidos>([&] { TQDConnection::Abrir(arquivo_); });
  EXPECT_CONTEM(erro, "O banco " + arquivo_ + " não pode ser atualizado para a versão 7 do esquema");
  EXPECT_CONTEM(erro, "\n- ES02_CFOP IDCFOP 10: CFOP '5.102.000' repetido");
  EXPECT_CONTEM(erro, "\n- ES02_CFOP IDCFOP 41: CFOP '5.102.000' repetido");
  EXPECT_EQ(Valor("SELECT VERSAO FROM HS_VERSAO"), "1");

  { banco::TBanco(arquivo_, banco::kEscrita).exec("DELETE FROM ES02_CFOP WHERE IDCFOP = 41"); }
  TQDConnection::Abrir(arquivo_);
  EXPECT_EQ(Valor("SELECT VERSAO FROM HS_VERSAO"), "7");
  EXPECT_EQ(Valor("SELECT \"unique\" FROM pragma_index_list('ES02_CFOP') WHERE name = 'IX_ES02_CFOP_CFOP'"), "1");
  EXPECT_EQ(Valor("SELECT PAGINAFINAL FROM HS_NUMERACAOLIVRO"), "7");  // the last page printed
  EXPECT_EQ(Valor("SELECT COALESCE(FRENTEVERSO, 'nulo') FROM HS_NUMERACAOLIVRO"), "nulo");  // mode not known
  EXPECT_EQ(Valor("SELECT group_concat(IDGIADET || '|' || CONTEUDO) FROM ES02_GIADET WHERE IDGIA = 1"), "1|7");  // the first kept
  EXPECT_EQ(Valor("SELECT \"unique\" FROM pragma_index_list('ES02_GIADET') WHERE name = 'IX_ES02_GIADET'"), "1");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM sqlite_master WHERE name IN"
                  " ('HS_FILIALCFG', 'HS_DETALHEEFD', 'IX_HS_FILIALCFG', 'IX_HS_DETALHEEFD')"), "4");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM pragma_table_info('ES02_LCTOAPUR') WHERE name = 'IDIMPORTACAO'"), "1");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('HS_IMPORTACAOEFD', 'IX_ES02_SAIDA_IMPORTACAO')"),
            "2");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('HS_OBRIGACAOEFD', 'IX_HS_OBRIGACAOEFD')"), "2");
}

TEST_F(BancoEmArquivo, ResumoInterrompidoNaoFicaGravadoPelaMetade) {
  EXPECT_EXIT(
      {
        auto c = TQDConnection::Abrir(arquivo_);
        TInteracaoRoteirizada interacao;
        THost host(*c, interacao);
        host.SetFuncoes(std::make_unique<TFuncoesEmFevereiro>(*c, [] { std::raise(SIGKILL); }));
        TPedidoApuracao p;
        p.IdFilial = 1;
        p.DataInicio = "01/01/2026";
        p.DataFim = "31/03/2026";
        p.Impostos = "icms";
        TExecucaoApuracao(*c, p).Calcular();
      },
      ::testing::KilledBySignal(SIGKILL), "");
  // January is whole: its tax, the credit balance it carries into February, its accounting values.
  EXPECT_EQ(Valor("SELECT GROUP_CONCAT(INICIO || '=' || VLRIMPOSTO) FROM TR04_IMPOSTO"), "2026-01-01=10373.58");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND DATA = '2026-01-01'"), "5");
  EXPECT_EQ(Valor("SELECT TPLANCAMENTO FROM ES02_LCTOAPUR WHERE GERADO = 1 AND DATA = '2026-02-01'"), "5");
  // February left nothing (its accounting values would be dated 2026-02-01 too): not the credit
  // balance of 8,238.12 it had carried into March.
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND DATA >= '2026-02-01'"), "1");
}

TEST_F(BancoEmArquivo, OutroProgramaEscrevendoPoucoTempoEhEsperado) {
  auto c = TQDConnection::Abrir(arquivo_);
  std::promise<void> bloqueado;
  std::thread outro([&] {
    banco::TBanco db(arquivo_, banco::kEscrita);
    db.exec("BEGIN IMMEDIATE; UPDATE CA06_USUARIO SET TELEFONE1 = '(11) 0000-0000'");
    bloqueado.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    db.exec("COMMIT");
  });
  bloqueado.get_future().wait();
  EXPECT_NO_THROW(ApurarNoArquivo(*c, "01/01/2026", "31/01/2026"));
  outro.join();
  EXPECT_EQ(Valor("SELECT VLRIMPOSTO FROM TR04_IMPOSTO"), "10373.58");
  EXPECT_EQ(Valor("SELECT TELEFONE1 FROM CA06_USUARIO"), "(11) 0000-0000");
}

TEST_F(BancoEmArquivo, BancoBloqueadoAlemDaEsperaEhErroClaroSemNadaGravado) {
  auto c = TQDConnection::Abrir(arquivo_);
  c->SetEsperaOcupado(std::chrono::milliseconds(100));
  banco::TBanco outro(arquivo_, banco::kEscrita);
  outro.exec("BEGIN IMMEDIATE");
  const std::string erro = Erro<EBancoOcupado>([&] { ApurarNoArquivo(*c, "01/01/2026", "31/01/2026"); });
  outro.exec("ROLLBACK");
  EXPECT_EQ(erro,
            "O banco de dados está em uso por outro programa (database is locked): ele continuou bloqueado além do "
            "tempo de espera e esta operação não gravou nada. Tente de novo quando o outro programa terminar.");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM TR04_IMPOSTO"), "0");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE GERADO = 1"), "0");
}
