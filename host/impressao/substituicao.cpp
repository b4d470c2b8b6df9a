#include "host/impressao/substituicao.h"

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace impressao {

namespace {

std::string Vizinho(const std::string& destino, const char* sufixo) {
  static std::atomic<unsigned> seq{0};
  const fs::path p(destino);
  const std::string nome = "." + p.filename().string() + "." + std::to_string(::getpid()) + "." +
                           std::to_string(++seq) + sufixo;
  return (p.parent_path() / nome).string();
}

}  // namespace

TSubstituicaoArquivos::~TSubstituicaoArquivos() { Descartar(); }

std::string TSubstituicaoArquivos::Adicionar(const std::string& destino) {
  pares_.push_back({destino, Vizinho(destino, ".tmp")});
  return pares_.back().rascunho;
}

void TSubstituicaoArquivos::Descartar() {
  std::error_code ec;
  for (const auto& p : pares_) fs::remove(p.rascunho, ec);
  pares_.clear();
}

// Each existing target is first moved aside, so that a failed rename further on can put back
// what was there; the copies aside are removed only once every target is in place.
void TSubstituicaoArquivos::Confirmar() {
  struct TFeito {
    const TPar* par;
    std::string reserva;  // empty: the target did not exist
  };
  std::vector<TFeito> feitos;
  std::error_code ec;
  auto desfazer = [&] {
    for (auto it = feitos.rbegin(); it != feitos.rend(); ++it) {
      if (it->reserva.empty()) fs::remove(it->par->destino, ec);
      else fs::rename(it->reserva, it->par->destino, ec);
    }
    Descartar();
  };
  for (const auto& p : pares_) {
    std::string motivo;
    if (fs::is_directory(p.destino, ec)) {
      motivo = "é uma pasta";
    } else {
      TFeito f{&p, {}};
      if (fs::exists(p.destino, ec)) {
        f.reserva = Vizinho(p.destino, ".anterior");
        fs::rename(p.destino, f.reserva, ec);
        if (ec) motivo = ec.message();
      }
      if (motivo.empty()) {
        fs::rename(p.rascunho, p.destino, ec);
        if (ec) {
          motivo = ec.message();
          if (!f.reserva.empty()) fs::rename(f.reserva, p.destino, ec);
        } else {
          feitos.push_back(f);
        }
      }
    }
    if (!motivo.empty()) {
      const std::string destino = p.destino;  // desfazer() clears the pairs
      desfazer();
      throw std::runtime_error("Não foi possível gravar o arquivo " + destino + " (" + motivo +
                               "); nenhum arquivo de saída foi alterado.");
    }
  }
  for (const auto& f : feitos)
    if (!f.reserva.empty()) fs::remove(f.reserva, ec);
  pares_.clear();
}

}  // namespace impressao
