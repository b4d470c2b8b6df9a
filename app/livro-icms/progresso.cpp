#include "app/livro-icms/progresso.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace {

std::string Tempo(std::chrono::steady_clock::duration d) {
  const auto s = std::chrono::duration_cast<std::chrono::seconds>(d).count();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld", static_cast<long long>(s / 60), static_cast<long long>(s % 60));
  return buf;
}

}  // namespace

TBarraProgresso::TBarraProgresso(std::string titulo)
    : titulo_(std::move(titulo)), ativa_(isatty(STDERR_FILENO) != 0), inicio_(std::chrono::steady_clock::now()) {}

TBarraProgresso::~TBarraProgresso() { Encerrar(); }

void TBarraProgresso::Atualizar(int64_t feito, int64_t total, const std::string& detalhe) {
  if (!ativa_) return;
  const auto agora = std::chrono::steady_clock::now();
  const bool fim = total > 0 && feito >= total;
  if (desenhada_ && !fim && agora - ultima_ < std::chrono::milliseconds(100)) return;
  ultima_ = agora;
  const auto decorrido = agora - inicio_;
  std::string linha = "\r" + titulo_;
  if (total > 0) {
    const int largura = 30;
    const double parte = static_cast<double>(feito) / static_cast<double>(total);
    const int cheios = static_cast<int>(parte * largura);
    linha += " [" + std::string(static_cast<size_t>(cheios), '#') + std::string(static_cast<size_t>(largura - cheios), '.') +
             "] " + std::to_string(static_cast<int>(parte * 100)) + "%  " + std::to_string(feito) + " de " +
             std::to_string(total) + "  " + Tempo(decorrido);
    if (feito > 0 && !fim) {
      const auto resta = decorrido * (total - feito) / feito;
      linha += ", faltam ~" + Tempo(resta);
    }
  } else {
    linha += "  " + std::to_string(feito) + "  " + Tempo(decorrido);
  }
  if (!detalhe.empty()) linha += "  " + detalhe;
  linha += "\033[K";  // clear what a longer line left
  std::cerr << linha << std::flush;
  desenhada_ = true;
}

void TBarraProgresso::Encerrar() {
  if (!desenhada_) return;
  std::cerr << "\r\033[K" << std::flush;
  desenhada_ = false;
}
