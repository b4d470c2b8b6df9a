#pragma once
// The embedded engine: a SQLite file, the program's default and the demo's.
#include <memory>
#include <string>

#include "host/banco/motor.h"

namespace banco {

// Opens (kCriar: creates) the file `arquivo` with the modes of TModo; ":memory:" is a database in
// memory. The connection waits for no lock until told to (TBanco::setBusyTimeout).
std::unique_ptr<IMotor> AbrirSQLite(const std::string& arquivo, int modo);

}  // namespace banco
