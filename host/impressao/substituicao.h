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
  // Drops the scratch files; the targets stay untouched.
  void Descartar();

 private:
  struct TPar {
    std::string destino, rascunho;
  };
  struct TFeito {
    const TPar* par;
    std::string reserva;  // empty: the target did not exist
  };
  std::vector<TPar> pares_;
  std::vector<TFeito> feitos_;
};

// Opens for writing a scratch file Adicionar created: a descriptor, or -1 when the path is no
// longer that plain file of one name (a link put in its place is not followed).
int AbrirRascunho(const std::string& caminho);

// Every write and rename of a job's files passes here first, naming what it is about to do. Tests
// make the n-th point fail (GPontosDeFalha.Falhar = n) to see that each failure leaves the files
// and what the job records in agreement.
struct TPontosDeFalha {
  int Contados = 0;  // points passed
  int Falhar = 0;    // the point that throws (1-based); 0: none
};
extern TPontosDeFalha GPontosDeFalha;
void PontoDeFalha(const char* onde);

}  // namespace impressao
