// The dialect adapter, the two query components, and every SQL text of the settlement run against
// the demo database as SQLite sees it.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "utilitarios.h"
#include "apuracao/sqlapuracao.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/bloqueio.h"
#include "host/base/formatacao.h"
#include "regimes/simples/sqlsimples.h"
#include "regimes/sqlregimes.h"
#include "regimes/subtrib/sqlsubtrib.h"

TEST(AdaptadorSQL, ReescreveOQueOSQLiteNaoConhece) {
  EXPECT_EQ(AdaptarSQL("SELECT FIRST 1 * FROM T WHERE UF = 'SP'"), "SELECT * FROM T WHERE UF = 'SP' LIMIT 1");
  EXPECT_EQ(AdaptarSQL("SELECT SUBSTRING(CFOP.CFOP FROM 1 FOR 5) AS CFOP FROM X"), "SELECT substr(CFOP.CFOP, 1, 5) AS CFOP FROM X");
  EXPECT_EQ(AdaptarSQL("ON (DES.CFOP STARTING WITH SUBSTRING(C.CFOP FROM 1 FOR 5)||'.000')"),
            "ON ((DES.CFOP >= (substr(C.CFOP, 1, 5)||'.000') AND DES.CFOP < ((substr(C.CFOP, 1, 5)||'.000') || char(1114111))"
            " AND substr(DES.CFOP, 1, length(substr(C.CFOP, 1, 5)||'.000')) = (substr(C.CFOP, 1, 5)||'.000')))");
  EXPECT_EQ(AdaptarSQL("WHERE A STARTING WITH 'x' AND B = 1"),
            "WHERE (A >= ('x') AND A < (('x') || char(1114111)) AND substr(A, 1, length('x')) = ('x')) AND B = 1");
  // keywords inside literals are left alone
  EXPECT_EQ(AdaptarSQL("SELECT 'FIRST 2 STARTING WITH' FROM T"), "SELECT 'FIRST 2 STARTING WITH' FROM T");
  EXPECT_EQ(AdaptarSQL("SELECT CAST(X AS VARCHAR(30)) FROM T"), "SELECT CAST(X AS VARCHAR(30)) FROM T");
  EXPECT_THROW(AdaptarSQL("SELECT SUBSTRING(X FROM 1 FOR 2 FROM T"), std::invalid_argument);
}

TEST(AdaptadorSQL, CastDeTextoMesDiaAnoParaData) {
  auto c = TQDConnection::CriarEmMemoria();
  auto valor = [&](const std::string& expr) {
    banco::TComando st(c->Db(), AdaptarSQL("SELECT " + expr));
    st.executeStep();
    return st.getColumn(0).isNull() ? std::string("NULL") : st.getColumn(0).getString();
  };
  EXPECT_EQ(valor("CAST('12/31/2025' AS DATE)"), "2025-12-31");
  EXPECT_EQ(valor("CAST('lixo' AS DATE)"), "NULL");
  EXPECT_EQ(valor("CAST('01/15/2026' AS DATE) BETWEEN '2026-01-01' AND '2026-01-31'"), "1");
}

class Consultas : public AmbienteTeste {};

TEST_F(Consultas, ConsultaLeParaFrentePorNomeDeCampo) {
  TQDSQLQuery q(*conexao_);
  q.SetSQL("SELECT IDFILIAL, nome AS Nome, 1.5 AS R, NULL AS N FROM SC00_FILIAL WHERE IDEMPRESA = 1 ORDER BY IDFILIAL");
  q.Open();
  ASSERT_FALSE(q.Eof());
  EXPECT_EQ(q.FieldByName("idfilial").AsLargeInt(), 1);
  EXPECT_EQ(q.FieldByName("NOME").AsString(), "Comercial Exemplo Ltda");
  EXPECT_EQ(q.FieldByName("R").AsCurrency().Raw(), 15000);
  EXPECT_TRUE(q.FieldByName("N").IsNull());
  EXPECT_EQ(q.FieldByName("N").AsDateTime(), 0.0);
  EXPECT_THROW(q.FieldByName("INEXISTENTE"), EBancoDados);
  q.Next();
  q.Next();
  EXPECT_TRUE(q.Eof());
  EXPECT_THROW(q.FieldByName("NOME"), EBancoDados);

  TQDSQLQuery ruim(*conexao_);
  ruim.SetSQL("SELECT * FROM TABELA_QUE_NAO_EXISTE");
  try {
    ruim.Open();
    FAIL();
  } catch (const EBancoDados& e) {
    EXPECT_NE(std::string(e.what()).find("TABELA_QUE_NAO_EXISTE"), std::string::npos);
  }
}

TEST_F(Consultas, ConjuntoEmMemoriaFiltraELocaliza) {
  TQDClientDataSet ds;
  ds.DefinirCampos({"CODIGO", "MARCADO", "UF"});
  ds.AdicionarLinha({std::string("2001"), int64_t{0}, std::string("SP")});
  ds.AdicionarLinha({std::string("4019"), int64_t{1}, std::string("RJ")});
  ds.AdicionarLinha({std::string("4011"), int64_t{1}, std::string("MG")});
  ds.SetFilter("MARCADO = 1");
  ds.SetFiltered(true);
  EXPECT_EQ(ds.RecordCount(), 2);
  EXPECT_FALSE(ds.Locate("CODIGO", {std::string("20")}, true));  // filtered out
  EXPECT_TRUE(ds.Locate("CODIGO", {std::string("40")}, true));
  EXPECT_EQ(ds.FieldByName("UF").AsString(), "RJ");
  EXPECT_FALSE(ds.Locate("CODIGO", {std::string("40")}, false));  // exact needs the whole key
  EXPECT_TRUE(ds.Locate("CODIGO;UF", {std::string("4011"), std::string("MG")}));
  EXPECT_FALSE(ds.Locate("CODIGO;UF", {std::string("4011"), std::string("RJ")}));
  ds.SetFiltered(false);
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_TRUE(ds.Locate("CODIGO", {std::string("20")}, true));
  ds.SetFilter("MARCADO = 1 AND UF = 'MG'");
  ds.SetFiltered(true);
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_THROW(ds.SetFilter("MARCADO ~ 1"), EBancoDados);
  EXPECT_THROW(ds.SetFilter("INEXISTENTE = 1"), EBancoDados);
  EXPECT_THROW(ds.Locate("CODIGO", {}), std::invalid_argument);
}

TEST_F(Consultas, ConjuntoAbertoPeloProvedorLeOBanco) {
  TQDClientDataSet ds;
  ds.SetCommandText("SELECT TPLANCAMENTO, VALOR FROM ES02_LCTOAPUR WHERE IDFILIAL = 1 ORDER BY IDLCTOAPUR");
  EXPECT_THROW(ds.Open(), EBancoDados);  // no provider yet
  GUtilSistema->CreateProviderAtRunTime(ds);
  ds.SetFilter("TPLANCAMENTO = 13");
  ds.Open();
  ds.SetFiltered(true);
  EXPECT_EQ(ds.RecordCount(), 1);
}

namespace {

struct Caso { const char* nome; std::string sql; bool temLinhas; };

// Every settlement SQL text, filled as the settlement fills it, with whether the demo office has
// rows for it.
std::vector<Caso> CasosDaApuracao() {
  const std::string f = "1", ini = "'2026-01-01'", fim = "'2026-01-31'", z = "000";
  const std::string jul = "'2006-07-01'", fimJul = "'2006-07-31'";
  return {
      {"TemCodigosGIA SP", Format(kSqlTemCodigosGIA, {"'SP'"}), false},
      {"TemCodigosGIA RS", Format(kSqlTemCodigosGIA, {"'RS'"}), true},
      {"Lancamentos", Format(kSqlLancamentos, {" SC00_FILIAL.IDFILIAL IN (1,2)", "2001", "1,2,15,4,6,5,8,10", ini, fim, ""}), true},
      {"RegEntradaSufixo", Format(kSqlRegEntradaSufixo, {f, ini, fim}), true},
      {"RegEntradaAgrupado", Format(kSqlRegEntradaAgrupado, {z, f, ini, fim}), true},
      {"RegSaidaSufixo", Format(kSqlRegSaidaSufixo, {f, ini, fim}), true},
      {"RegSaidaAgrupado", Format(kSqlRegSaidaAgrupado, {z, f, ini, fim}), true},
      {"GuiasNormal", Format(kSqlGuiasNormal, {"1", f, "'2001'", ini, fim, "'SP'"}), false},
      {"DebitosEspecificos", Format(kSqlDebitosEspecificos, {f, "'2001'", ini, fim}), true},
      {"Observacoes", Format(kSqlObservacoes, {f, ini, fim, "'2001'"}), true},
      {"RegEntradaSufixoST", Format(kSqlRegEntradaSufixoST, {f, "'2026-02-01'", "'2026-02-28'", "'RJ'"}), true},
      {"RegEntradaAgrupadoST", Format(kSqlRegEntradaAgrupadoST, {z, f, "'2026-02-01'", "'2026-02-28'", "'RJ'"}), true},
      {"RegSaidaSufixoST", Format(kSqlRegSaidaSufixoST, {f, ini, fim, "'MG'"}), true},
      {"RegSaidaAgrupadoST", Format(kSqlRegSaidaAgrupadoST, {z, f, ini, fim, "'MG'"}), true},
      {"GuiasST", Format(kSqlGuiasRecolhidas, {"1", f, "'4019'", ini, fim, "'RJ'"}), false},
      {"GNRE", Format(kSqlGNRE, {f, ini, fim, "'4011'"}), true},
      {"GiaDetABC", Format(kSqlGiaDetABC, {"1"}), false},
      {"CreditosNaoCompensaveis", Format(kSqlCreditosNaoCompensaveis, {"3", ini, fim, "'2001'"}), true},
      {"GuiasAplicacao", Format(kSqlGuiasAplicacao, {"2", "3", "'2001'", ini, fim, "'RS'"}), false},
      {"RegEntradaOutrosEstabST", Format(kSqlRegEntradaOutrosEstabST, {"2", "3", ini, fim, "'RS'"}), false},
      {"RegSaidaOutrosEstabST", Format(kSqlRegSaidaOutrosEstabST, {"2", "3", ini, fim, "'RS'"}), true},
      {"FaixaSimples", Format(kSqlFaixaSimples, {"'2301'", "'2007-01-01'", "'2007-01-31'", "46000", "46000"}), true},
      {"ReceitaColigadas", Format(kSqlReceitaColigadas, {"61", "'2007-01-01'", "'2007-01-31'"}), true},
      {"ValorProgramaCresce", Format(kSqlValorProgramaCresce, {"300201", "'2007-01-01'", "'2007-01-31'", "3"}), true},
      // the RS small business, company 7, July 2006
      {"GiaDetD0", Format(kSqlGiaDetD0, {"906"}), true},
      {"GiaDetValor", Format(kSqlGiaDetValor, {"906", "D0", "RECBRS"}), true},
      {"ReceitaBrutaSaidas", Format(kSqlReceitaBrutaSaidas, {"IDEMPRESA = 7 AND CA06_MUNICIPIO.UF = 'RS'", jul, fimJul}), true},
      {"ReceitaBrutaEntradas", Format(kSqlReceitaBrutaEntradas, {"IDFILIAL = 70", jul, fimJul}), true},
      {"DeducoesSaidas", Format(kSqlDeducoesSaidas, {"IDEMPRESA = 7", jul, fimJul}), true},
      {"DeducoesEntradas", Format(kSqlDeducoesEntradas, {"IDFILIAL = 70", jul, fimJul}), false},
      {"ReceitaServicos", Format(kSqlReceitaServicos, {"IDFILIAL = 70 ", jul, fimJul}), true},
      {"FiliaisDaEmpresaNaUF", Format(kSqlFiliaisDaEmpresaNaUF, {"7", "'RS'"}), true},
      {"FiliaisDaEmpresa", Format(kSqlFiliaisDaEmpresa, {"7"}), true},
      {"FilialCentralizadora", Format(kSqlFilialCentralizadora, {"7", jul, fimJul}), true},
      {"FaixaAliquota", Format(kSqlFaixaAliquota, {jul, fimJul, "51680"}), true},
      {"InicioAtividade", Format(kSqlInicioAtividade, {"7"}), true},
      {"Enquadramentos", Format(kSqlEnquadramentos, {jul}), true},
      {"ComposicaoReceita", Format(kSqlComposicaoReceita, {"5", "70", jul, fimJul}), true},
      {"ComposicaoDeducoes", Format(kSqlComposicaoDeducoes, {"6", "70", jul, fimJul}), true},
      {"AcordoAnterior", Format(kSqlAcordoAnterior, {"8", "80", "'1449'", fim}), false},
      {"GuiasClasseVcto", Format(kSqlGuiasClasseVcto, {"8", "80", "'2001'", ini, fim, "'SC'"}), false},
      {"IcmsAcumuladoSemestre", Format(kSqlIcmsAcumuladoSemestre, {"81", ini, "'2026-05-31'"}), true},
      {"ParcelasEstimadas", Format(kSqlParcelasEstimadas, {"81", ini, "'2026-05-31'"}), true},
      {"DebitosEspecificosSTSC", Format(kSqlDebitosEspecificosSTSC, {"80", "'4024'", ini, fim}), true},
      {"DeducaoReceitaTributavel", Format(kSqlDeducaoReceitaTributavel, {"800", "'27'", "'DEDRECTRIB'"}), true},
      {"FaixaSimplesSC", Format(kSqlFaixaSimplesSC, {"'2101'", "'2007-01-01'", "'2007-01-31'", "52000", "52000"}), true},
  };
}

// Rows of a text as the settlement reads them, one line each (values as text, '|' between).
std::string LinhasDe(TQDConnection& c, const std::string& sql) {
  banco::TComando q(c.Db(), AdaptarSQL(sql));
  std::string r;
  while (q.executeStep()) {
    for (int i = 0; i < q.getColumnCount(); ++i)
      r += (i ? "|" : "") + (q.getColumn(i).isNull() ? std::string("NULL") : q.getColumn(i).getString());
    r += "\n";
  }
  return r;
}

}  // namespace

// ... and returns what the demo office holds for January 2026.
TEST_F(Consultas, TodosOsTextosSQLDaApuracaoRodamNoSQLite) {
  for (const auto& c : CasosDaApuracao()) {
    SCOPED_TRACE(c.nome);
    TQDSQLQuery q(*conexao_);
    q.SetSQL(c.sql);
    ASSERT_NO_THROW(q.Open());
    EXPECT_EQ(!q.Eof(), c.temLinhas);
  }
}

TEST_F(Consultas, RegistroAgrupadoUsaADescricaoDoSufixoZero) {
  Sql("INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (901, '5.911.001', 'BONIFICAÇÃO A'),"
      " (902, '5.911.002', 'BONIFICAÇÃO B'), (903, '5.911.000', 'REMESSA EM BONIFICAÇÃO');"
      "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, IDPLANO, DATAEMISSAO, NUMERO) VALUES (9001, 1, (SELECT MIN(IDPLANO) FROM CO01_PLANO), '2026-06-10', 1);"
      "INSERT INTO ES02_SAIDADET (IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, ICMS, ISENTASICMS, NTICMS, OUTRASICMS)"
      " VALUES (9001, 901, 100, 100, 18, 1, 2, 0), (9001, 902, 50.5, 0, 0, 0, 0, 50.5);");
  auto linhas = [&](const std::string& sql) { return Linhas(AdaptarSQL(sql)); };
  EXPECT_EQ(linhas(Format(kSqlRegSaidaAgrupado, {"000", "1", "'2026-06-01'", "'2026-06-30'"})),
            "5.911|REMESSA EM BONIFICAÇÃO|150.5|100|18|3|50.5\n");
  EXPECT_EQ(linhas(Format(kSqlRegSaidaSufixo, {"1", "'2026-06-01'", "'2026-06-30'"})),
            "5.911.001|BONIFICAÇÃO A|100|100|18|3|0\n5.911.002|BONIFICAÇÃO B|50.5|0|0|0|50.5\n");
}

// The office server answers every settlement text with the rows the SQLite file gives, row for
// row and in the same order, on the same demo office.
TEST(ServidorDoEscritorio, TodosOsTextosDaApuracaoDaoAsMesmasLinhasNosDoisMotores) {
  const std::string servidor = ServidorDeTeste();
  if (servidor.empty()) GTEST_SKIP() << "sem servidor (scripts/pg-teste.sh define LIVRO_ICMS_BANCO_TESTE)";
  auto arquivo = BancoDeTeste("");
  auto pg = BancoDeTeste(servidor);
  arquivo->CarregarDemo();
  pg->CarregarDemo();
  ASSERT_EQ(pg->Db().Dialeto(), banco::TDialeto::PostgreSQL);
  for (const auto& c : CasosDaApuracao()) {
    SCOPED_TRACE(c.nome);
    const std::string esperado = LinhasDe(*arquivo, c.sql);
    EXPECT_EQ(!esperado.empty(), c.temLinhas);
    // A text that only asks whether a row exists gets whichever row each engine finds first.
    if (c.sql.find("FIRST 1 *") != std::string::npos) EXPECT_EQ(LinhasDe(*pg, c.sql).empty(), esperado.empty());
    else EXPECT_EQ(LinhasDe(*pg, c.sql), esperado);
  }
}

// The server's dialect: what SQLite accepts and PostgreSQL does not, rewritten; literals untouched.
TEST(ServidorDoEscritorio, DialetoReescritoParaOServidor) {
  EXPECT_EQ(ParaPostgreSQL("SELECT X FROM T WHERE A = ?1 AND B = ? AND C = '?'", true),
            "SELECT X FROM T WHERE A = $1 AND B = $2 AND C = '?'");
  EXPECT_EQ(ParaPostgreSQL("BEGIN IMMEDIATE", false), "BEGIN ");
  EXPECT_EQ(ParaPostgreSQL("SELECT A, B, SUM(C) FROM T GROUP BY 1,2 ORDER BY 1 LIMIT 5", false),
            "SELECT A, B, SUM(C) FROM T GROUP BY 1,2 ORDER BY 1 NULLS FIRST, 2 NULLS FIRST LIMIT 5");
  EXPECT_EQ(ParaPostgreSQL("FROM A CROSS JOIN B ON (B.X = A.X) CROSS JOIN C", false), "FROM A INNER JOIN B ON (B.X = A.X) CROSS JOIN C");
  EXPECT_EQ(ParaPostgreSQL("WHERE A IS NOT ?1 AND B IS ? AND C IS NOT NULL", true),
            "WHERE A IS DISTINCT FROM  $1 AND B IS NOT DISTINCT FROM $2 AND C IS NOT NULL");
  EXPECT_EQ(ParaPostgreSQL("SELECT 1 WHERE C GLOB '[0-9].[0-9]*' AND D NOT GLOB '*[^0-9]*'", false),
            "SELECT 1 WHERE C ~ '^[0-9]\\.[0-9].*$' AND D  !~ '^.*[^0-9].*$'");
  EXPECT_EQ(ParaPostgreSQL("SELECT max(A, 1), MAX(B), char(9) FROM T", false), "SELECT GREATEST(A, 1), MAX(B), chr(9) FROM T");
  EXPECT_EQ(ParaPostgreSQL("SELECT GROUP_CONCAT(A || '|' || B), group_concat(C, ', ') FROM T", false),
            "SELECT string_agg(CAST((A || '|' || B) AS TEXT), ','), string_agg(CAST((C) AS TEXT), ', ') FROM T");
  EXPECT_EQ(ParaPostgreSQL("SELECT A FROM (SELECT 1 AS A) ORDER BY A, B DESC LIMIT 1", false),
            "SELECT A FROM (SELECT 1 AS A) AS livro_sub1 ORDER BY A NULLS FIRST, B DESC NULLS LAST LIMIT 1");
  // A NUMERIC keeps every decimal given, as SQLite: a rate of six is not rounded to the column's four.
  EXPECT_EQ(ParaPostgreSQL("CREATE TABLE T (ID INTEGER PRIMARY KEY, D DATE NOT NULL, C VARCHAR(2) REFERENCES X (Y), N INTEGER,"
                           " V NUMERIC(18,4) NOT NULL)", false),
            "CREATE TABLE T (ID BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, D VARCHAR COLLATE \"C\" NOT NULL,"
            " C VARCHAR COLLATE \"C\" , N BIGINT, V NUMERIC NOT NULL);\nCREATE TRIGGER T_ID AFTER INSERT ON T REFERENCING NEW TABLE AS NOVAS"
            " FOR EACH STATEMENT EXECUTE FUNCTION livro_seguir_id('id')");
}

// Two accountants on one server: the second run of an establishment is refused naming who holds
// it, another establishment does not wait, and the establishment is free again when the first ends.
TEST(ServidorDoEscritorio, UmaApuracaoPorEstabelecimentoNoEscritorio) {
  const std::string servidor = ServidorDeTeste();
  if (servidor.empty()) GTEST_SKIP() << "sem servidor (scripts/pg-teste.sh define LIVRO_ICMS_BANCO_TESTE)";
  const std::string uri = EsquemaNovo(servidor);
  auto primeiro = TQDConnection::Criar(uri);
  auto segundo = TQDConnection::Abrir(uri);
  {
    banco::TBloqueioEstabelecimento filial1(*primeiro, 1);
    try {
      banco::TBloqueioEstabelecimento outro(*segundo, 1);
      FAIL() << "o mesmo estabelecimento foi reservado duas vezes";
    } catch (const EBancoOcupado& e) {
      EXPECT_CONTEM(std::string(e.what()), "IDFILIAL 1 está sendo apurado por livro (livro-icms ");
    }
    EXPECT_NO_THROW(banco::TBloqueioEstabelecimento filial2(*segundo, 2));
  }
  EXPECT_NO_THROW(banco::TBloqueioEstabelecimento depois(*segundo, 1));
}
