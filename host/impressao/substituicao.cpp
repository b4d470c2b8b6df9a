#include "host/impressao/substituicao.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
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

namespace {
// The journal's phase: scratch files being written, or targets being replaced.
constexpr const char* kEscrevendo = "escrevendo";
constexpr const char* kColocando = "colocando";
}  // namespace

TSubstituicaoArquivos::~TSubstituicaoArquivos() {
  try {
    Desfazer();
  } catch (const std::exception&) {
  }
}

// With a journal, the scratch file is in it before it exists: a process killed right after
// creating it leaves nothing the journal does not name.
std::string TSubstituicaoArquivos::Adicionar(const std::string& destino) {
  for (int tentativa = 0; tentativa < 16; ++tentativa) {
    const std::string rascunho = Vizinho(destino, ".tmp");
    pares_.push_back({destino, rascunho, {}});
    int fd = -1;
    bool outroNome = false;
    try {
      GravarDiario(false);
      fd = ::open(rascunho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      outroNome = fd < 0 && errno == EEXIST;
    } catch (const std::exception&) {
    }
    if (fd >= 0) {
      ::close(fd);
      return rascunho;
    }
    pares_.pop_back();
    if (!outroNome) break;
  }
  if (pares_.empty()) ApagarDiario();
  return "";
}

void TSubstituicaoArquivos::Descartar() {
  std::error_code ec;
  for (const auto& p : pares_) fs::remove(p.rascunho, ec);
  pares_.clear();
  ApagarDiario();
}

TPontosDeFalha GPontosDeFalha;

#ifdef LIVRO_COBERTURA
extern "C" void __gcov_dump();
#endif

void SalvarCobertura() {
#ifdef LIVRO_COBERTURA
  __gcov_dump();
#endif
}

void PontoDeFalha(const char* onde) {
  if (++GPontosDeFalha.Contados != GPontosDeFalha.Falhar) return;
  if (GPontosDeFalha.Matar) {
    SalvarCobertura();
    ::raise(SIGKILL);
  }
  throw std::runtime_error(std::string("falha provocada em: ") + onde);
}

void TSubstituicaoArquivos::Confirmar() {
  Colocar();
  Concluir();
}

void TSubstituicaoArquivos::SetDiario(std::string diario, std::string marca) {
  diario_ = std::move(diario);
  marca_ = std::move(marca);
}

// The journal names every file the job touches, so that a later process can tell, for each target,
// whether it was moved aside, replaced, or not reached yet. It is rewritten whole (a new file
// renamed over it, synced with its folder) as each scratch file is created and before the first
// rename.
bool GravarTudo(int fd, const void* dados, size_t tamanho) {
  const auto* p = static_cast<const char*>(dados);
  for (size_t feito = 0; feito < tamanho;) {
    const ssize_t n = ::write(fd, p + feito, tamanho - feito);
    if (n <= 0) return false;
    feito += static_cast<size_t>(n);
  }
  return true;
}

void TSubstituicaoArquivos::GravarDiario(bool colocando) {
  if (diario_.empty()) return;
  PontoDeFalha("gravar o diário da impressão");
  std::string texto = marca_ + "\n" + (colocando ? kColocando : kEscrevendo) + "\n";
  for (const auto& p : pares_) texto += p.destino + "\n" + p.rascunho + "\n" + p.reserva + "\n";
  const std::string novo = diario_ + ".novo";
  ::unlink(novo.c_str());
  const int fd = ::open(novo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  bool gravado = fd >= 0 && GravarTudo(fd, texto.data(), texto.size()) && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  gravado = gravado && ::rename(novo.c_str(), diario_.c_str()) == 0;
  if (!gravado) {
    const std::string motivo = std::strerror(errno);
    ::unlink(novo.c_str());
    throw std::runtime_error("Não foi possível gravar o diário da impressão " + diario_ + " (" + motivo +
                             "); nenhum arquivo de saída foi alterado.");
  }
  diarioGravado_ = diario_;
  const int pasta = ::open(fs::path(diario_).parent_path().string().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (pasta >= 0) {
    ::fsync(pasta);
    ::close(pasta);
  }
}

void TSubstituicaoArquivos::ApagarDiario() {
  if (diarioGravado_.empty()) return;
  ::unlink(diarioGravado_.c_str());
  diarioGravado_.clear();
}

// Each existing target is first moved aside, so that a failed rename further on (or a record that
// cannot be written after them) can put back what was there.
void TSubstituicaoArquivos::Colocar() {
  std::error_code ec;
  for (auto& p : pares_)
    p.reserva = fs::exists(fs::symlink_status(p.destino, ec)) ? Vizinho(p.destino, ".anterior") : std::string();
  try {
    GravarDiario(true);
  } catch (...) {
    Descartar();
    throw;
  }
  for (const auto& p : pares_) {
    std::string motivo;
    try {
      if (fs::is_directory(p.destino, ec)) {
        motivo = "é uma pasta";
      } else {
        TFeito f{&p, {}};
        if (!p.reserva.empty()) {
          f.reserva = p.reserva;
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
  // Once the record is written nothing may fail the job any more; a process can still die here.
  if (!diarioGravado_.empty() && GPontosDeFalha.Matar) PontoDeFalha("descartar os arquivos anteriores");
  std::error_code ec;
  for (const auto& f : feitos_)
    if (!f.reserva.empty()) fs::remove(f.reserva, ec);
  feitos_.clear();
  pares_.clear();
  ApagarDiario();
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
  if (perdidos.empty()) {
    ApagarDiario();
    return;
  }
  std::string lista;
  for (const auto& p : perdidos) lista += (lista.empty() ? "" : ", ") + p;
  throw std::runtime_error("os arquivos já postos no lugar não puderam ser restaurados: " + lista);
}

std::string MarcaDoDiario(const std::string& diario) {
  std::ifstream f(diario);
  std::string marca;
  std::getline(f, marca);
  return f ? marca : std::string();
}

std::vector<std::string> RepararDiario(const std::string& diario, bool confirmado) {
  std::ifstream f(diario);
  std::string marca, fase, destino, rascunho, reserva;
  std::getline(f, marca);
  std::getline(f, fase);
  // Killed while writing: no target was touched yet.
  const bool escrevendo = fase != kColocando;
  std::vector<std::string> devolvidos, perdidos;
  std::error_code ec;
  auto existe = [&ec](const std::string& c) { return !c.empty() && fs::exists(fs::symlink_status(c, ec)); };
  while (std::getline(f, destino) && std::getline(f, rascunho) && std::getline(f, reserva)) {
    // Not reached by the renames: the scratch file is still there.
    const bool colocado = !existe(rascunho);
    if (!colocado) fs::remove(rascunho, ec);
    if (escrevendo) continue;
    if (confirmado) {
      if (existe(reserva)) fs::remove(reserva, ec);
      continue;
    }
    if (existe(reserva)) {
      // Moved aside: whatever stands in its place now is the job's.
      fs::rename(reserva, destino, ec);
      if (ec) perdidos.push_back(destino + " (o anterior está em " + reserva + ")");
      else devolvidos.push_back(destino);
    } else if (reserva.empty() && colocado && existe(destino)) {
      // A new target the job put in place.
      fs::remove(destino, ec);
      if (ec) perdidos.push_back(destino);
      else devolvidos.push_back(destino);
    }
  }
  f.close();
  if (!perdidos.empty()) {
    std::string lista;
    for (const auto& p : perdidos) lista += (lista.empty() ? "" : ", ") + p;
    throw std::runtime_error("os arquivos de uma impressão interrompida não puderam ser restaurados: " + lista);
  }
  fs::remove(diario, ec);
  return devolvidos;
}

}  // namespace impressao
