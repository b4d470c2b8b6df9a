// Every amount from 0,01 to 20.000,00 through each rate, truncation and rounding rule the
// settlement uses, against a plain integer computation written here: amounts in cents, rates as
// integer fractions, halves decided by comparing twice the remainder with the divisor.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ambiente.h"
#include "utilitarios.h"
#include "host/base/fracao.h"
#include "regimes/simples/apuracaosimplesnovors.h"
#include "regimes/simples/apuracaosimplespr.h"
#include "regimes/simples/apuracaosimplessc.h"

namespace {

constexpr int64_t kUltimoCentavo = 2'000'000;  // 20.000,00

// n / d (d > 0) in whole units: cut toward zero, halves away from zero, halves to the even unit.
int64_t Cortar(int64_t n, int64_t d) { return n / d; }
int64_t MetadeAcima(int64_t n, int64_t d) {
  const int64_t q = n / d, r = n % d;
  const int64_t dobro = 2 * (r < 0 ? -r : r);
  return dobro >= d ? q + (n < 0 ? -1 : 1) : q;
}
int64_t MetadePar(int64_t n, int64_t d) {
  const int64_t q = n / d, r = n % d;
  const int64_t dobro = 2 * (r < 0 ? -r : r);
  return dobro > d || (dobro == d && q % 2 != 0) ? q + (n < 0 ? -1 : 1) : q;
}

Currency Centavos(int64_t c) { return Currency::FromRaw(c * 100); }

// The first amount a rule got wrong, for the failure message; empty when none.
struct TDivergencia {
  std::string primeira;
  int64_t quantas = 0;
  void Registrar(const std::string& regra, int64_t centavos, int64_t obtido, int64_t esperado) {
    if (quantas++ == 0)
      primeira = regra + " de " + moeda::TextoExato(centavos * 100) + ": obtido " + moeda::TextoExato(obtido) +
                 ", esperado " + moeda::TextoExato(esperado);
  }
};

class Aritmetica : public AmbienteTeste {
 protected:
  void SetUp() override { Montar(false); }  // the rounding services only: no office needed
};

}  // namespace

// Rounding to cents by each mode of an amount times a rate of the regimes (2,6 % and 3,6 % of
// bars and restaurants, 2,5 %, where every other cent ends in a half), and the bars' own product.
TEST_F(Aritmetica, TaxasEArredondamentosDeTodoValorAte20Mil) {
  TDivergencia d;
  const struct {
    const char* nome;
    int64_t num, den;
  } taxas[] = {{"2,6 %", 26, 1000}, {"3,6 %", 36, 1000}, {"2,5 %", 25, 1000}};
  for (const auto& t : taxas) {
    const TFracao taxa = TFracao::De(t.num, t.den);
    for (int64_t c = 1; c <= kUltimoCentavo; ++c) {
      const TFracao produto = TFracao(Centavos(c)) * taxa;
      const int64_t n = c * t.num;  // the product in cents is n / den
      auto Conferir = [&](const char* modo, int64_t (*regra)(int64_t, int64_t)) {
        const int64_t obtido = QDInterface->ArredondarModo(produto, modo, 2).ParaMoeda().Raw();
        const int64_t esperado = regra(n, t.den) * 100;
        if (obtido != esperado) d.Registrar(std::string(t.nome) + " " + modo, c, obtido, esperado);
      };
      Conferir("TRUNCAR", Cortar);
      Conferir("MATEMATICO", MetadeAcima);
      Conferir("PAR", MetadePar);
      const int64_t bares = MultiplicarPorFracao(Centavos(c), t.num, t.den, 2).Raw();
      if (bares != MetadeAcima(n, t.den) * 100) d.Registrar(std::string(t.nome) + " bares", c, bares, MetadeAcima(n, t.den) * 100);
    }
  }
  EXPECT_EQ(d.quantas, 0) << d.primeira;
}

// The small-business taxes of every revenue up to 20.000,00:
//   PR: revenue x 2 % - 300,00 to cents, halves up; never negative.
//   SC: revenue x 3,12345 % - 100,00 kept to four decimals, halves away from zero.
//   RS: n = revenue / UPF cut, d = 300,00 / UPF to cents, t = 0,02 x n - d to four decimals, tax =
//       t x UPF to cents (halves away from zero), with the demo's UPF 10,4297; a tax is small when
//       below 5 UPF.
TEST_F(Aritmetica, ImpostosDoSimplesDeTodaReceitaAte20Mil) {
  TDivergencia d;
  const TFracao doisPorCento(2), taxaSC = TFracao::De(312345, 100000);
  const Currency trezentos = Centavos(30000), cem = Centavos(10000), upf = Currency::FromRaw(104297);
  const int64_t deducaoUPF = MetadeAcima(30000 * 10000, 104297);  // cents of UPF: 300,00 / 10,4297 x 100
  for (int64_t c = 1; c <= kUltimoCentavo; ++c) {
    const Currency receita = Centavos(c);

    const int64_t pr = TResumoSimplesPR::Imposto(receita, doisPorCento, trezentos).Raw();
    const int64_t prCentavos = MetadeAcima(c * 2 - 30000 * 100, 100);  // (c x 2 / 100) - 30000 cents
    if (pr != (prCentavos < 0 ? 0 : prCentavos * 100)) d.Registrar("PR", c, pr, prCentavos < 0 ? 0 : prCentavos * 100);

    const int64_t sc = TResumoSimplesSC::Imposto(receita, taxaSC, cem).Raw();
    // c cents x 312345 / 10^5 / 100 in ten-thousandths: c x 312345 / 10^5
    const int64_t scEsperado = MetadeAcima(c * 312345 - int64_t{100'000'000'000}, 100000);
    if (sc != scEsperado) d.Registrar("SC", c, sc, scEsperado);

    const TResumoSimplesNovoRS::TCalculoUPF rs = TResumoSimplesNovoRS::CalcularEmUPF(receita, Centavos(200), trezentos, upf);
    const int64_t n = Cortar(c * 100, 104297);
    // t in hundred-thousandths: 0,02 = 2000, d cents = 1000 hundred-thousandths each
    const int64_t t = MetadeAcima(2000 * n - deducaoUPF * 1000, 10);
    const int64_t imposto = MetadeAcima(t * 104297, 1'000'000) * 100;  // ten-thousandths squared to cents
    if (rs.Unidades != n) d.Registrar("RS UPF inteiras", c, rs.Unidades, n);
    if (rs.DeducaoUPF.Raw() != deducaoUPF * 100) d.Registrar("RS dedução em UPF", c, rs.DeducaoUPF.Raw(), deducaoUPF * 100);
    if (rs.ImpostoUPF.Raw() != t) d.Registrar("RS imposto em UPF", c, rs.ImpostoUPF.Raw(), t);
    if (rs.Imposto.Raw() != imposto) d.Registrar("RS imposto", c, rs.Imposto.Raw(), imposto);
    const bool pequeno = c * 100 < 5 * 104297;
    if (TResumoSimplesNovoRS::Pequeno(receita, upf) != pequeno) d.Registrar("RS menor que 5 UPF", c, !pequeno, pequeno);
  }
  EXPECT_EQ(d.quantas, 0) << d.primeira;
}
