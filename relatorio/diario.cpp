// Prints killed between putting their files in place and recording them. A print journals its
// renames beside the database (host/impressao/substituicao.h) and, in the transaction that records
// it, raises the database's print counter (SQLite's user_version) to the number its journal
// carries: a journal whose number the counter reached belongs to a print that was recorded, any
// other to one that was not. The next print, holding the write lock before it chooses anything,
// ends each journal accordingly: the files stay with their record, or go back to what they were.
#include <filesystem>
#include <stdexcept>
#include <string>

#include <sqlite3.h>
#include <unistd.h>

#include "host/host.h"
#include "host/impressao/substituicao.h"
#include "relatorio/livroicms.h"

namespace fs = std::filesystem;

namespace {

// The database's file; empty for a database in memory, which no later process sees, and for an
// office server, whose prints are not journalled yet (docs/servidor.md).
fs::path ArquivoDoBanco() {
  banco::TBanco& db = GUtilSistema->GetConnectionSistema().Db();
  if (db.Dialeto() != banco::TDialeto::SQLite) return {};
  const char* nome = sqlite3_db_filename(db.getHandle(), "main");
  return nome && *nome ? fs::path(nome) : fs::path();
}

std::string PrefixoDosDiarios(const fs::path& banco) { return "." + banco.filename().string() + ".impressao."; }

int64_t ContadorDeImpressoes() {
  return GUtilSistema->GetConnectionSistema().Db().execAndGet("PRAGMA user_version").getInt64();
}

}  // namespace

void TdmLivroICMS::RepararImpressoesInterrompidas() {
  const fs::path banco = ArquivoDoBanco();
  if (banco.empty()) return;
  const std::string prefixo = PrefixoDosDiarios(banco);
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(banco.parent_path().empty() ? fs::path(".") : banco.parent_path(), ec)) {
    const std::string nome = e.path().filename().string();
    if (nome.rfind(prefixo, 0) != 0) continue;
    if (e.path().extension() == ".novo") {  // a journal being rewritten when its print died
      fs::remove(e.path(), ec);
      continue;
    }
    const std::string marca = impressao::MarcaDoDiario(e.path().string());
    if (marca.empty()) continue;  // ended meanwhile by the print that wrote it
    const bool registrada = ContadorDeImpressoes() >= std::stoll(marca);
    try {
      const auto devolvidos = impressao::RepararDiario(e.path().string(), registrada);
      for (const auto& arquivo : devolvidos)
        QDInterface->ExibirMensagem("Uma impressão interrompida antes de ser registrada tinha posto " + arquivo +
                                        " no lugar do anterior; o arquivo anterior foi restaurado.",
                                    0);
    } catch (const std::exception& falha) {
      throw std::runtime_error("Uma impressão interrompida deixou arquivos que não puderam ser restaurados (" +
                               std::string(falha.what()) + "); nada foi impresso. Diário: " + e.path().string());
    }
  }
}

void TdmLivroICMS::PrepararDiario() {
  const fs::path banco = ArquivoDoBanco();
  if (banco.empty()) return;
  const int64_t numero = ContadorDeImpressoes() + 1;
  GUtilSistema->GetConnectionSistema().Executar("PRAGMA user_version = " + std::to_string(numero));
  const fs::path diario =
      banco.parent_path() / (PrefixoDosDiarios(banco) + std::to_string(numero) + "." + std::to_string(::getpid()));
  FPrn->SetDiario(diario.string(), std::to_string(numero));
}
