#include "host/banco/acesso.h"

#include <cctype>

#include "host/banco/conexao.h"
#include "host/banco/motor.h"
#include "host/banco/vincular.h"

namespace banco {

namespace {

bool NoServidor(TQDConnection& c) { return c.Db().Dialeto() == TDialeto::PostgreSQL; }

// The tables a settlement run and its print write: entries, tax records, GIA rows, the accounting
// posting, the marks of changed periods, print jobs and book numbering (db/acesso.sql).
constexpr const char* kTabelasDaApuracao =
    "ARRAY['es02_lctoapur', 'es02_lctoapuraux', 'tr04_imposto', 'tr04_impostodet', 'es02_gia', 'es02_giadet',"
    " 'hs_lanccontabil', 'hs_periodoalterado', 'hs_paginasimpressas', 'hs_numeracaolivro']";

// A name the server keeps as written without quotes, so that it needs none in a statement.
bool NomeDePapelValido(const std::string& nome) {
  if (nome.empty() || nome.size() > 63 || std::isdigit(static_cast<unsigned char>(nome[0]))) return false;
  for (char ch : nome)
    if (!(std::islower(static_cast<unsigned char>(ch)) || std::isdigit(static_cast<unsigned char>(ch)) || ch == '_'))
      return false;
  return true;
}

std::string Identificador(const std::string& nome) {
  std::string r = "\"";
  for (char ch : nome) r += ch == '"' ? std::string("\"\"") : std::string(1, ch);
  return r + "\"";
}

std::string Lista(const std::vector<int64_t>& ids) {
  std::string r;
  for (int64_t id : ids) r += (r.empty() ? "" : ", ") + std::to_string(id);
  return r;
}

}  // namespace

TPapel PapelConectado(TQDConnection& conexao) {
  TPapel p;
  if (!NoServidor(conexao)) return p;
  try {
    TComando q(conexao.Db(), "SELECT current_user, row_security_active('sc00_filial'), has_table_privilege('es02_lctoapur', 'INSERT')");
    q.executeStep();
    p.Nome = q.getColumn(0).getString();
    p.Restrito = q.getColumn(1).getInt() != 0;
    p.Grava = q.getColumn(2).getInt() != 0;
  } catch (const EMotor& e) {
    LancarErroBanco(e, std::string("Papel da conexão: ") + e.what());
  }
  return p;
}

std::string SemAcessoDoPapel(TQDConnection& conexao, const std::string& oQue) {
  const TPapel p = PapelConectado(conexao);
  if (!p.Restrito) return {};
  return " (ou " + oQue + " não está liberada ao papel " + p.Nome + " no servidor)";
}

std::string NaoEncontrado(TQDConnection& conexao, const std::string& oQue, int64_t id) {
  const bool empresa = oQue == "Empresa";
  const std::string base = oQue + (empresa ? " não encontrada: " : " não encontrado: ") + std::to_string(id);
  const TPapel p = PapelConectado(conexao);
  if (!p.Restrito) return base;
  return base + (empresa ? " (não existe ou não está liberada" : " (não existe ou é de uma empresa não liberada") +
         " ao papel " + p.Nome + " no servidor)";
}

void ExigirGravacao(TQDConnection& conexao, int64_t idFilial, const std::string& oQue) {
  const TPapel p = PapelConectado(conexao);
  if (p.Grava) return;
  throw EBancoDados("O papel " + p.Nome + " do servidor só pode ler o escritório: " + oQue + " do estabelecimento " +
                    std::to_string(idFilial) + " não foi feita e nada foi gravado. Um livro não definitivo pode ser impresso.");
}

TGravacaoNaSessao::TGravacaoNaSessao(TQDConnection& conexao) : conexao_(conexao) {
  if (!NoServidor(conexao_) || PapelConectado(conexao_).Grava) return;
  try {
    conexao_.Db().exec(std::string("SELECT livro_gravar_na_sessao(") + kTabelasDaApuracao + ")");
    // Statements prepared before read the office's tables: planned again, they find the copies.
    conexao_.Db().exec("DISCARD PLANS");
    ativa_ = true;
  } catch (const EMotor& e) {
    LancarErroBanco(e, std::string("Cópias da sessão para a impressão não definitiva: ") + e.what());
  }
}

TGravacaoNaSessao::~TGravacaoNaSessao() {
  if (!ativa_) return;
  try {
    conexao_.Db().exec(std::string("SELECT livro_fim_gravacao_na_sessao(") + kTabelasDaApuracao + ")");
    conexao_.Db().exec("DISCARD PLANS");
  } catch (...) {  // never throw from a destructor: the copies go with the session
  }
}

std::string CriarPapel(TQDConnection& conexao, const std::string& nome, bool auditor, const std::vector<int64_t>& empresas) {
  if (!NoServidor(conexao))
    return "Um arquivo SQLite não tem papéis: quem o abre lê e grava tudo nele. Nada foi feito.";
  if (!NomeDePapelValido(nome))
    throw EBancoDados("Nome de papel inválido: \"" + nome +
                      "\" (use letras minúsculas sem acento, algarismos e _, começando por letra; até 63).");
  banco::TBanco& db = conexao.Db();
  if (!db.tableExists("HS_ACESSOEMPRESA"))
    throw EBancoDados("Este banco do servidor não tem o acesso por empresa (HS_ACESSOEMPRESA): foi criado por uma "
                      "versão anterior do programa. Nada foi feito.");
  try {
    TTransacao t(conexao);
    for (int64_t e : empresas) {
      TComando q(db, "SELECT COUNT(*) FROM SC00_EMPRESA WHERE IDEMPRESA = ?");
      if (Vincular(q, e).executeStep() && q.getColumn(0).getInt64() == 0)
        throw EBancoDados("Empresa não encontrada: " + std::to_string(e) + ". O papel " + nome + " não foi criado nem alterado.");
    }
    TComando existe(db, "SELECT rolsuper OR rolbypassrls FROM pg_roles WHERE rolname = ?");
    if (Vincular(existe, nome).executeStep()) {
      if (existe.getColumn(0).getInt() != 0)
        throw EBancoDados("O papel " + nome + " já existe e é superusuário ou dispensado da segurança por linha "
                          "(BYPASSRLS): veria todas as empresas. Escolha outro nome.");
    } else {
      db.exec("CREATE ROLE " + nome + " LOGIN NOSUPERUSER NOBYPASSRLS");
    }
    const std::string esquema = Identificador(db.execAndGet("SELECT current_schema()").getString());
    db.exec("GRANT USAGE ON SCHEMA " + esquema + " TO " + nome + "; REVOKE ALL ON ALL TABLES IN SCHEMA " + esquema +
            " FROM " + nome + "; REVOKE ALL ON ALL SEQUENCES IN SCHEMA " + esquema + " FROM " + nome);
    if (auditor) {
      db.exec("GRANT SELECT ON ALL TABLES IN SCHEMA " + esquema + " TO " + nome);
      // The session's copies of a print that is not definitive are temporary tables.
      if (db.execAndGet("SELECT has_database_privilege('" + nome + "', current_database(), 'TEMPORARY')").getInt() == 0)
        db.exec("GRANT TEMPORARY ON DATABASE " + Identificador(db.execAndGet("SELECT current_database()").getString()) +
                " TO " + nome);
    } else {
      db.exec("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA " + esquema + " TO " + nome +
              "; GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA " + esquema + " TO " + nome +
              "; REVOKE INSERT, UPDATE, DELETE ON HS_ACESSOEMPRESA FROM " + nome);
    }
    TComando apagar(db, "DELETE FROM HS_ACESSOEMPRESA WHERE PAPEL = ?");
    Vincular(apagar, nome).exec();
    TComando inserir(db, "INSERT INTO HS_ACESSOEMPRESA (PAPEL, IDEMPRESA) VALUES (?, ?)");
    if (empresas.empty()) Vincular(inserir, nome, std::optional<int64_t>()).exec();
    for (int64_t e : empresas) Vincular(inserir, nome, e).exec();
    t.Confirmar();
  } catch (const EMotor& e) {
    LancarErroBanco(e, "Não foi possível criar o papel " + nome + ": " + e.what());
  }
  const std::string quais = empresas.empty() ? "todas as empresas" : (empresas.size() == 1 ? "empresa " : "empresas ") + Lista(empresas);
  return auditor ? "Papel auditor " + nome + ": lê " + quais + " e imprime livros não definitivos; não grava nada."
                 : "Papel contador " + nome + ": lê, apura e imprime " + quais + ".";
}

}  // namespace banco
