#pragma once
// The host's SQL connection: one SQLite file holding the host's and the settlement's tables.
// A file is ours when it carries the HS_VERSAO table with a schema version this program knows; it
// is looked at read-only first, so that a file of another program is refused untouched. Only then
// is it opened for writing, configured (WAL journal, busy wait) and, when it is of the previous
// version, migrated.
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

#include "host/banco/motor.h"

namespace banco { class TApuracaoEmCurso; }

// Every database failure reaches callers as this type (message in Portuguese, SQL shortened).
class EBancoDados : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Another program kept the database locked for longer than the connection waits (SQLITE_BUSY).
// The statement that met the lock did not run, so its transaction records nothing.
class EBancoOcupado : public EBancoDados {
 public:
  using EBancoDados::EBancoDados;
};

// Turns an SQLite failure into the database error: EBancoOcupado, with a message naming the cause,
// when the database was locked; otherwise EBancoDados with `mensagem`.
[[noreturn]] void LancarErroBanco(const banco::EMotor& e, const std::string& mensagem);

class TQDConnection {
 public:
  // 2: CFOP codes unique and well formed, amounts and codes checked by the schema (docs/tabelas.md).
  // 3: documents and entries loaded by an EFD import carry its id (HS_IMPORTACAOEFD).
  // 4: dates of documents and entries, and four decimals of item amounts, checked by the schema.
  // 5: a definitive book keeps its print mode (HS_NUMERACAOLIVRO.FRENTEVERSO).
  // 6: settled periods whose data changed since (HS_PERIODOALTERADO), the digest of an imported file.
  // 7: the client's own block E obligations and declaratory lines of an import (HS_OBRIGACAOEFD).
  static constexpr int kVersaoEsquema = 7;
  // How long a statement waits for another program's lock before failing: long enough for any
  // short write of another program (an import, the host's own screens), short enough that a
  // database left locked is reported while the user is still there.
  static constexpr std::chrono::milliseconds kEsperaOcupado{30000};

  // Opens an existing database of ours; throws EBancoDados when the file is missing, is not a
  // SQLite database, has no HS_VERSAO table or has an unknown schema version, and EDadosInvalidos
  // (host/banco/integridade.h) when a version-1 database holds CFOP rows that stop its migration.
  // Databases of an earlier version are migrated, step by step, to this one.
  static std::unique_ptr<TQDConnection> Abrir(const std::string& arquivo);
  // Creates a new database file with the schema (fails when the file exists).
  static std::unique_ptr<TQDConnection> Criar(const std::string& arquivo);
  // An in-memory database with the schema (tests, benchmark).
  static std::unique_ptr<TQDConnection> CriarEmMemoria();

  banco::TBanco& Db() { return *db_; }
  // Runs statements without results (several separated by ';').
  void Executar(const std::string& sql);
  int64_t UltimoId() const { return db_->getLastInsertRowid(); }
  void CarregarDemo();
  // Changes how long statements wait for another program's lock (tests shorten it).
  void SetEsperaOcupado(std::chrono::milliseconds espera);
  // The settlement run in progress on this connection, if any (host/banco/formasrapidas.h).
  banco::TApuracaoEmCurso* ApuracaoEmCurso() const { return apuracaoEmCurso_; }

 private:
  friend class banco::TApuracaoEmCurso;
  explicit TQDConnection(std::unique_ptr<banco::TBanco> db) : db_(std::move(db)) {}
  void Configurar();
  void CriarEsquema();
  void Migrar(const std::string& arquivo);
  std::unique_ptr<banco::TBanco> db_;
  banco::TApuracaoEmCurso* apuracaoEmCurso_ = nullptr;
};

// A write that either happens whole or not at all: rolls back unless Confirmar() was called.
// Nests: the outermost one is a transaction begun with BEGIN IMMEDIATE, which takes the write lock
// at once (waiting for it like any statement), so that a transaction never fails half-way trying to
// turn its reads into a write; inner ones are savepoints inside it.
class TTransacao {
 public:
  explicit TTransacao(TQDConnection& c);
  ~TTransacao();
  TTransacao(const TTransacao&) = delete;
  TTransacao& operator=(const TTransacao&) = delete;
  void Confirmar();

 private:
  TQDConnection& c_;
  std::string nome_;  // savepoint name; empty for the outermost transaction
  bool confirmada_ = false;
};
