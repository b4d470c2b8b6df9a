#pragma once
// Test fixture: an in-memory database with the schema (and, when asked, the demo office), a
// scripted interaction and the host installed over them.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "host/banco/motor.h"

#include "forms/pedidoapuracao.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"

// The server the suite runs on when LIVRO_ICMS_BANCO_TESTE names one (scripts/pg-teste.sh); empty
// for SQLite in memory.
inline std::string ServidorDeTeste() {
  const char* s = std::getenv("LIVRO_ICMS_BANCO_TESTE");
  return s ? s : "";
}

// A new empty schema on the server, and the URI whose connections work in it.
inline std::string EsquemaNovo(const std::string& servidor) {
  static int n = 0;
  const std::string esquema = "teste_" + std::to_string(getpid()) + "_" + std::to_string(++n);
  banco::TBanco(servidor, banco::kEscrita).exec("DROP SCHEMA IF EXISTS " + esquema + " CASCADE; CREATE SCHEMA " + esquema);
  return servidor + (servidor.find('?') == std::string::npos ? "?" : "&") + "options=-csearch_path%3D" + esquema;
}

// A new database with the schema: in memory, or a schema of its own on the server.
inline std::unique_ptr<TQDConnection> BancoDeTeste(const std::string& servidor = ServidorDeTeste()) {
  return servidor.empty() ? TQDConnection::CriarEmMemoria() : TQDConnection::Criar(EsquemaNovo(servidor));
}

// The schema's CHECKs off, as in a database made before them or loaded with them off: SQLite
// ignores them from now on on this connection; the server drops them (the test's schema is its own).
inline void SemVerificacoes(banco::TBanco& db) {
  db.exec(db.Dialeto() == banco::TDialeto::PostgreSQL
              ? "DO $$ DECLARE r record; BEGIN"
                " FOR r IN SELECT conrelid::regclass AS tabela, conname FROM pg_constraint"
                "   WHERE contype = 'c' AND connamespace = current_schema()::regnamespace LOOP"
                "   EXECUTE format('ALTER TABLE %s DROP CONSTRAINT %I', r.tabela, r.conname);"
                " END LOOP; END $$"
              : "PRAGMA ignore_check_constraints = ON");
}

// Every row of a query, one line each with fields separated by '|'.
inline std::string LinhasDoBanco(banco::TBanco& db, const std::string& sql) {
  banco::TComando st(db, sql);
  std::ostringstream o;
  while (st.executeStep()) {
    for (int i = 0; i < st.getColumnCount(); ++i) o << (i ? "|" : "") << (st.getColumn(i).isNull() ? "NULL" : st.getColumn(i).getString());
    o << "\n";
  }
  return o.str();
}

// Every row of every table, in key order: what "the database as a run left it" means.
inline std::string TodasAsLinhasDo(banco::TBanco& db) {
  std::string r;
  banco::TComando t(db, db.Dialeto() == banco::TDialeto::SQLite
                            ? "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"
                            : "SELECT upper(table_name) FROM information_schema.tables"
                              " WHERE table_schema = current_schema() ORDER BY 1");
  while (t.executeStep()) {
    std::string nome = t.getColumn(0).getString();
    r += "# " + nome + "\n" + LinhasDoBanco(db, "SELECT * FROM " + nome + " ORDER BY 1");
  }
  return r;
}

class AmbienteTeste : public ::testing::Test {
 protected:
  void SetUp() override { Montar(true); }

  void Montar(bool demo) {
    host_.reset();
    conexao_ = BancoDeTeste();
    if (demo) conexao_->CarregarDemo();
    interacao_ = std::make_unique<TInteracaoRoteirizada>();
    host_ = std::make_unique<THost>(*conexao_, *interacao_);
  }

  void TearDown() override { host_.reset(); }

  void Sql(const std::string& sql) { conexao_->Executar(sql); }

  bool NoServidor() { return conexao_->Db().Dialeto() == banco::TDialeto::PostgreSQL; }

  void SemVerificacoes() { ::SemVerificacoes(conexao_->Db()); }

  // A trigger that refuses every INSERT into `tabela` with `mensagem`, and its removal.
  void RecusarInclusoes(const std::string& tabela, const std::string& mensagem) {
    Sql(NoServidor() ? "CREATE FUNCTION livro_recusa() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION '" +
                           mensagem + "'; END $$; CREATE TRIGGER RECUSA BEFORE INSERT ON " + tabela +
                           " FOR EACH ROW EXECUTE FUNCTION livro_recusa()"
                     : "CREATE TRIGGER RECUSA BEFORE INSERT ON " + tabela + " BEGIN SELECT RAISE(ABORT, '" + mensagem +
                           "'); END");
  }
  void AceitarInclusoes(const std::string& tabela) {
    Sql(NoServidor() ? "DROP TRIGGER RECUSA ON " + tabela + "; DROP FUNCTION livro_recusa()" : "DROP TRIGGER RECUSA");
  }

  // Stores a text in a numeric column. SQLite keeps it, for the run to refuse; the server's column
  // refuses it at the statement, naming the value, and nothing of the statement is recorded.
  // Whether it was stored.
  bool GravarTextoEmNumero(const std::string& sql, const std::string& texto) {
    if (!NoServidor()) {
      Sql(sql);
      return true;
    }
    const std::string antes = TodasAsLinhas();
    try {
      Sql(sql);
      ADD_FAILURE() << "o servidor gravou '" << texto << "' numa coluna numérica";
    } catch (const std::exception& e) {
      EXPECT_NE(std::string(e.what()).find('"' + texto + '"'), std::string::npos) << e.what();
    }
    EXPECT_EQ(TodasAsLinhas(), antes);
    return false;
  }

  // First column of the first row as text ("" when there is no row or it is null).
  std::string Valor(const std::string& sql) {
    banco::TComando st(conexao_->Db(), sql);
    return st.executeStep() && !st.getColumn(0).isNull() ? st.getColumn(0).getString() : std::string();
  }

  // Every row of a query, one line each with fields separated by '|'.
  std::string Linhas(const std::string& sql) { return LinhasDoBanco(conexao_->Db(), sql); }

  // Runs a settlement as the apurar command does (request checks, then the run).
  std::unique_ptr<TExecucaoApuracao> Apurar(const std::string& ini, const std::string& fim, int64_t filial = 1,
                                            const std::string& impostos = "todos", bool contabilizar = false,
                                            bool ciap = false) {
    TPedidoApuracao p;
    p.IdFilial = filial;
    p.DataInicio = ini;
    p.DataFim = fim;
    p.Impostos = impostos;
    p.Contabilizar = contabilizar;
    p.CalcularCIAP = ciap;
    auto e = std::make_unique<TExecucaoApuracao>(*conexao_, p);
    e->Calcular();
    return e;
  }

  // Every row of every table, in key order.
  std::string TodasAsLinhas() { return TodasAsLinhasDo(conexao_->Db()); }

  // Whether the run showed or asked something holding `trecho`.
  bool Mostrou(const std::string& trecho) const {
    return std::any_of(interacao_->Registro().begin(), interacao_->Registro().end(),
                       [&](const std::string& m) { return m.find(trecho) != std::string::npos; });
  }

  std::unique_ptr<TQDConnection> conexao_;
  std::unique_ptr<TInteracaoRoteirizada> interacao_;
  std::unique_ptr<THost> host_;
};

// Compares a text with a golden file under tests/golden; LIVRO_ATUALIZAR_GOLDEN=1 rewrites it.
inline void CompararGolden(const std::string& nome, const std::string& obtido) {
  const std::string caminho = std::string(LIVRO_TESTES_DIR) + "/golden/" + nome;
  if (const char* a = std::getenv("LIVRO_ATUALIZAR_GOLDEN"); a && std::string(a) == "1") {
    std::ofstream(caminho, std::ios::binary) << obtido;
    GTEST_SKIP() << "golden regravado: " << caminho;
  }
  std::ifstream f(caminho, std::ios::binary);
  ASSERT_TRUE(f) << "golden ausente: " << caminho << " (gere com LIVRO_ATUALIZAR_GOLDEN=1)";
  std::stringstream esperado;
  esperado << f.rdbuf();
  EXPECT_EQ(esperado.str(), obtido) << "difere de " << caminho;
}
