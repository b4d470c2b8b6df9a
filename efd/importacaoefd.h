#pragma once
// Loading a client's EFD ICMS/IPI file into the database, so that the establishment can be settled
// and its book printed from it. Record by record the mapping is in docs/efd.md; in short:
// - 0000/0005 find the establishment by CNPJ (or CPF) or create it, with its company; it gets the
//   fiscal parameters it lacks (monthly, regular regime, an ST inscription per E200 state, the
//   accountant of 0100 as the signatory of the book's terms);
// - 0150 participants are found by CNPJ/CPF (or name and municipality) or created;
// - each document of blocks C and D becomes an entry or exit document with one item per analytical
//   line; its document adjustments (C197/D197) and the adjustments of block E (E111, E220) become
//   settlement entries of the kind their code says; the credit balances the client carried in
//   (E110 field 10, E210 field 03) become the balance carried from the period before, unless the
//   settlement of that period already recorded it.
// Everything is written in one transaction: a file loads whole or not at all. A new import of the
// same establishment and period first deletes what the earlier one loaded. A file is loaded as it
// is read, document by document, and checked to its last line within the same transaction: a fault
// anywhere rolls back what was written before it, so that memory stays that of one document
// whatever the file's size.
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "efd/arquivoefd.h"

class TQDConnection;

namespace efd {

// The file cannot be loaded as it stands into this database (another establishment's data, an
// import that overlaps an earlier one). Nothing was written.
class EImportacaoEFD : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TResumoImportacao {
  int64_t IdFilial = 0;
  int64_t IdImportacao = 0;
  std::string Filial;  // name and CNPJ, for the user
  TDateTime Inicio = 0, Fim = 0;
  bool FilialCriada = false;
  bool Substituiu = false;  // an earlier import of the period was replaced
  bool ApuracaoDesatualizada = false;  // a settled period's data changed: it must be settled again
  int64_t Entradas = 0, Saidas = 0, Itens = 0;
  int64_t SemValor = 0;            // cancelled, denied, unused numbers
  int64_t Extemporaneos = 0;       // exits of earlier periods: their tax became special debits
  int64_t Lancamentos = 0;         // settlement entries written (adjustments, balances)
  int64_t ParticipantesCriados = 0;
  std::vector<std::string> CfopsCriados;
  std::vector<std::string> Avisos;
  std::map<std::string, int64_t> Ignorados;

  // What the user reads at the end of the import.
  std::string Texto() const;
};

class TImportacaoEFD {
 public:
  // Told the work done so far and its total: documents of a file in memory, bytes of one read.
  using TProgresso = std::function<void(int64_t feitos, int64_t total)>;
  explicit TImportacaoEFD(TQDConnection& conexao, TProgresso progresso = {});
  // A file already read (LerArquivoEFD). Throws EImportacaoEFD (nothing written) when the file does
  // not fit the database.
  TResumoImportacao Importar(const TArquivoEFD& arquivo);
  // Reads the file and loads it as it reads. `lido` gets what the file holds but its documents (the
  // client's block E, for a comparison). Throws EArquivoEFD or EImportacaoEFD, nothing written.
  TResumoImportacao ImportarArquivo(const std::string& caminho, TArquivoEFD& lido);
  TResumoImportacao ImportarArquivo(std::istream& entrada, const std::string& nome, TArquivoEFD& lido);

 private:
  TQDConnection& c_;
  TProgresso progresso_;
  template <class TCarga>
  TResumoImportacao Transacao(const TArquivoEFD& arquivo, TCarga carga);
};

// The state of a municipality's IBGE code (its first two digits); "" when unknown.
std::string UFDoMunicipio(const std::string& codigoIbge);

}  // namespace efd
