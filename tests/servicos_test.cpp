// The host services the state regimes call, on the demo office: GIA headers and detail rows, CFOP
// formula sums by scope and factor with their error messages, the formula evaluator, rounding of
// real numbers, dated establishment configuration and bookkeeping codes, and opening a package.
#include <gtest/gtest.h>

#include "ambiente.h"
#include "utilitarios.h"
#include "host/banco/integridade.h"
#include "host/base/texto.h"
#include "host/servicos/formula.h"
#include "host/servicos/selecaoimpostos.h"
#include "host/servicos/utilescrita.h"

namespace {


TDateTime D(int a, int m, int d) { return EncodeDate(a, m, d); }
// A braced pair of texts would also make a std::string (from an iterator range): name the type.
using Lista = std::vector<std::string>;

}  // namespace


class Servicos : public AmbienteTeste {};

TEST_F(Servicos, GiaReaproveitaCabecalhoESubstituiLinhasSemDuplicar) {
  const int32_t jan = GFuncoes->GetIDGia(1, 2026, 1, 0, 0, 0);
  EXPECT_EQ(GFuncoes->GetIDGia(1, 2026, 1, 0, 0, 0), jan);
  EXPECT_EQ(GFuncoes->GetIDGia(1, 2026, 1, 0, 1, 31), jan);  // days 1 to 31 are the whole month
  EXPECT_NE(GFuncoes->GetIDGia(1, 2026, 1, 0, 1, 15), jan);
  EXPECT_NE(GFuncoes->GetIDGia(1, 2026, 1, 1, 0, 0), jan);  // another kind
  EXPECT_NE(GFuncoes->GetIDGia(2, 2026, 1, 0, 0, 0), jan);
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_GIA WHERE IDFILIAL IN (1, 2)"), "4");
  EXPECT_THROW(GFuncoes->GetIDGia(1, 2026, 13, 0, 0, 0), std::invalid_argument);
  EXPECT_THROW(GFuncoes->GetIDGia(1, 2026, 2, 0, 1, 30), std::invalid_argument);  // February has 28 days
  EXPECT_THROW(GFuncoes->GetIDGia(1, 2026, 1, 0, 0, 15), std::invalid_argument);  // 0 is only the whole month
  EXPECT_NE(GFuncoes->GetIDGia(1, 2026, 1, 0, 16, 31), jan);  // a part may end on the month's last day
  EXPECT_NE(GFuncoes->GetIDGia(1, 2026, 1, 0, 5, 5), jan);    // or be one day
  // The id goes into a 32-bit field: after 2147483646 comes 2147483647, still one; 2147483648 is
  // refused and not kept.
  Sql("INSERT INTO ES02_GIA (IDGIA, IDFILIAL, ANO, MES, TIPO, DIAINICIO, DIAFIM) VALUES (2147483646, 2, 2026, 2, 0, 0, 0)");
  EXPECT_EQ(GFuncoes->GetIDGia(2, 2026, 3, 0, 0, 0), 2147483647);
  EXPECT_CONTEM(Erro<EBancoDados>([] { GFuncoes->GetIDGia(2, 2026, 4, 0, 0, 0); }),
                "Id de ES02_GIA além do limite de 32 bits: 2147483648");
  EXPECT_EQ(Valor("SELECT COUNT(*) FROM ES02_GIA WHERE IDGIA = 2147483648"), "0");

  GFuncoes->GravarGiaDet(jan, "ABC", "31", "31", "1000.5");
  GFuncoes->GravarGiaDet(jan, "ABC", "32", "", "7");
  GFuncoes->GravarGiaDet(jan, "X08", "0131", Lista{"VCTO", "ICMSPROPRIO"}, Lista{"20/02/2026", "10.5"});
  const std::string id31 = Valor("SELECT IDGIADET FROM ES02_GIADET WHERE CODIGO = '31'");
  // the second run of the same month: contents replaced, ids kept, nothing added
  GFuncoes->GravarGiaDet(jan, "ABC", "31", "31", "2000.25");
  GFuncoes->GravarGiaDet(jan, "X08", "0131", Lista{"VCTO", "ICMSPROPRIO"}, Lista{"", ""});
  EXPECT_THROW(GFuncoes->GravarGiaDet(jan, "X09", "0131", Lista{"VCTO", "ICMSPROPRIO"}, Lista{"20/02/2026"}),
               std::invalid_argument);
  EXPECT_EQ(Erro<std::invalid_argument>([] { GFuncoes->GravarGiaDet(999, "ABC", "31", "31", "1"); }),
            "GIA 999 não encontrada (ES02_GIA).");
  EXPECT_EQ(Erro<std::invalid_argument>([] { GFuncoes->GravarGiaDet(999, "X08", "0131", Lista{"VCTO"}, Lista{"1"}); }),
            "GIA 999 não encontrada (ES02_GIA).");
  EXPECT_EQ(Linhas("SELECT IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO FROM ES02_GIADET WHERE IDGIA = " +
                   std::to_string(jan) + " ORDER BY 2, 3, 4"),
            std::to_string(jan) + "|ABC|31|31|2000.25\n" + std::to_string(jan) + "|ABC|32||7\n" +
                std::to_string(jan) + "|X08|0131|ICMSPROPRIO|\n" + std::to_string(jan) + "|X08|0131|VCTO|\n");
  EXPECT_EQ(Valor("SELECT IDGIADET FROM ES02_GIADET WHERE CODIGO = '31'"), id31);
}

// June 2025 holds no demo document. Filial 3 is company 1's in RJ, filial 4 another company's in
// SP. Formulas of SP (formula 1 unless said):
//   5.102.000 "VLRCONTABIL - IPI", formula 2 "(VLRCONTABIL + DIFERIDO) / 4"; in RJ "VLRCONTABIL * 1000"
//   6.102.000 "BCICMS * 0.5"     1.202.000 "VLRCONTABIL"     5.102.001 blanks     5.102.002 NULL
//   5.949.000 has no row, so its items add nothing.
class FormulasCfop : public Servicos {
 protected:
  void SetUp() override {
    Servicos::SetUp();
    Sql("INSERT INTO SC00_EMPRESA (IDEMPRESA, EMPRESA, NOME) VALUES (9, 9, 'Outra Empresa Ltda');"
        "INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, IDMUNICIPIO) VALUES"
        " (90, 1, 3, 'Comercial Exemplo Ltda', 4), (91, 9, 1, 'Outra Empresa Ltda', 1);"
        "INSERT INTO ES02_CFOP (IDCFOP, CFOP, DESCRICAO) VALUES (51, '6.933.000', 'SERVIÇO ISSQN');"
        "INSERT INTO ES02_CFOPCFGUF (IDCFOP, UF, TP, FORMULA) VALUES (10, 'SP', 1, 'VLRCONTABIL - IPI'),"
        " (17, 'SP', 1, 'BCICMS * 0.5'), (3, 'SP', 1, 'VLRCONTABIL'), (11, 'SP', 1, '   '), (12, 'SP', 1, NULL),"
        " (10, 'SP', 2, '(VLRCONTABIL + DIFERIDO) / 4'), (10, 'RJ', 1, 'VLRCONTABIL * 1000');"
        "INSERT INTO ES02_SAIDA (IDSAIDA, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (9101, 1, '2025-06-01', 501),"
        " (9102, 1, '2025-07-01', 502), (9103, 2, '2025-06-15', 503), (9104, 90, '2025-06-20', 504),"
        " (9105, 91, '2025-06-20', 505);"
        "INSERT INTO ES02_SAIDADET (IDSAIDADET, IDSAIDA, IDCFOP, VLRCONTABIL, BCICMS, IPI, DIFERIDO) VALUES"
        " (91011, 9101, 10, 1000, 0, 100, 0), (91012, 9101, 17, 300, 300, 0, 0), (91013, 9101, 11, 5000, 0, 0, 0),"
        " (91014, 9101, 12, 4000, 0, 0, 0), (91015, 9101, 16, 777, 0, 0, 0), (91016, 9101, 20, 123.45, 0, 0, 0),"
        " (91017, 9101, 51, 0.55, 0, 0, 0), (91021, 9102, 10, 99999, 0, 0, 0), (91031, 9103, 10, 400, 0, 0, 40),"
        " (91032, 9103, 20, 10, 0, 0, 0), (91041, 9104, 10, 50, 0, 0, 0), (91051, 9105, 10, 7000, 0, 0, 0);"
        "INSERT INTO ES02_ENTRADA (IDENTRADA, IDFILIAL, DATAENTRADA, DATAEMISSAO, NUMERO) VALUES"
        " (9201, 1, '2025-06-30', '2025-05-28', 601), (9202, 1, '2025-07-02', '2025-06-15', 602),"
        " (9203, 2, '2025-06-10', '2025-06-10', 603);"
        "INSERT INTO ES02_ENTRADADET (IDENTRADADET, IDENTRADA, IDCFOP, VLRCONTABIL) VALUES (92011, 9201, 3, 200),"
        " (92021, 9202, 3, 888), (92031, 9203, 3, 70);"
        "INSERT INTO ES02_SERVICO (IDSERVICO, IDFILIAL, DATAEMISSAO, NUMERO) VALUES (9301, 1, '2025-06-10', 71),"
        " (9302, 1, '2025-07-01', 72), (9303, 2, '2025-06-10', 73);"
        "INSERT INTO ES02_SERVICODET (IDSERVICODET, IDSERVICO, VLRCONTABIL) VALUES (93011, 9301, 200),"
        " (93012, 9301, 50.25), (93021, 9302, 999), (93031, 9303, 999);");
  }
  Currency Soma(int64_t filial, int32_t formula, TTipoSomaReceita escopo, int32_t fe, int32_t fs) {
    return GFuncoes->GetSomaReceitaFormulaCFOPUF(GFuncoes->GetDadosFilial(filial), formula, D(2025, 6, 1),
                                                 D(2025, 6, 30), escopo, fe, fs);
  }
};

TEST_F(FormulasCfop, SomamPorEscopoEFatorComAsFormulasDaUFDoEstabelecimento) {
  // Formula 1 per item: filial 1 exits 1000 - 100 = 900, 300 * 0.5 = 150, blank and NULL 0 (1050),
  // entries by DATAENTRADA 200 (the entry of 2 July issued in June is out; so is the exit of 1 July);
  // filial 2 exits 400, entries 70; filial 90 exits 50 (SP's formula: the caller's state).
  EXPECT_EQ(Soma(1, 1, 1, -1, 1), Currency::FromInt(850));                    // 1050 - 200
  EXPECT_EQ(Soma(1, 1, 2, -1, 1), Currency::FromInt(1180));                   // 1050 + 400 - 200 - 70
  EXPECT_EQ(Soma(1, 1, 0, -1, 1), Currency::FromInt(1230));                   // 1050 + 400 + 50 - 200 - 70
  EXPECT_EQ(Soma(1, 1, 0, 1, 0), Currency::FromInt(270));                     // entries only: 200 + 70
  EXPECT_EQ(Soma(1, 1, 0, 0, -1), Currency::FromInt(-1500));                  // -(1050 + 400 + 50)
  EXPECT_EQ(Soma(1, 2, 1, -1, 1), Currency::FromInt(250));                    // (1000 + 0) / 4
  EXPECT_EQ(Soma(1, 2, 0, 0, 1), Currency::FromRaw(3725000));                 // 250 + (400 + 40) / 4 + 50 / 4
  EXPECT_EQ(Soma(90, 1, 0, 0, 1), Currency::FromInt(1450000));                 // RJ: (1000 + 400 + 50) * 1000
  // A product exactly on a half of the fourth decimal: 0.35 x 0.025 = 0.00875 -> 0.0088 (the
  // parser's double is 0.0087499999...).
  Sql("INSERT INTO ES02_CFOPCFGUF (IDCFOP, UF, TP, FORMULA) VALUES (10, 'SP', 3, '0.35 * 0.025')");
  EXPECT_EQ(Soma(1, 3, 1, 0, 1), Currency::FromRaw(88));
  const TFilial f1 = GFuncoes->GetDadosFilial(1);
  // the establishment's own documents on both sides: filial 2's entry is not one
  EXPECT_EQ(GFuncoes->CalcularValorFormulaCFOP(f1, 1, D(2025, 6, 1), D(2025, 6, 30)), TFracao(1250));  // 1050 + 200
  EXPECT_EQ(GFuncoes->CalcularValorFormulaCFOP(f1, 2, D(2025, 6, 1), D(2025, 6, 30)), TFracao(250));
  // services: filial 1's service documents of June, 200 + 50.25; its 5.933 and 6.933
  // exits (123.45 + 0.55) are exits, not service documents
  EXPECT_EQ(GFuncoes->GetSomaReceitaServicos(f1, D(2025, 6, 1), D(2025, 6, 30)), Currency::FromRaw(2502500));
  EXPECT_THROW(Soma(1, 1, 3, 0, 0), std::invalid_argument);  // a bad scope even when no side is read
  EXPECT_THROW(Soma(1, 1, 1, 2, 1), std::invalid_argument);
}

TEST_F(FormulasCfop, FormulaInvalidaNomeiaFormulaCfopEUf) {
  Sql("INSERT INTO ES02_CFOPCFGUF (IDCFOPCFGUF, IDCFOP, UF, TP, FORMULA) VALUES (99, 10, 'SP', 9, '')");
  const std::string prefixo = "Fórmula 9 da CFOP 5.102.000 na UF SP (ES02_CFOPCFGUF): ";
  const std::vector<std::pair<std::string, std::string>> casos = {
      {"VLRCONTABIL * 0,5", "\"VLRCONTABIL * 0,5\" usa vírgula; escreva os decimais com ponto"},
      {"VLRCONTABIL + VLRTOTAL", "\"VLRCONTABIL + VLRTOTAL\" usa o nome desconhecido VLRTOTAL (nomes válidos: "
                                 "VLRCONTABIL, BCICMS, ICMS,"},
      {"VLRCONTABIL = 0", "\"VLRCONTABIL = 0\" usa o caractere \"=\", que as fórmulas não aceitam."},
      // the parser's own functions and constants are no names of a formula
      {"sin(VLRCONTABIL)", "\"sin(VLRCONTABIL)\" tem erro de sintaxe na posição 4 (\"(\")."},
      {"_pi * VLRCONTABIL", "\"_pi * VLRCONTABIL\" usa o nome desconhecido _pi"},
      {"VLRCONTABIL IPI", "\"VLRCONTABIL IPI\" tem erro de sintaxe na posição 13 (\"IPI\")."},
      {"(VLRCONTABIL - IPI", "\"(VLRCONTABIL - IPI\" tem parêntese aberto sem fechar."},
      // item 91011 of filial 1 has DIFERIDO 0; 1000 ^ 400 is beyond a double
      {"VLRCONTABIL / DIFERIDO", "\"VLRCONTABIL / DIFERIDO\" divide por zero, no item 91011 da saída nº 501 de 01/06/2025."},
      // 0.1 + 0.2 - 0.3 is exactly 0 (the parser's double is not): refused on the exact value, for the item too
      {"VLRCONTABIL / (0.1 + 0.2 - 0.3)", "\"VLRCONTABIL / (0.1 + 0.2 - 0.3)\" divide por zero, no item 91011"},
      {"(0.1 + 0.2 - 0.3) ^ -1", "\"(0.1 + 0.2 - 0.3) ^ -1\" divide por zero, no item 91011"},
      // 1000 ^ 60 = 1e180, a double, but no fraction holds it
      {"VLRCONTABIL ^ 60", "\"VLRCONTABIL ^ 60\" tem resultado fora do limite dos valores, no item 91011"},
      {"VLRCONTABIL ^ 400", "\"VLRCONTABIL ^ 400\" tem resultado que não é um número finito, no item 91011"},
  };
  for (const auto& [formula, esperado] : casos) {
    Sql("UPDATE ES02_CFOPCFGUF SET FORMULA = " + texto::QuotedStr(formula) + " WHERE IDCFOPCFGUF = 99");
    EXPECT_CONTEM(Erro<EFormulaCFOP>([&] { Soma(1, 9, 1, 0, 1); }), prefixo + esperado);
  }
  Sql("UPDATE ES02_CFOPCFGUF SET FORMULA = '  ' WHERE IDCFOPCFGUF = 99");
  EXPECT_EQ(Soma(1, 9, 1, 0, 1), Currency());
  Sql("INSERT INTO ES02_CFOPCFGUF (IDCFOP, UF, TP, FORMULA) VALUES (10, 'SP', 1, 'VLRCONTABIL')");
  const std::string repetida = "A CFOP 5.102.000 tem 2 fórmulas 1 para a UF SP em ES02_CFOPCFGUF";
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] { Soma(1, 1, 1, -1, 1); }), repetida);
  EXPECT_CONTEM(Erro<EDadosInvalidos>([&] {
                  GFuncoes->CalcularValorFormulaCFOP(GFuncoes->GetDadosFilial(1), 1, D(2025, 6, 1), D(2025, 6, 30));
                }),
                repetida);
}

TEST(AvaliadorDeFormulas, CompilaUmaVezELeOsValoresDoMomento) {
  TEvMacroFormula ev;
  ev.AddVariable("A", 2);
  EXPECT_EQ(ev.Eval("A * 3"), 6.0);
  ev.AddVariable("A", 5.5);
  EXPECT_EQ(ev.Eval("A * 3"), 16.5);  // the compiled text reads the new value
  EXPECT_EQ(ev.Eval("2 + 3 * A ^ 2 / 11 - -1"), 11.25);  // 2 + 3 * 30.25 / 11 + 1
  EXPECT_EQ(ev.Eval("-A ^ 2"), -30.25);
  EXPECT_EQ(ev.Eval(" \t "), 0.0);
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("A ? 1 : 2"); }), "Fórmula \"A ? 1 : 2\" usa o caractere \"?\", que as fórmulas não aceitam.");
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("÷ 2"); }), "Fórmula \"÷ 2\" usa o caractere \"÷\", que as fórmulas não aceitam.");
  // a division by zero is refused even when what follows would turn it into a finite number
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("1 / (1 / (A - 5.5))"); }), "Fórmula \"1 / (1 / (A - 5.5))\" divide por zero.");
  // The exact value: 47.50 x 0.026 is 1.235 (the parser's 1.2349999...); 0.1 + 0.2 - 0.3 is 0, so
  // dividing by it is refused; powers with whole exponents are exact, others read the double.
  ev.AddVariable("A", Currency::FromRaw(475000));
  EXPECT_EQ(ev.Valor("A * 0.026"), TFracao::De(1235, 1000));
  EXPECT_EQ(ev.Valor("2 ^ 3 ^ 2 - -A ^ -1"), TFracao(512) + TFracao::De(2, 95));
  EXPECT_EQ(ev.Valor("4 ^ 0.5 + 1"), TFracao(3));
  EXPECT_EQ(ev.Valor("A*2+1"), TFracao(96));  // 47.50 x 2 + 1, written without blanks
  // whole exponents up to 64 either way are exact; beyond, the double's decimal: 2^65 =
  // 36893488147419103232, where the doubles are 8192 apart above and 4096 below, reads as
  // 3.6893488147419103e19 (16 digits are 3232 off, more than 2048); 2^-65 reads as
  // 2.710505431213761e-20, 27105054312 x 10^-30 at 30 decimals (the cut 13761 is below a half)
  const TFracao::Inteiro dois64 = TFracao::Inteiro(1) << 64;
  EXPECT_EQ(ev.Valor("2 ^ 64"), TFracao::De(dois64, 1));
  EXPECT_EQ(ev.Valor("2 ^ -64"), TFracao::De(1, dois64));
  EXPECT_EQ(ev.Valor("2 ^ 65"), TFracao(36893488147419103) * TFracao(1000));
  EXPECT_EQ(ev.Valor("2 ^ -65"), TFracao::De(27105054312, TFracao::Inteiro(1000000000000000) * 1000000000000000));
  // exponents with their signs: 0.25 x 4 + 100 = 101; 0.1 x 3 = 0.3 (the parser's 0.30000000000000004)
  EXPECT_EQ(ev.Valor("2.5e-1 * 4 + 1E+2"), TFracao(101));
  // 0.1 x 3 + 10 x 0.3 = 3.3 (the parser's 3.3000000000000007)
  EXPECT_EQ(ev.Valor("1e-1 * 3 + 1e1 * (0.1 + 0.2)"), TFracao::De(33, 10));
  EXPECT_EQ(Erro<EFormula>([&] { ev.Valor("1 / (0.1 + 0.2 - 0.3)"); }), "Fórmula \"1 / (0.1 + 0.2 - 0.3)\" divide por zero.");
  EXPECT_EQ(Erro<EFormula>([&] { ev.Valor("A ^ 60"); }),
            "Fórmula \"A ^ 60\" tem resultado fora do limite dos valores.");
  // names are letters, digits and "_", not beginning with a digit
  ev.AddVariable("B_2", 1.0);
  EXPECT_EQ(ev.Eval("B_2 * 3"), 3.0);
  // the first unknown name as the text reads (AB is also inside AB2), and the names defined, once each
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("AB2 + AB * A"); }),
            "Fórmula \"AB2 + AB * A\" usa o nome desconhecido AB2 (nomes válidos: A, B_2).");
  // "_2" inside B_2 is not "_2" standing whole: C comes first
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("B_2 + C + _2"); }),
            "Fórmula \"B_2 + C + _2\" usa o nome desconhecido C (nomes válidos: A, B_2).");
  for (const std::string nome : {"", "2B", "B-2"})
    EXPECT_EQ(Erro<std::invalid_argument>([&] { ev.AddVariable(nome, 1.0); }),
              "Nome de variável de fórmula inválido: \"" + nome + "\".");
  // a division of constants by zero is refused each time the text is evaluated, not only the first
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("1 / 0"); }), "Fórmula \"1 / 0\" divide por zero.");
  ev.ClearVariables();
  EXPECT_EQ(Erro<EFormula>([&] { ev.Eval("A * 3"); }),
            "Fórmula \"A * 3\" usa o nome desconhecido A (nomes válidos: nenhum).");
  // a text refused for a name is taken once the name is given
  EXPECT_CONTEM(Erro<EFormula>([&] { ev.Eval("A * 4"); }), "usa o nome desconhecido A");
  ev.AddVariable("A", 2);
  EXPECT_EQ(ev.Eval("A * 4"), 8.0);
}

// A real number from the host (a rate, a formula's value) becomes exact as the decimal it reads as,
// and is rounded as that decimal.
TEST_F(Servicos, ArredondamentoDeReaisPelaFormaDecimalQueSeLe) {
  auto R = [](double v) { return TFracao::DeReal(v); };
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(2.675), 10), R(2.68));  // stored as 2.67499999999999982...
  EXPECT_EQ(QDInterface->ArredondarModo(R(-2.675), "MATEMATICO", 2), R(-2.68));
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(1.005), 10), R(1.01));
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(9.995), 10), R(10.0));
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(0.005), 10), R(0.01));
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(0.0049), 10), R(0.0));
  EXPECT_EQ(QDInterface->ArredondarModo(R(7.999), "TRUNCAR", 0), R(7.0));
  EXPECT_EQ(QDInterface->ArredondarModo(R(-7.999), "TRUNCAR", 0), R(-7.0));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.123456789), "MATEMATICO", 5), R(0.12346));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.123456789), "TRUNCAR", 5), R(0.12345));
  EXPECT_EQ(QDInterface->Arredondar(0, 9, R(1.0000000005), 10), R(1.000000001));
  EXPECT_EQ(QDInterface->Arredondar(0, 2, R(1234.5), 10), R(1234.5));
  EXPECT_THROW(QDInterface->Arredondar(0, 31, R(1.5), 10), std::invalid_argument);
  EXPECT_THROW(QDInterface->ArredondarModo(R(1.5), "BANCARIO", 2), std::invalid_argument);
  // "PAR": a half goes to the even digit, anything past the half away from it, as the decimal reads.
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.035), "PAR", 2), R(0.04));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.025), "PAR", 2), R(0.02));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.0250001), "PAR", 2), R(0.03));
  EXPECT_EQ(QDInterface->ArredondarModo(R(-2.5), "PAR", 0), R(-2.0));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.5), "PAR", 0), R(0.0));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.0325), "PAR", 5), R(0.0325));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.000025), "PAR", 5), R(0.00002));
  EXPECT_EQ(QDInterface->ArredondarModo(R(0.000015), "PAR", 5), R(0.00002));
  EXPECT_EQ(QDInterface->ArredondarModo(Currency::FromDouble(0.125), "PAR", 2), Currency::FromDouble(0.12));
  EXPECT_EQ(QDInterface->ArredondarModo(Currency::FromDouble(-0.135), "PAR", 2), Currency::FromDouble(-0.14));
}

// The CFOP mask and suffix size of HS_CONFIG: "9.999.999" and 3 without rows, a suffix of 0 to 9
// digits, anything else refused naming the key; read once a session.
TEST_F(Servicos, MascaraESufixoDaCfop) {
  auto ler = [&] { return TUtilEscrita(*conexao_).GetMascaraESufixoCfop(); };
  Sql("DELETE FROM HS_CONFIG WHERE CHAVE IN ('CFOP_MASCARA', 'CFOP_SUFIXO')");
  EXPECT_EQ(ler().Mascara + "/" + std::to_string(ler().TamanhoSufixo), "9.999.999/3");
  Sql("INSERT INTO HS_CONFIG (CHAVE, VALOR) VALUES ('CFOP_MASCARA', '9.999'), ('CFOP_SUFIXO', '0')");
  EXPECT_EQ(ler().Mascara + "/" + std::to_string(ler().TamanhoSufixo), "9.999/0");
  Sql("UPDATE HS_CONFIG SET VALOR = '9' WHERE CHAVE = 'CFOP_SUFIXO'");
  TUtilEscrita sessao(*conexao_);
  EXPECT_EQ(sessao.GetMascaraESufixoCfop().TamanhoSufixo, 9);
  for (const char* fora : {"10", "-1"}) {
    Sql(std::string("UPDATE HS_CONFIG SET VALOR = '") + fora + "' WHERE CHAVE = 'CFOP_SUFIXO'");
    EXPECT_CONTEM(Erro<EBancoDados>(ler), std::string("HS_CONFIG CFOP_SUFIXO fora de 0..9: ") + fora);
  }
  EXPECT_EQ(sessao.GetMascaraESufixoCfop().TamanhoSufixo, 9);  // read once
}

// The tax list: ICMS (2001) and the 27 states' ICMS-ST codes. Marking goes over every row even while
// the list shows the marked ones only, and leaves the list filtered as it was.
TEST_F(Servicos, ListaDeImpostosMarcadaInteiraMesmoFiltrada) {
  TFrameSelecionarImpostos f(*conexao_);
  TQDClientDataSet& ds = f.GetDataSet();
  auto visiveis = [&] {
    int n = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++n;
    return n;
  };
  ds.SetFilter("MARCADO = 1");
  ds.SetFiltered(true);
  EXPECT_EQ(visiveis(), 0);
  f.MarcarTodos(true);
  EXPECT_TRUE(ds.GetFiltered());
  EXPECT_EQ(visiveis(), 28);
  f.MarcarPorImposto(TTipoImposto::ICMSST);
  EXPECT_TRUE(ds.GetFiltered());
  EXPECT_EQ(visiveis(), 27);
  EXPECT_EQ(f.QuantidadeMarcada(), 27);
  EXPECT_TRUE(ds.GetFiltered());
  // Codes asked by name: the others unmarked, and the list shown whole from its first row.
  f.MarcarCodigos({"2001", "4019"});
  EXPECT_FALSE(ds.GetFiltered());
  EXPECT_EQ(ds.FieldByName("CODIGO").AsString(), "2001");
  EXPECT_EQ(f.QuantidadeMarcada(), 2);
  // Filtered to those two, marking by kind still reaches the 26 hidden codes; the count takes in
  // the rows another filter hides.
  ds.SetFiltered(true);
  f.MarcarPorImposto(TTipoImposto::ICMSST);
  EXPECT_EQ(visiveis(), 27);
  ds.SetFilter("CODIGO = '2001'");
  EXPECT_EQ(f.QuantidadeMarcada(), 27);
}

TEST_F(Servicos, ConfiguracaoECodigosDaEscrituracaoPelaVigencia) {
  Sql("INSERT INTO HS_FILIALCFG (IDFILIALCFG, IDFILIAL, CHAVE1, CHAVE2, CHAVE3, DATAINICIO, DATAFIM, TEXTO, INFORMACAO2,"
      " INFORMACAO3, INFORMACAO4, INFORMACAO5)"
      " VALUES (1, 1, 2, 7, 3, '2020-01-01', '2025-12-31', '2', NULL, NULL, NULL, NULL),"
      " (2, 1, 2, 7, 3, '2025-07-01', NULL, '3', 'x', 'y', 'z', 'w'),"
      " (3, 1, 2, 7, 4, '2020-01-01', NULL, '9', NULL, NULL, NULL, NULL),"
      " (4, 2, 2, 7, 3, '2020-01-01', NULL, '8', NULL, NULL, NULL, NULL)");
  auto faixa = [&](TDateTime ini, TDateTime fim) {
    TFilialCfg c = GFuncoes->GetFilialCfg(1, 2, 7, 3, ini, fim);
    return c.Encontrada ? c.Informacao1 : std::string("nenhuma");
  };
  EXPECT_EQ(faixa(D(2025, 6, 1), D(2025, 6, 30)), "2");
  EXPECT_EQ(faixa(D(2025, 7, 1), D(2025, 7, 31)), "3");    // both in force: the latest start
  EXPECT_EQ(faixa(D(2025, 6, 15), D(2025, 7, 15)), "2");   // row 2 does not cover the whole interval
  EXPECT_EQ(faixa(D(2025, 12, 1), D(2026, 1, 31)), "3");   // nor does row 1
  EXPECT_EQ(faixa(D(2019, 12, 1), D(2019, 12, 31)), "nenhuma");
  const TFilialCfg julho = GFuncoes->GetFilialCfg(1, 2, 7, 3, D(2025, 7, 1), D(2025, 7, 31));
  EXPECT_EQ(julho.IdCfg, 2);
  EXPECT_EQ(julho.Informacao2 + julho.Informacao3 + julho.Informacao4 + julho.Informacao5, "xyzw");
  // The id goes into a 32-bit field: 2147483647 is still one, 2147483648 is refused.
  Sql("UPDATE HS_FILIALCFG SET IDFILIALCFG = 2147483647 WHERE IDFILIALCFG = 2");
  EXPECT_EQ(GFuncoes->GetFilialCfg(1, 2, 7, 3, D(2025, 7, 1), D(2025, 7, 31)).IdCfg, 2147483647);
  Sql("UPDATE HS_FILIALCFG SET IDFILIALCFG = 2147483648 WHERE IDFILIALCFG = 2147483647");
  EXPECT_CONTEM(Erro<EBancoDados>([] { GFuncoes->GetFilialCfg(1, 2, 7, 3, D(2025, 7, 1), D(2025, 7, 31)); }),
                "Id de HS_FILIALCFG além do limite de 32 bits: 2147483648");

  // demo rows 1..3 (MA, PA, SE) from 2009-01-01; SE's code replaced by row 10 from 2016
  Sql("UPDATE HS_DETALHEEFD SET DATAFIM = '2015-12-31' WHERE IDDETALHEEFD = 3;"
      "INSERT INTO HS_DETALHEEFD (IDDETALHEEFD, TABELA, UF, CODIGO, DESCRICAO, DATAINICIO)"
      " VALUES (10, 12, 'SE', '020005', 'Saldo credor do período anterior', '2016-01-01')");
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020007", "PA", 12, D(2026, 1, 1)), 2);
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020007", "PA", 12, D(2008, 12, 31)), 0);
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020007", "PA", 11, D(2026, 1, 1)), 0);
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020004", "PA", 12, D(2026, 1, 1)), 0);
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020005", "SE", 12, D(2015, 12, 31)), 3);
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020005", "SE", 12, D(2016, 1, 1)), 10);
  // The id goes into a 32-bit field: 2147483647 is still one, 2147483648 is refused.
  Sql("UPDATE HS_DETALHEEFD SET IDDETALHEEFD = 2147483647 WHERE IDDETALHEEFD = 10");
  EXPECT_EQ(GFuncoes->GetIdDetalheRs("020005", "SE", 12, D(2016, 1, 1)), 2147483647);
  Sql("UPDATE HS_DETALHEEFD SET IDDETALHEEFD = 2147483648 WHERE IDDETALHEEFD = 2147483647");
  EXPECT_CONTEM(Erro<EBancoDados>([] { GFuncoes->GetIdDetalheRs("020005", "SE", 12, D(2016, 1, 1)); }),
                "Id de HS_DETALHEEFD além do limite de 32 bits: 2147483648");
}

// A book's record gives the first and the last period printed and its last folha; the terms'
// signatories keep each field of their own, an accountant without CPF keeping the CRC number.
TEST_F(Servicos, LivroRegistradoESignatarios) {
  Sql("INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA) VALUES"
      " (1, '07', 5, 2, 7, '2026-01-01'), (1, '07', 5, 8, 12, '2026-02-01');"
      "UPDATE ES02_CFG SET INFORMACAO3 = NULL WHERE IDCFG = 19");
  const TLivroRegistrado l = QDInterface->ObterLivroRegistrado(1, "07", 5);
  EXPECT_EQ(l.PrimeiraData, D(2026, 1, 1));
  EXPECT_EQ(l.UltimaData, D(2026, 2, 1));
  EXPECT_EQ(l.UltimaPagina, 12);
  // It is closed once folha 13 would pass the pages per book (of HS_CONFIG here: 12 yes, 13 not, no
  // limit not, a single folha yes) or a later book exists; a book with nothing recorded is not.
  auto encerrado = [&](const std::string& paginas) {
    Sql("UPDATE HS_CONFIG SET VALOR = '" + paginas + "' WHERE CHAVE = 'LIVRO_PAGINAS'");
    return QDInterface->ObterLivroRegistrado(1, "07", 5).Encerrado;
  };
  EXPECT_EQ((std::vector{encerrado("12"), encerrado("13"), encerrado("cem"), encerrado("1"), encerrado("300")}),
            (std::vector{true, false, false, true, false}));
  Sql("INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA) VALUES"
      " (1, '07', 6, 2, 3, '2026-03-01')");
  EXPECT_TRUE(QDInterface->ObterLivroRegistrado(1, "07", 5).Encerrado);
  EXPECT_FALSE(QDInterface->ObterLivroRegistrado(1, "07", 4).Encerrado);
  const TSignatarios s = QDInterface->ObterSignatarios(3, D(2026, 1, 31));
  EXPECT_EQ(s.Representante.Qualificacao, "Diretor");
  EXPECT_EQ(s.Contador.Qualificacao, "RS-065432/O-1");
  EXPECT_EQ(s.Contador.CPF, "");
  // The pages of a book: its configuration row's INFORMACAO1 (filial 1's book, here stored as
  // IDCFG 1: 100), else HS_CONFIG's LIVRO_PAGINAS (300, also for a NULL there; id 0 is no
  // configuration even with a row stored under it); a value that is no whole number leaves the book
  // without a limit (0). Its first book is INFORMACAO2 (7 here), else 1, begun at folha 2.
  Sql("UPDATE ES02_CFG SET IDCFG = 101 WHERE IDCFG = 1; UPDATE ES02_CFG SET IDCFG = 1, INFORMACAO2 = '7' WHERE IDCFG = 3;"
      "INSERT INTO ES02_CFG (IDCFG, IDFILIAL, ORIGEM, TP, DATAINICIO, INFORMACAO1, INFORMACAO2) VALUES"
      " (0, 2, 2, '7', '2020-01-01', '12', '12')");
  EXPECT_EQ(QDInterface->ObterIdConfiguracaoLivro(1, 5, D(2026, 1, 1), D(2026, 1, 31), ""), 1);
  EXPECT_EQ(QDInterface->ObterIdConfiguracaoLivro(2, 5, D(2026, 1, 1), D(2026, 1, 31), ""), 0);
  EXPECT_EQ(QDInterface->ObterPaginasLivro(1), 100);
  int32_t livro = 0, folha = 0;
  QDInterface->ObterNumeracaoLivro(1, 1, D(2026, 1, 1), "99", livro, folha);
  EXPECT_EQ(std::pair(livro, folha), std::pair(7, 2));
  QDInterface->ObterNumeracaoLivro(2, 0, D(2026, 1, 1), "99", livro, folha);
  EXPECT_EQ(std::pair(livro, folha), std::pair(1, 2));
  Sql("UPDATE HS_CONFIG SET VALOR = NULL WHERE CHAVE = 'LIVRO_PAGINAS'");
  EXPECT_EQ(QDInterface->ObterPaginasLivro(0), 300);
  Sql("UPDATE HS_CONFIG SET VALOR = 'cem' WHERE CHAVE = 'LIVRO_PAGINAS';"
      "INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA) VALUES"
      " (2, '99', 1, 2, 500, '2026-01-01')");
  EXPECT_EQ(QDInterface->ObterPaginasLivro(0), 0);
  QDInterface->ObterNumeracaoLivro(2, 0, D(2026, 2, 1), "99", livro, folha);  // after folha 500, same book
  EXPECT_EQ(std::pair(livro, folha), std::pair(1, 501));
  // A book of a single folha (its term's) holds no period: each opens the next book.
  Sql("UPDATE HS_CONFIG SET VALOR = '1' WHERE CHAVE = 'LIVRO_PAGINAS'");
  QDInterface->ObterNumeracaoLivro(2, 0, D(2026, 2, 1), "99", livro, folha);
  EXPECT_EQ(std::pair(livro, folha), std::pair(2, 2));
  // Book 7 of 100 folhas ends at folha 100 itself: after folha 99 comes 100 in the same book.
  Sql("INSERT INTO HS_NUMERACAOLIVRO (IDFILIAL, MODULO, LIVRO, PAGINAINICIAL, PAGINAFINAL, DATA) VALUES"
      " (1, '99', 7, 2, 99, '2026-01-01')");
  QDInterface->ObterNumeracaoLivro(1, 1, D(2026, 2, 1), "99", livro, folha);
  EXPECT_EQ(std::pair(livro, folha), std::pair(7, 100));
  // A period's row begins after the book's earlier period when that folha lies inside the job's
  // range (March: job 5 to 11, February ended at 9, so 10 to 11), else at the job's first folha
  // (April: job 20 to 24, March's 11 lies before it); it keeps the mode only when it is one (1 only
  // the front, 2 both sides).
  QDInterface->GravarNumeracaoLivro(2, 1, 5, 10, 0, "97", D(2026, 2, 1), 0);
  Sql("UPDATE HS_NUMERACAOLIVRO SET PAGINAINICIAL = 2 WHERE MODULO = '97'");  // February: 2 to 9
  QDInterface->GravarNumeracaoLivro(2, 1, 5, 12, 0, "97", D(2026, 3, 1), 2);
  QDInterface->GravarNumeracaoLivro(2, 1, 20, 25, 0, "97", D(2026, 4, 1), 1);
  EXPECT_EQ(Linhas("SELECT PAGINAINICIAL, PAGINAFINAL, COALESCE(CAST(FRENTEVERSO AS TEXT), '-') FROM HS_NUMERACAOLIVRO"
                   " WHERE MODULO = '97' ORDER BY DATA"),
            "2|9|-\n10|11|2\n20|24|1\n");
  // That book holds a period printed on both sides: a print on the front only is refused.
  EXPECT_EQ(Erro<ENumeracaoLivro>([] { QDInterface->VerificarNumeracaoLivro(2, "97", 1, 25, D(2026, 5, 1), 1); }),
            "O livro 1 é impresso frente e verso (PÁGINA) desde o período iniciado em 01/03/2026; uma impressão só na"
            " frente (FOLHA) nesse livro é recusada: um livro tem uma só numeração.");
  // Books are numbered 1 to 99999.
  EXPECT_NO_THROW(QDInterface->VerificarNumeracaoLivro(2, "98", 99999, 2, D(2026, 1, 1), 1));
  EXPECT_EQ(Erro<ENumeracaoLivro>([] { QDInterface->VerificarNumeracaoLivro(2, "98", 0, 2, D(2026, 1, 1), 1); }),
            "Número do livro inválido: 0. O livro é numerado de 1 a 99999.");
  // A failure of the database reaches the caller as the database error, naming the table read.
  Sql("DROP TABLE HS_NUMERACAOLIVRO");
  const std::string erro = Erro<EBancoDados>([] { QDInterface->ObterLivroRegistrado(1, "07", 5); });
  EXPECT_EQ(erro.rfind("HS_NUMERACAOLIVRO: ", 0), 0u) << erro;
}

// The establishments of company 1's centralisation group (keys 1, 1, 1): filial 1 centralises
// ('2'), filial 2 is centralised ('3'), filial 92 has a blank kind. The kinds asked are the text's
// comma-separated pieces, quoted or not; an empty piece asks for no kind, not for the blank one.
TEST_F(Servicos, CentralizacaoPelosTiposPedidos) {
  Sql("INSERT INTO SC00_FILIAL (IDFILIAL, IDEMPRESA, FILIAL, NOME, IDMUNICIPIO) VALUES (92, 1, 9, 'Comercial Exemplo Ltda', 1);"
      "INSERT INTO HS_CENTRALIZACAO (IDFILIAL, DATAINICIO, CHAVE1, CHAVE2, CHAVE3, TIPO) VALUES (92, '2020-01-01', 1, 1, 1, '')");
  auto ids = [](const std::string& tipos) {
    std::string r;
    for (const auto& id : GFuncoes->GetIDsFilialByFilialCfg(1, 1, 1, 1, tipos, D(2026, 1, 1), D(2026, 1, 31))) r += id + " ";
    return r;
  };
  EXPECT_EQ(ids("'2','3'"), "1 2 ");
  EXPECT_EQ(ids("'1','3','2'"), "1 2 ");
  EXPECT_EQ(ids("3, 2"), "1 2 ");
  EXPECT_EQ(ids("'3'"), "2 ");
  EXPECT_EQ(ids("'2',,"), "1 ");
  EXPECT_EQ(ids(""), "");
}

TEST_F(Servicos, PacoteDeOutroProgramaSoEhInformado) {
  FormPrincipal->AbrirPacote("74105", 0, -1);
  EXPECT_EQ(interacao_->Registro().back(),
            "[informação] Não é possível abrir o pacote 74105: ele não faz parte deste programa.");
  // A message of a type the dialogs do not know (below warning, above confirmation) is refused
  // and shows nothing.
  for (int tipo : {-1, 4})
    EXPECT_THROW(QDInterface->ExibirMensagemPersonalizada("?", tipo, {TBotao::Ok}, TBotao::Ok, "", {}), std::invalid_argument)
        << tipo;
  EXPECT_EQ(interacao_->Registro().size(), 1u);
}

// A state without a fiscal unit at the date, or one whose value is not a positive number, names
// the state and the date: a tax counted in it cannot be made up.
TEST_F(Servicos, UPFAusenteOuInvalidaNomeiaEstadoEData) {
  EXPECT_EQ(GFuncoes->GetUPF("RS", D(2026, 1, 31)), Currency::FromRaw(275418));  // 27,5418 from 01/01/2026
  EXPECT_EQ(Erro<EUPFNaoCadastrada>([] { GFuncoes->GetUPF("SC", D(2026, 1, 31)); }),
            "Não há valor da UPF de SC em 31/01/2026 (HS_UPF não tem valor de SC com início até essa data); "
            "cadastre-o para apurar o período.");
  Sql("INSERT INTO HS_UPF (UF, DATAINICIO, VALOR) VALUES ('PR', '2026-01-01', 0)");
  EXPECT_EQ(Erro<EUPFNaoCadastrada>([] { GFuncoes->GetUPF("PR", D(2026, 2, 28)); }),
            "O valor da UPF de PR em 28/02/2026 (HS_UPF de 01/01/2026) é '0', que não é um valor positivo; "
            "corrija-o para apurar o período.");
  if (GravarTextoEmNumero("INSERT INTO HS_UPF (UF, DATAINICIO, VALOR) VALUES ('MA', '2026-01-01', 'x')", "x")) {
    EXPECT_CONTEM(Erro<EUPFNaoCadastrada>([] { GFuncoes->GetUPF("MA", D(2026, 2, 28)); }), "é 'x', que não é um valor");
  }
}
