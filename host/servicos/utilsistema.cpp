#include "host/servicos/utilsistema.h"

#include "host/banco/consulta.h"
#include "host/interacao/interacao.h"

void TUtilSistema::CreateProviderAtRunTime(TQDClientDataSet& ds) { ds.SetProvider(&c_); }

bool TUtilSistema::MostraMensagemSim(const std::string& texto, int, const std::string& titulo) {
  return interacao_.PerguntarSimNao(texto, titulo, true);
}
