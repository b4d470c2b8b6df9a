// The settlement end to end on a real SQLite database: the demo office against its golden statement,
// re-runs, centralisation, periods and inscriptions, recorded tax and balances, accounting, guides.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "regimes/normal/apuracaonormal.h"
#include "regimes/subtrib/apuracaosubtrib.h"
#include "relatorio/extrato.h"
#include "utilitarios.h"

namespace {

// Print callback that keeps what was printed, one entry per call.
struct Impressao {
  std::vector<std::string> chamadas;
  TImprimirProc Proc() {
    return [this](int linha, int coluna, const std::string& t, int, bool) {
      chamadas.push_back(std::to_string(linha) + "@" + std::to_string(coluna) + ":" + t);
    };
  }
};

}  // namespace

class Apuracao : public AmbienteTeste {
 protected:
  std::string Lancamento(const std::string& filtro) {
    return Linhas("SELECT TPLANCAMENTO, IMPOSTO, DATA, DATAFIM, VALOR, DESCRICAO, COALESCE(IDLCTOAPURCOD, 0)"
                  " FROM ES02_LCTOAPUR WHERE GERADO = 1 AND " + filtro + " ORDER BY IDLCTOAPUR");
  }
  // A summary of establishment 1 for January 2026, built by hand.
  template <class R>
  R& Janeiro(R& r) {
    r.SetFilial(GFuncoes->GetDadosFilial(1));
    r.SetDataInicio(EncodeDate(2026, 1, 1));
    r.SetDataFim(EncodeDate(2026, 1, 31));
    return r;
  }
};

TEST_F(Apuracao, EscritorioDeDemonstracaoConfereComOExtrato) {
  auto e = Apurar("01/01/2026", "31/03/2026");
  std::string texto = ExtratoApuracao(e->Apuracao()) + "\nMensagens:\n";
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

TEST_F(Apuracao, ReapurarSoSubstituiOQueGerouEDeixaOBancoIgual) {
  // An entry typed by the user stays beside the generated one; generated rows doubled by a manual
  // load go back to one, with January's tax due of 10,373.58, and no auxiliary row is orphaned.
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, GERADO)"
      " VALUES (1, 5, 1, '2001', 77, '2026-02-01', '2026-02-01', 'SALDO CREDOR DE PERÍODO ANTERIOR', 0)");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPUR WHERE DATA = '2026-02-01' AND IMPOSTO = '2001' AND TPLANCAMENTO = 5"), "2");
  EXPECT_EQ(Valor("SELECT VALOR FROM ES02_LCTOAPUR WHERE GERADO = 0 AND TPLANCAMENTO = 5"), "77");
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO, GERADO)"
      " SELECT IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, 1, DATA, DATAFIM, DESCRICAO, 1 FROM ES02_LCTOAPUR"
      " WHERE GERADO = 1 AND TPLANCAMENTO = 52;"
      "INSERT INTO TR04_IMPOSTO (IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VLRIMPOSTO)"
      " SELECT IDEMPRESA, IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, 1 FROM TR04_IMPOSTO;");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT COUNT(*), MIN(VALOR) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND TPLANCAMENTO = 52"), "1|10373.58\n");
  EXPECT_EQ(Linhas("SELECT COUNT(*), MIN(VLRIMPOSTO) FROM TR04_IMPOSTO"), "1|10373.58\n");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_LCTOAPURAUX WHERE IDLCTOAPUR NOT IN (SELECT IDLCTOAPUR FROM ES02_LCTOAPUR)"), "0");
  // Nothing posted to the accounts unless asked.
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM HS_LANCCONTABIL"), "0");

  // Run twice, by a fresh host too, every table holds the same rows.
  Apurar("01/01/2026", "30/04/2026", 1, "todos", true, true);
  const std::string primeira = TodasAsLinhas();
  host_.reset();
  host_ = std::make_unique<THost>(*conexao_, *interacao_);
  Apurar("01/01/2026", "30/04/2026", 1, "todos", true, true);
  EXPECT_EQ(primeira, TodasAsLinhas());
  // Posted only where an account is configured (ICMS 52, 54 and 55), with its accounts and history.
  EXPECT_EQ(Linhas("SELECT DISTINCT TPLANCAMENTO, CONTADEBITO, CONTACREDITO, HISTORICO FROM HS_LANCCONTABIL ORDER BY 1"),
            "52|2.1.3.01.001|2.1.3.01.002|ICMS apurado a recolher\n"
            "54|1.1.5.01.001|1.1.4.01.001|ICMS a recuperar sobre compras do período\n"
            "55|3.1.2.01.001|2.1.3.01.001|ICMS sobre vendas do período\n");

  // A corrected document changes the values in place: same rows, new amounts.
  auto linhas = [&] { return Valor("SELECT (SELECT COUNT(*) FROM ES02_LCTOAPUR) || '/' || (SELECT COUNT(*) FROM TR04_IMPOSTO)"); };
  auto devido = [&] { return Valor("SELECT VLRIMPOSTO FROM TR04_IMPOSTO WHERE IMPOSTO = '2001' AND INICIO = '2026-01-01'"); };
  const std::string antes = linhas();
  const Currency janeiro = Currency::FromDouble(std::stod(devido()));
  Sql("UPDATE ES02_SAIDADET SET ICMS = ICMS + 100 WHERE IDSAIDADET = (SELECT MIN(D.IDSAIDADET) FROM ES02_SAIDADET D"
      " JOIN ES02_SAIDA S ON (S.IDSAIDA = D.IDSAIDA) WHERE S.IDFILIAL = 1 AND S.DATAEMISSAO BETWEEN '2026-01-01' AND '2026-01-31'"
      " AND D.ICMS > 0)");
  // Re-posted meanwhile: the tax due's account loses its text, the debits' account goes away.
  Sql("UPDATE HS_CONTACONTABIL SET HISTORICO = NULL WHERE TPLANCAMENTO = 52;"
      "DELETE FROM HS_CONTACONTABIL WHERE TPLANCAMENTO = 55");
  const std::string debitosPostados = Valor("SELECT COUNT(*) FROM HS_LANCCONTABIL WHERE TPLANCAMENTO = 55");
  Apurar("01/01/2026", "31/01/2026", 1, "todos", true, true);
  EXPECT_EQ(linhas(), antes);
  EXPECT_EQ(Currency::FromDouble(std::stod(devido())), janeiro + Currency::FromInt(100));
  // January's tax due as now recorded (the 100.00 above the first run's), posted for 01/01 to 31/01
  // and dated at the period's end, under the entry's own text for want of the account's; January's
  // debits are no longer posted, the other months' stay.
  EXPECT_EQ(Linhas("SELECT TPLANCAMENTO, DATA, INICIO, FIM, VALOR, HISTORICO FROM HS_LANCCONTABIL"
                   " WHERE INICIO = '2026-01-01' AND TPLANCAMENTO IN (52, 55)"),
            "52|2026-01-31|2026-01-01|2026-01-31|" + devido() + "|Saldo Devedor de ICMS\n");
  EXPECT_EQ(Valor("SELECT COUNT(*) + 1 FROM HS_LANCCONTABIL WHERE TPLANCAMENTO = 55"), debitosPostados);
}

// The centraliser's line 006 of January (its 1,250.00 + filial 2's 420.00) is in the statement's
// golden file; filial 2, centralised, reads its own only.
TEST_F(Apuracao, CentralizadoLeSoOsProprios) {
  auto e = Apurar("01/01/2026", "31/01/2026", 2, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  EXPECT_EQ(r->GetFormaApuracao().TipoApuracao, 2);
  EXPECT_EQ(r->GetCredito().Locate(6)->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(r->GetCredito().Locate(6)->GetTotal(), Currency::FromDouble(420.00));

  // The centraliser reads its establishments one at a time and orders their entries by date, GIA
  // code and text: two entries equal in all three keep the establishments' order, its own first
  // (1,250.00), then establishment 2's 420.00 under its label.
  Sql("UPDATE ES02_LCTOAPUR SET DESCRICAO = 'Crédito extemporâneo' WHERE IDLCTOAPUR IN (1, 8)");
  auto c = Apurar("01/01/2026", "31/01/2026", 1, "icms");
  const TDetalhamentos& d = c->Apuracao().GetResumos().GetItem(0)->GetCredito().Locate(6)->GetDetalhamentos();
  ASSERT_EQ(d.Count(), 2);
  EXPECT_EQ(d.GetItem(0)->GetValor(), Currency::FromDouble(1250.00));
  EXPECT_EQ(d.GetItem(0)->GetEstabelecimento(), "");
  EXPECT_EQ(d.GetItem(1)->GetValor(), Currency::FromDouble(420.00));
  EXPECT_EQ(d.GetItem(1)->GetEstabelecimento(), RotuloEstabelecimento(2));
}

TEST_F(Apuracao, PercursoDePeriodosEInscricoes) {
  // (the order of the monthly summaries is in the statement's golden file)
  EXPECT_EQ(Apurar("01/01/2026", "30/01/2026")->Apuracao().GetResumos().Count(), 0);  // shorter than a period
  // a quarterly inscription settles once, in the ICMS period that starts its quarter
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 9 WHERE UF = 'RJ'");
  auto t = Apurar("01/02/2026", "30/06/2026", 1, "4019");
  TResumos& st = t->Apuracao().GetResumos();
  ASSERT_EQ(st.Count(), 1);
  EXPECT_EQ(DataBR(st.GetItem(0)->GetDataInicio()) + "-" + DataBR(st.GetItem(0)->GetDataFim()), "01/04/2026-30/06/2026");

  // A daily inscription settles each day of the ICMS month that starts before the month's last
  // day: 01/01 to 30/01, 30 summaries (the walk stops when a period would start on the month's end).
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 1 WHERE UF = 'RJ'");
  auto d = Apurar("01/01/2026", "31/01/2026", 1, "4019");
  TResumos& dias = d->Apuracao().GetResumos();
  ASSERT_EQ(dias.Count(), 30);
  EXPECT_EQ(DataBR(dias.GetItem(29)->GetDataInicio()) + "-" + DataBR(dias.GetItem(29)->GetDataFim()), "30/01/2026-30/01/2026");

  // The inscription's own payment code, any id above 0 (here id 1, 046-2 with day 20): January's
  // RJ tax is due on Friday 20/02/2026 under it.
  Sql("UPDATE HS_INSCRICAOST SET PERIODICIDADE = 0, IDCODIGOREC = 1 WHERE UF = 'RJ'");
  Apurar("01/01/2026", "31/01/2026", 1, "4019");
  EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '4019' AND INICIO = '2026-01-01'"
                   " AND FIM = '2026-01-31'"),
            "046-2|2026-02-20\n");
  // Without one (0, even where a row 0 exists) another state's tax has no payment code nor due
  // date: the ICMS-ST configuration is the own state's.
  Sql("UPDATE HS_INSCRICAOST SET IDCODIGOREC = 0 WHERE UF = 'RJ';"
      "INSERT INTO ES02_CODIGOREC (IDCODIGOREC, UF, CODIGO, DIAVENCTO) VALUES (0, 'RJ', '9999', '15')");
  Apurar("01/01/2026", "31/01/2026", 1, "4019");
  EXPECT_EQ(Linhas("SELECT CODIGOREC, VENCIMENTO FROM TR04_IMPOSTO WHERE IMPOSTO = '4019' AND INICIO = '2026-01-01'"
                   " AND FIM = '2026-01-31'"),
            "|NULL\n");

  // a code beginning with 40 selected, but not the state's own: no ST summary of that state
  auto so = Apurar("01/01/2026", "31/01/2026", 1, "4011");
  ASSERT_EQ(so->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(so->Apuracao().GetResumos().GetItem(0)->GetCodImposto(), "4011");
}

TEST_F(Apuracao, SimplesNacionalLevaAPequenaEmpresaAoRegimeNormal) {
  Sql("UPDATE CA06_MUNICIPIO SET UF = 'RS' WHERE IDMUNICIPIO = (SELECT IDMUNICIPIO FROM SC00_FILIAL WHERE IDFILIAL = 1);"
      "INSERT INTO HS_ENQUADRAMENTO (IDFILIAL, DATAINICIO, ENQUADRAMENTO) VALUES (1, '2000-01-01', 1)");
  // From July 2007 (its first day included) the small business of RS settles in the regular
  // regime, saying so.
  auto e = Apurar("01/07/2007", "31/07/2007", 1, "icms");
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetTipoResumo(), trNormalRS);
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetFormaApuracao().TipoApuracao, 0);
  ASSERT_EQ(interacao_->Registro().size(), 2u);  // the message, then the dialog of the return's data
  EXPECT_EQ(interacao_->Registro()[0],
            "[informação] A partir de 01/07/2007 entra em vigor o Simples Nacional,portanto  o ICMS de 01/07/2007 a "
            "31/07/2007 será apurado como regime normal.");
}

// February's 8,238.12 as March's line 009 is in the golden files; a balance of 0 is still carried.
TEST_F(Apuracao, SaldoCredorViraCreditoDoPeriodoSeguinte) {
  auto e = Apurar("01/02/2026", "31/03/2026", 1, "icms");
  ASSERT_EQ(e->Apuracao().GetResumos().GetItem(1)->GetCredito().Locate(9)->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5 AND IMPOSTO = '2001' AND DATA = '2026-04-01'"),
            "5|2001|2026-04-01|2026-04-01|0|SALDO CREDOR DE PERÍODO ANTERIOR|0\n");
}

TEST_F(Apuracao, SaldoCredorSemCodigoDeGIAAvisaENaoGrava) {
  Sql("UPDATE CA06_MUNICIPIO SET UF = 'SC' WHERE IDMUNICIPIO = (SELECT IDMUNICIPIO FROM SC00_FILIAL WHERE IDFILIAL = 1);"
      "DELETE FROM HS_INSCRICAOST");
  Apurar("01/01/2026", "31/01/2026", 1, "4024");  // SC ST code: tax type 3
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5"), "");  // no ST summary without an inscription
  TResumoST st;
  Janeiro(st).SetCodImposto("4024");
  st.SetUF("SC");
  Sql("DELETE FROM ES02_LCTOAPURCOD WHERE UF = 'SC' AND TPIMPOSTO = 3");
  st.GravarSaldoCredor();
  EXPECT_EQ(interacao_->Registro().back(), "[aviso] Não foi possível encontrar um código de GIA para atualizar o saldo credor.");
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5"), "");
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO) VALUES (99, 'SC', '1', 'x', 3, 5, 1)");
  st.GravarSaldoCredor();
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 5"), "5|4024|2026-02-01|2026-02-01|0|SALDO CREDOR DE PERÍODO ANTERIOR|99\n");
}

// January's code in force, 046-2 due on 20/02/2026, is in the statement's golden file; a
// configuration that ends inside the period does not apply, and nothing is recorded for it.
TEST_F(Apuracao, CodigoDeRecolhimentoPelaConfiguracaoVigente) {
  Sql("DELETE FROM ES02_CFG;"
      "INSERT INTO ES02_CFG (IDFILIAL, ORIGEM, TP, DATAINICIO, DATAFIM, INFORMACAO1) VALUES (1, 2, '2', '2025-01-01', '2026-01-15', '1')");
  TResumoNormal s;
  EXPECT_EQ(Janeiro(s).GetCodigoRecolhimento().Codigo, "");
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
  // The accounting values come from origin 99, the credit balance carried to March from none (0).
  EXPECT_EQ(Linhas("SELECT DISTINCT TPLANCAMENTO, ORIGEM, IDORIGEM FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = 1"
                   " AND IMPOSTO = '2001' AND DATA BETWEEN '2026-02-01' AND '2026-03-01' ORDER BY 1"),
            "5|0|0\n52|99|0\n54|99|0\n55|99|0\n56|99|0\n57|99|0\n");
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
  EXPECT_CONTEM(Lancamento("TPLANCAMENTO = 1"), "CRÉDITO DO ATIVO PERMANENTE - CIAP");
  // the calculated entry is read back as a detail of line 006 of the same summary
  EXPECT_EQ(e->Apuracao().GetResumos().GetItem(0)->GetCredito().Locate(6)->GetDetalhamentos().Count(), 3);

  // The transport credit: 5 % of January's exits under 6.102, (23499.91 + 14263.02) x 5 % =
  // 1888.1465 -> 1888.15 (the prefixes 9.9 and 0.0 begin no CFOP). Inputs of industry: 10 % of the
  // entries under 1.102 (1.102.000 and 1.102.001), (159319.56 + 11835.09) x 10 % = 17115.465 ->
  // 17115.47. Inputs of transport: 3 % of the entries under 1.556 and 2.403 (blanks around the
  // codes), (739.45 + 3658.03) x 3 % = 131.9244 -> 131.92. Each recorded to the cent.
  Sql("INSERT INTO HS_CREDITOPRESUMIDO (IDFILIAL, TIPO, DATAINICIO, ALIQUOTA, CFOPS) VALUES"
      " (1, 'INSUMO_INDUSTRIA', '2020-01-01', 10, '1.102'), (1, 'TRANSPORTE', '2020-01-01', 5, '9.9, 6.102,0.0'),"
      " (1, 'INSUMO_TRANSPORTE', '2020-01-01', 3, ' 1.556 , 2.403')");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Linhas("SELECT DESCRICAO, printf('%.4f', VALOR) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND TPLANCAMENTO = 1"
                   " AND DESCRICAO LIKE 'CRÉDITO %' AND DESCRICAO NOT LIKE '%CIAP' ORDER BY 1"),
            "CRÉDITO DE INSUMOS - INDÚSTRIA|17115.4700\n"
            "CRÉDITO DE INSUMOS - TRANSPORTE|131.9200\n"
            "CRÉDITO PRESUMIDO - PRESTAÇÕES DE TRANSPORTE|1888.1500\n");
  // recorded as a host calculation (origin 1, no originating row) with no official code
  EXPECT_EQ(Linhas("SELECT ORIGEM, IDORIGEM, COALESCE(CAST(IDLCTOAPURCOD AS TEXT), 'NULL'), TPIMPOSTO FROM ES02_LCTOAPUR"
                   " WHERE GERADO = 1 AND DESCRICAO = 'CRÉDITO PRESUMIDO - PRESTAÇÕES DE TRANSPORTE'"),
            "1|0|NULL|1\n");
  // removing the configuration removes the credit on the next run
  Sql("DELETE FROM HS_CREDITOPRESUMIDO");
  Apurar("01/01/2026", "31/01/2026", 1, "icms");
  EXPECT_EQ(Lancamento("TPLANCAMENTO = 1 AND DESCRICAO = 'CRÉDITO DE INSUMOS - INDÚSTRIA'"), "");

  // CIAP in June 2025 (no demo document): exits of 3000.00 with ICMS and 1000.00 without, so
  // 3000 / 4000 = 3/4 of each asset's monthly share is credited:
  //   asset 1 (demo, June 2025, 14400.00 / 48)            300.00 x 3/4 =  225.00
  //   asset 2 (July 2021, 4800.00 / 48: June 2025 is its 48th month, 47 after entry)  75.00
  //   asset 3 (June 2021: 48 months after entry, all 48 taken)                          0
  //   asset 4 (no instalments) nothing; asset 5 (written off in May) nothing
  //   asset 6 (June 2025, 1200.01 in 1 instalment)       1200.01 x 3/4 =  900.0075
  // 1200.0075 in all, recorded to the cent: 1200.01. July 2025 has no exit: no share, no credit.
  Sql("INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (9601, 1, '2025-06-15', 961);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, ICMS) VALUES (96011, 9601, 10, 3000, 360),"
      " (96012, 9601, 10, 1000, 0);"
      "INSERT INTO HS_CIAPBEM (IDBEM, IDFILIAL, DESCRICAO, DATAENTRADA, VALORICMS, PARCELAS, DATABAIXA) VALUES"
      " (2, 1, 'Bem 2', '2021-07-05', 4800, 48, NULL), (3, 1, 'Bem 3', '2021-06-20', 4800, 48, NULL),"
      " (4, 1, 'Bem 4', '2025-01-10', 4800, 0, NULL), (5, 1, 'Bem 5', '2025-01-10', 4800, 48, '2025-05-31'),"
      " (6, 1, 'Bem 6', '2025-06-01', 1200.01, 1, NULL)");
  auto ciap = [&](const std::string& fim) {
    return Valor("SELECT COALESCE((SELECT printf('%.4f', VALOR) FROM ES02_LCTOAPUR WHERE GERADO = 1 AND DATA = '" + fim +
                 "' AND DESCRICAO = 'CRÉDITO DO ATIVO PERMANENTE - CIAP'), '-')");
  };
  Apurar("01/06/2025", "31/07/2025", 1, "icms", false, true);
  EXPECT_EQ(ciap("2025-06-30"), "1200.0100");
  EXPECT_EQ(ciap("2025-07-31"), "-");
  // A period that begins on the month's last day closes the month: day by day, 30/06/2025 alone,
  // whose one exit is all taxed, credits June's whole shares, 300.00 + 100.00 + 1200.01 = 1600.01.
  Sql("UPDATE HS_PERIODICIDADE SET PERIODICIDADE = 1 WHERE IDFILIAL = 1;"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (9602, 1, '2025-06-30', 962);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, ICMS) VALUES (96021, 9602, 10, 500, 60)");
  Apurar("30/06/2025", "01/07/2025", 1, "icms", false, true);
  EXPECT_EQ(ciap("2025-06-30"), "1600.0100");
}

// (January's guides are in the book's golden pages.) A due-date text that is not a date prints no
// date; no guide for a tax due of 0 (February); a specific debit's text printed whole, with the
// agreement it is paid under when its text does not already name it.
TEST_F(Apuracao, GuiasSemImpostoZeroEVencimentoSoQuandoEhData) {
  Sql("UPDATE ES02_LCTOAPURAUX SET INFORMACAO2 = '31/02/2026'");
  auto f = Apurar("01/02/2026", "28/02/2026", 1, "icms");
  Sql("UPDATE ES02_LCTOAPUR SET DATA = '2026-02-10' WHERE TPLANCAMENTO = 13");
  Impressao fev;
  int linha = 10;
  f->Apuracao().GetResumos().GetItem(0)->ImprimirGuiasRecolhimento(linha, fev.Proc());
  // The whole text "046-2 - ICMS parcelado - Parcelamento 2025/0456789 parcela 03/12" in lines of
  // 32 columns (6 to 37) broken at blanks: "046-2 - ICMS parcelado -" (24; "Parcelamento" would
  // make 37), "Parcelamento 2025/0456789" (25; " parcela" would make 33), "parcela 03/12"; the
  // amount on the first line, the others under it.
  EXPECT_EQ(fev.chamadas, (std::vector<std::string>{"10@3:", "10@3:DÉBITOS ESPECÍFICOS", "10@6:046-2 - ICMS parcelado -",
                                                     "10@52:       2.150,00", "10@6:Parcelamento 2025/0456789",
                                                     "10@6:parcela 03/12", "10@3:"}));
  // A due date typed without leading zeros is a date.
  Sql("UPDATE ES02_LCTOAPURAUX SET INFORMACAO2 = '5/3/2026'");
  Impressao mar;
  f->Apuracao().GetResumos().GetItem(0)->ImprimirDebitosEspecificos(linha, mar.Proc());
  EXPECT_EQ(mar.chamadas.at(3), "10@39:05/03/2026");
  // The demo's agreement 2025/0456789 is in the text already; another one is added to its end:
  // "parcela 03/12 - Acordo 2026/0001" is 13 + 9 + 10 = 32 columns, the last line's whole width.
  Sql("UPDATE ES02_LCTOAPURAUX SET INFORMACAO3 = ' 2026/0001 ' WHERE TP = 1");
  Impressao abr;
  f->Apuracao().GetResumos().GetItem(0)->ImprimirDebitosEspecificos(linha, abr.Proc());
  // (after the title: first line, due date, amount, then the two lines under it)
  ASSERT_EQ(abr.chamadas.size(), 8u);
  EXPECT_EQ(abr.chamadas.at(6), "10@6:parcela 03/12 - Acordo 2026/0001");
}

// ICMS-ST without an inscription in the state (MG) is paid by GNRE: code 0121, tax due recorded as 0.
TEST_F(Apuracao, SubstituicaoTributariaSemInscricaoPagaPorGNREENoProprioEstadoPelaConfiguracaoTipo7) {
  auto e = Apurar("01/01/2026", "31/03/2026", 1, "4011");
  TResumos& rs = e->Apuracao().GetResumos();
  ASSERT_EQ(rs.Count(), 3);
  EXPECT_EQ(Linhas("SELECT INICIO, VLRIMPOSTO, CODIGOREC FROM TR04_IMPOSTO WHERE IMPOSTO = '4011' ORDER BY INICIO"),
            "2026-01-01|0|0121\n2026-02-01|0|0121\n2026-03-01|0|0121\n");
  Impressao jan;
  int linha = 1;
  rs.GetItem(0)->ImprimirGuiasRecolhimento(linha, jan.Proc());
  ASSERT_GE(jan.chamadas.size(), 3u);
  EXPECT_CONTEM(jan.chamadas[0], "GNRE n. ");
  EXPECT_TRUE(interacao_->Registro().empty());  // the guides add up to the debit balance

  Sql("INSERT INTO ES02_GNRE (IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, VALORGNRE, NUMEROGNRE, UFFAVOR)"
      " SELECT IDFILIAL, IMPOSTO, CODIGOREC, VENCIMENTO, 0, 'ZERO', UFFAVOR FROM ES02_GNRE WHERE IDGNRE = 1;"
      "INSERT INTO ES02_GNRES (IDGNRE, IDSAIDASPINF) SELECT MAX(IDGNRE), (SELECT IDSAIDASPINF FROM ES02_GNRES WHERE IDGNRE = 1) FROM ES02_GNRE");
  Impressao jan2;
  linha = 1;
  rs.GetItem(0)->ImprimirGuiasRecolhimento(linha, jan2.Proc());
  EXPECT_EQ(jan2.chamadas, jan.chamadas);  // a guide of 0 is neither printed nor summed
  EXPECT_TRUE(interacao_->Registro().empty());

  // With an inscription in the establishment's own state: the configuration of kind 7.
  Sql("INSERT INTO HS_INSCRICAOST (IDFILIAL, UF, INSCREST, PERIODICIDADE, IDCODIGOREC, DATAINICIO) VALUES (1, 'SP', '111222333', 0, 0, '2020-01-01')");
  auto sp = Apurar("01/01/2026", "31/01/2026", 1, "4026");
  ASSERT_EQ(sp->Apuracao().GetResumos().Count(), 1);
  EXPECT_EQ(sp->Apuracao().GetResumos().GetItem(0)->GetCodigoRecolhimento().Codigo, "063-2");
  EXPECT_EQ(Valor("SELECT CODIGOREC FROM TR04_IMPOSTO WHERE IMPOSTO = '4026'"), "063-2");
}

TEST_F(Apuracao, PedidoInvalidoNaoGravaNada) {
  const std::string antes = TodasAsLinhas();
  auto erro = [&](const std::string& ini, const std::string& fim, int64_t filial, const std::string& impostos) {
    return Erro<EPedidoInvalido>([&] { Apurar(ini, fim, filial, impostos); });
  };
  EXPECT_EQ(erro("", "31/01/2026", 1, "todos"), "Data inválida.");
  EXPECT_EQ(erro("31/02/2026", "31/03/2026", 1, "todos"), "Data inválida.");
  EXPECT_EQ(erro("01/02/2026", "31/01/2026", 1, "todos"), "A data final deve ser maior que a data inicial.");
  EXPECT_EQ(erro("01/01/2026", "31/01/2026", 99, "todos"), "Estabelecimento não encontrado: 99");
  EXPECT_CONTEM(erro("01/01/2026", "31/01/2026", 1, "2001,9999"), "Código de imposto desconhecido: 9999");
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

// Deductions beyond the debit balance. Filial 7 (SE), January 2026: debits 3800.00, credits
// 1900.00, debit balance 1900.00. Deductions of 1500.00 (10/01) and 700.00 (20/01) = 2200.00;
// the balance lines' formula would give 1900.00 - 2200.00 = -300.00. The tax record is 0.00 (no
// guide, no negative payment); 1500.00 is taken whole and 400.00 of the 700.00, so 300.00 of
// the second deduction is named as unused. Credits 1900.00 < debits 3800.00: no credit balance,
// and the unused 300.00 is not carried either (February's line 009 stays 0.00).
TEST_F(Apuracao, DeducoesAlemDoSaldoDevedorNaoGravamImpostoNegativo) {
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO) VALUES"
      " (7, 8, 1, '2001', 1500.00, '2026-01-10', '2026-01-10', 'Incentivo A'),"
      " (7, 8, 1, '2001', 700.00, '2026-01-20', '2026-01-20', 'Incentivo B')");
  auto e = Apurar("01/01/2026", "31/01/2026", 7, "icms");
  TResumo* r = e->Apuracao().GetResumos().GetItem(0);
  EXPECT_EQ(r->GetSaldoDevedor(), Currency::FromInt(1900));
  EXPECT_EQ(r->GetImpostoARecolher(), Currency());  // what the book's item 013 prints
  EXPECT_EQ(r->GetDeducoesNaoAproveitadas(), Currency::FromInt(300));
  EXPECT_EQ(Linhas("SELECT VLRIMPOSTO FROM TR04_IMPOSTO WHERE IDFILIAL = 7"), "0\n");
  EXPECT_EQ(Lancamento("IDFILIAL = 7 AND TPLANCAMENTO IN (5, 52, 57)"),
            "5|2001|2026-02-01|2026-02-01|0|SALDO CREDOR DE PERÍODO ANTERIOR|11\n"
            "52|2001|2026-01-01|2026-01-31|0|Saldo Devedor de ICMS|0\n"
            "57|2001|2026-01-01|2026-01-31|1900|SALDO DEVEDOR ANTES DAS DEDUÇÕES|0\n");
  ASSERT_EQ(interacao_->Registro().size(), 1u);  // the log shows the line breaks as blanks
  EXPECT_EQ(interacao_->Registro()[0],
            "[aviso] As deduções do imposto 2001 de 01/01/2026 a 31/01/2026 do estabelecimento 7 (2.200,00) passam em "
            "300,00 o imposto que havia a recolher (1.900,00). O imposto a recolher fica 0,00, sem guia, e o que sobra "
            "das deduções não passa para o período seguinte nem vira saldo credor. Deduções não aproveitadas: "
            "- 20/01/2026 - Incentivo B: 300,00 não aproveitados de 700,00");
  // The host never records a negative tax, whoever asks.
  EXPECT_THROW(GFuncoes->GravarImposto(2, 7, "2001", "101-1", EncodeDate(2026, 1, 1), EncodeDate(2026, 1, 31), 0,
                                       Currency::FromInt(-300), {}, {}),
               std::invalid_argument);
  EXPECT_EQ(Linhas("SELECT VLRIMPOSTO FROM TR04_IMPOSTO WHERE IDFILIAL = 7"), "0\n");

  // A negative amount on a line that adds (item 013's "other values", -5,000.00 in February, beyond
  // the balance) is no deduction: the tax due is 0 and nothing is said of deductions.
  Sql("INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO) VALUES"
      " (7, 10, 1, '2001', -5000.00, '2026-02-10', '2026-02-10', 'Ajuste')");
  const size_t mensagens = interacao_->Registro().size();
  auto f = Apurar("01/02/2026", "28/02/2026", 7, "icms");
  EXPECT_EQ(f->Apuracao().GetResumos().GetItem(0)->GetImpostoARecolher(), Currency());
  EXPECT_EQ(interacao_->Registro().size(), mensagens);
}

// A tax code read from the database is a value in the SQL text, whatever it holds. With MG's
// ICMS-ST code stored as "4011 OR 1=1", the bare code made the entries' condition true for every
// row of the kinds and period: the MG summary of filial 1 took in company 2's "outros créditos"
// (500.00 of filial 3). Quoted, it matches no entry: the MG summary has no credit details.
TEST_F(Apuracao, CodigoDoBancoNoSQLEhSoUmValor) {
  Sql("UPDATE HS_CODIGOICMSST SET IMPOSTO = '4011 OR 1=1' WHERE UF = 'MG';"
      "INSERT INTO ES02_LCTOAPUR (IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, VALOR, DATA, DATAFIM, DESCRICAO) VALUES"
      " (3, 1, 1, '2001', 500.00, '2026-01-15', '2026-01-15', 'Crédito de outra empresa')");
  auto e = Apurar("01/01/2026", "31/01/2026", 1, "todos");
  TResumo* mg = nullptr;
  TResumos& rs = e->Apuracao().GetResumos();
  for (int i = 0; i < rs.Count(); ++i)
    if (rs.GetItem(i)->GetCodImposto() == "4011 OR 1=1") mg = rs.GetItem(i);
  ASSERT_NE(mg, nullptr);
  for (int i = 0; i < mg->GetCredito().Count(); ++i)
    EXPECT_EQ(mg->GetCredito().GetItem(i)->GetDetalhamentos().Count(), 0) << mg->GetCredito().GetItem(i)->GetDescricao();
}
