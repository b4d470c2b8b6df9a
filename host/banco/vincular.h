#pragma once
// Binds the parameters of a prepared statement in order (1, 2, ...) in one call; an empty
// std::optional binds NULL. Integers of every width go in as 64-bit values.
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>

#include "host/banco/motor.h"

namespace banco {

inline void VincularUm(banco::TComando& s, int i, const std::string& v) { s.bind(i, v); }
inline void VincularUm(banco::TComando& s, int i, const char* v) { s.bind(i, std::string(v)); }
inline void VincularUm(banco::TComando& s, int i, double v) { s.bind(i, v); }
template <std::integral T>
void VincularUm(banco::TComando& s, int i, T v) {
  s.bind(i, static_cast<int64_t>(v));
}
template <class T>
void VincularUm(banco::TComando& s, int i, const std::optional<T>& v) {
  if (v) VincularUm(s, i, *v);
  else s.bind(i);
}

template <class... A>
banco::TComando& Vincular(banco::TComando& s, const A&... valores) {
  s.reset();
  int i = 1;
  (VincularUm(s, i++, valores), ...);
  return s;
}

}  // namespace banco
