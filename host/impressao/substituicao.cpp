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

TSubstituicaoArquivos::~TSubstituicaoArquivos() {
  try {
    Desfazer();
  } catch (const std::exception&) {
  }
}

std::string TSubstituicaoArquivos::Adicionar(const std::string& destino) {
  pares_.push_back({destino, Vizinho(destino, ".tmp")});
  return pares_.back().rascunho;
}

void TSubstituicaoArquivos::Descartar() {
  std::error_code ec;
  for (const auto& p : pares_) fs::remove(p.rascunho, ec);
  pares_.clear();
}

TPontosDeFalha GPontosDeFalha;

void PontoDeFalha(const char* onde) {
  if (++GPontosDeFalha.Contados == GPontosDeFalha.Falhar)
    throw std::runtime_error(std::string("falha provocada em: ") + onde);
}

void TSubstituicaoArquivos::Confirmar() {
  Colocar();
  Concluir();
}

// Each existing target is first moved aside, so that a failed rename further on (or a record that
// cannot be written after them) can put back what was there.
void TSubstituicaoArquivos::Colocar() {
  std::error_code ec;
  for (const auto& p : pares_) {
    std::string motivo;
    try {
      if (fs::is_directory(p.destino, ec)) {
        motivo = "é uma pasta";
      } else {
        TFeito f{&p, {}};
        if (fs::exists(fs::symlink_status(p.destino, ec))) {
          f.reserva = Vizinho(p.destino, ".anterior");
          PontoDeFalha("renomear o arquivo anterior");
          fs::rename(p.destino, f.reserva, ec);
          if (ec) motivo = ec.message();
        }
        if (motivo.empty()) {
          try {
            PontoDeFalha("pôr o arquivo no lugar");
            fs::rename(p.rascunho, p.destino, ec);
          } catch (...) {
            if (!f.reserva.empty()) fs::rename(f.reserva, p.destino, ec);
            throw;
          }
          if (ec) {
            motivo = ec.message();
            if (!f.reserva.empty()) fs::rename(f.reserva, p.destino, ec);
          } else {
            feitos_.push_back(f);
          }
        }
      }
    } catch (const std::exception& e) {
      motivo = e.what();
    }
    if (!motivo.empty()) {
      const std::string destino = p.destino;
      try {
        Desfazer();
      } catch (const std::exception& e) {
        throw std::runtime_error("Não foi possível gravar o arquivo " + destino + " (" + motivo + "); " + e.what());
      }
      throw std::runtime_error("Não foi possível gravar o arquivo " + destino + " (" + motivo +
                               "); nenhum arquivo de saída foi alterado.");
    }
  }
}

void TSubstituicaoArquivos::Concluir() {
  std::error_code ec;
  for (const auto& f : feitos_)
    if (!f.reserva.empty()) fs::remove(f.reserva, ec);
  feitos_.clear();
  pares_.clear();
}

void TSubstituicaoArquivos::Desfazer() {
  std::error_code ec;
  std::vector<std::string> perdidos;
  for (auto it = feitos_.rbegin(); it != feitos_.rend(); ++it) {
    if (it->reserva.empty()) fs::remove(it->par->destino, ec);
    else fs::rename(it->reserva, it->par->destino, ec);
    if (ec) perdidos.push_back(it->par->destino + (it->reserva.empty() ? "" : " (o anterior está em " + it->reserva + ")"));
  }
  feitos_.clear();
  Descartar();
  if (perdidos.empty()) return;
  std::string lista;
  for (const auto& p : perdidos) lista += (lista.empty() ? "" : ", ") + p;
  throw std::runtime_error("os arquivos já postos no lugar não puderam ser restaurados: " + lista);
}

}  // namespace impressao
