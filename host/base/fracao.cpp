#include "host/base/fracao.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace {

using Inteiro = TFracao::Inteiro;

constexpr int kMaxDecimais = 30;
constexpr Inteiro kLimiteReduzir = static_cast<Inteiro>(1) << 62;
constexpr Inteiro kMinimo = -(((static_cast<Inteiro>(1) << 126) - 1) * 2 + 1) - 1;

Inteiro Potencia10(int n) {
  Inteiro p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

Inteiro Abs(Inteiro v) { return v < 0 ? -v : v; }

Inteiro Mdc(Inteiro a, Inteiro b) {
  a = Abs(a);
  b = Abs(b);
  while (b != 0) {
    const Inteiro r = a % b;
    a = b;
    b = r;
  }
  return a;
}

[[noreturn]] void Estouro(const char* operacao) {
  throw EEstouroMoeda(std::string("Conta exata fora do limite suportado (") + operacao +
                      "): os valores envolvidos passam de 10^38.");
}

Inteiro Mul(Inteiro a, Inteiro b, const char* operacao) {
  Inteiro r = 0;
  if (__builtin_mul_overflow(a, b, &r)) Estouro(operacao);
  return r;
}

Inteiro Soma(Inteiro a, Inteiro b, const char* operacao) {
  Inteiro r = 0;
  if (__builtin_add_overflow(a, b, &r)) Estouro(operacao);
  return r;
}

// The digits of a non-negative integer.
std::string Digitos(Inteiro v) {
  if (v == 0) return "0";
  std::string s;
  for (; v > 0; v /= 10) s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
  return s;
}

}  // namespace

TFracao TFracao::Normalizada(Inteiro n, Inteiro d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  if (n == 0) return TFracao(0, 1, true);
  if (Abs(n) > kLimiteReduzir || d > kLimiteReduzir) {
    const Inteiro g = Mdc(n, d);
    n /= g;
    d /= g;
  }
  return TFracao(n, d, true);
}

TFracao TFracao::De(Inteiro numerador, Inteiro denominador) {
  if (denominador == 0) throw std::invalid_argument("fração com denominador 0");
  return Normalizada(numerador, denominador);
}

TFracao TFracao::DeReal(double valor) {
  if (!std::isfinite(valor)) throw std::invalid_argument("valor que não é um número finito");
  if (valor == 0) return TFracao();
  char buf[64];
  const auto fim = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::scientific).ptr;
  const std::string forma(buf, fim);  // "-2.6e+00": the shortest digits that convert back
  const size_t e = forma.find('e');
  Inteiro digitos = 0;
  int quantos = 0;
  for (size_t i = forma[0] == '-' ? 1 : 0; i < e; ++i)
    if (forma[i] != '.') {
      digitos = digitos * 10 + (forma[i] - '0');
      ++quantos;
    }
  if (forma[0] == '-') digitos = -digitos;
  // value = digitos x 10^escala
  const int escala = std::stoi(forma.substr(e + 1)) - (quantos - 1);
  if (escala >= 0) {
    if (escala > 38) Estouro("conversão de real");
    return Normalizada(Mul(digitos, Potencia10(escala), "conversão de real"), 1);
  }
  int decimais = -escala;
  if (decimais > kMaxDecimais) {
    const int cortar = decimais - kMaxDecimais;
    digitos = cortar > 38 ? 0 : moeda::DividirArredondando(digitos, Potencia10(cortar), TModoArredondamento::Par);
    decimais = kMaxDecimais;
  }
  return Normalizada(digitos, Potencia10(decimais));
}

TFracao TFracao::operator-() const {
  if (num_ == kMinimo) Estouro("-");
  return TFracao(-num_, den_, true);
}

TFracao TFracao::operator+(const TFracao& o) const {
  if (den_ == o.den_) return Normalizada(Soma(num_, o.num_, "+"), den_);
  const Inteiro g = Mdc(den_, o.den_);
  const Inteiro a = den_ / g, b = o.den_ / g;
  return Normalizada(Soma(Mul(num_, b, "+"), Mul(o.num_, a, "+"), "+"), Mul(den_, b, "+"));
}

TFracao TFracao::operator*(const TFracao& o) const {
  Inteiro n = 0, d = 0;
  if (!__builtin_mul_overflow(num_, o.num_, &n) && !__builtin_mul_overflow(den_, o.den_, &d)) return Normalizada(n, d);
  // Cancel across before multiplying: a/b x c/d = (a/g1 x c/g2) / (b/g2 x d/g1).
  const Inteiro g1 = Mdc(num_, o.den_), g2 = Mdc(o.num_, den_);
  return Normalizada(Mul(num_ / g1, o.num_ / g2, "x"), Mul(den_ / g2, o.den_ / g1, "x"));
}

TFracao TFracao::operator/(const TFracao& o) const {
  if (o.num_ == 0) throw std::invalid_argument("divisão por zero");
  return *this * TFracao(o.num_ < 0 ? -o.den_ : o.den_, Abs(o.num_), true);
}

std::strong_ordering TFracao::operator<=>(const TFracao& o) const {
  Inteiro x = 0, y = 0;
  if (!__builtin_mul_overflow(num_, o.den_, &x) && !__builtin_mul_overflow(o.num_, den_, &y)) return x <=> y;
  // Too large to cross-multiply: compare the whole parts, then the remainders the same way
  // (their reciprocals, in reverse), as Euclid's algorithm does.
  auto Piso = [](Inteiro n, Inteiro d) {
    Inteiro q = n / d;
    if (n % d != 0 && n < 0) --q;
    return q;
  };
  const Inteiro qa = Piso(num_, den_), qb = Piso(o.num_, o.den_);
  if (qa != qb) return qa <=> qb;
  const Inteiro ra = num_ - qa * den_, rb = o.num_ - qb * o.den_;
  if (ra == 0 || rb == 0) return ra <=> rb;  // both remainders are non-negative
  return TFracao(o.den_, rb, true) <=> TFracao(den_, ra, true);
}

TFracao TFracao::Arredondar(int decimais, TModoArredondamento modo) const {
  if (decimais < 0 || decimais > kMaxDecimais)
    throw std::invalid_argument("Arredondamento para " + std::to_string(decimais) + " casas decimais: use de 0 a 30.");
  const Inteiro p = Potencia10(decimais);
  Inteiro escalado = 0;
  if (!__builtin_mul_overflow(num_, p, &escalado)) return Normalizada(moeda::DividirArredondando(escalado, den_, modo), p);
  // whole part and remainder apart: the remainder is below the denominator
  const Inteiro inteiro = num_ / den_, resto = num_ % den_;
  const Inteiro fracao = moeda::DividirArredondando(Mul(resto, p, "arredondamento"), den_, modo);
  return Normalizada(Soma(Mul(inteiro, p, "arredondamento"), fracao, "arredondamento"), p);
}

Currency TFracao::ParaMoeda(TModoArredondamento modo) const {
  const TFracao r = Arredondar(4, modo);
  const Inteiro raw = Mul(r.num_, Currency::kEscala / r.den_, "conversão para moeda");
  if (raw > INT64_MAX || raw < INT64_MIN) Estouro("conversão para moeda");
  return Currency::FromRaw(static_cast<int64_t>(raw));
}

std::string TFracao::TextoDecimal() const {
  int decimais = 0;
  while (decimais < kMaxDecimais && Potencia10(decimais) % den_ != 0) ++decimais;
  const TFracao r = Arredondar(decimais, TModoArredondamento::Par);
  const Inteiro escalado = Mul(r.num_, Potencia10(decimais) / r.den_, "texto decimal");
  std::string d = Digitos(Abs(escalado));
  if (decimais > 0) {
    if (static_cast<int>(d.size()) <= decimais) d.insert(0, static_cast<size_t>(decimais + 1) - d.size(), '0');
    d.insert(d.size() - static_cast<size_t>(decimais), ",");
    while (d.back() == '0') d.pop_back();
    if (d.back() == ',') d.pop_back();
  }
  return (escalado < 0 ? "-" : "") + d;
}
