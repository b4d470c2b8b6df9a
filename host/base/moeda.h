#pragma once
// Money of the settlement: a signed 64-bit count of ten-thousandths (four decimals), as the
// host's Currency. Amounts come from the database as floating point and become Currency in one
// place (FromDouble); rounding to cents happens only through the named rounding helpers.
#include <cstdint>
#include <cstdlib>
#include <compare>

class Currency {
 public:
  static constexpr int64_t kEscala = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t dezMilesimos) { Currency c; c.v_ = dezMilesimos; return c; }
  // value x 10000 rounded to the nearest integer (halves away from zero).
  static Currency FromDouble(double valor);
  static constexpr Currency FromInt(int64_t inteiro) { return FromRaw(inteiro * kEscala); }

  constexpr int64_t Raw() const { return v_; }
  double ToDouble() const { return static_cast<double>(v_) / kEscala; }

  constexpr Currency operator-() const { return FromRaw(-v_); }
  constexpr Currency operator+(Currency o) const { return FromRaw(v_ + o.v_); }
  constexpr Currency operator-(Currency o) const { return FromRaw(v_ - o.v_); }
  constexpr Currency& operator+=(Currency o) { v_ += o.v_; return *this; }
  constexpr Currency& operator-=(Currency o) { v_ -= o.v_; return *this; }
  // Line totals multiply by a sign (+1, -1, 0); exact in fixed point.
  constexpr Currency operator*(int64_t k) const { return FromRaw(v_ * k); }
  constexpr auto operator<=>(const Currency&) const = default;
  constexpr bool operator==(const Currency&) const = default;

  constexpr Currency Abs() const { return FromRaw(v_ < 0 ? -v_ : v_); }

 private:
  int64_t v_ = 0;
};

// Rounding modes of the host's rounding services.
enum class TModoArredondamento { Matematico, Truncar };

// Rounds a Currency to `decimais` decimals (0..4).
Currency ArredondarMoeda(Currency valor, int decimais, TModoArredondamento modo = TModoArredondamento::Matematico);
