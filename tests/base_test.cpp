// Money, dates, text and formatting: the arithmetic and parsing everything else stands on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "host/base/datas.h"
#include "host/base/formatacao.h"
#include "host/base/fracao.h"
#include "host/base/moeda.h"
#include "host/base/texto.h"
#include "utilitarios.h"

TEST(Moeda, ConverteEArredondaAoMaisProximoOuTruncando) {
  EXPECT_EQ(Currency::FromDouble(12.345678).Raw(), 123457);
  EXPECT_EQ(Currency::FromDouble(-12.345678).Raw(), -123457);
  EXPECT_EQ(Currency::FromDouble(0.00005).Raw(), 1);
  // 0.1 + 0.2 in binary is 0.30000000000000004: still exactly 3000 ten-thousandths
  EXPECT_EQ(Currency::FromDouble(0.1 + 0.2).Raw(), 3000);
  EXPECT_THROW(Currency::FromDouble(1e300), std::overflow_error);
  // a sign multiplies without loss
  EXPECT_EQ((Currency::FromRaw(1500001) * -1).Raw(), -1500001);
  // rounding to a number of decimals, to the nearest or truncating
  Currency v = Currency::FromRaw(12345);  // 1,2345
  EXPECT_EQ(ArredondarMoeda(v, 2).Raw(), 12300);
  EXPECT_EQ(ArredondarMoeda(Currency::FromRaw(12350), 2).Raw(), 12400);
  EXPECT_EQ(ArredondarMoeda(Currency::FromRaw(-12350), 2).Raw(), -12400);
  EXPECT_EQ(ArredondarMoeda(Currency::FromRaw(12399), 2, TModoArredondamento::Truncar).Raw(), 12300);
  EXPECT_EQ(ArredondarMoeda(Currency::FromRaw(-12399), 2, TModoArredondamento::Truncar).Raw(), -12300);
  EXPECT_EQ(ArredondarMoeda(Currency::FromRaw(15000), 0).Raw(), 20000);
  EXPECT_THROW(ArredondarMoeda(v, 5), std::invalid_argument);
}

// A sum that leaves the 64-bit range used to wrap around into a plausible negative tax; every
// operation now stops with the operands in the message.
TEST(Moeda, EstouroEhErroClaroNuncaVoltaPeloOutroLado) {
  const Currency seiscentosTrilhoes = Currency::FromDouble(6e14);  // 6e18 ten-thousandths
  auto mensagem = [](auto conta) { return Erro<EEstouroMoeda>(conta); };
  EXPECT_EQ(mensagem([&] { return seiscentosTrilhoes + seiscentosTrilhoes; }),
            "Valor monetário fora do limite suportado (±922.337.203.685.477,5807): "
            "600.000.000.000.000,0000 + 600.000.000.000.000,0000");
  EXPECT_CONTEM(mensagem([&] { return seiscentosTrilhoes * 2; }), "600.000.000.000.000,0000 x 2");
  // every other way out of the range: subtracting, adding in place, negating or taking the absolute
  // value of the smallest amount, a whole number too large, rounding the largest up to cents, NaN
  const std::vector<std::function<Currency()>> contas = {
      [&] { return -seiscentosTrilhoes - seiscentosTrilhoes; },
      [&] { Currency c = seiscentosTrilhoes; c += seiscentosTrilhoes; return c; },
      [] { return -Currency::FromRaw(INT64_MIN); }, [] { return Currency::FromRaw(INT64_MIN).Abs(); },
      [] { return Currency::FromInt(INT64_MAX / 1000); }, [] { return ArredondarMoeda(Currency::FromRaw(INT64_MAX), 0); },
      [] { return Currency::FromDouble(std::nan("")); }};
  for (size_t i = 0; i < contas.size(); ++i) EXPECT_NE(mensagem(contas[i]), "(sem erro)") << "conta " << i;
  // conversion: 2^63 ten-thousandths is one past the largest amount
  EXPECT_EQ(mensagem([] { return Currency::FromDouble(922337203685477.5808); }).rfind("Valor 922337203685477.", 0), 0u);
  // the limits themselves still work
  EXPECT_EQ((Currency::FromRaw(INT64_MAX - 1) + Currency::FromRaw(1)).Raw(), INT64_MAX);
  EXPECT_EQ((Currency::FromRaw(INT64_MIN + 1) - Currency::FromRaw(1)).Raw(), INT64_MIN);
  EXPECT_EQ(moeda::TextoExato(INT64_MIN), "-922.337.203.685.477,5808");
  EXPECT_EQ(moeda::TextoExato(-5), "-0,0005");
}

// An amount times an exact rate, rounded once. 47.50 x 26/1000 = 1.235 exactly: 1.24 (a double
// product is 1.2349999...). 0.1908 x 26/1000 = 0.0049608: 0.00 (rounding first to four decimals,
// 0.0050, and then to cents would give 0.01). 23456.78 x 2.00000 % = 469.1356 kept to four.
TEST(Moeda, MultiplicacaoPorFracaoExata) {
  EXPECT_EQ(MultiplicarPorFracao(Currency::FromRaw(475000), 26, 1000, 2).Raw(), 12400);
  EXPECT_EQ(MultiplicarPorFracao(Currency::FromRaw(-475000), 26, 1000, 2).Raw(), -12400);
  EXPECT_EQ(MultiplicarPorFracao(Currency::FromRaw(1908), 26, 1000, 2).Raw(), 0);
  EXPECT_EQ(MultiplicarPorFracao(Currency::FromRaw(234567800), 200000, 10000000, 4).Raw(), 4691356);
  EXPECT_THROW(MultiplicarPorFracao(Currency::FromRaw(INT64_MAX), 2, 1, 4), EEstouroMoeda);
  EXPECT_THROW(MultiplicarPorFracao(Currency::FromInt(1), 1, 0, 2), std::invalid_argument);
}

// Fractions: a real from the host is the decimal it reads as; the operations stay exact past
// what a cross product holds in 128 bits; what cannot be held is refused, not cut.
TEST(Fracao, ExataDoRealAoTexto) {
  EXPECT_EQ(TFracao::DeReal(2.6), TFracao::De(26, 10));  // not 2.600000000000000088...
  EXPECT_EQ(TFracao::DeReal(-0.00125).TextoDecimal(), "-0,00125");
  EXPECT_EQ(TFracao::DeReal(1e-40), TFracao());           // below the 30th decimal
  EXPECT_EQ(TFracao(3).TextoDecimal(), "3");
  EXPECT_EQ((TFracao(1) / TFracao(3)).TextoDecimal(), "0,333333333333333333333333333333");
  // 50,30 / 10,06 is 5 exactly; 62.578,20 / 10,4297 is 6000 exactly
  EXPECT_EQ(TFracao(Currency::FromRaw(503000)) / TFracao(Currency::FromRaw(100600)), TFracao(5));
  EXPECT_EQ((TFracao(Currency::FromRaw(625782000)) / TFracao(Currency::FromRaw(104297))).Arredondar(0, TModoArredondamento::Truncar),
            TFracao(6000));
  // (2^70 + 1) / (2^70 + 3) against (2^70 + 5) / (2^70 + 7): the cross products pass 2^127, the
  // order is still right; a product of three such fractions cannot be held.
  const TFracao::Inteiro x = static_cast<TFracao::Inteiro>(1) << 70;
  EXPECT_LT(TFracao::De(x + 1, x + 3), TFracao::De(x + 5, x + 7));
  EXPECT_GT(TFracao::De(x + 5, x + 7), TFracao::De(x + 1, x + 3));
  EXPECT_THROW(TFracao::De(x + 1, x + 3) * TFracao::De(x + 5, x + 7), EEstouroMoeda);
  // Products whose terms cancel across are held: (x+1)/(x+3) x (x+3)/(x+1) is 1, and 2(x+1)/(x+3)
  // x (x+3)/(x+1) is 2, though the plain products pass 2^127.
  EXPECT_EQ(TFracao::De(x + 1, x + 3) * TFracao::De(x + 3, x + 1), TFracao(1));
  EXPECT_EQ(TFracao::De(2 * (x + 1), x + 3) * TFracao::De(x + 3, x + 1), TFracao(2));
  // Fractions too large to cross-multiply whose whole parts differ: (3x+1)/(x+3) is a little under
  // 3, (2x+5)/(x+7) a little under 2; (x+5)/(x+3) and (x+9)/(x+7) are both 1 and a little.
  EXPECT_GT(TFracao::De(3 * x + 1, x + 3), TFracao::De(2 * x + 5, x + 7));
  EXPECT_LT(TFracao::De(2 * x + 5, x + 7), TFracao::De(3 * x + 1, x + 3));
  EXPECT_GT(TFracao::De(x + 5, x + 3), TFracao::De(x + 9, x + 7));
  EXPECT_LT(TFracao::De(-(3 * x + 1), x + 3), TFracao::De(-(2 * x + 5), x + 7));
  // Reduced as soon as the numerator alone passes 2^62: 3^20 x 2^80 / 3^20 is 2^80, and adding
  // 1 / 7^15 (about 2^42) then fits, (2^80 x 7^15 + 1) / 7^15.
  const TFracao::Inteiro tres20 = 3486784401, sete15 = 4747561509943, x80 = static_cast<TFracao::Inteiro>(1) << 80;
  EXPECT_EQ(TFracao::De(tres20 * x80, tres20) + TFracao::De(1, sete15), TFracao::De(x80 * sete15 + 1, sete15));
  EXPECT_THROW(TFracao(1) / TFracao(), std::invalid_argument);
  EXPECT_EQ(TFracao::De(-7, 2).ParaMoeda(TModoArredondamento::Truncar), Currency::FromRaw(-35000));
  EXPECT_EQ(TFracao::De(-1, 20000).ParaMoeda(), Currency::FromRaw(-1));                 // -0,00005: half away from zero
  EXPECT_EQ(TFracao::De(5, 100000).ParaMoeda(TModoArredondamento::Par), Currency());  // 0,00005: to the even 0
}

TEST(Formatacao, ValoresDoLivro) {
  EXPECT_EQ(FormatarValor(Currency::FromDouble(1234.56)), "1.234,56");
  EXPECT_EQ(FormatarValor(Currency::FromDouble(-1234567.891)), "-1.234.567,89");
  EXPECT_EQ(FormatarValor(Currency()), "0,00");
  EXPECT_EQ(FormatarValor(Currency::FromDouble(0.005)), "0,01");
  EXPECT_EQ(FormatarValor(Currency::FromDouble(999.995)), "1.000,00");
  EXPECT_EQ(FormatarValor(Currency::FromDouble(-0.5)), "-0,50");
  EXPECT_EQ(FormatarValorGuia(Currency::FromDouble(1234.5)), "       1.234,50");
  Currency lido;
  ASSERT_TRUE(TentarLerValor("1.234,56", lido));
  EXPECT_EQ(lido.Raw(), 12345600);
  ASSERT_TRUE(TentarLerValor("-10.5", lido));
  EXPECT_EQ(lido.Raw(), -105000);
  EXPECT_FALSE(TentarLerValor("12a", lido));
  EXPECT_FALSE(TentarLerValor("", lido));
  // A configured whole number that is not one counts as 0.
  EXPECT_EQ(InteiroOuZero(" 12 "), 12);
  EXPECT_EQ(InteiroOuZero("+7"), 7);
  EXPECT_EQ(InteiroOuZero("-3"), -3);
  for (const char* nao : {"", "2O", "12.0", "+-5", "+", "2147483648"}) EXPECT_EQ(InteiroOuZero(nao), 0) << nao;
}

TEST(Formatacao, FormatComoODelphi) {
  EXPECT_EQ(Format("EMP= %d/ESTAB= %d", {"1", "22"}), "EMP= 1/ESTAB= 22");
  EXPECT_EQ(Format("%1:s-%0:s-%s", {"a", "b", "c"}), "b-a-b");
  EXPECT_EQ(Format("a%%b", {}), "a%b");
  // widths count characters, not bytes
  EXPECT_EQ(Format("[%-6s]", {"AÇÃO"}), "[AÇÃO  ]");
  EXPECT_EQ(Format("[%6s]", {"AÇÃO"}), "[  AÇÃO]");
  EXPECT_EQ(Format("[%2s]", {"longo"}), "[longo]");
  EXPECT_CONTEM(Erro<std::invalid_argument>([] { Format("%s %s", {"x"}); }), "argumento ausente");
  EXPECT_THROW(Format("%x", {"1"}), std::invalid_argument);
}

TEST(Texto, ContaCaracteresNaoBytesEmPedacosELinhas) {
  EXPECT_EQ(texto::Tamanho("APURAÇÃO"), 8u);
  EXPECT_EQ(texto::Copiar("DÉBITOS ESPECÍFICOS", 9, 11), "ESPECÍFICOS");
  EXPECT_EQ(texto::Copiar("abc", 3, 10), "c");
  EXPECT_EQ(texto::Copiar("abc", 4, 1), "");
  EXPECT_EQ(texto::PreencherEsquerda("é", 3), "  é");
  EXPECT_EQ(texto::SemAcento("Ação Ç º"), "Acao C o");
  EXPECT_EQ(texto::Maiusculas("rua são joão"), "RUA SÃO JOÃO");
  EXPECT_EQ(texto::QuotedStr("D'Ávila"), "'D''Ávila'");
  // pieces (400 characters in 155, 155 and 90: the book's observations test) and lines
  EXPECT_EQ(texto::Pedacos("", 155).size(), 1u);
  std::string acentos;
  for (int i = 0; i < 160; ++i) acentos += "ã";
  EXPECT_EQ(texto::Tamanho(texto::Pedacos(acentos, 155)[0]), 155u);
  EXPECT_EQ(texto::Linhas("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  // a stray byte is one replacement character, never a crash
  EXPECT_EQ(texto::Tamanho(texto::DeU32(texto::ParaU32("a\xff" "b"))), 3u);
}

TEST(Datas, CalendarioELeitura) {
  TDateTime d = EncodeDate(2026, 1, 31);
  EXPECT_EQ(d, 46053.0);
  auto p = DecodeDate(d + 29);
  EXPECT_EQ(p.mes, 3);
  EXPECT_EQ(p.dia, 1);
  EXPECT_EQ(DataISO(EncodeDate(2024, 2, 29)), "2024-02-29");
  EXPECT_EQ(DataBR(EncodeDate(1899, 12, 30)), "30/12/1899");
  EXPECT_EQ(DiaDaSemana(EncodeDate(2026, 12, 5)), 7);  // a Saturday
  EXPECT_EQ(IncMes(EncodeDate(2026, 1, 31), 1), EncodeDate(2026, 2, 28));
  TDateTime lida;
  ASSERT_TRUE(TentarLerData("05/12/2026", lida));
  EXPECT_EQ(lida, EncodeDate(2026, 12, 5));
  ASSERT_TRUE(TentarLerData("2026-12-05", lida));
  // one or two digits for day and month, four for the year
  ASSERT_TRUE(TentarLerData("5/3/2026", lida));
  EXPECT_EQ(lida, EncodeDate(2026, 3, 5));
  for (const char* t : {"31/02/2026", "", "2026-13-01", "1/2/26", " 1/2/2026", "1/ 2/2026", "1/2/2026x", "1/2/02026",
                        "-1/2/2026", "1//2026"})
    EXPECT_FALSE(TentarLerData(t, lida)) << t;
  EXPECT_THROW(EncodeDate(2026, 2, 30), std::invalid_argument);
}
