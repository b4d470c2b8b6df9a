#include "host/impressao/saidatexto.h"

#include <stdexcept>

#include "host/impressao/pagina.h"
#include "host/impressao/substituicao.h"

namespace impressao {

bool TSaidaTexto::Abrir(const std::string& caminho) {
  PontoDeFalha("criar o arquivo texto");
  arquivo_.open(caminho, std::ios::binary | std::ios::trunc);
  caminho_ = caminho;
  primeira_ = true;
  return arquivo_.is_open();
}

void TSaidaTexto::Pagina(const TPagina& pagina) {
  PontoDeFalha("gravar uma página do arquivo texto");
  if (!primeira_) arquivo_ << '\f';
  primeira_ = false;
  for (const std::string& linha : pagina.Linhas()) arquivo_ << linha << '\n';
}

void TSaidaTexto::Fechar() {
  PontoDeFalha("fechar o arquivo texto");
  arquivo_.close();
  if (arquivo_.fail()) throw std::runtime_error("erro de gravação; disco cheio?");
}

}  // namespace impressao
