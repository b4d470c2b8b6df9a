#include "host/banco/copia.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "host/banco/conexao.h"
#include "host/banco/motor.h"

namespace banco {

// The office's tables. The grants of the server's roles by company (HS_ACESSOEMPRESA) belong to
// that server: they name its roles, and do not travel with the office.
std::vector<std::string> TabelasDoEscritorio(TBanco& db) {
  TComando q(db, db.Dialeto() == TDialeto::SQLite
                     ? "SELECT UPPER(name) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY 1"
                     : "SELECT upper(table_name) FROM information_schema.tables WHERE table_schema = current_schema()"
                       " AND table_type = 'BASE TABLE' AND upper(table_name) <> 'HS_ACESSOEMPRESA' ORDER BY 1");
  std::vector<std::string> r;
  while (q.executeStep()) r.push_back(q.getColumn(0).getString());
  return r;
}

int64_t ContarLinhas(TBanco& db, const std::string& tabela) {
  return db.execAndGet("SELECT COUNT(*) FROM " + tabela).getInt64();
}

TTabelaComDados DadosDoEscritorio(TQDConnection& c) {
  auto nova = TQDConnection::CriarEmMemoria();
  for (const std::string& t : TabelasDoEscritorio(c.Db())) {
    const int64_t n = ContarLinhas(c.Db(), t);
    if (n != (nova->Db().tableExists(t) ? ContarLinhas(nova->Db(), t) : 0)) return {t, n};
  }
  return {};
}

namespace {

struct TValor {
  TTipoValor Tipo = TTipoValor::Nulo;
  int64_t Inteiro = 0;
  double Real = 0;
  std::string Texto;
};

// Rows go to the target in statements of many rows: on a server each statement is a round trip
// and fires the identity's trigger once. 999 values: the least limit a SQLite build may have.
constexpr int kParametrosPorInsercao = 999;

class TInsercao {
 public:
  TInsercao(TBanco& destino, const std::string& tabela, const std::vector<std::string>& colunas)
      : destino_(destino), colunas_(static_cast<int>(colunas.size())), porComando_(std::max(1, kParametrosPorInsercao / colunas_)) {
    cabeca_ = "INSERT INTO " + tabela + " (";
    for (size_t i = 0; i < colunas.size(); ++i) cabeca_ += (i ? ", " : "") + colunas[i];
    cabeca_ += ") VALUES ";
  }
  void Acrescentar(std::vector<TValor> linha) {
    linhas_.push_back(std::move(linha));
    if (static_cast<int>(linhas_.size()) == porComando_) Gravar();
  }
  void Gravar() {
    if (linhas_.empty()) return;
    const int n = static_cast<int>(linhas_.size());
    auto& cmd = n == porComando_ ? cheio_ : resto_;
    if (!cmd) cmd = std::make_unique<TComando>(destino_, Texto(n));
    cmd->reset();
    int p = 0;
    for (const auto& linha : linhas_)
      for (const TValor& v : linha) {
        ++p;
        switch (v.Tipo) {
          case TTipoValor::Inteiro: cmd->bind(p, v.Inteiro); break;
          case TTipoValor::Real: cmd->bind(p, v.Real); break;
          case TTipoValor::Nulo: cmd->bind(p); break;
          default: cmd->bind(p, v.Texto); break;
        }
      }
    cmd->exec();
    linhas_.clear();
  }

 private:
  std::string Texto(int linhas) const {
    std::string sql = cabeca_;
    for (int l = 0, p = 0; l < linhas; ++l) {
      sql += l ? ", (" : "(";
      for (int c = 0; c < colunas_; ++c) sql += (c ? ", ?" : "?") + std::to_string(++p);
      sql += ")";
    }
    return sql;
  }
  TBanco& destino_;
  int colunas_, porComando_;
  std::string cabeca_;
  std::vector<std::vector<TValor>> linhas_;
  std::unique_ptr<TComando> cheio_, resto_;
};

}  // namespace

void CopiarEscritorio(TBanco& origem, TBanco& destino, const std::function<void(const std::string&, int64_t)>& aoCopiar) {
  const std::vector<std::string> noDestino = TabelasDoEscritorio(destino);
  for (const std::string& tabela : TabelasDoEscritorio(origem)) {
    if (!std::binary_search(noDestino.begin(), noDestino.end(), tabela))
      throw EBancoDados("O banco de destino não tem a tabela " + tabela + ": os dois bancos não são da mesma versão do esquema.");
    int64_t linhas = 0;
    std::string chave;
    try {
      destino.exec("DELETE FROM " + tabela);
      TComando ler(origem, "SELECT * FROM " + tabela + " ORDER BY 1");
      std::vector<std::string> colunas;
      for (int i = 0; i < ler.getColumnCount(); ++i) colunas.push_back(ler.getColumnName(i));
      TInsercao gravar(destino, tabela, colunas);
      while (ler.executeStep()) {
        chave = ler.getColumn(0).getString();
        std::vector<TValor> linha(colunas.size());
        for (size_t i = 0; i < colunas.size(); ++i) {
          const TColuna c = ler.getColumn(static_cast<int>(i));
          TValor& v = linha[i];
          v.Tipo = c.getType();
          if (v.Tipo == TTipoValor::Inteiro) v.Inteiro = c.getInt64();
          else if (v.Tipo == TTipoValor::Real) v.Real = c.getDouble();
          else if (v.Tipo != TTipoValor::Nulo) v.Texto = c.getString();
        }
        gravar.Acrescentar(std::move(linha));
        ++linhas;
      }
      gravar.Gravar();
    } catch (const EMotor& e) {
      LancarErroBanco(e, "A cópia da tabela " + tabela + " parou" +
                             (chave.empty() ? std::string() : " nas linhas de chave até " + chave) + ": " + e.what());
    }
    if (aoCopiar) aoCopiar(tabela, linhas);
  }
}

void NumerarAposOMaior(TBanco& db) {
  if (db.Dialeto() != TDialeto::PostgreSQL) return;
  std::vector<std::pair<std::string, std::string>> colunas;
  {
    TComando q(db, "SELECT table_name, column_name FROM information_schema.columns WHERE table_schema = current_schema()"
                   " AND is_identity = 'YES' ORDER BY 1");
    while (q.executeStep()) colunas.emplace_back(q.getColumn(0).getString(), q.getColumn(1).getString());
  }
  for (const auto& [tabela, coluna] : colunas)
    db.execAndGet("SELECT setval(pg_get_serial_sequence('" + tabela + "', '" + coluna + "'), COALESCE(MAX(" + coluna +
                  "), 0) + 1, false) FROM " + tabela);
}

}  // namespace banco
