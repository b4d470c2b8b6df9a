#include "host/impressao/saidatexto.h"

#include <stdexcept>

#include "host/impressao/pagina.h"

namespace impressao {

bool TSaidaTexto::Abrir(const std::string& caminho) {
  arquivo_.open(caminho, std::ios::binary | std::ios::trunc);
  caminho_ = caminho;
  primeira_ = true;
  return arquivo_.is_open();
}

void TSaidaTexto::Pagina(const TPagina& pagina) {
  if (!primeira_) arquivo_ << '\f';
  primeira_ = false;
  for (const std::string& linha : pagina.Linhas()) arquivo_ << linha << '\n';
}

void TSaidaTexto::Fechar() {
  arquivo_.close();
  if (arquivo_.fail()) throw std::runtime_error("erro de gravação; disco cheio?");
}

}  // namespace impressao
