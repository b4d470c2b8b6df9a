#include "host/impressao/substituicao.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace impressao {

namespace {

// A name beside the target no other program can guess, so that nobody prepares it in advance; the
// exclusive creation refuses it anyway when something is already there.
std::string Vizinho(const std::string& destino, const char* sufixo) {
  static std::random_device aleatorio;
  const fs::path p(destino);
  char marca[17];
  std::snprintf(marca, sizeof marca, "%08x%08x", aleatorio(), aleatorio());
  const std::string nome = "." + p.filename().string() + "." + std::to_string(::getpid()) + "." + marca + sufixo;
  return (p.parent_path() / nome).string();
}

}  // namespace

int AbrirRascunho(const std::string& caminho) {
  if (caminho.empty()) return -1;
  const int fd = ::open(caminho.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1 || st.st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

TSubstituicaoArquivos::~TSubstituicaoArquivos() {
  try {
    Desfazer();
  } catch (const std::exception&) {
  }
}

std::string TSubstituicaoArquivos::Adicionar(const std::string& destino) {
  for (int tentativa = 0; tentativa < 16; ++tentativa) {
    const std::string rascunho = Vizinho(destino, ".tmp");
    const int fd = ::open(rascunho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      pares_.push_back({destino, rascunho});
      return rascunho;
    }
    if (errno != EEXIST) break;
  }
  return "";
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
