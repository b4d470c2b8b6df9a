#include "host/base/moeda.h"

#include <cmath>
#include <stdexcept>

Currency Currency::FromDouble(double valor) {
  double x = std::round(valor * static_cast<double>(kEscala));
  if (!std::isfinite(x) || std::fabs(x) > 9.2e18)
    throw std::overflow_error("valor monetário fora do intervalo suportado");
  return FromRaw(static_cast<int64_t>(x));
}

Currency ArredondarMoeda(Currency valor, int decimais, TModoArredondamento modo) {
  if (decimais < 0 || decimais > 4) throw std::invalid_argument("casas decimais fora de 0..4");
  int64_t passo = 1;
  for (int i = decimais; i < 4; ++i) passo *= 10;
  int64_t v = valor.Raw();
  int64_t q = v / passo;  // truncates towards zero
  int64_t r = v % passo;
  if (modo == TModoArredondamento::Matematico && std::llabs(r) * 2 >= passo) q += v < 0 ? -1 : 1;
  return Currency::FromRaw(q * passo);
}
