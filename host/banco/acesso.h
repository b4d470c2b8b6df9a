#pragma once
// Who is connected, on an office server where each accountant has a role of their own
// (db/acesso.sql): an accountant sees and settles only the companies granted to them, an auditor
// reads them and prints books that are not definitive but records nothing. A SQLite file has one
// user who may do everything.
#include <cstdint>
#include <string>
#include <vector>

class TQDConnection;

namespace banco {

struct TPapel {
  std::string Nome;       // the server's current_user; empty on SQLite
  bool Restrito = false;  // row-level security hides from it the companies not granted
  bool Grava = true;      // may record settlements
};
TPapel PapelConectado(TQDConnection& conexao);

// "Estabelecimento não encontrado: N", saying for a restricted role that it may exist in a company
// not granted to it. `oQue` is "Estabelecimento" or "Empresa".
std::string NaoEncontrado(TQDConnection& conexao, const std::string& oQue, int64_t id);
// For a restricted role, the words to add where a search found nothing: " (ou ... não liberadas
// ao papel X)"; empty otherwise.
std::string SemAcessoDoPapel(TQDConnection& conexao, const std::string& oQue);

// Refuses, before anything is written, what records for an establishment (`oQue`: "a apuração",
// "a impressão definitiva do livro") when the role may only read. EBancoDados.
void ExigirGravacao(TQDConnection& conexao, int64_t idFilial, const std::string& oQue);

// For a role that may only read, while it exists: the tables a settlement run writes are the
// session's temporary copies of the rows the role sees, so that a book that is not definitive can
// be settled and printed while the office's tables stay as they were. Does nothing for a role that
// records, and on SQLite.
class TGravacaoNaSessao {
 public:
  explicit TGravacaoNaSessao(TQDConnection& conexao);
  ~TGravacaoNaSessao();
  TGravacaoNaSessao(const TGravacaoNaSessao&) = delete;
  TGravacaoNaSessao& operator=(const TGravacaoNaSessao&) = delete;

 private:
  TQDConnection& conexao_;
  bool ativa_ = false;
};

// db papeis: creates (or updates) an accountant's or an auditor's login role on the server, grants
// it the privileges of its kind on the office's tables and records its companies (empty: every
// company). Re-running replaces its kind and companies. Returns what was done, for the user.
std::string CriarPapel(TQDConnection& conexao, const std::string& nome, bool auditor, const std::vector<int64_t>& empresas);

}  // namespace banco
