#pragma once
// Small helpers the tests share: reading a file whole, running a command for its output, checking
// that a tool is installed, and the message an exception carries.
#include <cstdio>
#include <cstdlib>
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
