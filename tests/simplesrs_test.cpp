// The RS small business end to end on the demo office's company 7 (db/demo.sql, whose comment
// gives the month's figures): filial 70 centralises filial 71. UPF 2006 10,4297; rate table 2201
// 15000-30000 2 % less 300,00, 30000-60000 3 % less 600,00. Every figure is worked out by hand in
// the comments: n = taxable revenue / UPF cut to whole UPF, d = deduction / UPF rounded to cents,
// t = rate x n - d, tax = t x UPF rounded to cents.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "utilitarios.h"
#include "apuracao/apuracao.h"
#include "forms/pedidoapuracao.h"
#include "host/interacao/formpadraoresult.h"
#include "regimes/simples/apuracaosimplesnovors.h"

namespace {

class SimplesRS : public AmbienteTeste {
 protected:
  void Responder(std::initializer_list<const char*> respostas) {
    for (const char* r : respostas) interacao_->AdicionarResposta(r);
  }
  // Tax records: start|tax|payment code|due|amount.
  std::string Impostos(int filial, const std::string& imposto = "2001") {
    return Linhas("SELECT INICIO, CODIGOREC, VENCIMENTO, printf('%.2f', VLRIMPOSTO) FROM TR04_IMPOSTO WHERE IDFILIAL = " +
                  std::to_string(filial) + " AND IMPOSTO = '" + imposto + "' ORDER BY INICIO");
  }
  // The postponed tax carried forward: date|amount|entry code.
  std::string Postergados(int filial) {
    return Linhas("SELECT L.DATA, printf('%.2f', L.VALOR), C.CODIGO FROM ES02_LCTOAPUR L LEFT JOIN ES02_LCTOAPURCOD C"
                  " ON (C.IDLCTOAPURCOD = L.IDLCTOAPURCOD) WHERE L.GERADO = 1 AND L.TPLANCAMENTO = 15 AND L.IDFILIAL = " +
                  std::to_string(filial) + " ORDER BY L.DATA");
  }
  // The D0 rows of a month's return: code|content.
  std::string Gia(int filial, int mes) {
    return Linhas("SELECT D.CODIGO, D.CONTEUDO FROM ES02_GIADET D JOIN ES02_GIA G ON (G.IDGIA = D.IDGIA)"
                  " WHERE G.IDFILIAL = " + std::to_string(filial) + " AND G.ANO = 2006 AND G.MES = " + std::to_string(mes) +
                  " AND D.TPREGISTRO = 'D0' ORDER BY D.CODIGO");
  }
  static TResumoSimplesNovoRS& Simples(TExecucaoApuracao& e, int i) {
    auto* r = dynamic_cast<TResumoSimplesNovoRS*>(e.Apuracao().GetResumos().GetItem(i));
    if (!r) throw std::logic_error("não é um resumo do Simples RS");
    return *r;
  }
  // The book texts a summary prints, "column:text" a piece, one line each; "^" before the line
  // break when the piece asks for a new page.
  static std::string Textos(TResumo& r, void (TResumo::*operacao)(int&, const TImprimirProc&)) {
    std::string s;
    int linha = 1;
    (r.*operacao)(linha, [&s](int, int coluna, const std::string& texto, int, bool novaPagina) {
      s += std::to_string(coluna) + ":" + texto + (novaPagina ? "^" : "") + "\n";
    });
    return s;
  }
};

Currency Reais(double v) { return Currency::FromDouble(v); }

}  // namespace

// Filial 70, July to September 2006 (three periods: no dialog; each month without return rows
// takes the previous month's).
//   Jul: own gross (30000 - 1500) + 6000 + 4000 - (1000 - 50) = 37550,00, services 800,00, other
//        200,00; deductions exports 4000,00 + own ICMS-ST 420,00 + services 800,00 = 5220,00.
//        Others: filial 71 12000 + 2000 = 14000,00, RS outside 5000,00, other states 3000,00;
//        their deductions filial 71's ICMS-ST 150,00 + DEDRECBRUT 500,00 = 650,00. Taxable
//        (38550 - 5220) + (22000 - 3000 - 650) = 33330 + 18350 = 51680,00: 3 %, n = 4955
//        (4955 x 10,4297 = 51679,16), d = 600 / 10,4297 = 57,528 -> 57,53, t = 148,65 - 57,53 =
//        91,12, tax 91,12 x 10,4297 = 950,354 -> 950,35, due 12/08 (Saturday) -> 14/08/2006.
//        Year: documents 51550 + services 800 + FATOUTEXTE 6 x 25000 + OUTRECMES 300 (March) +
//        July's 5000 + 3000 + 200 + 1200 = 212050,00.
//   Aug: 15500,00 + RS outside 1000,00 = 16500,00: 2 %, n = 1582, d = 300 / 10,4297 = 28,76,
//        t = 31,64 - 28,76 = 2,88, tax 30,04 < 5 UPF (52,1485): the record is 0 and 30,04 is
//        carried into September under code 20.
//   Sep: 20000 + filial 71's 18000 + RS outside 1000 (August's rows) = 39000,00: n = 3739, t =
//        112,17 - 57,53 = 54,64, tax 569,88; with August's 30,04: 599,92. Year 266550,00 passes
//        the ME limit of 244000,00: the projected 266550,00 lies in the EPP band (class 1).
TEST_F(SimplesRS, CentralizadorNoTrimestreComPostergacao) {
  // A code 20 of another entry type, default of its own: the postponed keeps the one of type 15.
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO)"
      " VALUES (901, 'RS', '20', 'Estorno de débito', 1, 2, 1)");
  auto e = Apurar("01/07/2006", "30/09/2006", 70, "icms");
  EXPECT_EQ(Impostos(70), "2006-07-01|0252|2006-08-14|950.35\n2006-08-01|0252|2006-09-12|0.00\n"
                          "2006-09-01|0252|2006-10-12|599.92\n");
  EXPECT_EQ(Postergados(70), "2006-08-01|0.00|20\n2006-09-01|30.04|20\n2006-10-01|0.00|20\n");
  EXPECT_EQ(Linhas("SELECT L.DATAFIM, L.ORIGEM, L.IDORIGEM, C.TPLANCAMENTO, L.DESCRICAO FROM ES02_LCTOAPUR L JOIN"
                   " ES02_LCTOAPURCOD C ON (C.IDLCTOAPURCOD = L.IDLCTOAPURCOD) WHERE L.GERADO = 1 AND L.TPLANCAMENTO = 15"
                   " AND L.IDFILIAL = 70 AND L.DATA = '2006-09-01'"),
            "2006-09-01|99|0|15|IMPOSTO POSTERGADO DE PERÍODO ANTERIOR\n");

  // July's figures are also the book's (its golden page prints every one of them).
  TResumoSimplesNovoRS& jul = Simples(*e, 0);
  EXPECT_EQ(jul.GetFormaApuracao().TipoApuracao, 1);
  // One revenue from services in the program: the host's (the RS regular return's) is the same.
  EXPECT_EQ(GFuncoes->GetSomaReceitaServicos(jul.GetFilial(), EncodeDate(2006, 7, 1), EncodeDate(2006, 7, 31)), Reais(800));
  EXPECT_EQ(jul.GetReceitaBrutaAcumulada(), Reais(212050));
  EXPECT_EQ(jul.GetNovoEnquadramento(), 0);
  // Only the tax of the month counts: the registers show the documents with no tax of their own.
  EXPECT_EQ(jul.GetDebito().GetRegistros().GetTotalImposto(), Currency());
  EXPECT_EQ(jul.GetSomaDebito(), Reais(950.35));
  EXPECT_EQ(jul.GetDebito().Locate(1)->GetDescricao(), "DÉBITOS SAÍDAS");

  TResumoSimplesNovoRS& set = Simples(*e, 2);
  EXPECT_EQ(set.GetDadosAux().RecBrutaRS, Reais(1000));  // August's rows proposed
  EXPECT_EQ(Gia(70, 9), "");
  const TResumoCampo* linha2 = set.GetDebito().Locate(2);
  ASSERT_NE(linha2, nullptr);
  ASSERT_EQ(linha2->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(linha2->GetDetalhamentos().GetItem(0)->GetCodigo(), "20");
  EXPECT_EQ(linha2->GetDetalhamentos().GetItem(0)->GetValor(), Reais(30.04));
  EXPECT_EQ(set.GetDebito().Locate(1)->GetTotal(), Reais(569.88));
  EXPECT_EQ(set.GetReceitaBrutaAcumulada(), Reais(266550));
  // The limit is the company's class's (ME) even with the EPP listed first.
  Sql("UPDATE TR04_TABELA SET IDTABELA = 905 WHERE IDTABELA = 901");
  EXPECT_EQ(set.GetNovoEnquadramento(), 1);
  const std::string obs = Textos(set, &TResumo::ImprimirObservacoes);
  EXPECT_CONTEM(obs, "2:ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de ME. Mude para apuração Normal ou para EPP no "
                     "pacote 7730.\n");
  EXPECT_CONTEM(obs, "147:3,0000\n");
  EXPECT_EQ(obs.find('^'), std::string::npos);  // the observations never break the page
  // A warning has a line of its own: 17 lines advanced (a blank, 6 of this establishment, 7 of
  // the others, the totals, the year's revenue and rate, the warning).
  auto Avancos = [](TResumo& r) {
    int linha = 1, n = 0;
    r.ImprimirObservacoes(linha, [&n](int, int, const std::string&, int avancar, bool) { n += avancar; });
    return n;
  };
  EXPECT_EQ(Avancos(set), 17);
  // Without an EPP band that holds 266550,00 the year leaves the regime (class 2).
  Sql("UPDATE TR04_TABELA SET VALOR2 = 250000 WHERE IDTABELA = 902");
  EXPECT_EQ(set.GetNovoEnquadramento(), 2);
  EXPECT_CONTEM(Textos(set, &TResumo::ImprimirObservacoes),
                "2:ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de ME e também de EPP. Mude para apuração Normal no "
                "pacote 7730.\n");
  EXPECT_EQ(Avancos(set), 17);
  // A company already an EPP (class 1) is told it passed the EPP limit only.
  set.SetEnquadramento(1);
  const std::string epp = Textos(set, &TResumo::ImprimirObservacoes);
  EXPECT_CONTEM(epp, "2:ATENÇÃO: A Empresa excedeu o limite da Receita Bruta de EPP. Mude para apuração Normal no pacote 7730.\n");
  EXPECT_EQ(epp.find("de ME"), std::string::npos);
  EXPECT_EQ(Avancos(set), 17);
  set.SetEnquadramento(0);
  // A band holds its top, not its bottom: 266550,00 is EPP with the band ending there, of no
  // class with the band starting there.
  Sql("UPDATE TR04_TABELA SET VALOR2 = 266550 WHERE IDTABELA = 902");
  EXPECT_EQ(set.GetNovoEnquadramento(), 1);
  Sql("UPDATE TR04_TABELA SET VALOR1 = 266550, VALOR2 = 2400000 WHERE IDTABELA = 902");
  EXPECT_EQ(set.GetNovoEnquadramento(), 2);
  Sql("UPDATE TR04_TABELA SET VALOR1 = 244000, VALOR2 = 250000 WHERE IDTABELA = 902");
  // With a second ME row in force, to 300000,00, September's revenue passes the first's limit and
  // lies in the second's band: ME still, no warning.
  Sql("INSERT INTO TR04_TABELA (IDTABELA, TIPOTABELA, IMPOSTOGERAL, IMPOSTOESPECIFICO, NOMEIMPOSTO, INICIO, VALOR1, VALOR2)"
      " VALUES (906, 2, '22', '01', 'Microempresa', '2006-01-01', 0, 300000)");
  EXPECT_EQ(set.GetNovoEnquadramento(), 0);
  Sql("DELETE FROM TR04_TABELA WHERE IDTABELA = 906");
  // August's 228550,00 is within the ME limit of a year of activity (244000,00); within one of
  // 228550,00 exactly, and of 228549,999996 too, the limit being taken to five decimals
  // (228550,00000), even with an EPP band from 200000,00 (listed first) that would hold it.
  TResumoSimplesNovoRS& ago = Simples(*e, 1);
  EXPECT_EQ(ago.GetNovoEnquadramento(), 0);
  Sql("UPDATE TR04_TABELA SET VALOR1 = 200000 WHERE IDTABELA = 902;"
      "UPDATE TR04_TABELA SET VALOR2 = 228550 WHERE IDTABELA = 905");
  EXPECT_EQ(ago.GetNovoEnquadramento(), 0);
  Sql("UPDATE TR04_TABELA SET VALOR2 = 228549.999996 WHERE IDTABELA = 905");
  EXPECT_EQ(ago.GetNovoEnquadramento(), 0);
  Sql("UPDATE TR04_TABELA SET VALOR1 = 244000 WHERE IDTABELA = 902;"
      "UPDATE TR04_TABELA SET VALOR2 = 244000 WHERE IDTABELA = 905");
  // With the company's RS activity begun in February 2006 the year has 11 months of it and the
  // limit is 244000 / 12 x 11 = 223666,67: July's 212050,00 stays below it; August's passes it
  // and, projected to a year (228550 / 11 x 12 = 249327,27), lies in the EPP band (to 250000,00).
  // Without any start of RS activity the user is told so, and the activity is taken to begin with
  // the period: August's limit is 244000 / 12 x 5 = 101666,67, and its 228550,00 projected to a year
  // (228550 / 5 x 12 = 548520,00) passes the EPP's 250000,00: the regular regime (2).
  Sql("UPDATE SC00_FILIAL SET INICIOATIVIDADE = NULL WHERE IDEMPRESA = 7");
  EXPECT_EQ(ago.GetNovoEnquadramento(), 2);
  EXPECT_TRUE(Mostrou("[informação] Não foi encontrada data de início de atividade da empresa.  O cálculo"));
  Sql("UPDATE SC00_FILIAL SET INICIOATIVIDADE = '2006-02-15' WHERE IDFILIAL IN (70, 71)");
  EXPECT_EQ(jul.GetNovoEnquadramento(), 0);
  EXPECT_EQ(ago.GetNovoEnquadramento(), 1);
  // An EPP below its own limit, 250000 / 12 x 11 = 229166,67, stays one whatever the other
  // classes: July's 212050,00, even with no ME class.
  Sql("DELETE FROM TR04_TABELA WHERE IDTABELA = 905");
  jul.SetEnquadramento(1);
  EXPECT_EQ(jul.GetNovoEnquadramento(), 1);
  EXPECT_EQ(Textos(jul, &TResumo::ImprimirObservacoes).find("ATENÇÃO"), std::string::npos);
  jul.SetEnquadramento(0);
  // August: the guide list says the tax was postponed and lists no guide of 0.
  EXPECT_EQ(Textos(Simples(*e, 1), &TResumo::ImprimirGuiasRecolhimento),
            "6:Valor postergado para apuração seguinte\n53:30,04\n");

  // The ICMS-ST due came from RS ICMS-ST summaries settled inside: alone and without an
  // inscription number, they recorded 0 for filials 70 and 71. Settling ICMS-ST too, the run's
  // own summary comes after and records the group's 420,00 + 150,00.
  auto st = [&](int filial) {
    return Valor("SELECT printf('%.2f', VLRIMPOSTO) FROM TR04_IMPOSTO WHERE IMPOSTO = '4023' AND INICIO = '2006-07-01'"
                 " AND IDFILIAL = " + std::to_string(filial));
  };
  EXPECT_EQ(st(70), "0.00");
  EXPECT_EQ(st(71), "0.00");
  Sql("UPDATE TR04_TABELA SET VALOR2 = 2400000 WHERE IDTABELA = 902");
  Apurar("01/07/2006", "30/09/2006", 70, "todos");
  EXPECT_EQ(st(70), "570.00");

  // Settling again leaves every row as it was.
  const std::string antes = TodasAsLinhas();
  Apurar("01/07/2006", "30/09/2006", 70, "todos");
  EXPECT_EQ(TodasAsLinhas(), antes);

  // A service of 700,00 of filial 71 in July is the others' gross revenue (22000 + 700 = 22700,00)
  // and their deduction (650 + 700 = 1350,00): the taxable revenue, and so the tax, stay.
  Sql("INSERT INTO ES02_SERVICO (IDSERVICO, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9510, 71, 900, '2006-07-21', 52);"
      "INSERT INTO ES02_SERVICODET (IDSERVICODET, IDSERVICO, VLRCONTABIL) VALUES (9510, 9510, 700)");
  e = Apurar("01/07/2006", "31/07/2006", 70, "icms");
  TResumoSimplesNovoRS& servico = Simples(*e, 0);
  EXPECT_EQ(servico.GetTotalReceitaBrutaMesCentraliz(), Reais(22700));
  EXPECT_EQ(servico.GetTotalDeducaoCentraliz(), Reais(1350));
  EXPECT_EQ(servico.GetSomaDebito(), Reais(950.35));

  // Settled by itself (no centralisation), July counts the others through the return and the
  // ICMS-ST of the company's RS establishments only: own taxable 33330,00; others RS outside
  // 5000,00 + other states 3000,00 - other states 3000,00 - (filial 71's ICMS-ST 150,00 +
  // DEDRECBRUT 500,00) = 4350,00. Neither filial 71's services, nor its export of 1000,00 (a
  // deduction of a centraliser's), nor the ICMS-ST of 60,00 of filial 72 in Santa Catarina count.
  // Taxable 37680,00: 3 %, n = 3612 (3612 x 10,4297 = 37672,08), t = 108,36 - 57,53 = 50,83,
  // tax 50,83 x 10,4297 = 530,1417 -> 530,14.
  Sql("DELETE FROM HS_CENTRALIZACAO WHERE IDFILIAL = 70;"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9511, 71, 901, '2006-07-26', 104);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (9511, 9511, 912, 1000);"
      "INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, CNPJ, IDMUNICIPIO) VALUES (72, 7, 3, 'Doceria Pelotense Ltda',"
      " '07123456000344', 80);"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9512, 72, 800, '2006-07-14', 1);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMSST, ICMSST, DEBITOST) VALUES"
      " (9512, 9512, 911, 1000, 600, 60, 1)");
  e = Apurar("01/07/2006", "31/07/2006", 70, "icms");
  TResumoSimplesNovoRS& sozinho = Simples(*e, 0);
  EXPECT_EQ(sozinho.GetSaldoDevedorSTCentraliz(), Reais(150));
  EXPECT_EQ(sozinho.GetSomaDebito(), Reais(530.14));
}

// Filial 71 settled by itself in July 2006 (centralised): no settlement entries (its credit of
// 25,00 neither), tax 0, and the dialog with the company-wide fields disabled and cleared, so
// confirming writes them as 0.
//   Own figures: gross 12000 + 2000 = 14000,00, its ICMS-ST 150,00 deducted: taxable 13850,00;
//   the others' ICMS-ST 570,00 - 150,00 = 420,00, and no other deduction (filial 70's exports
//   are the centraliser's): total deductions 150,00 + 420,00 = 570,00. The year's revenue reads
//   the centraliser's returns: 212050,00, as filial 70's.
TEST_F(SimplesRS, CentralizadoApuraZeroComSeusNumeros) {
  Sql("INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO) VALUES (9571, 71, 900, '2006-07-12', 71);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (9571, 9571, 1, 300);"
      "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA,"
      " DATAFIM, DESCRICAO) VALUES (9571, 71, 1, 1, '2001', 0, 25.00, '2006-07-20', '2006-07-20', 'Crédito')");
  Responder({"edtRecBrutaRS=1"});  // a disabled field
  EXPECT_THROW(Apurar("01/07/2006", "31/07/2006", 71, "icms"), EArquivoRespostas);
  EXPECT_EQ(Impostos(71), "");

  // June's return proposes 5000.00 of revenue in RS: the field is disabled, so it is cleared.
  Sql("INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES) VALUES (9576, 71, 2006, 6);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (9576, 'D0', 'RECBRS', '', '5000')");
  Responder({"edtNumEmpregados=4; edtDespesas=3.000,00"});
  auto e = Apurar("01/07/2006", "31/07/2006", 71, "icms");
  EXPECT_EQ(Gia(71, 7), "01|0\n08|3000\n09|4\n10|0\nDEDRECBRUT|0\nOUTREC1A6|0\nOUTRECMES|0\nRECBOUTUF|0\nRECBRS|0\n");
  EXPECT_EQ(Impostos(71), "2006-07-01|0252|2006-08-14|0.00\n");
  EXPECT_EQ(Postergados(71), "2006-08-01|0.00|20\n");
  TResumoSimplesNovoRS& jul = Simples(*e, 0);
  EXPECT_EQ(jul.GetFormaApuracao().TipoApuracao, 2);
  EXPECT_EQ(jul.GetDebito().Count(), 1);  // line 1 only: no entries loaded
  EXPECT_EQ(jul.GetDebito().Locate(1)->GetDescricao(), "DÉBITOS SAÍDAS");
  EXPECT_EQ(jul.GetCredito().Count(), 0);
  EXPECT_EQ(jul.GetSaldo().Count(), 0);
  EXPECT_EQ(jul.GetDebito().GetRegistros().Count(), 2);  // the registers are loaded
  EXPECT_EQ(jul.GetCredito().GetRegistros().Count(), 1);
  EXPECT_EQ(jul.GetDebito().Locate(1)->GetTotal(), Currency());
  EXPECT_EQ(jul.GetReceitaBrutaMesPropria(), Reais(14000));
  EXPECT_EQ(jul.GetSaldoDevedorSTPropria(), Reais(150));
  EXPECT_EQ(jul.GetSaldoDevedorSTCentraliz(), Reais(420));
  EXPECT_EQ(jul.GetTotalReceitaTribMesPropria(), Reais(13850));
  EXPECT_EQ(jul.GetAliquota(), Currency());
  EXPECT_EQ(jul.GetReceitaBrutaAcumulada(), Reais(212050));
  EXPECT_EQ(Textos(jul, &TResumo::ImprimirGuiasRecolhimento), "");  // nothing postponed, no guide of 0
  Sql("INSERT INTO ES02_LIVROOBS (IDFILIAL, IMPOSTO, DATA, OBSERVACAO) VALUES (71, '2001', '2006-07-31', 'Receita conferida.')");
  const std::string obs = Textos(jul, &TResumo::ImprimirObservacoes);
  EXPECT_EQ(obs.find("3:Receita conferida.\n"), 0u);  // the user's observation first
  EXPECT_EQ(obs.find("DEMAIS ESTABELECIMENTOS"), std::string::npos);
  EXPECT_CONTEM(obs, "3:Total Rec. Bruta deste Estab.  :\n40:14.000,00\n74:Deduções :\n85:150,00\n");
  EXPECT_CONTEM(obs, "68:Total Deduções :\n85:570,00\n");
  EXPECT_CONTEM(obs, "147:0,0000\n");
  EXPECT_EQ(obs.find("SALDO DEVEDOR ICMS-ST"), obs.rfind("SALDO DEVEDOR ICMS-ST"));
  EXPECT_EQ(obs.find("DEDUÇÕES DE OUTROS"), std::string::npos);

  // Its run reads the settlement entries of the company's RS establishments (their ICMS-ST is
  // settled inside it): one of filial 70 that is not a number (a database without our checks)
  // refuses it.
  if (!NoServidor()) {
    SemVerificacoes();
    Sql("INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA,"
        " DATAFIM, DESCRICAO) VALUES (8572, 70, 1, 3, '4023', 0, '10,00', '2006-07-10', '2006-07-10', 'Crédito ST')");
    EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Apurar("01/07/2006", "31/07/2006", 71, "icms"); }),
                  "ES02_LCTOAPUR IDLCTOAPUR 8572: VALOR '10,00' não é um número");
    Sql("DELETE FROM ES02_LCTOAPUR WHERE IDLCTOAPUR = 8572");
  }

  // Without a centraliser configured for the period it reads its own returns: the group's
  // documents and services of the year 51550,00 + 800,00 and its March FATOUTEXTE 1000,00 =
  // 53350,00.
  Sql("DELETE FROM SC00_FILIALCFG WHERE IDFILIALCFG = 900;"
      "INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES, TIPO, DIAINICIO, DIAFIM) VALUES (9571, 71, 2006, 3, 0, 0, 0);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (9571, 'D0', 'FATOUTEXTE', '', '1000')");
  EXPECT_EQ(Simples(*Apurar("01/07/2006", "31/07/2006", 71, "icms"), 0).GetReceitaBrutaAcumulada(), Reais(53350));
  // A centraliser of id 1 is read as any other: filial 1 (São Paulo, no returns in 2006) joining
  // the company as its centraliser, the year's revenue is the documents and services, 52350,00.
  Sql("UPDATE SC00_FILIAL SET IDEMPRESA = 7 WHERE IDFILIAL = 1;"
      "INSERT INTO SC00_FILIALCFG (IDFILIALCFG, IDFILIAL, ORIGEM, ESPECIE, TP, DATAINICIO, DATAFIM) VALUES"
      " (901, 1, 2, 3, '2', '2006-01-01', NULL)");
  EXPECT_EQ(Simples(*Apurar("01/07/2006", "31/07/2006", 71, "icms"), 0).GetReceitaBrutaAcumulada(), Reais(52350));
}

// The periods the regime settles, the dialog of its first month and a missing UPF.
TEST_F(SimplesRS, PeriodosDoRegimeDialogoDeJulhoEUPFAusente) {
  // Before July 2006 another package settled the regime: offered, then the run stops silently.
  Responder({"Sim"});
  EXPECT_THROW(Apurar("01/06/2006", "30/06/2006", 70, "icms"), EAbortarSilencioso);
  EXPECT_TRUE(Mostrou("[pergunta] Aviso: Para gerar este livro utilize o pacote 74105. Deseja abrí-lo agora?"));
  EXPECT_TRUE(Mostrou("Não é possível abrir o pacote 74105: ele não faz parte deste programa."));
  EXPECT_EQ(Impostos(70), "");

  // July 2006: the other revenue of January to June is asked (1200,00 -> 1500,00) and the RS
  // revenue outside the database answered 6000,00 (was 5000,00): the year's revenue 212050,00 +
  // 300,00 + 1000,00 = 213350,00; the nine rows are written back in the month's return. The tax
  // takes the answer: taxable 51680,00 + 1000,00 = 52680,00, n = 5050 (5050 x 10,4297 =
  // 52669,99), t = 151,50 - 57,53 = 93,97, tax 93,97 x 10,4297 = 980,0789 -> 980,08.
  Responder({"edtOutrasRecJanJun=1.500,00; edtNumEmpregados=7; edtRecBrutaRS=6.000,00"});
  auto e = Apurar("01/07/2006", "31/07/2006", 70, "icms");
  EXPECT_EQ(Gia(70, 7), "01|180000\n08|15000\n09|7\n10|7000\nDEDRECBRUT|500\nOUTREC1A6|1500\nOUTRECMES|200\n"
                        "RECBOUTUF|3000\nRECBRS|6000\n");
  EXPECT_EQ(Simples(*e, 0).GetReceitaBrutaAcumulada(), Reais(213350));
  EXPECT_EQ(Impostos(70), "2006-07-01|0252|2006-08-14|980.08\n");
  // The composition reads the items again: a CFOP of class 4, not an entry, keeps its sign.
  Sql("INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (914, '4.999.000', 'CLASSE 4');"
      "INSERT INTO ES02_CFOPCFGUF (IDCFOPCFGUF, IDCFOP, UF, TP, FORMULA) VALUES (905, 914, 'RS', 5, 'VLRCONTABIL');"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9560, 70, 900, '2006-07-28', 60);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (9560, 9560, 914, 10)");
  EXPECT_CONTEM(Textos(Simples(*e, 0), &TResumo::ImprimirObservacoes), "3:4.999.000\n50:VLRCONTABIL\n130:10,00\n");
  // In August the field is disabled: an answer for it is refused.
  Responder({"edtOutrasRecJanJun=1"});
  EXPECT_THROW(Apurar("01/08/2006", "31/08/2006", 70, "icms"), EArquivoRespostas);

  // January 2007, UPF 10,7214: taxable 25000 - 1000 + 2000 - exports 2000 = 24000,00; 24000 /
  // 10,7214 = 2238,5 is cut to n = 2238 (rounded it would be 2239 and the tax 180,12), d = 300 /
  // 10,7214 = 27,98, t = 44,76 - 27,98 = 16,78, tax 16,78 x 10,7214 = 179,905 -> 179,91. The
  // year starts again: 26000,00; January's return of 2007 adds nothing, its FATOUTEXTE (5000,00)
  // standing only for the months before July 2006.
  Sql("INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES, TIPO, DIAINICIO, DIAFIM) VALUES (9570, 70, 2007, 1, 0, 0, 0);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (9570, 'D0', 'FATOUTEXTE', '', '5000')");
  auto jan = Apurar("01/01/2007", "31/01/2007", 70, "icms");
  EXPECT_EQ(Impostos(70), "2006-07-01|0252|2006-08-14|980.08\n2007-01-01|0252|2007-02-12|179.91\n");
  EXPECT_EQ(Simples(*jan, 0).GetDeducao(), Reais(27.98));
  EXPECT_EQ(Simples(*jan, 0).GetReceitaBrutaAcumulada(), Reais(26000));

  // No UPF for 2006 (the next is 2024's): the user is told and no tax is made up; the summary
  // records nothing. The centralised establishment owes no tax and settles all the same.
  EXPECT_FALSE(Mostrou("o valor da UPF"));  // so far every month had its UPF
  Sql("DELETE FROM HS_UPF WHERE DATAINICIO < '2024-01-01'; DELETE FROM TR04_IMPOSTO WHERE IDFILIAL IN (70, 71)");
  const std::string erro = Erro<EUPFNaoCadastrada>([&] { Apurar("01/07/2006", "31/07/2006", 70, "icms"); });
  EXPECT_CONTEM(erro, "não pode ser calculado sem o valor da UPF de RS em 31/07/2006");
  EXPECT_TRUE(Mostrou("[informação] Não foi possível encontrar o valor da UPF para o período informado."));
  EXPECT_EQ(Impostos(70), "");
  Apurar("01/07/2006", "31/07/2006", 71, "icms");
  EXPECT_EQ(Impostos(71), "2006-07-01|0252|2006-08-14|0.00\n");
}

// September 2006 alone (the dialog proposes August's rows, confirmed as they stand): the tax of
// the month is 569,88. A user's other debits under the return's code 21 move to line 13; the
// deductions of line 12 lower the balance to 0 (not below), after which line 13 adds its amounts.
TEST_F(SimplesRS, DeducoesParamEmZeroEOCodigo21SeSomaDepois) {
  Sql("INSERT INTO ES02_LCTOAPURCOD (IDLCTOAPURCOD, UF, CODIGO, DESCRICAO, TPIMPOSTO, TPLANCAMENTO, PADRAO)"
      " VALUES (900, 'RS', '21', 'Outros débitos - Simples', 1, 15, 0);"
      "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA,"
      " DATAFIM, DESCRICAO) VALUES (9500, 70, 15, 1, '2001', 900, 100.00, '2006-09-30', '2006-09-30', 'Diferença de 06/2006'),"
      " (9501, 70, 8, 1, '2001', 0, 400.00, '2006-09-10', '2006-09-10', 'Dedução A'),"
      " (9502, 70, 8, 1, '2001', 0, 300.00, '2006-09-20', '2006-09-20', 'Dedução B'),"
      " (9503, 70, 15, 1, '2001', 0, 10.00, '2006-09-05', '2006-09-05', 'Outro débito'),"
      " (9504, 70, 15, 1, '2001', 900, 20.00, '2006-09-01', '2006-09-01', 'Diferença de 05/2006'),"
      " (9505, 70, 1, 1, '2001', 0, 79.88, '2006-09-12', '2006-09-12', 'Outro crédito')");
  // Line 2 holds the code 21's of 01/09 (20,00), the other debit of 05/09 (10,00) and the code
  // 21's of 30/09 (100,00): the first and the third move to line 13. The balance is the month's
  // tax of 569,88 plus those 10,00 less the other credit of 79,88, 500,00; the deductions take
  // 400,00 of A and 100,00 of B (200,00 of B not taken, the user is told); due: line 13's 20,00 +
  // 100,00 = 120,00.
  auto e = Apurar("01/09/2006", "30/09/2006", 70, "icms");
  TResumoSimplesNovoRS& set = Simples(*e, 0);
  ASSERT_EQ(set.GetDebito().Locate(2)->GetDetalhamentos().Count(), 1);
  EXPECT_EQ(set.GetDebito().Locate(2)->GetDetalhamentos().GetItem(0)->GetDescricao(), "Outro débito");
  const TResumoCampo* linha13 = set.GetSaldo().Locate(13);
  ASSERT_NE(linha13, nullptr);
  ASSERT_EQ(linha13->GetDetalhamentos().Count(), 2);
  EXPECT_EQ(linha13->GetDetalhamentos().GetItem(0)->GetDescricao(), "Diferença de 05/2006");
  EXPECT_EQ(linha13->GetDetalhamentos().GetItem(1)->GetDescricao(), "Diferença de 06/2006");
  EXPECT_EQ(set.GetSaldoDevedor(), Reais(500));
  EXPECT_EQ(set.GetImpostoARecolher(), Reais(120));
  EXPECT_EQ(Impostos(70), "2006-09-01|0252|2006-10-12|120.00\n");
  EXPECT_TRUE(Mostrou("Deduções não aproveitadas: - 20/09/2006 - Dedução B: 200,00 não aproveitados de 300,00"));
  EXPECT_CONTEM(Gia(70, 9), "RECBRS|1000\n");
  // With B of 100,00 the deductions bring the 500,00 to 0 exactly and stop there: a reversal of
  // -50,00 after them is not taken (due 120,00 still, not 170,00).
  Sql("UPDATE ES02_LCTOAPUR SET VALOR = 100 WHERE IDLCTOAPUR = 9502;"
      "INSERT INTO ES02_LCTOAPUR (IDLCTOAPUR, IDFILIAL, TPLANCAMENTO, TPIMPOSTO, IMPOSTO, IDLCTOAPURCOD, VALOR, DATA, DATAFIM,"
      " DESCRICAO) VALUES (8506, 70, 8, 1, '2001', 0, -50.00, '2006-09-25', '2006-09-25', 'Estorno de dedução')");
  EXPECT_EQ(Simples(*Apurar("01/09/2006", "30/09/2006", 70, "icms"), 0).GetImpostoARecolher(), Reais(120));
  // The balance carried to October (none: 0.00) under RS's default code of the return's item 5.
  EXPECT_EQ(Linhas("SELECT DATA, VALOR, IDLCTOAPURCOD FROM ES02_LCTOAPUR WHERE GERADO = 1 AND IDFILIAL = 70 AND TPLANCAMENTO = 5"
                   " AND IMPOSTO = '2001'"),
            "2006-10-01|0|1\n");

  // The sums of the formulas: a return larger than the month's sales gives 0, not a negative
  // revenue, and a formula of blanks adds nothing (July without 5.101's 28500,00: 6000 + 4000 -
  // 950 = 9050,00).
  Sql("INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO) VALUES (9590, 70, 900, '2006-10-05', 1);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (9590, 9590, 913, 500);"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9590, 70, 900, '2006-10-06', 9);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (9590, 9590, 912, 300);"
      "UPDATE ES02_CFOPCFGUF SET FORMULA = '   ' WHERE IDCFOPCFGUF = 900");
  EXPECT_EQ(set.SomaReceitaBrutaSimplesRS(EncodeDate(2006, 10, 1), EncodeDate(2006, 10, 31), 1), TFracao());  // 300 - 500
  EXPECT_EQ(set.SomaReceitaBrutaSimplesRS(EncodeDate(2006, 7, 1), EncodeDate(2006, 7, 31), 1), TFracao(9050));
  // The deductions likewise: September's export of 100,00 less a return of 40,00 whose CFOP has a
  // deduction formula, 60,00.
  Sql("INSERT INTO ES02_CFOPCFGUF (IDCFOPCFGUF, IDCFOP, UF, TP, FORMULA, INFORMACAO1) VALUES (905, 913, 'RS', 6, 'VLRCONTABIL', '01');"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9591, 70, 900, '2006-09-15', 10);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (9591, 9591, 912, 100);"
      "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, IDPLANO, DATAENTRADA, NUMERO) VALUES (9591, 70, 900, '2006-09-18', 2);"
      "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (9591, 9591, 913, 40)");
  EXPECT_EQ(set.SomaDeducoesReceitaSimplesRS(1), Reais(60));
  // A formula that cannot be read is named with its number (5 the revenue, 6 the deductions) and
  // the first CFOP that has it.
  Sql("UPDATE ES02_CFOPCFGUF SET FORMULA = 'VLRCONTABIL * 0,5' WHERE IDCFOPCFGUF IN (902, 904)");
  EXPECT_CONTEM(Erro<EFormulaCFOP>([&] { set.SomaReceitaBrutaSimplesRS(EncodeDate(2006, 7, 1), EncodeDate(2006, 7, 31), 1); }),
                "Fórmula 5 da CFOP 7.101.000 na UF RS (ES02_CFOPCFGUF)");
  EXPECT_CONTEM(Erro<EFormulaCFOP>([&] { set.SomaDeducoesReceitaSimplesRS(1); }), "Fórmula 6 da CFOP 7.101.000 na UF RS");
}

// Figures that land exactly on a rule's boundary, October 2006 to February 2007 for filial 70
// alone in each month (no revenue in the returns, no ICMS-ST, no other establishment's revenue):
//   Oct (UPF 10,4297): sales 62578,20 = 6000 x 10,4297 exactly, so n = 6000 whole UPF; bracket 4
//        %, 1200,00: d = 1200 / 10,4297 = 115,056... -> 115,06, t = 0,04 x 6000 - 115,06 = 124,94,
//        tax 124,94 x 10,4297 = 1303,086718 -> 1303,09 (one UPF short, 5999, would give 1302,67).
//   Nov (UPF 10,06 from November): sales 17520,00: n = 1741 (1741 x 10,06 = 17514,46), d = 300 /
//        10,06 = 29,821... -> 29,82, t = 0,02 x 1741 - 29,82 = 5,00, tax 5,00 x 10,06 = 50,30:
//        exactly 5 UPF, which is not below 5 UPF: paid in November, nothing carried.
//   Dec: sales 10060,00 = 1000 UPF exactly, in a first bracket of 2,1245 % less 0,00: the rate
//        0,021245 to five decimals, halves to even, is 0,02124, t = 21,24, tax 21,24 x 10,06 =
//        213,6744 -> 213,67 (0,021245 kept whole would give 213,72, halves up 213,78).
//   Jan 2007: 179,91 as in the test of the dialog.
//   Feb 2007 (UPF 10,7214): sales 28405,00: n = 2649 (2649 x 10,7214 = 28400,9886), d = 300 /
//        10,7214 = 27,981... -> 27,98, t = 52,98 - 27,98 = 25,00, tax 25,00 x 10,7214 = 268,035:
//        a half cent, rounded up to 268,04.
TEST_F(SimplesRS, ContasNoLimiteDasRegrasSaoExatas) {
  Sql("INSERT INTO HS_UPF (UF, DATAINICIO, VALOR) VALUES ('RS', '2006-11-01', 10.06);"
      "UPDATE TR04_TABDETALHE SET ALIQUOTA = 2.1245 WHERE IDTABDETALHE = 900;"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9540, 70, 900, '2006-10-10', 40),"
      " (9541, 70, 900, '2006-11-10', 41), (9542, 70, 900, '2007-02-10', 42), (9543, 70, 900, '2006-12-10', 43);"
      "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL) VALUES (9540, 9540, 910, 62578.20),"
      " (9541, 9541, 910, 17520.00), (9542, 9542, 910, 28405.00), (9543, 9543, 910, 10060.00);"
      "INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES, TIPO, DIAINICIO, DIAFIM) VALUES (9545, 70, 2007, 1, 0, 0, 0);"
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (9545, 'D0', '08', '', '9000')");
  auto e = Apurar("01/10/2006", "28/02/2007", 70, "icms");
  EXPECT_EQ(Linhas("SELECT INICIO, printf('%.2f', VLRIMPOSTO) FROM TR04_IMPOSTO WHERE IDFILIAL = 70 AND IMPOSTO = '2001'"
                   " ORDER BY INICIO"),
            "2006-10-01|1303.09\n2006-11-01|50.30\n2006-12-01|213.67\n2007-01-01|179.91\n2007-02-01|268.04\n");
  EXPECT_EQ(Postergados(70), "2006-11-01|0.00|20\n2006-12-01|0.00|20\n2007-01-01|0.00|20\n2007-02-01|0.00|20\n"
                             "2007-03-01|0.00|20\n");
  EXPECT_EQ(Simples(*e, 0).GetDeducao(), Reais(115.06));
  // February, without a return of its own, proposes January's, of a single row (expenses 9000,00).
  EXPECT_EQ(Simples(*e, 4).GetDadosAux().Despesas, Reais(9000));

  // The rule on its own: 1 UPF below the boundary is small, the boundary is not.
  const Currency upf = Reais(10.06);
  EXPECT_TRUE(TResumoSimplesNovoRS::Pequeno(Reais(50.29), upf));
  EXPECT_FALSE(TResumoSimplesNovoRS::Pequeno(Reais(50.30), upf));
  EXPECT_FALSE(TResumoSimplesNovoRS::Pequeno(Reais(1), Currency()));  // no UPF: nothing is postponed
}
