// Databases of every schema the program ever wrote (tests/esquemas, in the order the builds wrote
// them: two forms of version 1, four of version 2 - the first three without the host tables
// HS_FILIALCFG and HS_DETALHEEFD -, version 3) open, migrate to the current version and settle
// every regime the demo office holds exactly as a new database holding the same rows does.
#include <gtest/gtest.h>

#include <filesystem>

#include <sqlite3.h>
#include "host/banco/motor.h"

#include "db/recursos.h"
#include "forms/pedidoapuracao.h"
#include "host/host.h"
#include "host/interacao/interacaoroteirizada.h"
#include "utilitarios.h"

namespace fs = std::filesystem;

namespace {

// The demo's script cut into its statements.
std::vector<std::string> Comandos(const std::string& script) {
  std::vector<std::string> r;
  std::string atual;
  std::istringstream linhas(script);
  for (std::string linha; std::getline(linhas, linha);) {
    if (atual.empty() && (linha.empty() || linha.rfind("--", 0) == 0)) continue;
    atual += linha + "\n";
    if (sqlite3_complete(atual.c_str())) {
      r.push_back(std::move(atual));
      atual.clear();
    }
  }
  return r;
}

std::string TabelaDoInsert(const std::string& comando) {
  const std::string prefixo = "INSERT INTO ";
  if (comando.rfind(prefixo, 0) != 0) return {};
  return comando.substr(prefixo.size(), comando.find_first_of(" (", prefixo.size()) - prefixo.size());
}

// Every regime of the demo office, as the demo script settles them: establishment, interval and
// the answers of its dialogs.
struct TApuracaoDemo {
  int64_t Filial;
  const char *Inicio, *Fim;
  std::vector<std::string> Respostas;
};
const TApuracaoDemo kApuracoes[] = {
    {1, "01/01/2026", "31/03/2026", {}},   // SP regular and ICMS-ST of RJ and MG, centraliser
    {3, "01/01/2026", "31/03/2026", {}},   // RS regular and ICMS-ST RS
    {5, "01/01/2026", "31/03/2026", {}},   // MA
    {6, "01/01/2026", "31/03/2026", {}},   // PA
    {7, "01/01/2026", "31/03/2026", {}},   // SE
    {60, "01/01/2026", "31/03/2026", {}},  // PR regular
    {61, "01/01/2007", "31/03/2007", {}},  // PR small business
    {63, "01/01/2007", "31/01/2007", {}},  // RN small business (CRESCE-RN band in HS_FILIALCFG)
    {71, "01/07/2006", "31/01/2007", {}},  // RS small business, centralised, then its centraliser
    {70, "01/07/2006", "31/01/2007", {}},
    {80, "01/01/2026", "31/01/2026", {"edtAcordo=2026/000345"}},  // SC regular
    {81, "01/01/2026", "31/07/2026", {}},  // SC estimate
    {82, "01/01/2026", "31/03/2026", {}},  // SC bars and restaurants
    {83, "01/12/2006", "30/04/2007", {}},  // SC small business
};

// Settles the demo's regimes on the connection and returns what they recorded.
std::string ApurarTudo(TQDConnection& c) {
  for (const TApuracaoDemo& a : kApuracoes) {
    TInteracaoRoteirizada interacao(a.Respostas);
    THost host(c, interacao);
    TPedidoApuracao p;
    p.IdFilial = a.Filial;
    p.DataInicio = a.Inicio;
    p.DataFim = a.Fim;
    try {
      TExecucaoApuracao(c, p).Calcular();
    } catch (const std::exception& e) {
      ADD_FAILURE() << "estabelecimento " << a.Filial << ": " << e.what();
    }
  }
  std::string r;
  for (const char* sql : {"SELECT IDFILIAL, IMPOSTO, CODIGOREC, INICIO, FIM, VENCIMENTO, VLRIMPOSTO, TP FROM TR04_IMPOSTO"
                          " ORDER BY IDFILIAL, IMPOSTO, INICIO",
                          "SELECT I.IDFILIAL, I.IMPOSTO, I.INICIO, D.NOMECAMPO, D.CONTEUDO FROM TR04_IMPOSTODET D"
                          " JOIN TR04_IMPOSTO I ON (I.IDIMPOSTO = D.IDIMPOSTO) ORDER BY 1, 2, 3, 4",
                          "SELECT IDFILIAL, TPLANCAMENTO, IMPOSTO, VALOR, DATA, DESCRICAO FROM ES02_LCTOAPUR WHERE GERADO = 1"
                          " ORDER BY 1, 3, 5, 2, 6"}) {
    banco::TComando q(c.Db(), sql);
    while (q.executeStep()) {
      for (int i = 0; i < q.getColumnCount(); ++i) r += (i ? "|" : "") + q.getColumn(i).getString();
      r += "\n";
    }
  }
  return r;
}

class EsquemasAnteriores : public ::testing::TestWithParam<const char*> {};

TEST_P(EsquemasAnteriores, AbreMigraEApuraTodoRegimeComoUmBancoNovo) {
  const fs::path dir = fs::temp_directory_path() / ("livro_esquema_" + std::string(GetParam()) + "_" +
                                                    std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string arquivo = (dir / "antigo.db").string();

  // The old build's database with the demo office's rows that fit it; the rows of tables it did
  // not have are typed after the upgrade, as a user would configure them then.
  std::vector<std::string> depois;
  {
    banco::TBanco db(arquivo, banco::kEscrita | banco::kCriar);
    db.exec("PRAGMA synchronous = OFF; BEGIN");
    db.exec(Ler(std::string(LIVRO_TESTES_DIR) + "/esquemas/" + GetParam() + ".sql"));
    for (const std::string& comando : Comandos(SqlDemo())) {
      const std::string tabela = TabelaDoInsert(comando);
      if (!tabela.empty() && !db.tableExists(tabela)) depois.push_back(comando);
      else db.exec(comando);
    }
    db.exec("COMMIT");
  }
  auto antigo = TQDConnection::Abrir(arquivo);
  antigo->Executar("PRAGMA synchronous = OFF");
  EXPECT_EQ(antigo->Db().execAndGet("SELECT VERSAO FROM HS_VERSAO").getInt(), TQDConnection::kVersaoEsquema);
  for (const std::string& comando : depois) antigo->Executar(comando);
  const std::string obtido = ApurarTudo(*antigo);

  auto novo = TQDConnection::CriarEmMemoria();
  novo->CarregarDemo();
  EXPECT_EQ(obtido, ApurarTudo(*novo));
  // January's tax of the SP head office, by hand from the demo's documents and entries
  // (db/demo.sql): exits 48,644.55 - entries 36,220.57 - other credits 1,250.00 and the branch's
  // 420.00 - reversal of debits 380.40 = 10,373.58.
  EXPECT_CONTEM(obtido, "1|2001|046-2|2026-01-01|2026-01-31|");
  EXPECT_CONTEM(obtido, "|10373.58|1\n");
  // The states whose settlement read the late host tables settled: RN (its CRESCE-RN band), PA
  // and SE (the bookkeeping code of the credit carried).
  for (const char* filial : {"\n63|2001|", "\n6|2001|", "\n7|2001|"}) EXPECT_CONTEM(obtido, filial);
  antigo.reset();
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Historicos, EsquemasAnteriores,
                         ::testing::Values("v1a", "v1b", "v2a", "v2b", "v2c", "v2d", "v3", "v4", "v5", "v6"));

}  // namespace
