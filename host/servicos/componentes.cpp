// The host's help for the auxiliary-data dialogs.
#include "host/interacao/formpadraoresult.h"
#include "host/servicos/apuracaofuncoes.h"

bool TApuracaoFuncoes::EhUltimoComponenteAtivo(const TCampoEdicao& campo, const TQDFormRavelPadraoResult& dialogo) const {
  const TCampoEdicao* ultimo = nullptr;
  for (const auto& c : dialogo.Campos())
    if (c->Enabled && c->Visible) ultimo = c.get();
  return ultimo == &campo;
}
