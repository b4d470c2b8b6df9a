#include "host/impressao/saidatexto.h"

#include <stdexcept>
#include <vector>

#include <unistd.h>

#include "host/impressao/pagina.h"
#include "host/impressao/substituicao.h"

namespace impressao {

TSaidaTexto::~TSaidaTexto() {
  if (arquivo_) std::fclose(arquivo_);
}

bool TSaidaTexto::Abrir(const std::string& caminho) {
  PontoDeFalha("criar o arquivo texto");
  const int fd = AbrirRascunho(caminho);
  if (fd < 0) return false;
  arquivo_ = ::fdopen(fd, "wb");
  if (!arquivo_) {
    ::close(fd);
    return false;
  }
  caminho_ = caminho;
  primeira_ = true;
  erro_ = false;
  return true;
}

void TSaidaTexto::Pagina(const TPagina& pagina) {
  PontoDeFalha("gravar uma página do arquivo texto");
  if (!primeira_) erro_ |= std::fputc('\f', arquivo_) == EOF;
  primeira_ = false;
  std::vector<std::string> emAberto;  // a page still being written is assembled here
  for (const std::string& linha : pagina.Concluida() ? pagina.LinhasConcluidas() : (emAberto = pagina.Linhas())) {
    erro_ |= std::fwrite(linha.data(), 1, linha.size(), arquivo_) != linha.size();
    erro_ |= std::fputc('\n', arquivo_) == EOF;
  }
}

void TSaidaTexto::Fechar() {
  PontoDeFalha("fechar o arquivo texto");
  const bool falhou = std::fclose(arquivo_) != 0 || erro_;
  arquivo_ = nullptr;
  if (falhou) throw std::runtime_error("erro de gravação; disco cheio?");
}

}  // namespace impressao
