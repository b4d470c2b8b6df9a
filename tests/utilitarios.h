#pragma once
// Small helpers the tests share: reading a file whole, running a command for its output, running
// the program, checking that a tool is installed, and the message an exception carries.
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "host/base/fracao.h"
#include "host/base/moeda.h"

inline std::string Ler(const std::string& caminho) {
  std::ifstream f(caminho, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct TResultado {
  int Codigo = -1;
  std::string Saida, Erro;
};

// Runs livro-icms with the arguments (shell syntax), standard input closed; its outputs pass
// through files in `pasta`.
inline TResultado RodarPrograma(const std::filesystem::path& pasta, const std::string& argumentos) {
  const std::filesystem::path out = pasta / "stdout", err = pasta / "stderr";
  const std::string cmd = std::string("'") + LIVRO_BIN + "' " + argumentos + " >'" + out.string() + "' 2>'" +
                          err.string() + "' </dev/null";
  const int st = std::system(cmd.c_str());
  TResultado r;
  r.Codigo = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  r.Saida = Ler(out);
  r.Erro = Ler(err);
  return r;
}

inline std::string Executar(const std::string& comando) {
  std::string r;
  if (FILE* p = popen(comando.c_str(), "r")) {
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) r.append(buf, n);
    pclose(p);
  }
  return r;
}

inline bool Existe(const std::string& programa) {
  return std::system(("command -v " + programa + " >/dev/null 2>&1").c_str()) == 0;
}

// Amounts in failure messages as "1.250,0000" instead of raw bytes.
inline void PrintTo(const Currency& c, std::ostream* os) { *os << moeda::TextoExato(c.Raw()); }
inline void PrintTo(const TFracao& f, std::ostream* os) { *os << f.TextoDecimal(); }

#define EXPECT_CONTEM(texto, trecho) EXPECT_NE((texto).find(trecho), std::string::npos) << (texto)

// The message of the exception of type E a call throws, or "(sem erro)".
template <class E, class F>
std::string Erro(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.what();
  }
  return "(sem erro)";
}

// What a summary prints through the book's callback: "column:text" per call, then "/" when the
// call advances a line, "|" when it does not, and "^" when it asks for a new page.
template <class F>
std::string Impresso(F&& imprimir) {
  std::string s;
  int linha = 0;
  imprimir(linha, [&s](int, int coluna, const std::string& t, int avancar, bool novaPagina) {
    s += std::to_string(coluna) + ":" + t + (avancar > 0 ? "/" : "|") + (novaPagina ? "^" : "");
  });
  return s;
}
