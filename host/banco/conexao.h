#pragma once
// The host's SQL connection: one SQLite file holding the host's and the settlement's tables.
// A file is ours when it carries the HS_VERSAO table with the schema version this program writes.
#include <memory>
#include <stdexcept>
#include <string>

#include <SQLiteCpp/Database.h>

// Every database failure reaches callers as this type (message in Portuguese, SQL shortened).
class EBancoDados : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TQDConnection {
 public:
  static constexpr int kVersaoEsquema = 1;

  // Opens an existing database of ours; throws EBancoDados when the file is missing, is not a
  // SQLite database, has no HS_VERSAO table or has another schema version.
  static std::unique_ptr<TQDConnection> Abrir(const std::string& arquivo);
  // Creates a new database file with the schema (fails when the file exists).
  static std::unique_ptr<TQDConnection> Criar(const std::string& arquivo);
  // An in-memory database with the schema (tests, benchmark).
  static std::unique_ptr<TQDConnection> CriarEmMemoria();

  SQLite::Database& Db() { return *db_; }
  // Runs statements without results (several separated by ';').
  void Executar(const std::string& sql);
  int64_t UltimoId() const { return db_->getLastInsertRowid(); }
  void CarregarDemo();

 private:
  explicit TQDConnection(std::unique_ptr<SQLite::Database> db) : db_(std::move(db)) {}
  void CriarEsquema();
  std::unique_ptr<SQLite::Database> db_;
};

// A write that either happens whole or not at all: rolls back unless Confirmar() was called.
// Nests: only the outermost transaction commits (inner ones use savepoints).
class TTransacao {
 public:
  explicit TTransacao(TQDConnection& c);
  ~TTransacao();
  TTransacao(const TTransacao&) = delete;
  TTransacao& operator=(const TTransacao&) = delete;
  void Confirmar();

 private:
  TQDConnection& c_;
  std::string nome_;
  bool confirmada_ = false;
};
