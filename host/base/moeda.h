#pragma once
// Money of the settlement: a signed 64-bit count of ten-thousandths (four decimals), as the
// host's Currency. Amounts come from the database as floating point and become Currency in one
// place (FromDouble); rounding to cents happens only through the named rounding helpers.
//
// Arithmetic is checked: a conversion or a sum that leaves the 64-bit range throws EEstouroMoeda
// instead of wrapping around, since a wrapped total would be recorded as a plausible wrong tax.
#include <cstdint>
#include <cstdlib>
#include <compare>
#include <stdexcept>
#include <string>

// An amount beyond what Currency holds (±922.337.203.685.477,5807). The message names the
// operation and its operands; callers that know where the amount came from add that.
class EEstouroMoeda : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

namespace moeda {
// Throws EEstouroMoeda for `a operacao b`: amounts in ten-thousandths, except the factor of "x";
// b is unused for the unary "-".
[[noreturn]] void Estouro(const char* operacao, int64_t a, int64_t b = 0);
// The raw amount with its four decimals ("1.234,5600"), exact at every magnitude.
std::string TextoExato(int64_t dezMilesimos);
}  // namespace moeda

class Currency {
 public:
  static constexpr int64_t kEscala = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t dezMilesimos) { Currency c; c.v_ = dezMilesimos; return c; }
  // value x 10000 rounded to the nearest integer (halves away from zero).
  static Currency FromDouble(double valor);
  static constexpr Currency FromInt(int64_t inteiro) { return FromRaw(inteiro) * kEscala; }

  constexpr int64_t Raw() const { return v_; }
  double ToDouble() const { return static_cast<double>(v_) / kEscala; }

  constexpr Currency operator-() const {
    if (v_ == INT64_MIN) moeda::Estouro("-", v_);
    return FromRaw(-v_);
  }
  constexpr Currency operator+(Currency o) const {
    int64_t r = 0;
    if (__builtin_add_overflow(v_, o.v_, &r)) moeda::Estouro("+", v_, o.v_);
    return FromRaw(r);
  }
  constexpr Currency operator-(Currency o) const {
    int64_t r = 0;
    if (__builtin_sub_overflow(v_, o.v_, &r)) moeda::Estouro("-", v_, o.v_);
    return FromRaw(r);
  }
  constexpr Currency& operator+=(Currency o) { return *this = *this + o; }
  constexpr Currency& operator-=(Currency o) { return *this = *this - o; }
  // Line totals multiply by a sign (+1, -1, 0); exact in fixed point.
  constexpr Currency operator*(int64_t k) const {
    int64_t r = 0;
    if (__builtin_mul_overflow(v_, k, &r)) moeda::Estouro("x", v_, k);
    return FromRaw(r);
  }
  constexpr auto operator<=>(const Currency&) const = default;
  constexpr bool operator==(const Currency&) const = default;

  constexpr Currency Abs() const { return v_ < 0 ? -*this : *this; }

 private:
  int64_t v_ = 0;
};

// Rounding modes of the host's rounding services: halves away from zero, cut toward zero, halves
// to the even digit (as the host rounds a rate to five decimals).
enum class TModoArredondamento { Matematico, Truncar, Par };

namespace moeda {
__extension__ typedef __int128 Inteiro128;
// numerador / denominador rounded to a whole number by the mode; the one rounding every other
// (to cents, to whole fiscal units, to a rate's decimals) goes through. Throws
// std::invalid_argument for a denominator that is not positive.
Inteiro128 DividirArredondando(Inteiro128 numerador, Inteiro128 denominador, TModoArredondamento modo);
}  // namespace moeda

// Rounds a Currency to `decimais` decimals (0..4).
Currency ArredondarMoeda(Currency valor, int decimais, TModoArredondamento modo = TModoArredondamento::Matematico);

// valor x numerador / denominador rounded once, half away from zero, to `decimais` decimals (0..4):
// an amount times a rate that is an exact decimal (2.6 % = 26 / 1000). A double product can land a
// hair below a half (47.50 x 0.026), and rounding first to four decimals and then to cents can cross
// one (0.00496 would become 0.0050 and then 0.01); the exact product does neither. Throws
// std::invalid_argument for a denominator that is not positive, EEstouroMoeda for a result out of range.
Currency MultiplicarPorFracao(Currency valor, int64_t numerador, int64_t denominador, int decimais);
