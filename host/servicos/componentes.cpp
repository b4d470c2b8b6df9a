// The host's help for the auxiliary-data dialogs.
#include "host/interacao/formpadraoresult.h"
#include "host/servicos/apuracaofuncoes.h"

namespace {
// Index of the last enabled field; the field count when none is.
template <class Campos, class Habilitado>
size_t UltimoAtivo(const Campos& campos, Habilitado habilitado) {
  size_t ultimo = campos.size();
  for (size_t i = 0; i < campos.size(); ++i)
    if (habilitado(campos[i])) ultimo = i;
  return ultimo;
}
}  // namespace

bool TApuracaoFuncoes::EhUltimoComponenteAtivo(const TCampoEdicao& campo, const TQDFormRavelPadraoResult& dialogo) const {
  const auto& campos = dialogo.Campos();
  const size_t i = UltimoAtivo(campos, [](const auto& c) { return c->Enabled && c->Visible; });
  return i < campos.size() && campos[i].get() == &campo;
}

// `indice` is a field's: with no field enabled the answer is the field count, no field's index.
bool TApuracaoFuncoes::EhUltimoComponenteAtivo(size_t indice, const std::vector<TCampoDialogo>& campos) const {
  return UltimoAtivo(campos, [](const TCampoDialogo& c) { return c.Habilitado; }) == indice;
}
