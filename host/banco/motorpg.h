#pragma once
// The office's engine: a PostgreSQL server reached through libpq. The SQL given to it is in
// SQLite's dialect, as everywhere in the host, and is rewritten for the server before it is
// prepared (PrepararParaPostgreSQL in host/banco/adaptadorsql.h).
#include <memory>
#include <string>

#include "host/banco/motor.h"

namespace banco {

// Connects to `alvo`: a "postgresql://" URI, or "postgresql:" alone for the PG* environment
// variables. Throws EMotor naming the server's refusal.
std::unique_ptr<IMotor> AbrirPostgreSQL(const std::string& alvo);

}  // namespace banco
