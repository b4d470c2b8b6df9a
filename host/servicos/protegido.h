#pragma once
// What the host services share inside their sources: SQLite failures reach callers as the
// database error naming the service, the validity condition of the dated host tables, and the
// 32-bit ids the module's interfaces carry.
#include <cstdint>
#include <string>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"

namespace servicos {

// The row is in force on the date bound as ?1.
inline constexpr const char* kVigente = " DATAINICIO <= ?1 AND (DATAFIM IS NULL OR DATAFIM >= ?1) ";

template <typename F>
auto Protegido(const char* operacao, F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string(operacao) + ": " + e.what());
  }
}

// A table's id handed to the module as a 32-bit integer; a larger one is refused, naming it.
inline int32_t IdInteiro(int64_t id, const char* tabela) {
  if (id > INT32_MAX)
    throw EBancoDados(std::string("Id de ") + tabela + " além do limite de 32 bits: " + std::to_string(id));
  return static_cast<int32_t>(id);
}

}  // namespace servicos
