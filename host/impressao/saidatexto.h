#pragma once
// Plain-text output of a print job, written page by page as the pages end.
//
// Format (UTF-8, deterministic, compared byte for byte by the golden tests):
//   - every page has exactly as many lines as the job's page length (66 or 88), each ended by LF;
//   - trailing blanks of every line are trimmed (an empty line is a bare LF);
//   - every page after the first starts with a form feed (0x0C) immediately before the text of
//     its first line; there is no form feed before the first page nor after the last;
//   - each character takes one column whatever its font; nothing else (no escape codes).
#include <cstdio>
#include <string>

namespace impressao {

class TPagina;

class TSaidaTexto {
 public:
  TSaidaTexto() = default;
  TSaidaTexto(const TSaidaTexto&) = delete;
  TSaidaTexto& operator=(const TSaidaTexto&) = delete;
  ~TSaidaTexto();
  // Writes into the scratch file `caminho` (host/impressao/substituicao.h); false when it is not
  // that file any more.
  bool Abrir(const std::string& caminho);
  void Pagina(const TPagina& pagina);
  // Throws std::runtime_error when the file could not be written.
  void Fechar();

 private:
  std::FILE* arquivo_ = nullptr;
  bool erro_ = false;
  std::string caminho_;
  bool primeira_ = true;
};

}  // namespace impressao
