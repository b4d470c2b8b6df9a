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

  // Registers a target and returns the scratch path to write it to.
  std::string Adicionar(const std::string& destino);
  // Puts every scratch file in place of its target. On failure restores every target replaced so
  // far, removes the scratch files and throws std::runtime_error naming the target.
  void Confirmar();
  // Drops the scratch files; the targets stay untouched.
  void Descartar();

 private:
  struct TPar {
    std::string destino, rascunho;
  };
  std::vector<TPar> pares_;
};

}  // namespace impressao
