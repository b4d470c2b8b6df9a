#pragma once
// The database engine under the host: a connection and its prepared statements behind one
// interface, implemented by the embedded SQLite file (the default) and by an office's PostgreSQL
// server. The method names are those of the SQLite wrapper the host was first written against, so
// a statement reads the same whichever engine runs it. Every SQL text given here is in SQLite's
// dialect; an engine that speaks another one rewrites it before preparing (host/banco/adaptadorsql.h).
#include <concepts>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;

namespace banco {

// How a database is opened; kCriar creates it when missing.
enum TModo : int { kLeitura = 0x01, kEscrita = 0x02, kCriar = 0x04 };

enum class TDialeto { SQLite, PostgreSQL };

// Type of a column's value in the current row (the numbers are SQLite's own).
enum class TTipoValor : int { Inteiro = 1, Real = 2, Texto = 3, Blob = 4, Nulo = 5 };

// A failure of the engine. `Ocupado` when the database was locked by another connection for
// longer than this one waits; the statement that met the lock did not run.
class EMotor : public std::runtime_error {
 public:
  EMotor(const std::string& mensagem, int codigo, bool ocupado = false)
      : std::runtime_error(mensagem), codigo_(codigo), ocupado_(ocupado) {}
  int getErrorCode() const { return codigo_; }
  bool Ocupado() const { return ocupado_; }

 private:
  int codigo_;
  bool ocupado_;
};

// A prepared statement of an engine. Parameters are numbered from 1, columns from 0.
class IComandoMotor {
 public:
  virtual ~IComandoMotor() = default;
  virtual void VincularInteiro(int i, int64_t v) = 0;
  virtual void VincularReal(int i, double v) = 0;
  virtual void VincularTexto(int i, const std::string& v) = 0;
  virtual void VincularNulo(int i) = 0;
  virtual void LimparVinculos() = 0;
  // Runs or moves to the next row: true while there is a row.
  virtual bool Passo() = 0;
  // Rows changed by the statement that last ran to its end.
  virtual int Alteradas() = 0;
  virtual void Reiniciar() = 0;
  virtual int Colunas() = 0;
  virtual std::string NomeColuna(int i) = 0;
  // The value's kind and its reading as each type (converted as SQLite converts).
  virtual TTipoValor Tipo(int i) = 0;
  virtual int64_t Inteiro(int i) = 0;
  virtual double Real(int i) = 0;
  virtual std::string Texto(int i) = 0;
};

// A connection of an engine.
class IMotor {
 public:
  virtual ~IMotor() = default;
  virtual TDialeto Dialeto() const = 0;
  // Runs statements without results, several separated by ';'.
  virtual int Executar(const std::string& sql) = 0;
  virtual std::shared_ptr<IComandoMotor> Preparar(const std::string& sql) = 0;
  virtual int64_t UltimoId() = 0;
  virtual void EsperaOcupado(int milissegundos) = 0;
  virtual bool EmTransacao() = 0;
  virtual bool TemTabela(const std::string& nome) = 0;
  // A number that changes when another connection has committed a change since it was last read
  // (it may change for this connection's own changes too).
  virtual int64_t VersaoDados() = 0;
  // The SQLite connection underneath, for the readers that step it directly; null on other engines.
  virtual sqlite3* HandleSQLite() { return nullptr; }
};

// One value of the current row of a statement.
class TColuna {
 public:
  TColuna(std::shared_ptr<IComandoMotor> comando, int indice) : c_(std::move(comando)), i_(indice) {}
  TTipoValor getType() const { return c_->Tipo(i_); }
  bool isNull() const { return getType() == TTipoValor::Nulo; }
  bool isInteger() const { return getType() == TTipoValor::Inteiro; }
  bool isFloat() const { return getType() == TTipoValor::Real; }
  bool isText() const { return getType() == TTipoValor::Texto; }
  int32_t getInt() const { return static_cast<int32_t>(c_->Inteiro(i_)); }
  int64_t getInt64() const { return c_->Inteiro(i_); }
  double getDouble() const { return c_->Real(i_); }
  std::string getString() const { return c_->Texto(i_); }
  std::string getName() const { return c_->NomeColuna(i_); }

 private:
  std::shared_ptr<IComandoMotor> c_;
  int i_;
};

// A database connection: a SQLite file (path, or ":memory:") or an office server
// ("postgresql://..." or "postgresql:" for the PG* environment variables).
class TBanco {
 public:
  explicit TBanco(const std::string& alvo, int modo = kLeitura);
  explicit TBanco(std::unique_ptr<IMotor> motor) : m_(std::move(motor)) {}
  // Whether `alvo` names a server rather than a file.
  static bool EhServidor(const std::string& alvo);
  // `alvo` as it may be shown or kept: a server URI's password (after the user, or a password
  // parameter) written as `senha` ("***" to show it masked, empty to drop it). A path is left as it is.
  static std::string SemSenha(const std::string& alvo, const std::string& senha = "***");

  TDialeto Dialeto() const { return m_->Dialeto(); }
  int exec(const std::string& sql) { return m_->Executar(sql); }
  // First column of the first row (fails when there is no row).
  TColuna execAndGet(const std::string& sql);
  bool tableExists(const std::string& nome) { return m_->TemTabela(nome); }
  int64_t getLastInsertRowid() { return m_->UltimoId(); }
  void setBusyTimeout(int milissegundos) { m_->EsperaOcupado(milissegundos); }
  bool EmTransacao() { return m_->EmTransacao(); }
  int64_t VersaoDados() { return m_->VersaoDados(); }
  // The SQLite connection; fails on another engine.
  sqlite3* getHandle();
  IMotor& Motor() { return *m_; }

 private:
  std::unique_ptr<IMotor> m_;
};

// A prepared statement.
class TComando {
 public:
  TComando(TBanco& banco, const std::string& sql) : c_(banco.Motor().Preparar(sql)) {}

  void bind(int i, double v) { c_->VincularReal(i, v); }
  void bind(int i, const std::string& v) { c_->VincularTexto(i, v); }
  void bind(int i, const char* v) { c_->VincularTexto(i, v); }
  template <std::integral T>
  void bind(int i, T v) {
    c_->VincularInteiro(i, static_cast<int64_t>(v));
  }
  void bind(int i) { c_->VincularNulo(i); }
  void clearBindings() { c_->LimparVinculos(); }

  bool executeStep() { return c_->Passo(); }
  // Runs a statement without results; the rows it changed.
  int exec();
  void reset() { c_->Reiniciar(); }

  int getColumnCount() const { return c_->Colunas(); }
  std::string getColumnName(int i) const { return c_->NomeColuna(i); }
  TColuna getColumn(int i) const { return TColuna(c_, i); }
  TColuna getColumn(const std::string& nome) const;

 private:
  std::shared_ptr<IComandoMotor> c_;
};

}  // namespace banco
