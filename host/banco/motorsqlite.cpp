#include "host/banco/motorsqlite.h"

#include <sqlite3.h>

namespace banco {

namespace {

[[noreturn]] void Falhar(sqlite3* db, int rc) {
  throw EMotor(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc), rc, (rc & 0xff) == SQLITE_BUSY);
}

class TComandoSQLite : public IComandoMotor {
 public:
  TComandoSQLite(sqlite3* db, const std::string& sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &st_, nullptr);
    if (rc != SQLITE_OK) {
      sqlite3_finalize(st_);
      Falhar(db_, rc);
    }
    colunas_ = sqlite3_column_count(st_);
  }
  ~TComandoSQLite() override { sqlite3_finalize(st_); }
  TComandoSQLite(const TComandoSQLite&) = delete;
  TComandoSQLite& operator=(const TComandoSQLite&) = delete;

  void VincularInteiro(int i, int64_t v) override { Verificar(sqlite3_bind_int64(st_, i, v)); }
  void VincularReal(int i, double v) override { Verificar(sqlite3_bind_double(st_, i, v)); }
  void VincularTexto(int i, const std::string& v) override {
    Verificar(sqlite3_bind_text(st_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
  }
  void VincularNulo(int i) override { Verificar(sqlite3_bind_null(st_, i)); }
  void LimparVinculos() override { Verificar(sqlite3_clear_bindings(st_)); }

  bool Passo() override {
    const int rc = sqlite3_step(st_);
    linha_ = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return linha_;
    Falhar(db_, rc);
  }
  int Alteradas() override { return sqlite3_changes(db_); }
  void Reiniciar() override {
    linha_ = false;
    Verificar(sqlite3_reset(st_));
  }
  int Colunas() override { return colunas_; }
  std::string NomeColuna(int i) override {
    Indice(i);
    return sqlite3_column_name(st_, i);
  }
  TTipoValor Tipo(int i) override { return static_cast<TTipoValor>(sqlite3_column_type(st_, Lida(i))); }
  int64_t Inteiro(int i) override { return sqlite3_column_int64(st_, Lida(i)); }
  double Real(int i) override { return sqlite3_column_double(st_, Lida(i)); }
  std::string Texto(int i) override {
    const auto* t = static_cast<const char*>(sqlite3_column_blob(st_, Lida(i)));
    return t ? std::string(t, static_cast<size_t>(sqlite3_column_bytes(st_, i))) : std::string();
  }

 private:
  void Verificar(int rc) const {
    if (rc != SQLITE_OK) Falhar(db_, rc);
  }
  void Indice(int i) const {
    if (i < 0 || i >= colunas_) throw EMotor("Coluna " + std::to_string(i) + " fora do resultado", SQLITE_RANGE);
  }
  int Lida(int i) const {
    Indice(i);
    if (!linha_) throw EMotor("Nenhuma linha para ler a coluna: a consulta não tem linha corrente", SQLITE_MISUSE);
    return i;
  }
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
  int colunas_ = 0;
  bool linha_ = false;
};

class TMotorSQLite : public IMotor {
 public:
  TMotorSQLite(const std::string& arquivo, int modo) {
    const int flags = (modo & kCriar ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE
                       : modo & kEscrita ? SQLITE_OPEN_READWRITE
                                         : SQLITE_OPEN_READONLY);
    const int rc = sqlite3_open_v2(arquivo.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
      const std::string msg = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
      sqlite3_close(db_);
      throw EMotor(msg, rc);
    }
  }
  ~TMotorSQLite() override {
    versao_.reset();
    sqlite3_close_v2(db_);
  }
  TMotorSQLite(const TMotorSQLite&) = delete;
  TMotorSQLite& operator=(const TMotorSQLite&) = delete;

  TDialeto Dialeto() const override { return TDialeto::SQLite; }
  int Executar(const std::string& sql) override {
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) Falhar(db_, rc);
    return sqlite3_changes(db_);
  }
  std::shared_ptr<IComandoMotor> Preparar(const std::string& sql) override {
    return std::make_shared<TComandoSQLite>(db_, sql);
  }
  int64_t UltimoId() override { return sqlite3_last_insert_rowid(db_); }
  void EsperaOcupado(int milissegundos) override {
    const int rc = sqlite3_busy_timeout(db_, milissegundos);
    if (rc != SQLITE_OK) Falhar(db_, rc);
  }
  bool EmTransacao() override { return !sqlite3_get_autocommit(db_); }
  bool TemTabela(const std::string& nome) override {
    TComandoSQLite q(db_, "SELECT count(*) FROM sqlite_master WHERE type='table' AND name=?");
    q.VincularTexto(1, nome);
    return q.Passo() && q.Inteiro(0) == 1;
  }
  // Asked before every faster form a run answers: prepared once.
  int64_t VersaoDados() override {
    if (!versao_) versao_ = std::make_unique<TComandoSQLite>(db_, "PRAGMA data_version");
    const int64_t v = versao_->Passo() ? versao_->Inteiro(0) : 0;
    versao_->Reiniciar();
    return v;
  }
  sqlite3* HandleSQLite() override { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::unique_ptr<TComandoSQLite> versao_;
};

}  // namespace

std::unique_ptr<IMotor> AbrirSQLite(const std::string& arquivo, int modo) {
  return std::make_unique<TMotorSQLite>(arquivo, modo);
}

}  // namespace banco
