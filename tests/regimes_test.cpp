// The state regimes end to end on the demo office (db/demo.sql: its comments give the figures):
// regular RS with its return, postponement and annex questions and line 14; ICMS-ST RS of a
// centraliser and of a centralised establishment; the credit balance of MA, PA and SE; a São Paulo
// establishment with an RS inscription; regular PR and its due-day rules; the small businesses of
// PR and RN. Amounts are worked out by hand in the comments.
#include <gtest/gtest.h>

#include <algorithm>

#include "ambiente.h"
#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/base/formatacao.h"
#include "host/interacao/formpadraoresult.h"
#include "host/banco/integridade.h"
#include "regimes/normal/apuracaonormalrs.h"
#include "regimes/simples/apuracaosimplespr.h"
#include "regimes/simples/apuracaosimplesrn.h"
#include "regimes/subtrib/apuracaosubtribrs.h"
#include "utilitarios.h"

namespace {

class Regimes : public AmbienteTeste {
 protected:
  void SetUp() override {
    AmbienteTeste::SetUp();
    GPostergarImposto = piPerguntar;  // program-wide; each test starts as a new program run
  }
  void TearDown() override {
    GPostergarImposto = piPerguntar;
    AmbienteTeste::TearDown();
  }
  void Responder(std::initializer_list<const char*> respostas) {
    for (const char* r : respostas) interacao_->AdicionarResposta(r);
  }
  // Tax records of an establishment: start|tax|payment code|due|amount|TPAPLICACAO.
  std::string Impostos(int filial, const std::string& imposto) {
    return Linhas("SELECT I.INICIO, I.CODIGOREC, I.VENCIMENTO, printf('%.2f', I.VLRIMPOSTO), COALESCE(D.CONTEUDO, '-')"
                  " FROM TR04_IMPOSTO I LEFT JOIN TR04_IMPOSTODET D ON (D.IDIMPOSTO = I.IDIMPOSTO AND D.NOMECAMPO = 'TPAPLICACAO')"
                  " WHERE I.IDFILIAL = " + std::to_string(filial) + " AND I.IMPOSTO = '" + imposto + "' ORDER BY I.INICIO");
  }
  // Settlement entries the run wrote of one type: date|amount|entry code id|origin id (the SPED
  // code of a credit balance).
  std::string Lancamentos(int filial, int tipo) {
    return Linhas("SELECT DATA, printf('%.2f', VALOR), COALESCE(IDLCTOAPURCOD, 0), IDORIGEM FROM ES02_LCTOAPUR"
                  " WHERE GERADO = 1 AND IDFILIAL = " + std::to_string(filial) + " AND TPLANCAMENTO = " +
                  std::to_string(tipo) + " AND IMPOSTO = '2001' ORDER BY DATA");
  }
  // The return's detail rows of a month: register|code|field|content.
  std::string Gia(int filial, int mes) {
    return Linhas("SELECT D.TPREGISTRO, D.CODIGO, D.NOMECAMPO, D.CONTEUDO FROM ES02_GIADET D JOIN ES02_GIA G"
                  " ON (G.IDGIA = D.IDGIA) WHERE G.IDFILIAL = " + std::to_string(filial) + " AND G.ANO = 2026 AND G.MES = " +
                  std::to_string(mes) + " ORDER BY D.TPREGISTRO, D.CODIGO, D.NOMECAMPO");
  }
};

}  // namespace

// Filial 3, first quarter (no dialog: three periods), March's 137.50 postponed ("Sim").
//   Jan: debits 17000 + 2400 + 1700 = 21100, credits 10200 + 3600 = 13800: 7300.00 due on
//        12/02 (another month than the period's: no annex question, the annex rows go empty).
//   Feb: debits 6800 + 300 (code 26) = 7100, credits 8500: base balance 1400.00; line 14 carries
//        1400.00 + 300.00 = 1700.00 into March (month end), posted as 1400.00.
//   Mar: debits 5100, credits 3262.50 + 1700.00 = 4962.50: 137.50 < 5 x 27.5418 = 137.709.
// Its classification (regular regime) is in force only from March: without one, January and
// February are the regular regime all the same.
TEST_F(Regimes, NormalRSNoTrimestre) {
  Sql("UPDATE HS_ENQUADRAMENTO SET DATAINICIO = '2026-03-01' WHERE IDFILIAL = 3;"  // the postponed takes code 18 of its type
      "INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO) VALUES"
      " (12, 'RS', '18', 'Outro código 18', 1, 16, 1)");
  Responder({"Sim"});
  auto e = Apurar("01/01/2026", "31/03/2026", 3, "icms");
  EXPECT_TRUE(Mostrou("[pergunta] Confirmação: O valor do imposto a recolher é menor que 5 UPF."));
  EXPECT_EQ(Impostos(3, "2001"), "2026-01-01|057|2026-02-12|7300.00|01\n"
                                 "2026-02-01|057|2026-03-12|0.00|01\n"
                                 "2026-03-01|057|2026-04-13|0.00|01\n");  // postponed; 12/04 is a Sunday
  EXPECT_EQ(Lancamentos(3, 15), "2026-02-01|0.00|2|0\n2026-03-01|0.00|2|0\n2026-04-01|137.50|2|0\n");
  EXPECT_EQ(Lancamentos(3, 5), "2026-02-01|0.00|1|0\n2026-03-01|1700.00|1|0\n2026-04-01|0.00|1|0\n");
  // Each dated the next period's first day, over that one day; credits of origin 0, the postponed of 99.
  EXPECT_EQ(Linhas("SELECT TPLANCAMENTO, ORIGEM, COUNT(*) FROM ES02_LCTOAPUR WHERE IDFILIAL = 3 AND GERADO = 1"
                   " AND TPLANCAMENTO IN (5, 15) AND DATAFIM = DATA GROUP BY 1, 2"),
            "5|0|3\n15|99|3\n");
  EXPECT_EQ(Valor("SELECT printf('%.2f', VALOR) FROM ES02_LCTOAPUR WHERE IDFILIAL = 3 AND TPLANCAMENTO = 56"
                  " AND DATA = '2026-02-01'"),
            "1400.00");
  EXPECT_EQ(Gia(3, 1), "ABC|20|0131|0\nABC|21|0131|0\nX08|0131|ICMSPROPRIO|\nX08|0131|VCTO|\n"
                       "X09|0131|ICMSPROPRIO|\nX09|0131|VCTO|\n");
  EXPECT_EQ(Gia(3, 2), "");  // no tax due: no annex rows
  EXPECT_EQ(Gia(3, 3), "");  // postponed

  // February's line 14 (28: 1400.00, 26: 300.00, 1700.00) is printed on the book's golden page.
  // The revenue of the return: formula 20 over January's exits plus services, 131500.00.
  auto* jan = dynamic_cast<TResumoNormalRS*>(e->Apuracao().GetResumos().GetItem(0));
  EXPECT_EQ(jan->GetFaturamento(), Currency::FromInt(131500));

  // Without a payment code configured January settles all the same: recorded without code or due
  // date, and the return's annexes stay empty (no due date inside January).
  Sql("DELETE FROM ES02_CFG WHERE IDFILIAL = 3 AND TP = '2'");
  Apurar("01/01/2026", "31/01/2026", 3, "icms");
  EXPECT_EQ(Impostos(3, "2001").rfind("2026-01-01||NULL|7300.00|\n", 0), 0u);
  EXPECT_CONTEM(Gia(3, 1), "X08|0131|ICMSPROPRIO|\nX08|0131|VCTO|\nX09|0131|ICMSPROPRIO|\nX09|0131|VCTO|\n");
}

// Filial 3 settled by decêndios in February, the non-compensable 300.00 (code 26) moved to the 5th:
//   01-10: credits 8500 - debits 300 = 8200.00; line 14 8200 + 300 = 8500, but not a month end:
//          8200.00 is carried to the 11th.
//   11-20: 8200 - 6800 = 1400.00, carried to the 21st.
//   21-28: 1400.00, less another non-compensable 50.00 of the 21st itself, 1350.00, and the month
//          ends: line 14 adds the period's own 50.00 and the 300.00 of the month's earlier days
//          (1st to 20th, not the 21st counted twice), 1700.00 carried to March.
// A deduction of 100.00 on the 3rd finds nothing to pay: named as not taken, and no credit.
TEST_F(Regimes, NormalRSDecendialLevaOsCreditosDoMes) {
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 4 WHERE IDFILIAL = 3;"
      "UPDATE ES02_LCTOAPUR SET DATA = '2026-02-05', DATAFIM = '2026-02-05' WHERE IDLCTOAPUR = 101;"
      "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA, DATAFIM, DESCRICAO)"
      " VALUES (3, 4, 1, '2001', 4, 50, '2026-02-21', '2026-02-21', 'Créditos transferidos não compensáveis'),"
      " (3, 8, 1, '2001', NULL, 100, '2026-02-03', '2026-02-03', 'Dedução antecipada')");
  auto e = Apurar("01/02/2026", "28/02/2026", 3, "icms");
  EXPECT_TRUE(Mostrou("Deduções não aproveitadas: - 03/02/2026 - Dedução antecipada: 100,00 não aproveitados de 100,00"));
  EXPECT_EQ(Lancamentos(3, 5), "2026-02-11|8200.00|1|0\n2026-02-21|1400.00|1|0\n2026-03-01|1700.00|1|0\n");
  // What the book shows as carried is line 14: 8500.00, 1400.00 (the earlier credits wait for the
  // month's end), 1700.00.
  std::string linha14;
  for (int i = 0; i < 3; ++i) linha14 += FormatarValor(e->Apuracao().GetResumos().GetItem(i)->GetSaldoCredor()) + " ";
  EXPECT_EQ(linha14, "8.500,00 1.400,00 1.700,00 ");
  // Fortnightly: 01-15 credits 8500 - debits 6800 - 300 = 1400.00 carried to the 16th; 16-28
  // 1400 - 50 = 1350.00, and line 14 adds the 50.00 and the 300.00 of the 1st to the 15th: 1700.00.
  // Without the 300.00, the second half has no earlier credit to add, and no detail of 0 either.
  // (the decêndios' entries go first: those of another periodicity's periods are not replaced)
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 5 WHERE IDFILIAL = 3;"
      "DELETE FROM ES02_LCTOAPUR WHERE IDFILIAL = 3 AND GERADO = 1");
  Apurar("01/02/2026", "28/02/2026", 3, "icms");
  EXPECT_EQ(Lancamentos(3, 5), "2026-02-16|1400.00|1|0\n2026-03-01|1700.00|1|0\n");
  Sql("DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 101");
  e = Apurar("01/02/2026", "28/02/2026", 3, "icms");
  const TResumoCampo* fim = e->Apuracao().GetResumos().GetItem(1)->GetSaldo().Locate(14);
  ASSERT_NE(fim, nullptr);
  EXPECT_EQ(fim->GetDetalhamentos().Count(), 2);  // 28 and the period's own 50.00
  // Daily, 01/03 to 02/03: the walk stops at a start that is the interval's last day; only the 1st
  // is settled and the user is told the 2nd was left out.
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 1 WHERE IDFILIAL = 3");
  EXPECT_EQ(Apurar("01/03/2026", "02/03/2026", 3, "icms")->Apuracao().GetResumos().Count(), 1);
  EXPECT_TRUE(Mostrou("os dias de 02/03/2026 a 02/03/2026 não completam um período e ficaram de fora."));
}

// One period: the stored revenue differs from the calculated one, the dialog, and an annex
// question (the payment code now falls due on the 28th of the period's own month).
TEST_F(Regimes, DadosDaGiaEAnexo) {
  Sql("UPDATE ES02_CODIGOREC SET TPDIAVENCTO = 2, DIAVENCTO = '28' WHERE IDCODIGOREC = 10;"
      "INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES) VALUES (50, 3, 2026, 1);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES"
      " (50, 'ABC', '31', '31', '125000.00'), (50, 'ABC', '32', '', '9')");
  Responder({"Anterior", "edtEmpregados=12; edtValorFolha=18.000,00", "Anexo IX"});
  auto e = Apurar("01/01/2026", "31/01/2026", 3, "icms");
  EXPECT_TRUE(Mostrou("Valor Calculado: R$ 131.500,00"));
  EXPECT_TRUE(Mostrou("Valor Anterior  : R$ 125.000,00"));
  EXPECT_EQ(Gia(3, 1), "ABC|20|0131|0\nABC|21|0131|7300\nABC|31|31|125000\nABC|32||12\nABC|33|31|18000\nABC|34|31|0\n"
                       "X08|0131|ICMSPROPRIO|\nX08|0131|VCTO|\nX09|0131|ICMSPROPRIO|7300\nX09|0131|VCTO|28/01/2026\n");

  // Again: the calculated revenue, the dialog cancelled (its rows stay), annex VIII. The rows
  // are replaced in place, never added.
  Responder({"Calculado", "cancelar", "Anexo VIII"});
  e = Apurar("01/01/2026", "31/01/2026", 3, "icms");
  auto* jan = dynamic_cast<TResumoNormalRS*>(e->Apuracao().GetResumos().GetItem(0));
  EXPECT_EQ(jan->GetFaturamento(), Currency::FromInt(131500));
  EXPECT_EQ(jan->GetEmpregados(), 12);
  EXPECT_EQ(Gia(3, 1), "ABC|20|0131|7300\nABC|21|0131|0\nABC|31|31|125000\nABC|32||12\nABC|33|31|18000\nABC|34|31|0\n"
                       "X08|0131|ICMSPROPRIO|7300\nX08|0131|VCTO|28/01/2026\nX09|0131|ICMSPROPRIO|\nX09|0131|VCTO|\n");
  // A money value that is not money: the dialog is refused, naming the field.
  Responder({"Calculado", "edtFaturamento=muito"});
  try {
    Apurar("01/01/2026", "31/01/2026", 3, "icms");
    ADD_FAILURE() << "valor inválido aceito";
  } catch (const EDadosDialogo& ex) {
    EXPECT_NE(std::string(ex.what()).find("Faturamento no Período Apurado"), std::string::npos) << ex.what();
  }
  // A stored revenue less than a cent from the calculated 131500.00 is the same: nothing asked.
  Sql("UPDATE ES02_GIADET SET CONTEUDO = '131500.004' WHERE IDGIA = 50 AND CODIGO = '31'");
  const size_t antes = interacao_->Registro().size();
  Responder({"cancelar", "Anexo VIII"});
  Apurar("01/01/2026", "31/01/2026", 3, "icms");
  EXPECT_EQ(interacao_->Registro().size(), antes + 2);
  // February with the payroll alone stored (one row): it is read, and the dialog confirmed as it
  // comes records it back, with no employees (none stored).
  Sql("INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES) VALUES (51, 3, 2026, 2);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (51, 'ABC', '33', '28', '4321.09')");
  Apurar("01/02/2026", "28/02/2026", 3, "icms");
  EXPECT_CONTEM(Gia(3, 2), "ABC|32||0\nABC|33|28|4321.09\nABC|34|28|0\n");
}

// The postponement question's other answers, and its limits: "Todos" holds for the rest of the
// program's run, "Cancelar" stops the run keeping February, and a tax of exactly 5 UPF asks
// nothing.
TEST_F(Regimes, PostergacaoTodosNenhumCancelarELimite) {
  Responder({"Todos"});
  Apurar("01/02/2026", "31/03/2026", 3, "icms");
  EXPECT_EQ(GPostergarImposto, piSimTodos);
  EXPECT_NE(Lancamentos(3, 15).find("2026-04-01|137.50|2|0\n"), std::string::npos);
  const size_t perguntas = interacao_->Registro().size();
  Apurar("01/02/2026", "31/03/2026", 3, "icms");  // postponed again without asking
  EXPECT_EQ(interacao_->Registro().size(), perguntas);
  EXPECT_NE(Lancamentos(3, 15).find("2026-04-01|137.50|2|0\n"), std::string::npos);

  GPostergarImposto = piPerguntar;
  Responder({"Nenhum"});
  Apurar("01/02/2026", "31/03/2026", 3, "icms");
  EXPECT_EQ(GPostergarImposto, piNaoTodos);
  EXPECT_NE(Impostos(3, "2001").find("2026-03-01|057|2026-04-13|137.50|01\n"), std::string::npos);

  // "Não" keeps March's 137.50 due in March and asks again next time.
  GPostergarImposto = piPerguntar;
  Responder({"Não"});
  Apurar("01/02/2026", "31/03/2026", 3, "icms");
  EXPECT_EQ(GPostergarImposto, piPerguntar);
  EXPECT_NE(Impostos(3, "2001").find("2026-03-01|057|2026-04-13|137.50|01\n"), std::string::npos);

  GPostergarImposto = piPerguntar;
  Sql("DELETE FROM TR04_IMPOSTO WHERE IDFILIAL = 3; DELETE FROM ES02_LCTOAPUR WHERE IDFILIAL = 3 AND GERADO = 1");
  Responder({"Cancelar"});
  EXPECT_THROW(Apurar("01/02/2026", "31/03/2026", 3, "icms"), EAbortarSilencioso);
  EXPECT_EQ(Impostos(3, "2001"), "2026-02-01|057|2026-03-12|0.00|01\n");
  Sql("DELETE FROM ES02_GIADET WHERE IDGIA IN (SELECT IDGIA FROM ES02_GIA WHERE IDFILIAL = 3);"
      "DELETE FROM ES02_GIA WHERE IDFILIAL = 3");
  // March alone asks for the return's data first: what the dialog recorded (5 employees, a payroll
  // of 1,000.00) stays when the question after it is cancelled; a cancel is no fault.
  Responder({"edtEmpregados=5; edtValorFolha=1.000,00", "Cancelar"});
  EXPECT_THROW(Apurar("01/03/2026", "31/03/2026", 3, "icms"), EAbortarSilencioso);
  EXPECT_CONTEM(Gia(3, 3), "ABC|32||5\nABC|33|31|1000\n");

  // 5 UPF of 27.50 is exactly March's 137.50: not postponed, nothing asked.
  Sql("INSERT INTO HS_UPF (UF, DATAINICIO, VALOR) VALUES ('RS', '2026-03-01', 27.50)");
  const size_t antes = interacao_->Registro().size();
  Apurar("01/02/2026", "31/03/2026", 3, "icms");
  EXPECT_EQ(interacao_->Registro().size(), antes);
  EXPECT_NE(Impostos(3, "2001").find("2026-03-01|057|2026-04-13|137.50|01\n"), std::string::npos);

  // The balance entries carry RS's default code of the return's item 5 (IDLCTOAPURCOD 1).
  EXPECT_EQ(Linhas("SELECT DISTINCT IDLCTOAPURCOD FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = 3 AND TPLANCAMENTO = 5"),
            "1\n");
  // Without the return's entry code of the balance: a warning, no balance entry.
  Sql("DELETE FROM ES02_LCTOAPURCOD WHERE IDLCTOAPURCOD = 1; DELETE FROM ES02_LCTOAPUR WHERE IDFILIAL = 3 AND GERADO = 1");
  Apurar("01/02/2026", "28/02/2026", 3, "icms");
  const auto& r = interacao_->Registro();
  EXPECT_EQ(std::count(r.begin(), r.end(), "[aviso] Não foi possível encontrar um código de GIA para atualizar o saldo credor."), 1);
  EXPECT_EQ(Lancamentos(3, 5), "");
}

// January's ICMS-ST in RS. Filial 3 centralises filial 4: its item 001 is its own 340.00 plus
// filial 4's 170.00 = 510.00, recorded with the sub-code, while its register lists only its own
// line. Filial 4 settles its own 170.00 and records nothing.
TEST_F(Regimes, SubstituicaoTributariaRSCentralizada) {
  auto e = Apurar("01/01/2026", "31/01/2026", 3, "icms-st");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 1);
  auto* st = dynamic_cast<TResumoSTRS*>(e->Apuracao().GetResumos().GetItem(0));
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(st->GetDebito().GetRegistros().Count(), 1);
  EXPECT_EQ(st->GetDebito().GetRegistros().GetItem(0)->GetImposto(), Currency::FromInt(340));
  EXPECT_EQ(st->GetDebito().GetRegistros().GetTotalImposto(), Currency::FromInt(510));
  EXPECT_EQ(st->GetImpostoARecolher(), Currency::FromInt(510));
  EXPECT_EQ(Impostos(3, "4023"), "2026-01-01|221|2026-02-09|510.00|01\n");

  auto f = Apurar("01/01/2026", "31/01/2026", 4, "icms-st");
  auto* centralizada = dynamic_cast<TResumoSTRS*>(f->Apuracao().GetResumos().GetItem(0));
  ASSERT_NE(centralizada, nullptr);
  EXPECT_EQ(centralizada->GetImpostoARecolher(), Currency::FromInt(170));
  EXPECT_EQ(centralizada->GetSTOutrosEstabSaida().Count(), 0);
  EXPECT_EQ(centralizada->GetParticipacoesCentralizadas(true), nullptr);  // the book lists no parts
  EXPECT_EQ(Impostos(4, "4023"), "");
  // Centralisation of type '1' settles alone: filial 4 then records its own 170.00.
  Sql("UPDATE HS_CENTRALIZACAO SET TIPO = '1' WHERE IDFILIAL = 4");
  Apurar("01/01/2026", "31/01/2026", 4, "icms-st");
  EXPECT_EQ(Valor("SELECT printf('%.2f', VLRIMPOSTO) FROM TR04_IMPOSTO WHERE IDFILIAL = 4 AND IMPOSTO = '4023'"), "170.00");
  Sql("UPDATE HS_CENTRALIZACAO SET TIPO = '3' WHERE IDFILIAL = 4");

  // Filial 4's entry of the 7th with an ST credit of 50.00: the centraliser's item 001 less its
  // credit, 510.00 - 50.00 = 460.00, the entry listed apart as filial 4's part.
  Sql("UPDATE ES02_ENTRADADET SET BCICMSST = 500, ICMSST = 50, CREDITOST = 1 WHERE IDENTRADA = 2001");
  auto g = Apurar("01/01/2026", "31/01/2026", 3, "icms-st");
  auto* comCredito = dynamic_cast<TResumoSTRS*>(g->Apuracao().GetResumos().GetItem(0));
  EXPECT_EQ(comCredito->GetImpostoARecolher(), Currency::FromInt(460));
  ASSERT_NE(comCredito->GetParticipacoesCentralizadas(false), nullptr);
  EXPECT_EQ(comCredito->GetParticipacoesCentralizadas(false)->Count(), 1);

  // A São Paulo establishment with an RS inscription settles all its taxes; centralised, it
  // records no RS ST tax (its 740.00). Its SC inscription follows (regimes_sc_test.cpp).
  auto sp = Apurar("01/01/2026", "31/01/2026", 2, "todos");
  ASSERT_EQ(sp->Apuracao().GetResumos().Count(), 3);
  EXPECT_EQ(sp->Apuracao().GetResumos().GetItem(1)->GetTipoResumo(), trSubstTribRS);
  EXPECT_EQ(sp->Apuracao().GetResumos().GetItem(1)->GetImpostoARecolher(), Currency::FromInt(740));
  EXPECT_EQ(Impostos(2, "4023"), "");
}

// The credit balance of MA, PA and SE with their codes (first quarter; the comment of db/demo.sql
// has the figures): MA carries 4400.00 out of February without GIA code and, in 2026, without
// the SPED code; PA carries 1900.00 out of January with its GIA code (10) and SPED code; SE
// carries 3800.00 out of February with its code (11).
TEST_F(Regimes, SaldoCredorDoMaranhaoParaESergipe) {
  const std::string sped = [&](const char* uf) {
    return Valor(std::string("SELECT IDDETALHEEFD FROM HS_DETALHEEFD WHERE TABELA = 12 AND UF = '") + uf + "'");
  }("PA");
  ASSERT_NE(sped, "");
  Apurar("01/01/2026", "31/03/2026", 5, "icms");
  Apurar("01/01/2026", "31/03/2026", 6, "icms");
  Apurar("01/01/2026", "31/03/2026", 7, "icms");
  EXPECT_EQ(Impostos(5, "2001"), "2026-01-01|101|2026-02-20|6600.00|-\n2026-02-01|101|2026-03-20|0.00|-\n"
                                 "2026-03-01|101|2026-04-20|2200.00|-\n");
  EXPECT_EQ(Lancamentos(5, 5), "2026-02-01|0.00|0|0\n2026-03-01|4400.00|0|0\n2026-04-01|0.00|0|0\n");
  // without a code the entry records none (NULL), not a code id of 0; each of origin 0
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE IDFILIAL = 5 AND GERADO = 1 AND TPLANCAMENTO = 5"
                  " AND IDLCTOAPURCOD IS NULL"),
            "3");
  EXPECT_EQ(Valor("SELECT CAST(MIN(ORIGEM) AS TEXT) || '|' || CAST(MAX(ORIGEM) AS TEXT) FROM ES02_LCTOAPUR"
                  " WHERE IDFILIAL IN (5, 6, 7) AND GERADO = 1 AND TPLANCAMENTO = 5"),
            "0|0");
  EXPECT_EQ(Lancamentos(6, 5), "2026-02-01|1900.00|10|" + sped + "\n2026-03-01|0.00|10|" + sped + "\n2026-04-01|0.00|10|" +
                                   sped + "\n");
  EXPECT_NE(Impostos(6, "2001").find("2026-01-01|1113|2026-02-10|0.00|-\n2026-02-01|1113|2026-03-10|5700.00|-\n"),
            std::string::npos);
  EXPECT_EQ(Lancamentos(7, 5).rfind("2026-02-01|0.00|11|" + Valor("SELECT IDDETALHEEFD FROM HS_DETALHEEFD WHERE UF = 'SE'") + "\n", 0),
            0u);  // SE looks its SPED code up in every year
  EXPECT_NE(Lancamentos(7, 5).find("2026-03-01|3800.00|11|"), std::string::npos);
  EXPECT_FALSE(Mostrou("[aviso]"));

  // MA looks the SPED code up only for periods starting before 8 September 2009.
  Sql("UPDATE HS_PERIODICIDADE SET DATAINICIO = '2008-01-01' WHERE IDFILIAL = 5;"
      "UPDATE HS_ENQUADRAMENTO SET DATAINICIO = '2008-01-01' WHERE IDFILIAL = 5;"
      "UPDATE HS_PERFILEFD SET DATAINICIO = '2008-01-01' WHERE IDFILIAL = 5");
  Apurar("01/08/2009", "31/08/2009", 5, "icms");
  const std::string ma = Valor("SELECT IDDETALHEEFD FROM HS_DETALHEEFD WHERE TABELA = 12 AND UF = 'MA'");
  EXPECT_NE(Lancamentos(5, 5).find("2009-09-01|0.00|0|" + ma), std::string::npos);
  // Settled day by day: 7 September looks it up, the 8th no longer.
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 1 WHERE IDFILIAL = 5");
  Apurar("07/09/2009", "09/09/2009", 5, "icms");  // the days 7 and 8 (the interval's last day starts none)
  EXPECT_CONTEM(Lancamentos(5, 5), "2009-09-08|0.00|0|" + ma + "\n2009-09-09|0.00|0|0\n");
  EXPECT_FALSE(Mostrou("SPED"));  // the code found (of id 1 here) is no warning
  // PA without codes of its own: no GIA code and no warning about it; without the SPED code: M1.
  Sql("DELETE FROM ES02_LCTOAPURCOD WHERE UF = 'PA'; DELETE FROM HS_DETALHEEFD WHERE UF = 'PA'");
  Apurar("01/01/2026", "31/01/2026", 6, "icms");
  EXPECT_EQ(Lancamentos(6, 5).rfind("2026-02-01|1900.00|0|0\n", 0), 0u);
  EXPECT_FALSE(Mostrou("O Saldo credor será gravado sem código de GIA."));
  EXPECT_TRUE(Mostrou("[aviso] Não foi possível encontrar o código para saldo credor usado no SPED Fiscal.  Clique no botão"));
  // PA with a code of its own, but none for the credit balance: the warning, and the entry without.
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO) VALUES"
      " (10, 'PA', '002', 'Outros créditos', 1, 2)");
  Apurar("01/01/2026", "31/01/2026", 6, "icms");
  EXPECT_EQ(Lancamentos(6, 5).rfind("2026-02-01|1900.00|0|0\n", 0), 0u);
  EXPECT_TRUE(Mostrou("[aviso] Não foi possível encontrar um código de GIA para atualizar o saldo credor.  O Saldo credor"
                      " será gravado sem código de GIA."));
  // SE's code of id 1 is a code like any other; without its code: the warning and no balance
  // entry at all.
  Sql("UPDATE ES02_LCTOAPURCOD SET IDLCTOAPURCOD = 9 WHERE IDLCTOAPURCOD = 1;"
      "UPDATE ES02_LCTOAPURCOD SET IDLCTOAPURCOD = 1 WHERE IDLCTOAPURCOD = 11");
  Apurar("01/01/2026", "31/01/2026", 7, "icms");
  EXPECT_EQ(Lancamentos(7, 5).rfind("2026-02-01|0.00|1|", 0), 0u);
  Sql("DELETE FROM ES02_LCTOAPURCOD WHERE UF = 'SE'; DELETE FROM ES02_LCTOAPUR WHERE IDFILIAL = 7 AND GERADO = 1");
  Apurar("01/01/2026", "31/01/2026", 7, "icms");
  EXPECT_EQ(Lancamentos(7, 5), "");
  const auto& r = interacao_->Registro();
  EXPECT_EQ(std::count(r.begin(), r.end(), "[aviso] Não foi possível encontrar um código de GIA para atualizar o saldo credor."), 1);
}

// Paraná's regular regime: the due day comes from the third digit from the end of the inscription
// 90.123456-78 (6), through the payment code's rules 15,0123 / 20,456 / 25,789: day 20. January
// 2026 owes 1900.00 - 760.00 = 1140.00 on 20/02.
TEST_F(Regimes, NormalPRDiaDeVencimentoPelaInscricao) {
  Apurar("01/01/2026", "31/01/2026", 60, "icms");
  EXPECT_EQ(Impostos(60, "2001"), "2026-01-01|1015|2026-02-20|1140.00|-\n");
  auto Dia = [&](const std::string& inscricao) {
    Sql("UPDATE SC00_FILIAL SET IESTADUAL = '" + inscricao + "' WHERE IDFILIAL = 60");
    Apurar("01/01/2026", "31/01/2026", 60, "icms");
    return Impostos(60, "2001").substr(16, 10);
  };
  EXPECT_EQ(Dia("9012345-8.07"), "2026-02-25");  // key 8: the third rule
  EXPECT_EQ(Dia("12"), "2026-02-12");            // no key digit: DIAVENCTO
  EXPECT_EQ(Dia("6-78"), "2026-02-20");          // three digits: the first is the key
  Sql("UPDATE ES02_CODIGOREC SET CODIGO3 = NULL WHERE IDCODIGOREC = 6000");
  EXPECT_EQ(Dia("90.123458-78"), "2026-02-12");  // key 8 found in no rule: DIAVENCTO
  Sql("UPDATE ES02_CODIGOREC SET CODIGO1 = '15,7,8' WHERE IDCODIGOREC = 6000");
  EXPECT_EQ(Dia("90.123458-78"), "2026-02-16");  // "15,7,8" holds 8: day 15, a Sunday, moves to Monday
  // A rule that applies without a day before a comma cannot give a due date.
  Sql("UPDATE ES02_CODIGOREC SET CODIGO1 = '0123' WHERE IDCODIGOREC = 6000");
  const std::string erro = Erro<EDadosInvalidos>([&] { Dia("90.123451-78"); });
  EXPECT_NE(erro.find("ES02_CODIGOREC IDCODIGOREC 6000: CODIGO1 '0123' vale para o dígito 1"), std::string::npos) << erro;
  // A day of up to five digits is read as a number ("00015": Sunday the 15th, Monday); six digits
  // or a letter are not a day.
  Sql("UPDATE ES02_CODIGOREC SET CODIGO1 = '00015,1' WHERE IDCODIGOREC = 6000");
  EXPECT_EQ(Dia("90.123451-78"), "2026-02-16");
  for (const char* regra : {"000015,1", "1a,1"}) {
    Sql(std::string("UPDATE ES02_CODIGOREC SET CODIGO1 = '") + regra + "' WHERE IDCODIGOREC = 6000");
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Dia("90.123451-78"); }), "o dia antes da vírgula não é um número");
  }
}

// Paraná's small business, 2007 (the comment of db/demo.sql has the arithmetic): the centraliser
// owes 620.00 in January (taxable 37000.00 + affiliated 9000.00 = 46000.00 in the 2 % bracket less
// 300.00), 0 in February (first bracket) and 1200.00 in March (70000.00 x 3 % - 900.00), due on
// the 20th (inscription ending in 3); the centralised establishment owes nothing and its due day,
// with no rule for its last digit 5, is the row's 5.
TEST_F(Regimes, SimplesPRCentralizadorEColigadas) {
  auto e = Apurar("01/01/2007", "31/03/2007", 61, "icms");
  EXPECT_EQ(Impostos(61, "2001"), "2007-01-01|1023|2007-02-20|620.00|-\n2007-02-01|1023|2007-03-20|0.00|-\n"
                                  "2007-03-01|1023|2007-04-20|1200.00|-\n");
  auto* jan = dynamic_cast<TResumoSimplesPR*>(e->Apuracao().GetResumos().GetItem(0));
  ASSERT_NE(jan, nullptr);
  // Each month's return is a normal one (type 0) of the whole month (days 0 to 0).
  EXPECT_EQ(Linhas("SELECT MES, TIPO, DIAINICIO, DIAFIM FROM ES02_GIA WHERE IDFILIAL = 61 AND ANO = 2007 ORDER BY MES"),
            "1|0|0|0\n2|0|0|0\n3|0|0|0\n");
  // The user's observations come before the calculation's.
  Sql("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (61, '2001', '2007-01-31', 'Nota do contador')");
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { jan->ImprimirObservacoes(l, p); }).rfind(
                "3:Nota do contador|3:/3:DEMONSTRAÇÃO DO CÁLCULO DO SIMPLES/", 0),
            0u);
  EXPECT_EQ(jan->GetReceitaBrutaMes(), Currency::FromInt(51000));
  EXPECT_EQ(jan->GetReceitaTribMes(), Currency::FromInt(46000));
  EXPECT_EQ(jan->GetClasse(), 2);
  EXPECT_EQ(dynamic_cast<TResumoSimplesPR*>(e->Apuracao().GetResumos().GetItem(2))->GetReceitaBrutaAno(),
            Currency::FromInt(131000));  // 39000 + 12000 + 10000 + 70000
  Apurar("01/01/2007", "31/01/2007", 62, "icms");
  EXPECT_EQ(Impostos(62, "2001"), "2007-01-01|1023|2007-02-05|0.00|-\n");
  // The centraliser reads filial 62's entries as well: one that is not a number (a database of
  // another program, without our checks; the server's numeric column refuses the text itself) stops
  // its run before anything is written.
  if (!NoServidor()) {
    SemVerificacoes();
    Sql("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA,"
        " DATAFIM, DESCRICAO) VALUES (9599, 62, 1, 1, '2001', 0, '10,00', '2007-01-10', '2007-01-10', 'Crédito')");
    const std::string antes = TodasAsLinhas();
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/01/2007", "31/01/2007", 61, "icms"); }),
                  "ES02_LCTOAPUR IDLCTOAPUR 9599: VALOR '10,00' não é um número");
    EXPECT_EQ(TodasAsLinhas(), antes);
    Sql("DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 9599");
  }

  // A document of two items repeats its affiliated revenue: 24000 / 18000, month 63000 / 55000,
  // tax 55000 x 2 % - 300 = 800.00. A deduction larger than the bracket's tax gives 0, not less.
  Sql("INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (6102, 16, 0)");
  Apurar("01/01/2007", "31/01/2007", 61, "icms");
  EXPECT_EQ(Impostos(61, "2001").substr(0, 33), "2007-01-01|1023|2007-02-20|800.00");
  Sql("UPDATE TR04_TABDETALHE SET DEDUCAO = 1200 WHERE IDTABDETALHE = 6001");
  Apurar("01/01/2007", "31/01/2007", 61, "icms");
  EXPECT_EQ(Impostos(61, "2001").substr(0, 31), "2007-01-01|1023|2007-02-20|0.00");
  // The revenue typed the Brazilian way reads as its number (39000 + 2 x 12000 = 63000); without a
  // taxable revenue typed, each item's base counts with every digit it has:
  // 37000 + 2 x 1234567.8912 = 2506135.7824.
  Sql("UPDATE ES02_SAIDAAUX SET INFORMACAO1 = '12.000,00', INFORMACAO2 = NULL WHERE IDSAIDAAUX = 6102;"
      "UPDATE ES02_SAIDADET SET BCICMS = 1234567.8912 WHERE IDSAIDA = 6102");
  e = Apurar("01/01/2007", "31/01/2007", 61, "icms");
  jan = dynamic_cast<TResumoSimplesPR*>(e->Apuracao().GetResumos().GetItem(0));
  ASSERT_NE(jan, nullptr);
  EXPECT_EQ(jan->GetReceitaBrutaMes(), Currency::FromInt(63000));
  EXPECT_EQ(jan->GetReceitaTribMes(), Currency::FromRaw(25061357824));
}

// CRESCE-RN, January 2007: band 3 of a small enterprise owes the table's 150.00 whatever its
// revenue; the deduction of 50.00 is listed with sign 0; the centraliser's book figures add the
// other establishment's 8000.00 of revenue and 5000.00 of entries, which owes nothing.
TEST_F(Regimes, SimplesRNFaixaDoPrograma) {
  // Natal's returns (63): a purchase returned (5.202, 1000.00) lowers its entries to 19000.00, a sale
  // returned (1.202, 500.00) its revenue to 29500.00; the year (January only) adds Mossoró's.
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (6310, 63, '2007-01-25', 6310);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (6310, 6310, 13, 1000);"
      "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, DATAENTRADA, NUMERO) VALUES (6310, 63, '2007-01-26', 6310);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (6310, 6310, 3, 500);"
      "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (63, '2001', '2007-01-31', 'Nota do contador')");
  auto e = Apurar("01/01/2007", "31/01/2007", 63, "icms");
  EXPECT_EQ(Impostos(63, "2001"), "2007-01-01|1201|2007-02-15|150.00|-\n");
  auto* rn = dynamic_cast<TResumoSimplesRN*>(e->Apuracao().GetResumos().GetItem(0));
  ASSERT_NE(rn, nullptr);
  EXPECT_EQ(rn->GetDebito().Locate(1)->GetDetalhamentos().GetItem(0)->GetDescricao(),
            "Programa CRESCE-RN faixa 3 - Empresa Pequeno Porte");
  EXPECT_EQ(rn->GetSaldo().Locate(12)->GetSinal(), 0);
  EXPECT_EQ(rn->GetSaldo().Locate(12)->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(rn->GetReceitaBrutaCentraliz(), Currency::FromInt(8000));
  EXPECT_EQ(rn->GetVolumeEntradasCentraliz(), Currency::FromInt(5000));
  EXPECT_EQ(rn->GetDebito().Locate(1)->GetDescricao(), "DÉBITOS SAÍDAS");
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { rn->ImprimirObservacoes(l, p); }),
            "3:Nota do contador|2:/3:INFORMAÇÕES PARA O PROGRAMA CRESCE/RN|50:Receita Bruta|90:Volume de Entradas/"
            "3:Do Estabelecimento:|48:29.500,00|93:19.000,00/3:Dos Demais Estabelecimentos:|48:8.000,00|93:5.000,00/"
            "3:Totais da Empresa:|48:37.500,00|93:24.000,00/3:Acumulados do Ano:|48:37.500,00|93:24.000,00/");
  Apurar("01/01/2007", "31/01/2007", 64, "icms");
  EXPECT_EQ(Impostos(64, "2001"), "2007-01-01|1201|2007-02-15|0.00|-\n");
  // A micro enterprise reads table 300101 (band 3: 80.00).
  Sql("UPDATE HS_ENQUADRAMENTO SET ENQUADRAMENTO = 0 WHERE IDFILIAL = 63");
  Apurar("01/01/2007", "31/01/2007", 63, "icms");
  EXPECT_EQ(Impostos(63, "2001"), "2007-01-01|1201|2007-02-15|80.00|-\n");
  Sql("UPDATE HS_FILIALCFG SET TEXTO = '1' WHERE IDFILIAL = 63");  // band 1: 30.00
  Apurar("01/01/2007", "31/01/2007", 63, "icms");
  EXPECT_EQ(Impostos(63, "2001"), "2007-01-01|1201|2007-02-15|30.00|-\n");
  EXPECT_FALSE(Mostrou("CRESCE-RN do estabelecimento"));
  // Without a band for the period (a text that is not a number, a band from the 2nd only, none) the
  // tax is 0.00 and the user is told why.
  const std::string aviso = "[aviso] Programa CRESCE-RN do estabelecimento 63 de 01/01/2007 a 31/01/2007: ";
  const std::string fim = ". O imposto do período fica 0,00; configure a faixa e apure o período de novo.";
  Sql("UPDATE HS_FILIALCFG SET TEXTO = 'três' WHERE IDFILIAL = 63");
  Apurar("01/01/2007", "31/01/2007", 63, "icms");
  EXPECT_EQ(Impostos(63, "2001"), "2007-01-01|1201|2007-02-15|0.00|-\n");
  EXPECT_EQ(interacao_->Registro().back(),
            aviso + "a faixa configurada (HS_FILIALCFG 2/7/3) 'três' não é um número de faixa" + fim);
  Sql("UPDATE HS_FILIALCFG SET TEXTO = '3', DATAINICIO = '2007-01-02' WHERE IDFILIAL = 63");
  Apurar("01/01/2007", "31/01/2007", 63, "icms");
  const std::string semFaixa = aviso + "nenhuma faixa configurada (HS_FILIALCFG 2/7/3) em vigor desde o primeiro dia do período" + fim;
  EXPECT_EQ(interacao_->Registro().back(), semFaixa);
  Sql("DELETE FROM HS_FILIALCFG WHERE IDFILIAL = 63");
  Apurar("01/01/2007", "31/01/2007", 63, "icms");
  EXPECT_EQ(Impostos(63, "2001"), "2007-01-01|1201|2007-02-15|0.00|-\n");
  EXPECT_EQ(interacao_->Registro().back(), semFaixa);
  // In the regular regime (classification 2) RN settles as any regular state.
  Sql("UPDATE HS_ENQUADRAMENTO SET ENQUADRAMENTO = 2 WHERE IDFILIAL = 63");
  EXPECT_EQ(Apurar("01/01/2007", "31/01/2007", 63, "icms")->Apuracao().GetResumos().GetItem(0)->GetTipoResumo(), trNormal);
}

// Paraná's small business of filial 61 in April and May 2007, taxable revenue only from one sale
// each (no affiliated revenue in those months), in the 2 % bracket less 300,00:
//   Apr 20000,75 x 2 % = 400,015 - 300,00 = 100,015: a half cent, rounded up to 100,02.
//   May 59999,75 x 2 % = 1199,995 - 300,00 = 899,995 -> 900,00.
TEST_F(Regimes, SimplesPRMeioCentavoArredondaParaCima) {
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (6140, 61, 6000, '2007-04-10', 6140),"
      " (6150, 61, 6000, '2007-05-10', 6150);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (6140, 6140, 10, 20000.75),"
      " (6150, 6150, 10, 59999.75)");
  Apurar("01/04/2007", "31/05/2007", 61, "icms");
  EXPECT_EQ(Linhas("SELECT INICIO, printf('%.2f', VLRIMPOSTO) FROM TR04_IMPOSTO WHERE IDFILIAL = 61 AND IMPOSTO = '2001'"
                   " ORDER BY INICIO"),
            "2007-04-01|100.02\n2007-05-01|900.00\n");
}
