#include "host/banco/conexao.h"

#include <atomic>
#include <filesystem>

#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include "db/recursos.h"

namespace {
void Configurar(SQLite::Database& db) {
  db.exec("PRAGMA foreign_keys = OFF; PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
}
}  // namespace

std::unique_ptr<TQDConnection> TQDConnection::Abrir(const std::string& arquivo) {
  if (!std::filesystem::exists(arquivo)) throw EBancoDados("Banco de dados não encontrado: " + arquivo);
  std::unique_ptr<SQLite::Database> db;
  try {
    db = std::make_unique<SQLite::Database>(arquivo, SQLite::OPEN_READWRITE);
    Configurar(*db);
    if (!db->tableExists("HS_VERSAO"))
      throw EBancoDados("O arquivo " + arquivo + " não é um banco de dados do livro de ICMS (sem a tabela HS_VERSAO).");
    int versao = db->execAndGet("SELECT MAX(VERSAO) FROM HS_VERSAO").getInt();
    if (versao != kVersaoEsquema)
      throw EBancoDados("O banco " + arquivo + " tem a versão de esquema " + std::to_string(versao) +
                        "; este programa usa a versão " + std::to_string(kVersaoEsquema) + ".");
  } catch (const SQLite::Exception& e) {
    throw EBancoDados("O arquivo " + arquivo + " não é um banco de dados SQLite válido: " + e.what());
  }
  return std::unique_ptr<TQDConnection>(new TQDConnection(std::move(db)));
}

std::unique_ptr<TQDConnection> TQDConnection::Criar(const std::string& arquivo) {
  if (std::filesystem::exists(arquivo)) throw EBancoDados("O arquivo já existe: " + arquivo);
  try {
    auto db = std::make_unique<SQLite::Database>(arquivo, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
    Configurar(*db);
    std::unique_ptr<TQDConnection> c(new TQDConnection(std::move(db)));
    c->CriarEsquema();
    return c;
  } catch (const SQLite::Exception& e) {
    std::filesystem::remove(arquivo);
    throw EBancoDados("Não foi possível criar o banco " + arquivo + ": " + e.what());
  }
}

std::unique_ptr<TQDConnection> TQDConnection::CriarEmMemoria() {
  auto db = std::make_unique<SQLite::Database>(":memory:", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
  std::unique_ptr<TQDConnection> c(new TQDConnection(std::move(db)));
  c->CriarEsquema();
  return c;
}

void TQDConnection::CriarEsquema() {
  SQLite::Transaction t(*db_);
  db_->exec(SqlEsquema());
  t.commit();
}

void TQDConnection::CarregarDemo() {
  TTransacao t(*this);
  Executar(SqlDemo());
  t.Confirmar();
}

void TQDConnection::Executar(const std::string& sql) {
  try {
    db_->exec(sql);
  } catch (const SQLite::Exception& e) {
    throw EBancoDados(std::string("Erro no banco de dados: ") + e.what() + " [" + sql.substr(0, 200) + "]");
  }
}

TTransacao::TTransacao(TQDConnection& c) : c_(c) {
  static std::atomic<int> seq{0};
  nome_ = "sp" + std::to_string(++seq);
  c_.Executar("SAVEPOINT " + nome_);
}

TTransacao::~TTransacao() {
  if (confirmada_) return;
  try {
    c_.Db().exec("ROLLBACK TO " + nome_ + "; RELEASE " + nome_);
  } catch (...) {  // never throw from a destructor
  }
}

void TTransacao::Confirmar() {
  c_.Executar("RELEASE " + nome_);
  confirmada_ = true;
}
