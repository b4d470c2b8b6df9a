#include "host/banco/motorpg.h"

#include <strings.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <vector>

#include <libpq-fe.h>

#include "host/banco/adaptadorsql.h"

namespace banco {

namespace {

// Type oids of the server's built-in types, as the catalogue fixes them.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

// SQLSTATEs of a lock not obtained in time and of a deadlock broken by the server: the statement
// did not run, as SQLite's busy.
bool Ocupado(const std::string& estado) { return estado == "55P03" || estado == "40P01" || estado == "40001"; }

// The branches of a CASE of different types, which SQLite accepts.
bool DeTiposDiferentes(const PGresult* r) {
  const char* estado = PQresultErrorField(r, PG_DIAG_SQLSTATE);
  return estado && std::strcmp(estado, "42804") == 0 && std::strstr(PQresultErrorMessage(r), "CASE") != nullptr;
}

// The server folds unquoted names to lower case; SQLite gives a column the name as the text writes
// it. The last word of the text that is the name but for case, or the server's name.
std::string GrafiaNoTexto(const std::string& sql, const char* nome) {
  const size_t n = std::strlen(nome);
  std::string achada = nome;
  auto letra = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (size_t i = 0; i + n <= sql.size(); ++i) {
    if ((i > 0 && letra(sql[i - 1])) || (i + n < sql.size() && letra(sql[i + n]))) continue;
    if (strncasecmp(sql.c_str() + i, nome, n) == 0) achada = sql.substr(i, n);
  }
  return achada;
}

// Whether a text has a CASE (in any case of letters).
bool TemCaso(const std::string& sql) {
  for (size_t i = 0; i + 4 <= sql.size(); ++i)
    if (strncasecmp(sql.c_str() + i, "CASE", 4) == 0) return true;
  return false;
}

[[noreturn]] void Falhar(PGconn* c, PGresult* r) {
  std::string msg = r ? PQresultErrorMessage(r) : PQerrorMessage(c);
  const char* estado = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  const std::string e = estado ? estado : "";
  if (r) PQclear(r);
  while (!msg.empty() && (msg.back() == '\n' || msg.back() == ' ')) msg.pop_back();
  // The server refused the role: a privilege it lacks, or a row of a company not granted to it.
  if (e == "42501") {
    const std::string papel = PQuser(c) ? PQuser(c) : "?";
    msg = (msg.find("row-level security") != std::string::npos
               ? "O papel " + papel + " do servidor não tem acesso à empresa deste registro (" + msg + ")"
               : "O papel " + papel + " do servidor não tem permissão para esta operação (" + msg + ")") +
          "; peça ao administrador do escritório o acesso (livro-icms db papeis).";
  }
  throw EMotor(msg, 0, Ocupado(e));
}

struct TResultado {
  PGresult* r = nullptr;
  explicit TResultado(PGresult* x = nullptr) : r(x) {}
  ~TResultado() { if (r) PQclear(r); }
  TResultado(const TResultado&) = delete;
  TResultado& operator=(const TResultado&) = delete;
};

// A prepared statement on the server, shared by every command of the same text.
struct TPreparado {
  std::string nome;
  int parametros = 0;
  std::vector<std::string> colunas;
  std::vector<Oid> tipos;
};

class TMotorPG;

class TComandoPG : public IComandoMotor {
 public:
  TComandoPG(PGconn* c, std::shared_ptr<const TPreparado> p) : c_(c), p_(std::move(p)), valores_(p_->parametros) {}

  void VincularInteiro(int i, int64_t v) override { Valor(i) = std::to_string(v); }
  void VincularReal(int i, double v) override {
    char b[40];
    std::snprintf(b, sizeof b, "%.17g", v);
    Valor(i) = b;
  }
  void VincularTexto(int i, const std::string& v) override { Valor(i) = v; }
  void VincularNulo(int i) override { Valor(i).reset(); }
  void LimparVinculos() override {
    for (auto& v : valores_) v.reset();
  }

  bool Passo() override {
    if (!res_.r) {
      std::vector<const char*> ps;
      for (const auto& v : valores_) ps.push_back(v ? v->c_str() : nullptr);
      PGresult* r = PQexecPrepared(c_, p_->nome.c_str(), static_cast<int>(ps.size()), ps.data(), nullptr, nullptr, 0);
      const ExecStatusType st = PQresultStatus(r);
      if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) Falhar(c_, r);
      res_.r = r;
      linha_ = -1;
      linhas_ = PQntuples(r);
    }
    if (linha_ < linhas_) ++linha_;
    return linha_ < linhas_;
  }
  int Alteradas() override {
    const char* n = res_.r ? PQcmdTuples(res_.r) : "";
    return *n ? std::atoi(n) : 0;
  }
  void Reiniciar() override {
    if (res_.r) PQclear(res_.r);
    res_.r = nullptr;
  }
  int Colunas() override { return static_cast<int>(p_->colunas.size()); }
  std::string NomeColuna(int i) override { return p_->colunas.at(static_cast<size_t>(i)); }

  TTipoValor Tipo(int i) override {
    const char* v = Lido(i);
    if (!v) return TTipoValor::Nulo;
    switch (p_->tipos[static_cast<size_t>(i)]) {
      case kBool: case kInt2: case kInt4: case kInt8: case kOid: return TTipoValor::Inteiro;
      case kFloat4: case kFloat8: return TTipoValor::Real;
      case kNumeric: return DecimalInteiro(v) ? TTipoValor::Inteiro : TTipoValor::Real;
      default: return TTipoValor::Texto;
    }
  }
  int64_t Inteiro(int i) override {
    const char* v = Lido(i);
    if (!v) return 0;
    if (p_->tipos[static_cast<size_t>(i)] == kBool) return *v == 't';
    if (std::strpbrk(v, ".eE")) return static_cast<int64_t>(std::strtod(v, nullptr));
    return std::strtoll(v, nullptr, 10);
  }
  double Real(int i) override {
    const char* v = Lido(i);
    if (!v) return 0.0;
    if (p_->tipos[static_cast<size_t>(i)] == kBool) return *v == 't' ? 1.0 : 0.0;
    return std::strtod(v, nullptr);
  }
  std::string Texto(int i) override {
    const char* v = Lido(i);
    if (!v) return {};
    switch (Tipo(i)) {
      case TTipoValor::Inteiro: return std::to_string(Inteiro(i));
      case TTipoValor::Real: {
        // As SQLite writes a real: fifteen significant digits, always with a point.
        char b[40];
        std::snprintf(b, sizeof b, "%.15g", Real(i));
        std::string s = b;
        if (s.find_first_of(".eEni") == std::string::npos) s += ".0";
        return s;
      }
      default: return v;
    }
  }

 private:
  std::optional<std::string>& Valor(int i) {
    if (i < 1 || i > static_cast<int>(valores_.size()))
      throw EMotor("Parâmetro " + std::to_string(i) + " fora da instrução", 0);
    return valores_[static_cast<size_t>(i - 1)];
  }
  const char* Lido(int i) const {
    if (i < 0 || i >= static_cast<int>(p_->colunas.size()))
      throw EMotor("Coluna " + std::to_string(i) + " fora do resultado", 0);
    if (!res_.r || linha_ < 0 || linha_ >= linhas_)
      throw EMotor("Nenhuma linha para ler a coluna: a consulta não tem linha corrente", 0);
    return PQgetisnull(res_.r, linha_, i) ? nullptr : PQgetvalue(res_.r, linha_, i);
  }
  // A NUMERIC whose decimals are all zero reads as an integer, as SQLite keeps such a value.
  static bool DecimalInteiro(const char* v) {
    const char* p = std::strchr(v, '.');
    if (!p) return std::strlen(v) <= 18;
    for (const char* q = p + 1; *q; ++q)
      if (*q != '0') return false;
    return p - v <= 18;
  }

  PGconn* c_;
  std::shared_ptr<const TPreparado> p_;
  std::vector<std::optional<std::string>> valores_;
  TResultado res_;
  int linha_ = -1;
  int linhas_ = 0;
};

class TMotorPG : public IMotor {
 public:
  explicit TMotorPG(const std::string& alvo) {
    // "postgresql:" alone leaves every parameter to the PG* variables.
    const std::string info = alvo.find("//") == std::string::npos ? std::string() : alvo;
    c_ = PQconnectdb(info.c_str());
    if (PQstatus(c_) != CONNECTION_OK) {
      std::string msg = "Não foi possível conectar ao servidor PostgreSQL: " + std::string(PQerrorMessage(c_));
      PQfinish(c_);
      while (!msg.empty() && msg.back() == '\n') msg.pop_back();
      throw EMotor(msg, 0);
    }
    Executar("SET client_min_messages = warning");
    // Who holds a lock is told by the program's name with the user and machine it runs for.
    const char* nome = PQparameterStatus(c_, "application_name");
    if (!nome || !*nome) {
      char maquina[256] = "";
      gethostname(maquina, sizeof maquina - 1);
      const char* usuario = std::getenv("USER");
      const std::string app = std::string("livro-icms ") + (usuario ? usuario : "?") + "@" + maquina;
      if (char* literal = PQescapeLiteral(c_, app.c_str(), app.size())) {
        TResultado r(PQexec(c_, ("SET application_name = " + std::string(literal)).c_str()));
        PQfreemem(literal);
      }
    }
  }
  ~TMotorPG() override { PQfinish(c_); }
  TMotorPG(const TMotorPG&) = delete;
  TMotorPG& operator=(const TMotorPG&) = delete;

  TDialeto Dialeto() const override { return TDialeto::PostgreSQL; }
  int Executar(const std::string& sql) override {
    PGresult* r = PQexec(c_, ParaPostgreSQL(sql, false).c_str());
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK && st != PGRES_EMPTY_QUERY) Falhar(c_, r);
    const char* n = PQcmdTuples(r);
    const int alteradas = *n ? std::atoi(n) : 0;
    PQclear(r);
    return alteradas;
  }
  std::shared_ptr<IComandoMotor> Preparar(const std::string& sql) override {
    return std::make_shared<TComandoPG>(c_, Preparado(sql));
  }
  int64_t UltimoId() override {
    TComandoPG q(c_, Preparado("SELECT lastval()"));
    return q.Passo() ? q.Inteiro(0) : 0;
  }
  void EsperaOcupado(int milissegundos) override { Executar("SET lock_timeout = " + std::to_string(milissegundos)); }
  bool EmTransacao() override { return PQtransactionStatus(c_) != PQTRANS_IDLE; }
  bool TemTabela(const std::string& nome) override {
    TComandoPG q(c_, Preparado("SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()"
                               " AND table_name = lower(?)"));
    q.VincularTexto(1, nome);
    return q.Passo() && q.Inteiro(0) > 0;
  }
  // Grows whenever a transaction of any connection is given an id, i.e. writes.
  int64_t VersaoDados() override {
    TComandoPG q(c_, Preparado("SELECT pg_snapshot_xmax(pg_current_snapshot())::text::bigint"));
    return q.Passo() ? q.Inteiro(0) : 0;
  }

 private:
  std::shared_ptr<const TPreparado> Preparado(const std::string& sql) {
    auto it = cache_.find(sql);
    if (it != cache_.end()) return it->second;
    if (cache_.size() >= kMaximoPreparados) Esvaziar();
    auto p = std::make_shared<TPreparado>();
    p->nome = "livro_" + std::to_string(++seq_);
    // A CASE whose branches differ in type is refused when prepared and prepared again with its
    // branches as text. Inside a transaction the refusal would abort it (SQLite goes on): that first
    // attempt runs under a savepoint.
    const bool protegido = EmTransacao() && TemCaso(sql);
    if (protegido) Executar("SAVEPOINT livro_preparo");
    TResultado prep;
    auto preparar = [&](bool casosComoTexto) {
      if (prep.r) PQclear(prep.r);
      prep.r = PQprepare(c_, p->nome.c_str(), ParaPostgreSQL(sql, true, casosComoTexto).c_str(), 0, nullptr);
      if (PQresultStatus(prep.r) != PGRES_COMMAND_OK && protegido) Executar("ROLLBACK TO SAVEPOINT livro_preparo");
    };
    preparar(false);
    if (PQresultStatus(prep.r) != PGRES_COMMAND_OK && DeTiposDiferentes(prep.r)) preparar(true);
    if (protegido) Executar("RELEASE SAVEPOINT livro_preparo");
    if (PQresultStatus(prep.r) != PGRES_COMMAND_OK) {
      PGresult* r = prep.r;
      prep.r = nullptr;
      Falhar(c_, r);
    }
    TResultado d(PQdescribePrepared(c_, p->nome.c_str()));
    if (PQresultStatus(d.r) != PGRES_COMMAND_OK) {
      PGresult* r = d.r;
      d.r = nullptr;
      Falhar(c_, r);
    }
    p->parametros = PQnparams(d.r);
    for (int i = 0; i < PQnfields(d.r); ++i) {
      p->colunas.push_back(GrafiaNoTexto(sql, PQfname(d.r, i)));
      p->tipos.push_back(PQftype(d.r, i));
    }
    cache_.emplace(sql, p);
    return p;
  }
  // Texts filled with values by the settlement are many: the statements no command holds go.
  void Esvaziar() {
    for (auto it = cache_.begin(); it != cache_.end();) {
      if (it->second.use_count() > 1) { ++it; continue; }
      TResultado r(PQexec(c_, ("DEALLOCATE " + it->second->nome).c_str()));
      it = cache_.erase(it);
    }
  }

  static constexpr size_t kMaximoPreparados = 2000;
  PGconn* c_ = nullptr;
  std::unordered_map<std::string, std::shared_ptr<TPreparado>> cache_;
  int seq_ = 0;
};

}  // namespace

std::unique_ptr<IMotor> AbrirPostgreSQL(const std::string& alvo) { return std::make_unique<TMotorPG>(alvo); }

}  // namespace banco
