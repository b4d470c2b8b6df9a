#include "host/banco/conexao.h"

#include <atomic>
#include <filesystem>

#include "db/recursos.h"
#include "host/banco/adaptadorsql.h"
#include "host/banco/integridade.h"

void LancarErroBanco(const banco::EMotor& e, const std::string& mensagem) {
  if (e.Ocupado())
    throw EBancoOcupado(
        "O banco de dados está em uso por outro programa (database is locked): ele continuou bloqueado além do "
        "tempo de espera e esta operação não gravou nada. Tente de novo quando o outro programa terminar.");
  throw EBancoDados(mensagem);
}

namespace {

// The schema version of a file, read without writing anything to it.
int VersaoDoArquivo(const std::string& arquivo) {
  const std::string nome = banco::TBanco::SemSenha(arquivo);
  try {
    banco::TBanco db(arquivo, banco::kLeitura);
    db.setBusyTimeout(static_cast<int>(TQDConnection::kEsperaOcupado.count()));
    if (!db.tableExists("HS_VERSAO"))
      throw EBancoDados("O arquivo " + banco::TBanco::SemSenha(arquivo) +
                        " não é um banco de dados do livro de ICMS (sem a tabela HS_VERSAO).");
    int versao = db.execAndGet("SELECT MAX(VERSAO) FROM HS_VERSAO").getInt();
    if (versao < 1 || versao > TQDConnection::kVersaoEsquema)
      throw EBancoDados("O banco " + banco::TBanco::SemSenha(arquivo) + " tem a versão de esquema " + std::to_string(versao) +
                        "; este programa usa a versão " + std::to_string(TQDConnection::kVersaoEsquema) + ".");
    return versao;
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, (banco::TBanco::EhServidor(arquivo) ? "Não foi possível ler o banco " + banco::TBanco::SemSenha(arquivo) + ": "
                                                            : "O arquivo " + arquivo + " não é um banco de dados SQLite válido: ") +
                           e.what());
  }
}

}  // namespace

std::unique_ptr<TQDConnection> TQDConnection::Abrir(const std::string& arquivo) {
  if (!banco::TBanco::EhServidor(arquivo) && !std::filesystem::exists(arquivo))
    throw EBancoDados("Banco de dados não encontrado: " + arquivo);
  const int versao = VersaoDoArquivo(arquivo);
  std::unique_ptr<TQDConnection> c;
  try {
    c.reset(new TQDConnection(std::make_unique<banco::TBanco>(arquivo, banco::kEscrita)));
    c->Configurar();
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, "Não foi possível abrir o banco " + banco::TBanco::SemSenha(arquivo) + ": " + e.what());
  }
  if (versao < kVersaoEsquema) c->Migrar(arquivo);
  return c;
}

std::unique_ptr<TQDConnection> TQDConnection::Criar(const std::string& arquivo) {
  const bool servidor = banco::TBanco::EhServidor(arquivo);
  if (!servidor && std::filesystem::exists(arquivo)) throw EBancoDados("O arquivo já existe: " + arquivo);
  try {
    auto db = std::make_unique<banco::TBanco>(arquivo, banco::kEscrita | banco::kCriar);
    // On a server the database is the schema the connection writes to: it must be empty of ours.
    if (servidor && db->tableExists("HS_VERSAO"))
      throw EBancoDados("O banco já existe no servidor: " + banco::TBanco::SemSenha(arquivo));
    std::unique_ptr<TQDConnection> c(new TQDConnection(std::move(db)));
    c->Configurar();
    c->CriarEsquema();
    return c;
  } catch (const banco::EMotor& e) {
    if (!servidor) std::filesystem::remove(arquivo);
    throw EBancoDados("Não foi possível criar o banco " + banco::TBanco::SemSenha(arquivo) + ": " + e.what());
  }
}

std::unique_ptr<TQDConnection> TQDConnection::CriarEmMemoria() {
  auto db = std::make_unique<banco::TBanco>(":memory:", banco::kEscrita | banco::kCriar);
  std::unique_ptr<TQDConnection> c(new TQDConnection(std::move(db)));
  c->CriarEsquema();
  return c;
}

void TQDConnection::Configurar() {
  SetEsperaOcupado(kEsperaOcupado);
  if (db_->Dialeto() == banco::TDialeto::SQLite) db_->exec("PRAGMA foreign_keys = OFF; PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;");
}

void TQDConnection::SetEsperaOcupado(std::chrono::milliseconds espera) {
  db_->setBusyTimeout(static_cast<int>(espera.count()));
}

void TQDConnection::CriarEsquema() {
  TTransacao t(*this);
  const bool servidor = db_->Dialeto() == banco::TDialeto::PostgreSQL;
  if (servidor) db_->exec(SqlCompatibilidadePostgreSQL());
  db_->exec(SqlEsquema());
  // Each accountant's role sees only the companies granted to it (db/acesso.sql).
  if (servidor) db_->exec(SqlAcessoServidor());
  t.Confirmar();
}

// Version 1 had no unique index on the CFOP code, and a repeated family row multiplied the grouped
// register. The index cannot be built over such rows, so the migration names them and stops; the
// CHECK constraints of version 2, which SQLite cannot add to an existing table, are left to the
// check every run makes of the data it reads (host/banco/integridade.h). Book numbering rows of
// version 1 kept the number the next page would carry as PAGINAFINAL; version 2 keeps the last
// page printed. GIA detail rows become unique by their key: of rows doubled by hand the first is
// kept, the one readers found first until now.
//
// Version 3 marks the documents and settlement entries an EFD import loaded (IDIMPORTACAO) and
// keeps the imports in HS_IMPORTACAOEFD. The host tables HS_FILIALCFG and HS_DETALHEEFD came late
// in version 2, and databases of version 2 written before them lack them: they are created on the
// way to 3 as db/schema.sql creates them, when missing.
//
// Version 4 CHECKs the dates that place documents and entries in a period and the item amounts'
// four decimals; as with version 2, the run's check covers the older tables. Version 5 keeps the
// print mode of a definitive book with its numbering. Each step runs in the one transaction, so a
// database is migrated whole or left as it was. tests/esquemas keeps the schema of every earlier
// build, and a test opens and settles each.
//
// Version 6 marks settled periods whose data an import changed afterwards (HS_PERIODOALTERADO) and
// keeps the digest of each imported file, so that importing the same file again marks nothing.
// Version 7 keeps the client's own obligations and declaratory lines of an imported block E
// (HS_OBRIGACAOEFD), for the exported block to give them back.
void TQDConnection::Migrar(const std::string& arquivo) {
  TTransacao t(*this);
  const int versao = db_->execAndGet("SELECT MAX(VERSAO) FROM HS_VERSAO").getInt();
  if (versao < 2) {
    const std::vector<std::string> cfops = integridade::CfopsInvalidos(*db_);
    if (!cfops.empty())
      throw EDadosInvalidos("O banco " + banco::TBanco::SemSenha(arquivo) + " não pode ser atualizado para a versão " +
                                std::to_string(kVersaoEsquema) + " do esquema",
                            cfops);
    Executar("DROP INDEX IF EXISTS IX_ES02_CFOP_CFOP;"
             "CREATE UNIQUE INDEX IX_ES02_CFOP_CFOP ON ES02_CFOP (CFOP);"
             "UPDATE HS_NUMERACAOLIVRO SET PAGINAFINAL = PAGINAFINAL - 1;"
             "DELETE FROM ES02_GIADET WHERE IDGIADET NOT IN"
             " (SELECT MIN(IDGIADET) FROM ES02_GIADET GROUP BY IDGIA, TPREGISTRO, CODIGO, NOMECAMPO);"
             "DROP INDEX IF EXISTS IX_ES02_GIADET;"
             "CREATE UNIQUE INDEX IX_ES02_GIADET ON ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO);");
  }
  if (versao < 3) {
    // Databases of version 2 written before these host tables existed lack them too.
    Executar("CREATE TABLE IF NOT EXISTS HS_FILIALCFG (IDFILIALCFG INTEGER PRIMARY KEY, IDFILIAL INTEGER NOT NULL,"
             " CHAVE1 INTEGER NOT NULL, CHAVE2 INTEGER NOT NULL, CHAVE3 INTEGER NOT NULL, DATAINICIO DATE NOT NULL,"
             " DATAFIM DATE, TEXTO VARCHAR(100), INFORMACAO2 VARCHAR(100), INFORMACAO3 VARCHAR(100),"
             " INFORMACAO4 VARCHAR(100), INFORMACAO5 VARCHAR(100));"
             "CREATE INDEX IF NOT EXISTS IX_HS_FILIALCFG ON HS_FILIALCFG (IDFILIAL, CHAVE1, CHAVE2, CHAVE3, DATAINICIO);"
             "CREATE TABLE IF NOT EXISTS HS_DETALHEEFD (IDDETALHEEFD INTEGER PRIMARY KEY, TABELA INTEGER NOT NULL,"
             " UF VARCHAR(2) NOT NULL, CODIGO VARCHAR(10) NOT NULL, DESCRICAO VARCHAR(250), DATAINICIO DATE NOT NULL,"
             " DATAFIM DATE);"
             "CREATE INDEX IF NOT EXISTS IX_HS_DETALHEEFD ON HS_DETALHEEFD (TABELA, UF, CODIGO, DATAINICIO);");
    Executar("ALTER TABLE ES02_ENTRADA ADD COLUMN IDIMPORTACAO INTEGER;"
             "ALTER TABLE ES02_SAIDA ADD COLUMN IDIMPORTACAO INTEGER;"
             "ALTER TABLE ES02_LCTOAPUR ADD COLUMN IDIMPORTACAO INTEGER;"
             "CREATE TABLE IF NOT EXISTS HS_IMPORTACAOEFD (IDIMPORTACAO INTEGER PRIMARY KEY, IDFILIAL INTEGER NOT NULL,"
             " DATAINICIO DATE NOT NULL, DATAFIM DATE NOT NULL, ARQUIVO VARCHAR(250), FINALIDADE VARCHAR(1),"
             " LINHAS INTEGER NOT NULL DEFAULT 0, DOCUMENTOS INTEGER NOT NULL DEFAULT 0, GRAVADOEM VARCHAR(25));"
             "CREATE INDEX IF NOT EXISTS IX_CA06_MUNICIPIO_IBGE ON CA06_MUNICIPIO (CODIGOIBGE);"
             "CREATE INDEX IF NOT EXISTS IX_ES02_CLIFOR_CNPJCPF ON ES02_CLIFOR (CNPJCPF);"
             "CREATE INDEX IF NOT EXISTS IX_ES02_ENTRADA_IMPORTACAO ON ES02_ENTRADA (IDIMPORTACAO);"
             "CREATE INDEX IF NOT EXISTS IX_ES02_SAIDA_IMPORTACAO ON ES02_SAIDA (IDIMPORTACAO);"
             "CREATE INDEX IF NOT EXISTS IX_ES02_LCTOAPUR_IMPORTACAO ON ES02_LCTOAPUR (IDIMPORTACAO);"
             "CREATE INDEX IF NOT EXISTS IX_HS_IMPORTACAOEFD ON HS_IMPORTACAOEFD (IDFILIAL, DATAINICIO);");
  }
  if (versao < 5) {
    // Book print mode: rows printed before it was kept stay unknown (NULL) and refuse nothing.
    Executar("ALTER TABLE HS_NUMERACAOLIVRO ADD COLUMN FRENTEVERSO INTEGER;");
  }
  if (versao < 6) {
    Executar("ALTER TABLE HS_IMPORTACAOEFD ADD COLUMN DIGESTO VARCHAR(16);"
             "CREATE TABLE IF NOT EXISTS HS_PERIODOALTERADO (IDPERIODOALTERADO INTEGER PRIMARY KEY,"
             " IDFILIAL INTEGER NOT NULL, IMPOSTO VARCHAR(10) NOT NULL, DATAINICIO DATE NOT NULL,"
             " DATAFIM DATE NOT NULL, MOTIVO VARCHAR(250), GRAVADOEM VARCHAR(25));"
             "CREATE INDEX IF NOT EXISTS IX_HS_PERIODOALTERADO ON HS_PERIODOALTERADO (IDFILIAL, DATAINICIO);");
  }
  if (versao < 7) {
    Executar("CREATE TABLE IF NOT EXISTS HS_OBRIGACAOEFD (IDOBRIGACAOEFD INTEGER PRIMARY KEY,"
             " IDIMPORTACAO INTEGER NOT NULL, IDFILIAL INTEGER NOT NULL, IMPOSTO VARCHAR(10) NOT NULL,"
             " DATAINICIO DATE NOT NULL, DATAFIM DATE NOT NULL, REGISTRO VARCHAR(4) NOT NULL,"
             " VALOR NUMERIC(18,4) NOT NULL DEFAULT 0, LINHA TEXT NOT NULL);"
             "CREATE INDEX IF NOT EXISTS IX_HS_OBRIGACAOEFD ON HS_OBRIGACAOEFD (IDFILIAL, IMPOSTO, DATAINICIO);");
  }
  Executar("UPDATE HS_VERSAO SET VERSAO = " + std::to_string(kVersaoEsquema));
  t.Confirmar();
}

void TQDConnection::CarregarDemo() {
  TTransacao t(*this);
  Executar(SqlDemo());
  t.Confirmar();
}

void TQDConnection::Executar(const std::string& sql) {
  try {
    db_->exec(sql);
  } catch (const banco::EMotor& e) {
    LancarErroBanco(e, std::string("Erro no banco de dados: ") + e.what() + " [" + sql.substr(0, 200) + "]");
  }
}

TTransacao::TTransacao(TQDConnection& c) : c_(c) {
  if (!c_.Db().EmTransacao()) {
    c_.Executar("BEGIN IMMEDIATE");
    return;
  }
  static std::atomic<int> seq{0};
  nome_ = "sp" + std::to_string(++seq);
  c_.Executar("SAVEPOINT " + nome_);
}

TTransacao::~TTransacao() {
  if (confirmada_) return;
  try {
    c_.Db().exec(nome_.empty() ? "ROLLBACK" : "ROLLBACK TO " + nome_ + "; RELEASE " + nome_);
  } catch (...) {  // never throw from a destructor
  }
}

void TTransacao::Confirmar() {
  c_.Executar(nome_.empty() ? "COMMIT" : "RELEASE " + nome_);
  confirmada_ = true;
}
