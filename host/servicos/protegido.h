#pragma once
// What the host services share inside their sources: SQLite failures reach callers as the
// database error naming the service, and the validity condition of the dated host tables.
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

}  // namespace servicos
