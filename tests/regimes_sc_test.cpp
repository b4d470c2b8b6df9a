// The Santa Catarina regimes end to end on the demo office's company 8 (db/demo.sql, its comment
// gives the figures) and on filial 2's SC inscription: the regular regime with the agreement of an
// extended due date, the estimate over the semester, bars and restaurants, the ICMS-ST with the ST
// per operation, and the small business of 2006-2007 with its rate tables, centralisation and
// dialog. Amounts are worked out by hand in the comments.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "utilitarios.h"
#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/base/formatacao.h"
#include "regimes/normal/apuracaobaressc.h"
#include "regimes/normal/apuracaoestimativasc.h"
#include "regimes/normal/apuracaonormalsc.h"
#include "regimes/normal/dadosauxsc.h"
#include "regimes/regrassc.h"
#include "regimes/simples/apuracaosimplessc.h"
#include "regimes/subtrib/apuracaosubtribsc.h"

namespace {

class RegimesSC : public AmbienteTeste {
 protected:
  void Responder(std::initializer_list<const char*> respostas) {
    for (const char* r : respostas) interacao_->AdicionarResposta(r);
  }
  // Tax records: start|payment code|due|amount|CLASSEVCTO|ACORDO|APURACAO ("-" when missing).
  std::string Impostos(int filial, const std::string& imposto) {
    auto det = [](const char* campo) {
      return std::string("COALESCE((SELECT CONTEUDO FROM TR04_IMPOSTODET D WHERE D.IDIMPOSTO = I.IDIMPOSTO AND D.NOMECAMPO = '") +
             campo + "'), '-')";
    };
    return Linhas("SELECT I.INICIO, I.CODIGOREC, I.VENCIMENTO, printf('%.4f', I.VLRIMPOSTO), " + det("CLASSEVCTO") + ", " +
                  det("ACORDO") + ", " + det("APURACAO") + " FROM TR04_IMPOSTO I WHERE I.TP = 1 AND I.IDFILIAL = " +
                  std::to_string(filial) + " AND I.IMPOSTO = '" + imposto + "' ORDER BY I.INICIO");
  }
  // Settlement entries the run wrote of one type: date|amount|entry code id.
  std::string Lancamentos(int filial, int tipo, const std::string& imposto = "2001") {
    return Linhas("SELECT DATA, printf('%.2f', VALOR), COALESCE(IDLCTOAPURCOD, 0) FROM ES02_LCTOAPUR WHERE GERADO = 1"
                  " AND IDFILIAL = " + std::to_string(filial) + " AND TPLANCAMENTO = " + std::to_string(tipo) +
                  " AND IMPOSTO = '" + imposto + "' ORDER BY DATA");
  }
  template <class T>
  static T* Resumo(TExecucaoApuracao& e, int i) {
    return dynamic_cast<T*>(e.Apuracao().GetResumos().GetItem(i));
  }
  // "code - description = value" of each detail of a line.
  static std::string Detalhes(const TResumoCampo* linha) {
    std::string r;
    if (!linha) return "(sem linha)";
    for (int i = 0; i < linha->GetDetalhamentos().Count(); ++i) {
      const TDetalhamento* d = linha->GetDetalhamentos().GetItem(i);
      r += d->GetCodigo() + " " + d->GetDescricao() + " = " + FormatarValor(d->GetValor()) + "\n";
    }
    return r;
  }
};

}  // namespace

// Filial 80 (class 10294, paid under an agreement), first quarter, three periods: no dialog; the
// agreement of December 2025 is proposed and recorded in each. Jan 10200.00 - 5100.00 = 5100.00
// due 20/02; Feb 3400.00 - 6800.00 carries 3400.00 (SC code 1, id 6) into March; Mar 10200.00 -
// 3000.00 - 3400.00 = 3800.00 due 20/04. A record of another program (TP 2) ending later is ignored.
TEST_F(RegimesSC, NormalComAcordoProposto) {
  Sql("INSERT INTO TR04_IMPOSTO (IDIMPOSTO, IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VLRIMPOSTO, TP) VALUES"
      " (8900, 8, 80, '2001', '1449', '2025-12-01', '2025-12-31', 4210, 1),"
      " (8901, 8, 80, '2001', '1449', '2025-12-01', '2026-01-31', 1, 2);"
      "INSERT INTO TR04_IMPOSTODET (IDIMPOSTO, NOMECAMPO, CONTEUDO) VALUES (8900, 'ACORDO', '2025/004512'),"
      " (8901, 'ACORDO', 'de outro programa')");
  auto e = Apurar("01/01/2026", "31/03/2026", 80, "icms");
  EXPECT_FALSE(Mostrou("[dados]"));
  EXPECT_EQ(Impostos(80, "2001"), "2025-12-01|1449|NULL|4210.0000|-|2025/004512|-\n"
                                  "2026-01-01|1449|2026-02-20|5100.0000|10294|2025/004512|3\n"
                                  "2026-02-01|1449|2026-03-20|0.0000|10294|2025/004512|3\n"
                                  "2026-03-01|1449|2026-04-20|3800.0000|10294|2025/004512|3\n");
  EXPECT_EQ(Lancamentos(80, 5), "2026-02-01|0.00|6\n2026-03-01|3400.00|6\n2026-04-01|0.00|6\n");
  auto* jan = Resumo<TResumoNormalSC>(*e, 0);
  ASSERT_NE(jan, nullptr);
  // The guides: only the payment code's row of the recorded class (10294), not that of 10014. Its
  // text whole: "1449 - ICMS - Prazo dilatado" (28 columns; " (acordo)" would make 37 of 32), then
  // "(acordo)" on the next line.
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { jan->ImprimirGuiasRecolhimento(l, p); }),
            "6:1449 - ICMS - Prazo dilatado|39:20/02/2026|52:       5.100,00/6:(acordo)/");
  // A specific debit of the ICMS follows the guides, under its title.
  Sql("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDCODIGOREC, VALOR, DATA, DESCRICAO)"
      " VALUES (8903, 80, 13, 1, '2001', 800, 25, '2026-01-20', 'Débito específico de ICMS')");
  EXPECT_CONTEM(Impresso([&](int& l, const TImprimirProc& p) { jan->ImprimirGuiasRecolhimento(l, p); }),
                "6:(acordo)/3:/3:DÉBITOS ESPECÍFICOS/6:1449 - Débito específico de ICMS|52:          25,00/3:/");
  Sql("DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 8903");

  // One period: the dialog shows the agreement proposed; the answer is recorded and proposed to
  // February, whose dialog is cancelled and so keeps it (a cancelled dialog leaves its fields).
  Sql("DELETE FROM TR04_IMPOSTO WHERE IDFILIAL = 80 AND TP = 1 AND INICIO > '2025-12-31'");
  Responder({"edtAcordo=2026/000345", "cancelar"});
  Apurar("01/01/2026", "31/01/2026", 80, "icms");
  Apurar("01/02/2026", "28/02/2026", 80, "icms");
  EXPECT_EQ(Impostos(80, "2001"), "2025-12-01|1449|NULL|4210.0000|-|2025/004512|-\n"
                                  "2026-01-01|1449|2026-02-20|5100.0000|10294|2026/000345|3\n"
                                  "2026-02-01|1449|2026-03-20|0.0000|10294|2026/000345|3\n");
  EXPECT_TRUE(Mostrou("[dados] Dados acessórios => cancelado"));

  // A class that needs no agreement (10014): no dialog, yet the agreement found is recorded.
  Sql("UPDATE ES02_CFG SET INFORMACAO1 = '800' WHERE IDCFG = 800");
  const size_t antes = interacao_->Registro().size();
  Apurar("01/03/2026", "31/03/2026", 80, "icms");
  EXPECT_EQ(interacao_->Registro().size(), antes);
  EXPECT_NE(Impostos(80, "2001").find("2026-03-01|1449|2026-04-10|3800.0000|10014|2026/000345|3\n"), std::string::npos);
  // The other two classes of an extended due date ask for the agreement as 10294 does.
  Sql("UPDATE ES02_CFG SET INFORMACAO1 = '801' WHERE IDCFG = 800");
  for (const std::string classe : {"10243", "10197"}) {
    Sql("UPDATE ES02_CODIGOREC SET CODIGO1 = '" + classe + "' WHERE IDCODIGOREC = 801");
    Responder({("edtAcordo=AC-" + classe).c_str()});
    Apurar("01/03/2026", "31/03/2026", 80, "icms");
    EXPECT_CONTEM(Impostos(80, "2001"), "2026-03-01|1449|2026-04-20|3800.0000|" + classe + "|AC-" + classe + "|3\n");
  }
  // The regular regime's dialog has no deduction field: an answer naming it is refused.
  Responder({"edtDeducao=1,00"});
  EXPECT_CONTEM(Erro<EArquivoRespostas>([&] { Apurar("01/03/2026", "31/03/2026", 80, "icms"); }),
                "não tem o campo \"edtDeducao\"");

  // The periodicity code of the payment document: decendial 1, fortnightly 2, the reserved 6
  // gives 5, yearly 4; monthly and every other periodicity (bimonthly to half-yearly too) 3.
  std::string codigos;
  for (TPeriodicidade p = 0; p <= 12; ++p) codigos += regrassc::CodigoApuracao(p);
  EXPECT_EQ(codigos, "3333125333343");
}

// Filial 81, estimate, January to July (17 %, an instalment of 1000.00 each month). Running
// results: Jan 3400 - 1700 - 1000 = 700.00; Feb (3400 + 5100) - (1700 + 3400) - 2000 = 1400.00;
// Mar 2100.00; Apr 2800.00; May 5200.00; Jun 28050 - 14450 - 6000 = 7600.00, recorded (due
// 10/07). July starts a semester: 1700 - 340 - 1000 = 360.00 and nothing accumulated or recorded.
TEST_F(RegimesSC, EstimativaAcumulaOSemestre) {
  auto e = Apurar("01/01/2026", "31/07/2026", 81, "icms");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 7);
  std::string resultados;
  for (int i = 0; i < 7; ++i) resultados += FormatarValor(e->Apuracao().GetResumos().GetItem(i)->GetImpostoARecolher()) + " ";
  EXPECT_EQ(resultados, "700,00 1.400,00 2.100,00 2.800,00 5.200,00 7.600,00 360,00 ");
  EXPECT_EQ(Impostos(81, "2001"), "2026-06-01|1449|2026-07-10|7600.0000|10014||3\n");
  EXPECT_EQ(Lancamentos(81, 5), "");  // no credit balance carried

  auto* junho = Resumo<TResumoEstimativaSC>(*e, 5);
  ASSERT_NE(junho, nullptr);
  // June: debits of January to May 3400 + 5100 + 4250 + 3400 + 5100 = 21250.00; credits 1700 +
  // 3400 + 2550 + 1700 + 1700 = 11050.00; five instalments.
  EXPECT_EQ(Detalhes(junho->GetDebito().Locate(2)), "08020 Débito acumulado até o mês anterior, no semestre = 21.250,00\n");
  EXPECT_EQ(Detalhes(junho->GetCredito().Locate(6)),
            " Parcela estimada de junho = 1.000,00\n"
            "08040 Crédito acumulado até o mês anterior, no semestre = 11.050,00\n"
            "08050 Somatório das parcelas estimadas até o mês anterior, no semestre = 5.000,00\n");

  // Settled fortnightly, the second half of January or of July carries nothing of the first: the
  // semester's first month stands alone. January 16-31: the exit of the 18th, 3400.00; July 16-31:
  // that of the 18th, 1700.00. The first halves have only credits (1700.00 + 1000.00, 340.00 +
  // 1000.00).
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 5 WHERE IDFILIAL = 81");
  for (const char* p : {"01/01/2026|31/01/2026", "01/07/2026|31/07/2026"}) {
    auto q = Apurar(std::string(p, 10), std::string(p + 11), 81, "icms");
    ASSERT_EQ(q->Apuracao().GetResumos().Count(), 2);
    resultados = "";
    for (int i = 0; i < 2; ++i) resultados += FormatarValor(q->Apuracao().GetResumos().GetItem(i)->GetImpostoARecolher()) + " ";
    EXPECT_EQ(resultados, p[4] == '1' ? "0,00 3.400,00 " : "0,00 1.700,00 ") << p;
  }
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 7 WHERE IDFILIAL = 81");

  // December 2025 alone (no dialog: the estimate asks for no agreement) closes the second
  // semester: 850.00 of its own (issued on the 1st, counted once) plus 340.00 of 31 July and
  // 1700.00 of November, less 170.00 of August = 2720.00, due on 12/01/2026 (the 10th is a
  // Saturday). No instalments were recorded: no detail of them.
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (8901, 81, 800, '2025-11-10', 1),"
      " (8902, 81, 800, '2025-12-01', 2), (8903, 81, 800, '2025-07-31', 4), (8904, 81, 800, '2025-06-30', 5);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS) VALUES"
      " (8901, 8901, 10, 10000, 10000, 1700), (8902, 8902, 10, 5000, 5000, 850), (8903, 8903, 10, 2000, 2000, 340),"
      " (8904, 8904, 10, 1000, 1000, 170);"
      "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO) VALUES (8901, 81, 802, '2025-08-05', 3);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL, BCICMS, ICMS) VALUES (8901, 8901, 1, 1000, 1000, 170)");
  auto dez = Apurar("01/12/2025", "31/12/2025", 81, "icms");
  EXPECT_FALSE(Mostrou("[dados]"));
  EXPECT_EQ(Impostos(81, "2001").rfind("2025-12-01|1449|2026-01-12|2720.0000|10014||3\n2026-06-01|", 0), 0u);
  EXPECT_EQ(Detalhes(Resumo<TResumoEstimativaSC>(*dez, 0)->GetCredito().Locate(6)),
            "08040 Crédito acumulado até o mês anterior, no semestre = 170,00\n");
  // February 2025 follows a January without documents: nothing accumulated, no detail of 0.
  auto fev = Apurar("01/02/2025", "28/02/2025", 81, "icms");
  EXPECT_EQ(Detalhes(Resumo<TResumoEstimativaSC>(*fev, 0)->GetDebito().Locate(2)) +
                Detalhes(Resumo<TResumoEstimativaSC>(*fev, 0)->GetCredito().Locate(6)), "");
}

// Filial 82, bars and restaurants. Jan: entries 20000.00 x 2.6 % = 520.00, excess 15000.00 x
// 3.6 % = 540.00, and another debit of 50.00 typed: 1110.00. Feb: 18234.57 x 2.6 % = 474.09882
// -> 474.10 and exits below the entries: 0.00 with the fixed text. Mar: 325.00 + 18750.45 x 3.6 %
// = 675.0162 -> 675.02 = 1000.02. April has no documents: two details of 0. The registers list
// the documents (3400.00 of ICMS on January's entries) but add no tax.
TEST_F(RegimesSC, BaresERestaurantes) {
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO) VALUES"
      " (82, 15, 1, '2001', 50, '2026-01-20', 'Outro débito')");
  auto e = Apurar("01/01/2026", "30/04/2026", 82, "icms");
  EXPECT_EQ(Impostos(82, "2001"), "2026-01-01|1449|2026-02-10|1110.0000|10014||3\n"
                                  "2026-02-01|1449|2026-03-10|474.1000|10014||3\n"
                                  "2026-03-01|1449|2026-04-10|1000.0200|10014||3\n"
                                  "2026-04-01|1449|2026-05-11|0.0000|10014||3\n");
  auto* jan = Resumo<TResumoBaresSC>(*e, 0);
  ASSERT_NE(jan, nullptr);
  EXPECT_EQ(Detalhes(jan->GetDebito().GetItem(0)),
            " Débito de 2.6% p/Bares/rest s/vlr entradas (20.000,00) = 520,00\n"
            " Debito de 3.6 % s/ dif.entre entrada e saida (15.000,00) = 540,00\n");
  EXPECT_EQ(jan->GetDebito().GetItem(0)->GetCodigo(), 1);  // before the lines loaded
  EXPECT_EQ(jan->GetDebito().GetItem(0)->GetDescricao(), "DÉBITOS SAÍDAS");  // as the statement names it
  EXPECT_EQ(jan->GetCredito().GetRegistros().GetItem(0)->GetImposto(), Currency::FromInt(3400));
  EXPECT_EQ(Detalhes(Resumo<TResumoBaresSC>(*e, 1)->GetDebito().Locate(1)),
            " Débito de 2.6% p/Bares/rest s/vlr entradas (18.234,57) = 474,10\n"
            " Debito de 3.6 % s/ dif.entre entrada e saida (0,00) = 0,00\n");
  EXPECT_EQ(Detalhes(Resumo<TResumoBaresSC>(*e, 3)->GetDebito().Locate(1)),
            " Débito de 2.6% p/Bares/rest s/vlr entradas (0,00) = 0,00\n"
            " Debito de 3.6 % s/ dif.entre entrada e saida (0,00) = 0,00\n");
  // The debits posted are all the summary's lines.
  EXPECT_EQ(Linhas("SELECT TPLANCAMENTO, printf('%.2f', VALOR) FROM ES02_LCTOAPUR WHERE IDFILIAL = 82 AND DATA = '2026-01-01'"
                   " AND TPLANCAMENTO IN (54, 55) ORDER BY 1"),
            "54|0.00\n55|1110.00\n");
  // Under a class of an extended due date (10294), with an agreement recorded before, one period of
  // the bars or of the estimate (June, 7600.00) asks nothing and records no agreement: their
  // before-steps replace the agreement's.
  Sql("UPDATE ES02_CFG SET INFORMACAO1 = '801' WHERE IDCFG IN (802, 803);"
      "INSERT INTO TR04_IMPOSTO (IDIMPOSTO, IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VLRIMPOSTO, TP) VALUES"
      " (8910, 8, 81, '2001', '1449', '2025-12-01', '2025-12-31', 1, 1), (8920, 8, 82, '2001', '1449', '2025-12-01', '2025-12-31', 1, 1);"
      "INSERT INTO TR04_IMPOSTODET (IDIMPOSTO, NOMECAMPO, CONTEUDO) VALUES (8910, 'ACORDO', 'AC-81'), (8920, 'ACORDO', 'AC-82')");
  Apurar("01/03/2026", "31/03/2026", 82, "icms");
  Apurar("01/06/2026", "30/06/2026", 81, "icms");
  EXPECT_FALSE(Mostrou("[dados]"));
  EXPECT_CONTEM(Impostos(82, "2001"), "2026-03-01|1449|2026-04-20|1000.0200|10294||3\n");
  EXPECT_CONTEM(Impostos(81, "2001"), "2026-06-01|1449|2026-07-20|7600.0000|10294||3\n");
}

// ICMS-ST in SC. Filial 80 (own state, code 1570 by ES02_CFG TP 7): the 5.403 exit's 680.00 due
// 10/02. Specific debits of January: 120.00 + 80.00 grouped under 1570 = 200.00; 30.00 grouped
// without payment code; 55.50 on its own; 44.00 entered in December but due (competence) on
// 15/01; a debit of another code printed, one without code not.
TEST_F(RegimesSC, SubstituicaoTributariaPorOperacao) {
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO) VALUES"
      " (890, 'SC', '11099', 'Outro débito específico', 3, 13);"
      "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, IDCODIGOREC, VALOR, DATA,"
      " DESCRICAO) VALUES (8901, 80, 13, 3, '4024', 890, 802, 12.34, '2026-01-30', 'Diferencial de alíquota'),"
      " (8902, 80, 13, 3, '4024', 0, 802, 99.99, '2026-01-30', 'Sem código')");
  auto e = Apurar("01/01/2026", "31/01/2026", 80, "4024");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 1);
  auto* st = Resumo<TResumoSTSC>(*e, 0);
  ASSERT_NE(st, nullptr);
  EXPECT_EQ(Impostos(80, "4024"), "2026-01-01|1570|2026-02-10|680.0000|10146|-|3\n");
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { st->ImprimirDebitosEspecificos(l, p); }),
            "3:/3:DÉBITOS ESPECÍFICOS/"
            "6: - ICMS-ST POR OPERAÇÃO|39:10/02/2026|52:          30,00/"
            "6:1570 - ICMS-ST - Apuração mensal|39:10/02/2026|52:         200,00/"
            "6:1570 - ST por operação NF 8099|39:15/01/2026|52:          44,00/"
            "6:1570 - ST por operação NF 8103|39:10/02/2026|52:          55,50/"
            "6:1570 - Diferencial de alíquota|52:          12,34/"
            "3:/");

  // The inscription settled fortnightly, in a monthly establishment: two ST periods with the code 2,
  // the 14th's 680.00 in the first.
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 5 WHERE IDINSCRICAOST = 800");
  Apurar("01/01/2026", "31/01/2026", 80, "4024");
  EXPECT_CONTEM(Impostos(80, "4024"), "2026-01-01|1570|2026-02-10|680.0000|10146|-|2\n"
                                      "2026-01-16|1570|2026-02-10|0.0000|10146|-|2\n");

  // São Paulo's filial 2, centralised, settles all its taxes: the RS ST it does not record and the
  // SC ST it does: 7800.00 x 17 % - 720.00 = 606.00 with the inscription's code 1570 (class 10146).
  auto sp = Apurar("01/01/2026", "31/01/2026", 2, "todos");
  ASSERT_EQ(sp->Apuracao().GetResumos().Count(), 3);
  EXPECT_EQ(sp->Apuracao().GetResumos().GetItem(2)->GetTipoResumo(), trSubstTribSC);
  EXPECT_EQ(Impostos(2, "4024"), "2026-01-01|1570|2026-02-10|606.0000|10146|-|3\n");
  EXPECT_EQ(Impostos(2, "4023"), "");
  // Without the inscription's number the ST is paid by GNRE: its record is 0.
  Sql("UPDATE HS_INSCRICAOST SET INSCREST = '' WHERE IDFILIAL = 2 AND UF = 'SC'");
  Apurar("01/01/2026", "31/01/2026", 2, "4024");
  EXPECT_EQ(Impostos(2, "4024"), "2026-01-01|1570|2026-02-10|0.0000|10146|-|3\n");
}

// Filials 83 (centraliser) and 84 (centralised), small business, December 2006 to April 2007.
//   Dec 2006, 2006 table: 9000.00 -> 2 % - 80.00 = 100.00 (the 2007 table would give class 1).
//   Jan: gross 40000 + 5000 - 1000 = 44000.00, taxable 39000.00; filial 84 15000.00 and
//        15000.00; base 39000 + 15000 - 2000 (the return's deduction) = 52000.00 -> 3 % - 600.00
//        = 960.00, due 12/02/2007.
//   Feb: 24000.00 -> 2 % - 100.00 = 380.00. Mar: 7500.00 -> class 1: 30.00.
//   Apr: 23456.78 x 2 % = 469.1356 - 100.00 = 369.1356, four decimals kept.
TEST_F(RegimesSC, SimplesCentralizadoComFaixas) {
  auto e = Apurar("01/12/2006", "30/04/2007", 83, "icms");
  EXPECT_EQ(Impostos(83, "2001"), "2006-12-01|1600|2007-01-10|100.0000|10022||3\n"
                                  "2007-01-01|1600|2007-02-12|960.0000|10022||3\n"
                                  "2007-02-01|1600|2007-03-12|380.0000|10022||3\n"
                                  "2007-03-01|1600|2007-04-10|30.0000|10022||3\n"
                                  "2007-04-01|1600|2007-05-10|369.1356|10022||3\n");
  // December: filial 84 had no revenue, so the other establishments get no line.
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { Resumo<TResumoSimplesSC>(*e, 0)->ImprimirObservacoes(l, p); })
                .find("DEMAIS"),
            std::string::npos);
  auto* jan = Resumo<TResumoSimplesSC>(*e, 1);
  ASSERT_NE(jan, nullptr);
  // The tax is the exits register's tax.
  EXPECT_EQ(jan->GetDebito().GetRegistros().GetTotalImposto(), Currency::FromInt(960));
  EXPECT_EQ(Resumo<TResumoSimplesSC>(*e, 4)->GetReceitaBrutaAno(), Currency::FromDouble(113956.78));

  // Filial 84 settles nothing and loads no settlement entries, but sums its own revenue and lists
  // its documents (a purchase, outside the revenue formulas, among them).
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DESCRICAO) VALUES"
      " (84, 15, 1, '2001', 50, '2007-01-15', 'Outro débito'), (84, 1, 1, '2001', 30, '2007-01-16', 'Outro crédito'),"
      " (84, 8, 1, '2001', 20, '2007-01-17', 'Dedução');"
      "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO) VALUES (8410, 84, 800, '2007-01-20', 8410);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (8410, 8410, 1, 1000)");
  auto c = Apurar("01/01/2007", "31/01/2007", 84, "icms", false);
  auto* centralizado = Resumo<TResumoSimplesSC>(*c, 0);
  EXPECT_EQ(centralizado->GetImposto(), Currency());
  EXPECT_EQ(centralizado->GetDebito().Count() + centralizado->GetCredito().Count() + centralizado->GetSaldo().Count(), 0);
  EXPECT_EQ(centralizado->GetDebito().GetRegistros().Count(), 2);
  EXPECT_EQ(centralizado->GetCredito().GetRegistros().Count(), 1);
  EXPECT_EQ(centralizado->GetReceitaTribMesPropria(), Currency::FromInt(15000));
  EXPECT_EQ(centralizado->GetReceitaBrutaAno(), Currency::FromInt(15000));
  EXPECT_EQ(Impostos(84, "2001"), "2007-01-01|1600|2007-02-12|0.0000|10022||3\n");
  // ... while the centraliser reads the group's entries: 960.00 + 50.00 - 30.00 - 20.00.
  auto j = Apurar("01/01/2007", "31/01/2007", 83, "icms");
  EXPECT_EQ(Resumo<TResumoSimplesSC>(*j, 0)->GetImpostoARecolher(), Currency::FromInt(960));
  // A specific debit of the period follows the guides.
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDCODIGOREC, VALOR, DATA, DESCRICAO) VALUES"
      " (83, 13, 1, '2001', 804, 12, '2007-01-18', 'Débito específico')");
  EXPECT_CONTEM(Impresso([&](int& l, const TImprimirProc& p) { Resumo<TResumoSimplesSC>(*j, 0)->ImprimirGuiasRecolhimento(l, p); }),
                "3:DÉBITOS ESPECÍFICOS/6:1600 - Débito específico|52:          12,00/3:/");

  // The taxable revenue is taken to cents before the rate: April with a sale of 0.005 more,
  // 23456.785 -> 23456.79 x 2 % = 469.1358 - 100.00 = 369.1358.
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (8190, 83, 804, '2007-04-20', 8190);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (8190, 8190, 10, 0.005)");
  Apurar("01/04/2007", "30/04/2007", 83, "icms");
  EXPECT_CONTEM(Impostos(83, "2001"), "2007-04-01|1600|2007-05-10|369.1358|");
}

// One period of filial 83: the dialog shows only the deduction (class 10022 needs no agreement).
// A deduction of 60000.00 leaves a base of 54000.00 - 60000.00 = -6000.00: no bracket, no tax, and
// the observations say so. The company's establishment in Paraná (85) sold 7000.00 in January:
// gross revenue of the company (others 15000 + 7000 = 22000.00, total and year 66000.00), not
// taxable revenue of SC. Cancelling takes nothing; with class 10294 the agreement is asked too.
TEST_F(RegimesSC, SimplesDialogoEBaseNegativa) {
  Sql("INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, CNPJ, IESTADUAL, IDMUNICIPIO, EHMATRIZ) VALUES"
      " (85, 8, 6, 'Catarina Comércio e Serviços Ltda', '34567890000627', '90.555.666-77', 8, 0);"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (8501, 85, 804, '2007-01-18', 8501);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (8501, 8501, 10, 7000)");
  Responder({"edtAcordo=1"});
  EXPECT_THROW(Apurar("01/01/2007", "31/01/2007", 83, "icms"), EArquivoRespostas);  // hidden field

  Responder({"edtDeducao=60.000,00"});
  auto e = Apurar("01/01/2007", "31/01/2007", 83, "icms");
  auto* r = Resumo<TResumoSimplesSC>(*e, 0);
  EXPECT_EQ(Valor("SELECT CONTEUDO FROM ES02_GIADET WHERE IDGIA = 800 AND CODIGO = 'DEDRECTRIB'"), "60000");
  EXPECT_EQ(r->GetImposto(), Currency());
  EXPECT_EQ(r->GetAliquotaCalculada(), TFracao());
  EXPECT_EQ(Impresso([&](int& l, const TImprimirProc& p) { r->ImprimirObservacoes(l, p); }),
            "2:/"
            "3:INFORM DEMAIS ESTAB: Rec Bruta MES:|38:22.000,00|89:Rec Trib MES:|102:15.000,00/"
            "3:INFORM DESTE  ESTAB: Rec Bruta MES:|38:44.000,00|89:Rec Trib MES:|102:39.000,00|120:Ded Rec Trib MES:|137:60.000,00/"
            "3:INFORM GERAIS TOTAL: Rec Bruta MES:|38:66.000,00|56:Rec Bruta ANO:|71:66.000,00|89:Rec Trib MES:|"
            "102:0,00|120:Vlr Min/"
            "3:SALDO DE DEDUÇÃO DE RECEITA TRIBUTÁRIA(A dedução foi maior que a Receita)..........................:|"
            "102:-6.000,00/");

  // A deduction of the whole base leaves 0.00, which is a base: its rate is printed, not the balance.
  Responder({"edtDeducao=54.000,00"});
  auto z = Apurar("01/01/2007", "31/01/2007", 83, "icms");
  EXPECT_CONTEM(Impresso([&](int& l, const TImprimirProc& p) { Resumo<TResumoSimplesSC>(*z, 0)->ImprimirObservacoes(l, p); }),
                "|89:Rec Trib MES:|102:0,00|120:ALÍQUOTA:|");

  // February cancelled: its return gets no deduction row.
  Responder({"cancelar"});
  Apurar("01/02/2007", "28/02/2007", 83, "icms");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_GIADET WHERE CODIGO = 'DEDRECTRIB'"), "1");

  // Base 54000.00 in the bracket of 3.123454 %, taken to five decimals, 3.12345 %: 1686.663 -
  // 600.00 = 1086.663, recorded with the agreement.
  Sql("UPDATE ES02_CODIGOREC SET CODIGO1 = '10294' WHERE IDCODIGOREC = 804;"
      "UPDATE TR04_TABDETALHE SET ALIQUOTA = 3.123454 WHERE IDTABDETALHE = 802");
  Responder({"edtAcordo=ACD-77; edtDeducao=0"});
  auto a = Apurar("01/01/2007", "31/01/2007", 83, "icms");
  EXPECT_TRUE(Resumo<TResumoSimplesSC>(*a, 0)->GetTemAcordo());
  EXPECT_CONTEM(Impostos(83, "2001"), "2007-01-01|1600|2007-02-12|1086.6630|10294|ACD-77|3\n");
}

// From July 2007 the SC small business settles in the regular regime, saying so.
TEST_F(RegimesSC, SimplesAcabaEmJulhoDe2007) {
  auto e = Apurar("01/07/2007", "31/07/2007", 83, "icms");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetTipoResumo(), trNormalSC);
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetFormaApuracao().TipoApuracao, 0);
  EXPECT_TRUE(Mostrou("[informação] A partir de 01/07/2007 entra em vigor o Simples Nacional,portanto  o ICMS de 01/07/2007"));
  // Without a regime in force an establishment is in the regular regime, with nothing to say.
  Sql("DELETE FROM HS_REGIMESC WHERE IDFILIAL = 80");
  auto n = Apurar("01/01/2026", "31/03/2026", 80, "icms");
  EXPECT_EQ(n->Apuracao().GetResumos().GetItem(0)->GetTipoResumo(), trNormalSC);
  EXPECT_FALSE(Mostrou("o ICMS de 01/01/2026"));
}

// Every SC summary settled again leaves every row of the database as the first run left it.
TEST_F(RegimesSC, ReapurarDeixaOBancoIgual) {
  auto tudo = [this] {
    Apurar("01/01/2026", "31/03/2026", 80, "todos", true);
    Apurar("01/01/2026", "31/07/2026", 81, "todos", true);
    Apurar("01/01/2026", "31/03/2026", 82, "todos", true);
    Apurar("01/12/2006", "30/04/2007", 83, "todos", true);
    Apurar("01/01/2007", "30/04/2007", 84, "todos", true);
    Apurar("01/01/2026", "31/01/2026", 2, "todos", true);
  };
  tudo();
  const std::string primeira = TodasAsLinhas();
  host_.reset();
  host_ = std::make_unique<THost>(*conexao_, *interacao_);
  tudo();
  EXPECT_EQ(primeira, TodasAsLinhas());
}

// The dialog's key handler: Enter or Escape confirms only in the last field shown and enabled.
TEST(DadosAuxSC, TeclaConfirmaNoUltimoCampoVisivel) {
  auto conexao = TQDConnection::CriarEmMemoria();
  TInteracaoRoteirizada interacao;
  THost host(*conexao, interacao);
  TFormDadosAuxSC f;
  EXPECT_FALSE(f.TeclaConfirma(f.edtAcordo, TFormDadosAuxSC::kTeclaEnter));
  EXPECT_TRUE(f.TeclaConfirma(f.edtDeducao, TFormDadosAuxSC::kTeclaEscape));
  EXPECT_FALSE(f.TeclaConfirma(f.edtDeducao, 'A'));
  f.edtDeducao.Visible = false;
  EXPECT_TRUE(f.TeclaConfirma(f.edtAcordo, TFormDadosAuxSC::kTeclaEnter));
  // The desktop's dialog asks the same of the fields as the run hands them over: a disabled last
  // field passes the confirmation to the one before it.
  std::vector<TCampoDialogo> campos{{"edtAcordo", "Acordo", "", true}, {"edtDeducao", "Dedução", "", false}};
  EXPECT_TRUE(GFuncoes->EhUltimoComponenteAtivo(0, campos));
  EXPECT_FALSE(GFuncoes->EhUltimoComponenteAtivo(1, campos));
  campos[1].Habilitado = true;
  EXPECT_FALSE(GFuncoes->EhUltimoComponenteAtivo(0, campos));
  EXPECT_TRUE(GFuncoes->EhUltimoComponenteAtivo(1, campos));
}
