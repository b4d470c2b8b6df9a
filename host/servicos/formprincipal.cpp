#include "host/servicos/formprincipal.h"

#include "host/base/texto.h"
#include "host/servicos/qdinterface.h"

void TFormPrincipal::AbrirPacote(const std::string& pacote, int32_t, int32_t) {
  const std::string nome = texto::Aparar(pacote);
  interface_.ExibirMensagem("Não é possível abrir o pacote " + (nome.empty() ? std::string("(não informado)") : nome) +
                                ": ele não faz parte deste programa.",
                            static_cast<int>(TTipoMensagem::Informacao));
}
