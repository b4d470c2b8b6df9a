// The settlement end to end on a real SQLite database: the demo office settled and compared with
// its golden statement, re-runs that leave every recorded row as it was, centralisation, the walk
// of periods and inscriptions, recording of tax and balances, accounting values and book texts.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "regimes/normal/apuracaonormal.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "relatorio/extrato.h"

namespace {

TDateTime D(int a, int m, int d) { return EncodeDate(a, m, d); }

// Print callback that keeps what was printed, one entry per call, and advances like the book.
struct Impressao {
  std::vector<std::string> chamadas;
  TImprimirProc Proc() {
    return [this](int linha, int coluna, const std::string& t, int avancar, bool) {
      chamadas.push_back(std::to_string(linha) + "@" + std::to_string(coluna) + ":" + t);
      ultimaLinha = linha;
      avancos += avancar;
    };
  }
  int ultimaLinha = 0;
  int avancos = 0;
};

}  // namespace

class Apuracao : public AmbienteTeste {
 protected:
  std::string Lancamento(const std::string& filtro) {
    return Linhas("SELECT TPLANCAMENTO, IMPOSTO, DATA, DATAFIM, VALOR, DESCRICAO, COALESCE(IDLCTOAPURCOD, 0)"
                  " FROM ES02_LCTOAPUR WHERE GERADO = 1 AND " + filtro + " ORDER BY IDLCTOAPUR");
  }
};

TEST_F(Apuracao, EscritorioDeDemonstracaoConfereComOExtrato) {
  auto e = Apurar("01/01/2026", "31/03/2026");
  std::string texto = ExtratoApuracao(e->Apuracao());
  texto += "\nMensagens:\n";
  for (const auto& m : interacao_->Registro()) texto += m + "\n";
  CompararGolden("apurar_demo_jan_mar.txt", texto);
}

// The run tells its progress before each summary; a hook that stops the run (the desktop's
// "Cancelar") leaves the summaries before it recorded and records nothing of the rest.
TEST_F(Apuracao, ProgressoAntesDeCadaResumoEInterrupcao) {
  TPedidoApuracao p;
  p.IdFilial = 1;
  p.DataInicio = "01/01/2026";
  p.DataFim = "31/03/2026";
  p.Impostos = "icms";
  TExecucaoApuracao e(*conexao_, p);
  std::vector<std::string> progresso;
  e.Apuracao().OnAntesDeCalcular = [&](const TResumo& r, int i, int n) {
    progresso.push_back(std::to_string(r.GetFilial().IdFilial) + "|" + r.GetCodImposto() + "|" +
                        DataBR(r.GetDataInicio()) + "|" + DataBR(r.GetDataFim()) + "|" + std::to_string(i) + "/" +
                        std::to_string(n));
    if (i == 1) throw EAbortarSilencioso();
  };
  EXPECT_THROW(e.Calcular(), EAbortarSilencioso);
  EXPECT_EQ(progresso, (std::vector<std::string>{"1|2001|01/01/2026|31/01/2026|0/3", "1|2001|01/02/2026|28/02/2026|1/3"}));
  EXPECT_EQ(Valor("SELECT GROUP_CONCAT(INICIO) FROM TR04_IMPOSTO WHERE IDFILIAL = 1 AND IMPOSTO = '2001'"), "2026-01-01");
}

TEST_F(Apuracao, ReapurarDeixaOBancoExatamenteIgual) {
  Apurar("01/01/2026", "30/04/2026", 1, "todos", true, true);
  const std::string primeira = TodasAsLinhas();
  host_.reset();
  host_ = std::make_unique<THost>(*conexao_, *interacao_);
  Apurar("01/01/2026", "30/04/2026", 1, "todos", true, true);
  EXPECT_EQ(primeira, TodasAsLinhas());
  EXPECT_NE(Valor("SELECT COUNT(*) FROM HS_LANCCONTABIL"), "0");

  // A corrected document changes the values in place: same rows, new amounts.
  const std::string antes = Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR") + "/" + Valor("SELECT COUNT(*) FROM TR04_IMPOSTO");
  const Currency devido = Currency::FromDouble(std::stod(
      Valor("SELECT VLRIMPOSTO FROM TR04_IMPOSTO WHERE IDFILIAL = 1 AND IMPOSTO = '2001' AND INICIO = '2026-01-01'")));
  Sql("UPDATE ES02_SAIDADET SET ICMS = ICMS + 100 WHERE IDSAIDADET = (SELECT MIN(D.IDSAIDADET) FROM ES02_SAIDADET D"
      " JOIN ES02_SAIDA S ON (S.IDSAIDA = D.IDSAIDA) WHERE S.IDFILIAL = 1 AND S.DATAEMISSAO BETWEEN '2026-01-01' AND '2026-01-31'"
      " AND D.ICMS > 0)");
  Apurar("01/01/2026", "31/01/2026", 1, "todos", true, true);
  EXPECT_EQ(antes, Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR") + "/" + Valor("SELECT COUNT(*) FROM TR04_IMPOSTO"));
  EXPECT_EQ(Currency::FromDouble(std::stod(Valor(
                "SELECT VLRIMPOSTO FROM TR04_IMPOSTO WHERE IDFILIAL = 1 AND IMPOSTO = '2001' AND INICIO = '2026-01-01'"))),
            devido + Currency::FromInt(100));
}

TEST_F(Apuracao, LancamentosDigitadosPeloUsuarioNuncaSaoSubstituidos) {
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, GERADO)"
      " VALUES (1, 5, 1, '2001', 77, '2026-02-01', '2026-02-01', 'SALDO CREDOR DE PERÍODO ANTERIOR', 0)");
  Apurar("01/01/2026", "31/01/2026");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE DATA = '2026-02-01' AND IMPOSTO = '2001' AND TPLANCAMENTO = 5"), "2");
  EXPECT_EQ(Valor("SELECT VALOR FROM ES02_LCTOAPUR WHERE GERADO = 0 AND TPLANCAMENTO = 5"), "77");
}

TEST_F(Apuracao, LinhasDobradasPorCargaManualVoltamAUma) {
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, GERADO)"
      " SELECT IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, 1, DATA, DATAFIM, DESCRICAO, 1 FROM ES02_LCTOAPUR"
      " WHERE GERADO = 1 AND TPLANCAMENTO = 52;"
      "INSERT INTO TR04_IMPOSTO (IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VLRIMPOSTO)"
      " SELECT IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, 1 FROM TR04_IMPOSTO;");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT COUNT(*), MIN(VALOR) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND TPLANCAMENTO = 52"), "1|10373.58\n");
  EXPECT_EQ(Linhas("SELECT COUNT(*), MIN(VLRIMPOSTO) FROM TR04_IMPOSTO"), "1|10373.58\n");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPURAUX WHERE IDLCTOAPUR NOT IN (SELECT IDLCTOAPUR FROM ES02_LCTOAPUR)"), "0");
}

TEST_F(Apuracao, CentralizadorLeOsLancamentosDoGrupo) {
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  TResumoCampo* outros = r->GetCredito().Locate(6);
  ASSERT_NE(outros, nullptr);
  ASSERT_EQ(outros->GetDetalhamentos().Count(), 2);
  EXPECT_EQ(outros->GetTotal(), Currency::FromDouble(1670.00));  // 1.250,00 of filial 1 + 420,00 of filial 2

  auto e2 = Apurar("01/01/2026", "31/01/2026", 2, "icms");
  TResumo* r2 = e2->Apuracao().GetResumos().GetItem(0);
  EXPECT_EQ(r2->GetFormaApuracao().TipoApuracao, 2);
  EXPECT_EQ(r2->GetCredito().Locate(6)->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(r2->GetCredito().Locate(6)->GetTotal(), Currency::FromDouble(420.00));
}

TEST_F(Apuracao, PeriodoSemLancamentosTemTodasAsLinhasZeradas) {
  auto e = Apurar("01/06/2026", "30/06/2026", 1, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  auto codigos = [](TResumoCampos& c) {
    std::string s;
    for (int i = 0; i < c.Count(); ++i) s += std::to_string(c.GetItem(i)->GetCodigo()) + (c.GetItem(i)->GetDetalhamentos().Count() ? "*" : "") + " ";
    return s;
  };
  EXPECT_EQ(codigos(r->GetDebito()), "2 3 ");
  EXPECT_EQ(codigos(r->GetCredito()), "6 7 8 9 ");
  EXPECT_EQ(codigos(r->GetSaldo()), "12 13 ");
  EXPECT_EQ(r->GetDebito().GetRegistros().Count(), 0);
  EXPECT_EQ(r->GetImpostoARecolher(), Currency());
}

TEST_F(Apuracao, PercursoDePeriodosEInscricoes) {
  EXPECT_EQ(Apurar("01/01/2026", "30/01/2026")->Apuracao().GetResumos().Count(), 0);  // shorter than a period

  auto e = Apurar("01/01/2026", "31/03/2026");
  std::string ordem;
  TResumos& rs = e->Apuracao().GetResumos();
  for (int i = 0; i < rs.Count(); ++i)
    ordem += NomeTipoResumo(rs.GetItem(i)->GetTipoResumo()) + " " + rs.GetItem(i)->GetCodImposto() + " " +
             DataBR(rs.GetItem(i)->GetDataInicio()) + "\n";
  EXPECT_EQ(ordem,
            "trNormal 2001 01/01/2026\ntrSubstTrib 4011 01/01/2026\ntrSubstTrib 4019 01/01/2026\n"
            "trNormal 2001 01/02/2026\ntrSubstTrib 4011 01/02/2026\ntrSubstTrib 4019 01/02/2026\n"
            "trNormal 2001 01/03/2026\ntrSubstTrib 4011 01/03/2026\ntrSubstTrib 4019 01/03/2026\n");

  // a quarterly inscription settles once, in the ICMS period that starts its quarter
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 9 WHERE UF = 'RJ'");
  auto t = Apurar("01/02/2026", "30/06/2026", 1, "4019");
  TResumos& st = t->Apuracao().GetResumos();
  ASSERT_EQ(st.Count(), 1);
  EXPECT_EQ(DataBR(st.GetItem(0)->GetDataInicio()) + "-" + DataBR(st.GetItem(0)->GetDataFim()), "01/04/2026-30/06/2026");

  // a code beginning with 40 selected, but not the state's own: no ST summary of that state
  auto so = Apurar("01/01/2026", "31/01/2026", 1, "4011");
  ASSERT_EQ(so->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(so->Apuracao().GetResumos().GetItem(0)->GetCodImposto(), "4011");
}

TEST_F(Apuracao, RegimesAindaNaoDisponiveisDizemQualTipoFalta) {
  Sql("UPDATE CA06_MUNICIPIO SET UF = 'RS' WHERE IDMUNICIPIO = (SELECT IDMUNICIPIO FROM SC00_FILIAL WHERE IDFILIAL = 1);"
      "INSERT INTO HS_ENQUADRAMENTO (IDFILIAL, DATAINICIO, ENQUADRAMENTO) VALUES (1, '2000-01-01', 1)");
  try {
    Apurar("01/06/2007", "30/06/2007", 1, "icms");
    FAIL();
  } catch (const ETipoResumoIndisponivel& e) {
    EXPECT_NE(std::string(e.what()).find("trSimplesNovoRS (TResumoSimplesNovoRS)"), std::string::npos);
  }
  EXPECT_TRUE(interacao_->Registro().empty());
  // From July 2007 the small business of RS settles in the regular regime, saying so.
  auto e = Apurar("01/08/2007", "31/08/2007", 1, "icms");
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetTipoResumo(), trNormalRS);
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetFormaApuracao().TipoApuracao, 0);
  ASSERT_EQ(interacao_->Registro().size(), 2u);  // the message, then the dialog of the return's data
  EXPECT_EQ(interacao_->Registro()[0],
            "[informação] A partir de 01/07/2007 entra em vigor o Simples Nacional,portanto  o ICMS de 01/08/2007 a "
            "31/08/2007 será apurado como regime normal.");
}

TEST_F(Apuracao, SaldoCredorViraCreditoDoPeriodoSeguinte) {
  auto e = Apurar("01/02/2026", "31/03/2026", 1, "icms");
  TResumo* fev = e->Apuracao().GetResumos().GetItem(0);
  TResumo* mar = e->Apuracao().GetResumos().GetItem(1);
  EXPECT_EQ(fev->GetSaldoCredor(), Currency::FromDouble(8238.12));
  TResumoCampo* linha9 = mar->GetCredito().Locate(9);
  ASSERT_EQ(linha9->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(linha9->GetTotal(), Currency::FromDouble(8238.12));
  EXPECT_EQ(mar->GetImpostoARecolher(), Currency::FromDouble(18668.36));
  // a credit balance of 0 is still carried, as an entry of 0
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5 AND IMPOSTO = '2001' AND DATA = '2026-04-01'"),
            "5|2001|2026-04-01|2026-04-01|0|SALDO CREDOR DE PERÍODO ANTERIOR|0\n");
}

TEST_F(Apuracao, SaldoCredorSemCodigoDeGIAAvisaENaoGrava) {
  Sql("UPDATE CA06_MUNICIPIO SET UF = 'SC' WHERE IDMUNICIPIO = (SELECT IDMUNICIPIO FROM SC00_FILIAL WHERE IDFILIAL = 1);"
      "DELETE FROM HS_INSCRICAOST");
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "4024");  // SC ST code: tax type 3
  (void)e;
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5").size(), 0u);  // no ST summary without an inscription
  TResumoST st;
  st.SetFilial(GFuncoes->GetDadosFilial(1));
  st.SetDataInicio(D(2026, 1, 1));
  st.SetDataFim(D(2026, 1, 31));
  st.SetCodImposto("4024");
  st.SetUF("SC");
  Sql("DELETE FROM ES02_LCTOAPURCOD WHERE UF = 'SC' AND TPIMPOSTO = 3");
  st.GravarSaldoCredor();
  EXPECT_EQ(interacao_->Registro().back(), "[aviso] Não foi possível encontrar um código de GIA para atualizar o saldo credor.");
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5").size(), 0u);
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO) VALUES (99, 'SC', '1', 'x', 3, 5, 1)");
  st.GravarSaldoCredor();
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5"), "5|4024|2026-02-01|2026-02-01|0|SALDO CREDOR DE PERÍODO ANTERIOR|99\n");
}

TEST_F(Apuracao, CodigoDeRecolhimentoPelaConfiguracaoVigente) {
  TResumoNormal r;
  r.SetFilial(GFuncoes->GetDadosFilial(1));
  r.SetDataInicio(D(2026, 1, 1));
  r.SetDataFim(D(2026, 1, 31));
  TCodigoRecolhimento c = r.GetCodigoRecolhimento();
  EXPECT_EQ(c.Codigo, "046-2");
  EXPECT_EQ(DataBR(c.Vencimento), "20/02/2026");
  Sql("DELETE FROM ES02_CFG");
  EXPECT_EQ(r.GetCodigoRecolhimento().Codigo, "046-2");  // cached: no second look-up

  // a configuration that ends inside the period does not apply
  Sql("INSERT INTO ES02_CFG (IDFILIAL, ORIGEM, TP, DATAINICIO, DATAFIM, INFORMACAO1) VALUES (1, 2, '2', '2025-01-01', '2026-01-15', '1')");
  TResumoNormal s;
  s.SetFilial(GFuncoes->GetDadosFilial(1));
  s.SetDataInicio(D(2026, 1, 1));
  s.SetDataFim(D(2026, 1, 31));
  EXPECT_EQ(s.GetCodigoRecolhimento().Codigo, "");
  s.GravarSaldoDevedor();
  EXPECT_EQ(Linhas("SELECT COALESCE(CODIGOREC, ''), COALESCE(VENCIMENTO, 'NULL') FROM TR04_IMPOSTO"), "|NULL\n");
}

TEST_F(Apuracao, ValoresParaContabilizacao) {
  Apurar("01/02/2026", "28/02/2026", 1, "icms");
  EXPECT_EQ(Lancamento("TPLANCAMENTO IN (52, 54, 55, 56, 57) AND IMPOSTO = '2001'"),
            "54|2001|2026-02-01|2026-02-28|38784.78|Total de Créditos de ICMS|0\n"
            "55|2001|2026-02-01|2026-02-28|28865.91|Total de Débitos de ICMS|0\n"
            "52|2001|2026-02-01|2026-02-28|0|Saldo Devedor de ICMS|0\n"
            "56|2001|2026-02-01|2026-02-28|8238.12|Saldo Credor de ICMS|0\n"
            "57|2001|2026-02-01|2026-02-28|0|SALDO DEVEDOR ANTES DAS DEDUÇÕES|0\n");
  // the auxiliary record goes only with the debit-balance value, and only when the profile asks
  EXPECT_EQ(Linhas("SELECT L.TPLANCAMENTO, A.TP, A.INFORMACAO1 FROM ES02_LCTOAPURAUX A JOIN ES02_LCTOAPUR L"
                   " ON (L.IDLCTOAPUR = A.IDLCTOAPUR) WHERE L.GERADO = 1"),
            "52|14|000\n");
  Apurar("01/02/2026", "28/02/2026", 2, "icms");  // filial 2's profile does not ask for it
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPURAUX A JOIN ES02_LCTOAPUR L ON (L.IDLCTOAPUR = A.IDLCTOAPUR) WHERE L.IDFILIAL = 2"), "0");
  Apurar("01/02/2026", "28/02/2026", 1, "4011");
  EXPECT_EQ(Linhas("SELECT A.INFORMACAO1, L.DESCRICAO FROM ES02_LCTOAPURAUX A JOIN ES02_LCTOAPUR L ON (L.IDLCTOAPUR = A.IDLCTOAPUR)"
                   " WHERE L.IMPOSTO = '4011'"),
            "999|Saldo Devedor de ICMS-ST\n");
}

TEST_F(Apuracao, CreditosCalculadosPeloHost) {
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 1"), "");
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "icms", false, true);
  std::string ciap = Lancamento("TPLANCAMENTO = 1");
  ASSERT_NE(ciap, "");
  EXPECT_NE(ciap.find("CRÉDITO DO ATIVO PERMANENTE - CIAP"), std::string::npos);
  // the calculated entry is read back as a detail of line 006 of the same summary
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetCredito().Locate(6)->GetDetalhamentos().Count(), 3);

  Sql("INSERT INTO HS_CREDITOPRESUMIDO (IDFILIAL, TIPO, DATAINICIO, ALIQUOTA, CFOPS) VALUES (1, 'INSUMO_INDUSTRIA', '2020-01-01', 10, '1.102')");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  std::string insumo = Lancamento("TPLANCAMENTO = 1 AND DESCRICAO = 'CRÉDITO DE INSUMOS - INDÚSTRIA'");
  EXPECT_NE(insumo, "");
  // removing the configuration removes the credit on the next run
  Sql("DELETE FROM HS_CREDITOPRESUMIDO");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 1 AND DESCRICAO = 'CRÉDITO DE INSUMOS - INDÚSTRIA'"), "");
}

TEST_F(Apuracao, GuiasDebitosEspecificosEObservacoes) {
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  Impressao imp;
  int linha = 20;
  r->ImprimirGuiasRecolhimento(linha, imp.Proc());
  // Texts at column 6 stop at column 37, a blank before the due date at 39.
  EXPECT_EQ(imp.chamadas, (std::vector<std::string>{
                              "20@6:046-2 - ICMS - Regime Periódico ", "20@39:20/02/2026",
                              "20@52:      10.373,58", "20@3:", "20@3:DÉBITOS ESPECÍFICOS",
                              "20@6:046-2 - ICMS parcelado - Parcela", "20@39:20/02/2026",
                              "20@52:       2.150,00", "20@3:"}));
  EXPECT_EQ(imp.avancos, 5);

  // a due-date text that is not a date prints no date; no guide for a tax due of 0
  Sql("UPDATE ES02_LCTOAPURAUX SET INFORMACAO2 = '31/02/2026'");
  auto f = Apurar("01/02/2026", "28/02/2026", 1, "icms");
  Sql("UPDATE ES02_LCTOAPUR SET DATA = '2026-02-10' WHERE TPLANCAMENTO = 13");
  Impressao fev;
  linha = 10;
  f->Apuracao().GetResumos().GetItem(0)->ImprimirGuiasRecolhimento(linha, fev.Proc());
  EXPECT_EQ(fev.chamadas, (std::vector<std::string>{"10@3:", "10@3:DÉBITOS ESPECÍFICOS",
                                                     "10@6:046-2 - ICMS parcelado - Parcela",
                                                     "10@52:       2.150,00", "10@3:"}));
  // A due date typed without leading zeros is a date.
  Sql("UPDATE ES02_LCTOAPURAUX SET INFORMACAO2 = '5/3/2026'");
  Impressao mar;
  f->Apuracao().GetResumos().GetItem(0)->ImprimirDebitosEspecificos(linha, mar.Proc());
  EXPECT_EQ(mar.chamadas.at(3), "10@39:05/03/2026");
}

TEST_F(Apuracao, ObservacoesEmPedacosDe155) {
  Sql("DELETE FROM ES02_LIVROOBS;"
      "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-05-10', '" + std::string(400, 'x') + "');"
      "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-06-10', 'primeira');"
      "INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (1, '2001', '2026-06-20', 'segunda');");
  auto e = Apurar("01/05/2026", "30/06/2026", 1, "icms");
  Impressao maio, junho;
  int linha = 30;
  e->Apuracao().GetResumos().GetItem(0)->ImprimirObservacoes(linha, maio.Proc());
  EXPECT_EQ(linha, 33);
  ASSERT_EQ(maio.chamadas.size(), 3u);
  EXPECT_EQ(maio.chamadas[2], "32@3:" + std::string(90, 'x'));
  linha = 30;
  e->Apuracao().GetResumos().GetItem(1)->ImprimirObservacoes(linha, junho.Proc());
  EXPECT_EQ(junho.chamadas, (std::vector<std::string>{"30@3:primeira", "31@3:", "32@3:segunda"}));
  EXPECT_EQ(linha, 33);
}

TEST_F(Apuracao, SubstituicaoTributariaSemInscricaoPagaPorGNRE) {
  auto e = Apurar("01/01/2026", "31/03/2026", 1, "4011");
  TResumos& rs = e->Apuracao().GetResumos();
  ASSERT_EQ(rs.Count(), 3);
  EXPECT_EQ(Linhas("SELECT INICIO, VLRIMPOSTO, CODIGOREC FROM TR04_IMPOSTO WHERE IMPOSTO = '4011' ORDER BY INICIO"),
            "2026-01-01|0|0121\n2026-02-01|0|0121\n2026-03-01|0|0121\n");
  Impressao jan;
  int linha = 1;
  interacao_->Registro();
  rs.GetItem(0)->ImprimirGuiasRecolhimento(linha, jan.Proc());
  ASSERT_GE(jan.chamadas.size(), 3u);
  EXPECT_NE(jan.chamadas[0].find("GNRE n. "), std::string::npos);
  const size_t avisos = interacao_->Registro().size();
  EXPECT_EQ(avisos, 0u);  // the guides add up to the debit balance

  Sql("INSERT INTO ES02_GNRE (IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, VALORGNRE, NUMEROGNRE, UFFAVOR)"
      " SELECT IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, 0, 'ZERO', UFFAVOR FROM ES02_GNRE WHERE IDGNRE = 1;"
      "INSERT INTO ES02_GNRES (IDGNRE, IDSAIDASPINF) SELECT MAX(IDGNRE), (SELECT IDSAIDASPINF FROM ES02_GNRES WHERE IDGNRE = 1) FROM ES02_GNRE");
  Impressao jan2;
  linha = 1;
  rs.GetItem(0)->ImprimirGuiasRecolhimento(linha, jan2.Proc());
  EXPECT_EQ(jan2.chamadas, jan.chamadas);  // a guide of 0 is neither printed nor summed
  EXPECT_EQ(interacao_->Registro().size(), 0u);

  Impressao mar;
  rs.GetItem(2)->ImprimirGuiasRecolhimento(linha, mar.Proc());
  ASSERT_EQ(interacao_->Registro().size(), 1u);
  EXPECT_EQ(interacao_->Registro()[0],
            "[aviso] Atenção! A soma dos valores das guias de recolhimento está diferente do  total do débito de "
            "ICMS-ST para MG. Verifique se todos os documentos desta apuração possuem as informações de GNRE.");
}

TEST_F(Apuracao, SubstituicaoTributariaNoProprioEstadoUsaAConfiguracaoTipo7) {
  Sql("INSERT INTO HS_INSCRICAOST (IDFILIAL, UF, INSCREST, PERIODICIDADE, IDCODIGOREC, DATAINICIO) VALUES (1, 'SP', '111222333', 0, 0, '2020-01-01')");
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "4026");
  ASSERT_EQ(e->Apuracao().GetResumos().Count(), 1);
  TResumo* st = e->Apuracao().GetResumos().GetItem(0);
  EXPECT_EQ(st->GetCodigoRecolhimento().Codigo, "063-2");
  EXPECT_EQ(Valor("SELECT CODIGOREC FROM TR04_IMPOSTO WHERE IMPOSTO = '4026'"), "063-2");
}

TEST_F(Apuracao, PedidoInvalidoNaoGravaNada) {
  const std::string antes = TodasAsLinhas();
  auto erro = [&](const std::string& ini, const std::string& fim, int64_t filial, const std::string& impostos) {
    try {
      Apurar(ini, fim, filial, impostos);
    } catch (const EPedidoInvalido& e) {
      return std::string(e.what());
    }
    return std::string("(sem erro)");
  };
  EXPECT_EQ(erro("", "31/01/2026", 1, "todos"), "Data inválida.");
  EXPECT_EQ(erro("31/02/2026", "31/03/2026", 1, "todos"), "Data inválida.");
  EXPECT_EQ(erro("01/02/2026", "31/01/2026", 1, "todos"), "A data final deve ser maior que a data inicial.");
  EXPECT_EQ(erro("01/01/2026", "31/01/2026", 99, "todos"), "Estabelecimento não encontrado: 99");
  EXPECT_NE(erro("01/01/2026", "31/01/2026", 1, "2001,9999").find("Código de imposto desconhecido: 9999"), std::string::npos);
  EXPECT_EQ(antes, TodasAsLinhas());
}

TEST_F(Apuracao, TextosComAspasNaoQuebramOSQL) {
  Sql("UPDATE ES02_LIVROOBS SET OBSERVACAO = 'Nota d''água: ''teste''';"
      "UPDATE ES02_LCTOAPUR SET DESCRICAO = 'Crédito d''outro mês' WHERE IDLCTOAPUR = 1");
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  EXPECT_EQ(r->GetObservacoes().at(0), "Nota d'água: 'teste'");
  EXPECT_EQ(r->GetCredito().Locate(6)->GetDetalhamentos().GetItem(0)->GetDescricao(), "Crédito d'outro mês");
}
