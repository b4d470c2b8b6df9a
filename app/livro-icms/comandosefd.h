#pragma once
// The `efd` commands of livro-icms: the client's EFD ICMS/IPI file in, block E out, and the two
// settlements compared.
//   livro-icms efd importar --db ARQ CLIENTE.txt
//   livro-icms efd exportar --db ARQ --filial ID --inicio D --fim D --saida BLOCO_E.txt
//   livro-icms efd conferir --db ARQ CLIENTE.txt [--respostas ARQ]
#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

class TComandosEFD {
 public:
  explicit TComandosEFD(CLI::App& app);
  // Runs the command given, if it is one of these; `codigo` gets the exit code: 0 done (and, for
  // `conferir`, both settlements equal), 4 `conferir` found differences. Errors are thrown.
  bool Executar(int& codigo);

 private:
  CLI::App* importar_ = nullptr;
  CLI::App* exportar_ = nullptr;
  CLI::App* conferir_ = nullptr;
  std::string banco_, arquivo_, saida_, inicio_, fim_, respostas_;
  int64_t idFilial_ = 0;

  int Importar();
  int Exportar();
  int Conferir();
};
