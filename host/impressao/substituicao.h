#pragma once
// Outputs that change all at once or not at all. A job writes each output into a scratch file
// beside its target (same folder, so the final rename stays on one file system); only when every
// output is complete are the targets replaced, together. A failure at any step leaves every
// target as it was (an earlier book stays whole) and removes the scratch files.
#include <string>
#include <vector>

namespace impressao {

class TSubstituicaoArquivos {
 public:
  TSubstituicaoArquivos() = default;
  TSubstituicaoArquivos(const TSubstituicaoArquivos&) = delete;
  TSubstituicaoArquivos& operator=(const TSubstituicaoArquivos&) = delete;
  // Removes the scratch files not yet put in place.
  ~TSubstituicaoArquivos();

  // Registers a target and returns the scratch path to write it to, created empty and
  // exclusively (never an existing file or a symbolic link planted there); "" when it cannot be
  // created.
  std::string Adicionar(const std::string& destino);
  // Puts every scratch file in place of its target. On failure restores every target replaced so
  // far, removes the scratch files and throws std::runtime_error naming the target.
  void Confirmar();
  // Confirmar in two steps, for a job whose record is written after its files are in place:
  // Colocar puts the files in place keeping what they replaced aside; then Concluir drops what
  // was aside, or Desfazer puts it back (removing a target that did not exist) and throws
  // std::runtime_error naming the files it could not restore.
  void Colocar();
  void Concluir();
  void Desfazer();
  // A journal of the job, under `marca`, set before the first Adicionar: it lists every scratch
  // file as it is created and, before Colocar's first rename, what each target is about to become;
  // Concluir, Descartar or a complete Desfazer removes it. A process killed in between leaves it
  // behind for RepararDiario.
  void SetDiario(std::string diario, std::string marca);
  // Drops the scratch files; the targets stay untouched.
  void Descartar();

 private:
  struct TPar {
    std::string destino, rascunho;
    std::string reserva;  // where Colocar moves the existing target; empty: there is none
  };
  struct TFeito {
    const TPar* par;
    std::string reserva;  // empty: the target did not exist
  };
  // `colocando`: Colocar is about to rename; else the scratch files are still being written.
  void GravarDiario(bool colocando);
  void ApagarDiario();

  std::vector<TPar> pares_;
  std::vector<TFeito> feitos_;
  std::string diario_, marca_, diarioGravado_;
};

// The mark a journal left behind was written with ("" when it cannot be read).
std::string MarcaDoDiario(const std::string& diario);
// Ends what a journal left behind lists: `confirmado` (the job's record was written), the files it
// put in place stay and what they replaced is dropped; otherwise what it replaced goes back in
// place (a target that did not exist is removed) and its scratch files are removed. Removes the
// journal and returns the targets put back. Throws std::runtime_error naming the files it could
// not restore; the journal then stays for another attempt.
std::vector<std::string> RepararDiario(const std::string& diario, bool confirmado);

// Opens for writing a scratch file Adicionar created: a descriptor, or -1 when the path is no
// longer that plain file of one name (a link put in its place is not followed).
int AbrirRascunho(const std::string& caminho);

// Writes all `tamanho` bytes to the descriptor; false when the system refuses any of them.
bool GravarTudo(int fd, const void* dados, size_t tamanho);

// Every write and rename of a job's files passes here first, naming what it is about to do. Tests
// make the n-th point fail (GPontosDeFalha.Falhar = n) to see that each failure leaves the files
// and what the job records in agreement.
struct TPontosDeFalha {
  int Contados = 0;  // points passed
  int Falhar = 0;    // the point that throws (1-based); 0: none
  // The point kills the process instead, as a power cut or a kill -9 would; killing also reaches the
  // one point after a job's record, where a failure is no longer possible.
  bool Matar = false;
};
extern TPontosDeFalha GPontosDeFalha;
// A build with gcov's counters (LIVRO_COBERTURA, the mutation check's map of which tests run each
// line) writes them before a process ends without exit(): killed at a fault point, or a test's
// child leaving by _exit. Nothing otherwise.
void SalvarCobertura();
void PontoDeFalha(const char* onde);

}  // namespace impressao
