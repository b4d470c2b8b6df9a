#pragma once
// Exact rational numbers for what decides a figure between two amounts: a rate times an amount,
// an amount divided by the fiscal unit, a limit prorated by months, the sum of formula values.
// Binary floating point gets such figures wrong at the very points the rules care about
// (50,30 / 10,06 is 4,999... in a double, 62.578,20 / 10,4297 is 5.999,999...), so the
// settlement computes them as fractions of integers and rounds once, by a named mode, where the
// rule says so.
//
// A number that arrives as a double (a rate or a formula's value from the host) becomes exact in
// one place, DeReal, as the decimal it reads as; from there on it is never compared, truncated or
// rounded as a double.
//
// Numerator and denominator are 128-bit; an operation whose exact result does not fit throws
// EEstouroMoeda rather than losing digits.
#include <compare>
#include <cstdint>
#include <string>

#include "host/base/moeda.h"

class TFracao {
 public:
  using Inteiro = moeda::Inteiro128;

  constexpr TFracao() = default;
  explicit TFracao(int64_t inteiro) : num_(inteiro) {}
  explicit TFracao(Currency valor) : num_(valor.Raw()), den_(Currency::kEscala) {}
  // numerador / denominador; std::invalid_argument for a denominator 0.
  static TFracao De(Inteiro numerador, Inteiro denominador);
  // The decimal a double reads as: its shortest form that converts back to the same double (2.6,
  // not the binary 2.600000000000000088...). Digits beyond the 30th decimal are rounded half to
  // even: they are the binary representation's noise, far below any amount. Throws
  // std::invalid_argument for a value that is not finite.
  static TFracao DeReal(double valor);

  Inteiro Numerador() const { return num_; }
  Inteiro Denominador() const { return den_; }

  TFracao operator-() const;
  TFracao operator+(const TFracao& o) const;
  TFracao operator-(const TFracao& o) const { return *this + -o; }
  TFracao operator*(const TFracao& o) const;
  // std::invalid_argument for a divisor 0.
  TFracao operator/(const TFracao& o) const;
  TFracao& operator+=(const TFracao& o) { return *this = *this + o; }
  TFracao& operator-=(const TFracao& o) { return *this = *this - o; }

  std::strong_ordering operator<=>(const TFracao& o) const;
  bool operator==(const TFracao& o) const { return (*this <=> o) == 0; }

  // Rounded to `decimais` decimals (0..30) by the mode, still exact.
  TFracao Arredondar(int decimais, TModoArredondamento modo) const;
  // Rounded to the four decimals of money by the mode (halves away from zero unless told).
  Currency ParaMoeda(TModoArredondamento modo = TModoArredondamento::Matematico) const;
  // The decimal digits with a decimal comma and no thousands separator ("2", "2,5", "-0,00125"):
  // exact when the denominator divides a power of ten, else rounded half to even at 30 decimals.
  std::string TextoDecimal() const;

 private:
  TFracao(Inteiro n, Inteiro d, bool) : num_(n), den_(d) {}
  // Keeps numerator and denominator small enough for the next product: reduced by their greatest
  // common divisor when either passes 2^62.
  static TFracao Normalizada(Inteiro n, Inteiro d);

  Inteiro num_ = 0;
  Inteiro den_ = 1;  // always positive
};
