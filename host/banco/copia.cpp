#include "host/banco/copia.h"

#include <algorithm>
#include <cctype>

#include "host/banco/conexao.h"
#include "host/banco/motor.h"

namespace banco {

std::vector<std::string> TabelasDoEscritorio(TBanco& db) {
  TComando q(db, db.Dialeto() == TDialeto::SQLite
                     ? "SELECT UPPER(name) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY 1"
                     : "SELECT upper(table_name) FROM information_schema.tables WHERE table_schema = current_schema()"
                       " AND table_type = 'BASE TABLE' ORDER BY 1");
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
      const int colunas = ler.getColumnCount();
      std::string nomes, marcas;
      for (int i = 0; i < colunas; ++i) {
        nomes += (i ? ", " : "") + ler.getColumnName(i);
        marcas += (i ? ", ?" : "?") + std::to_string(i + 1);
      }
      TComando gravar(destino, "INSERT INTO " + tabela + " (" + nomes + ") VALUES (" + marcas + ")");
      while (ler.executeStep()) {
        chave = ler.getColumn(0).getString();
        gravar.reset();
        for (int i = 0; i < colunas; ++i) {
          const TColuna v = ler.getColumn(i);
          switch (v.getType()) {
            case TTipoValor::Inteiro: gravar.bind(i + 1, v.getInt64()); break;
            case TTipoValor::Real: gravar.bind(i + 1, v.getDouble()); break;
            case TTipoValor::Nulo: gravar.bind(i + 1); break;
            default: gravar.bind(i + 1, v.getString()); break;
          }
        }
        gravar.exec();
        ++linhas;
      }
    } catch (const EMotor& e) {
      LancarErroBanco(e, "A cópia da tabela " + tabela + " parou" + (chave.empty() ? std::string() : " na linha de chave " + chave) +
                             ": " + e.what());
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
