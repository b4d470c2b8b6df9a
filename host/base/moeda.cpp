#include "host/base/moeda.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace moeda {

std::string TextoExato(int64_t v) {
  // The magnitude as unsigned, so that INT64_MIN is printed too.
  uint64_t m = v < 0 ? ~static_cast<uint64_t>(v) + 1 : static_cast<uint64_t>(v);
  std::string inteiro = std::to_string(m / Currency::kEscala);
  std::string agrupado;
  for (size_t k = 0; k < inteiro.size(); ++k) {
    if (k > 0 && (inteiro.size() - k) % 3 == 0) agrupado.push_back('.');
    agrupado.push_back(inteiro[k]);
  }
  std::string decimais = std::to_string(m % Currency::kEscala);
  return (v < 0 ? "-" : "") + agrupado + "," + std::string(4 - decimais.size(), '0') + decimais;
}

void Estouro(const char* operacao, int64_t a, int64_t b) {
  std::string conta;
  if (std::strcmp(operacao, "x") == 0)
    conta = TextoExato(a) + " x " + std::to_string(b);
  else if (std::strcmp(operacao, "-") == 0 && b == 0 && a == INT64_MIN)
    conta = "-(" + TextoExato(a) + ")";
  else
    conta = TextoExato(a) + " " + operacao + " " + TextoExato(b);
  throw EEstouroMoeda("Valor monetário fora do limite suportado (±" + TextoExato(INT64_MAX) + "): " + conta);
}

}  // namespace moeda

Currency Currency::FromDouble(double valor) {
  double x = std::round(valor * static_cast<double>(kEscala));
  // 2^63 is exactly representable; every double below it converts without overflow.
  if (!std::isfinite(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0) {
    char b[64];
    std::snprintf(b, sizeof b, "%.17g", valor);
    throw EEstouroMoeda(std::string("Valor ") + b + " fora do limite suportado pelo tipo monetário (±" +
                        moeda::TextoExato(INT64_MAX) + ")");
  }
  return FromRaw(static_cast<int64_t>(x));
}

namespace moeda {

Inteiro128 DividirArredondando(Inteiro128 numerador, Inteiro128 denominador, TModoArredondamento modo) {
  if (denominador <= 0) throw std::invalid_argument("denominador da divisão deve ser positivo");
  Inteiro128 q = 0, r = 0;
  // Most divisions fit in 64 bits, where the machine divides far faster.
  if (numerador >= INT64_MIN && numerador <= INT64_MAX && denominador <= INT64_MAX) {
    const auto n = static_cast<int64_t>(numerador), d = static_cast<int64_t>(denominador);
    q = n / d;
    r = n % d;
  } else {
    q = numerador / denominador;  // truncates towards zero
    r = numerador % denominador;
  }
  if (r == 0 || modo == TModoArredondamento::Truncar) return q;
  const Inteiro128 resto = r < 0 ? -r : r;
  // compares twice the remainder with the denominator without doubling either (no overflow)
  const bool passaMetade = resto > denominador - resto;
  const bool metade = resto == denominador - resto;
  const bool afastar = passaMetade || (metade && (modo == TModoArredondamento::Matematico || q % 2 != 0));
  if (afastar) q += numerador < 0 ? -1 : 1;
  return q;
}

}  // namespace moeda

namespace {
int64_t Passo(int decimais) {
  if (decimais < 0 || decimais > 4) throw std::invalid_argument("casas decimais fora de 0..4");
  int64_t passo = 1;
  for (int i = decimais; i < 4; ++i) passo *= 10;
  return passo;
}
}  // namespace

Currency ArredondarMoeda(Currency valor, int decimais, TModoArredondamento modo) {
  const int64_t passo = Passo(decimais);
  return Currency::FromRaw(static_cast<int64_t>(moeda::DividirArredondando(valor.Raw(), passo, modo))) * passo;
}

Currency MultiplicarPorFracao(Currency valor, int64_t numerador, int64_t denominador, int decimais) {
  const int64_t passo = Passo(decimais);
  if (denominador <= 0) throw std::invalid_argument("denominador da fração deve ser positivo");
  const moeda::Inteiro128 produto = static_cast<moeda::Inteiro128>(valor.Raw()) * numerador;
  const moeda::Inteiro128 resultado =
      moeda::DividirArredondando(produto, static_cast<moeda::Inteiro128>(denominador) * passo, TModoArredondamento::Matematico) *
      passo;
  if (resultado > INT64_MAX || resultado < INT64_MIN) moeda::Estouro("x", valor.Raw(), numerador);
  return Currency::FromRaw(static_cast<int64_t>(resultado));
}
