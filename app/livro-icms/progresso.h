#pragma once
// A progress bar on the terminal's error stream: what is being done, the share done, the time spent
// and an estimate of the time left. Draws nothing when the stream is not a terminal (a batch, a
// pipe, a test), so outputs that are read by programs stay clean.
#include <chrono>
#include <cstdint>
#include <string>

class TBarraProgresso {
 public:
  explicit TBarraProgresso(std::string titulo);
  ~TBarraProgresso();
  TBarraProgresso(const TBarraProgresso&) = delete;
  TBarraProgresso& operator=(const TBarraProgresso&) = delete;

  // `total` 0 = unknown: only the count and the time are shown.
  void Atualizar(int64_t feito, int64_t total, const std::string& detalhe = {});
  // Clears the bar's line (before other output, or at the end).
  void Encerrar();

 private:
  std::string titulo_;
  bool ativa_;
  bool desenhada_ = false;
  std::chrono::steady_clock::time_point inicio_, ultima_;
};
