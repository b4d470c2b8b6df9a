#include "host/interacao/formpadraoresult.h"

#include <charconv>

#include "host/base/formatacao.h"
#include "host/base/texto.h"
#include "host/host.h"

std::string TCampoEdicao::Text() const {
  switch (Tipo) {
    case TTipoCampo::Moeda: return FormatarValor(Valor);
    case TTipoCampo::Inteiro: return std::to_string(Inteiro);
    case TTipoCampo::Data: return Data > 0 ? DataBR(Data) : std::string();
    case TTipoCampo::Texto: break;
  }
  return Texto;
}

bool TCampoEdicao::LerTexto(const std::string& bruto) {
  const std::string t = texto::Aparar(bruto);
  switch (Tipo) {
    case TTipoCampo::Moeda: {
      Currency v;
      if (t.empty()) v = Currency();
      else if (!TentarLerValor(t, v)) return false;
      Valor = v;
      return true;
    }
    case TTipoCampo::Inteiro: {
      int64_t v = 0;
      const char* fim = t.data() + t.size();
      if (!t.empty() && std::from_chars(t.data(), fim, v).ptr != fim) return false;
      Inteiro = v;
      return true;
    }
    case TTipoCampo::Data: {
      TDateTime d = 0;
      if (!t.empty() && !TentarLerData(t, d)) return false;
      Data = d;
      return true;
    }
    case TTipoCampo::Texto: break;
  }
  Texto = bruto;
  return true;
}

TCampoEdicao& TQDFormRavelPadraoResult::Adicionar(std::string nome, std::string legenda, TTipoCampo tipo) {
  auto c = std::make_unique<TCampoEdicao>();
  c->Nome = std::move(nome);
  c->Legenda = std::move(legenda);
  c->Tipo = tipo;
  FCampos.push_back(std::move(c));
  return *FCampos.back();
}

int TQDFormRavelPadraoResult::ShowModal() {
  std::vector<TCampoEdicao*> visiveis;
  std::vector<TCampoDialogo> dialogo;
  for (const auto& c : FCampos) {
    if (!c->Visible) continue;
    visiveis.push_back(c.get());
    dialogo.push_back({c->Nome, c->Legenda, c->Text(), c->Enabled, c->Tipo});
  }
  if (!QDInterface->Interacao().EditarDados(Caption, dialogo, TeclasConfirmacao)) return mrCancel;
  // Every answer is read before any field changes: a bad one leaves the dialog as it was.
  std::vector<TCampoEdicao> lidos;
  for (size_t i = 0; i < visiveis.size(); ++i) {
    TCampoEdicao c = *visiveis[i];
    if (!c.LerTexto(dialogo.at(i).Valor))
      throw EDadosDialogo("Diálogo \"" + Caption + "\": o campo \"" + texto::Aparar(c.Legenda) + "\" (" + c.Nome +
                          ") não aceita \"" + dialogo.at(i).Valor + "\".");
    lidos.push_back(std::move(c));
  }
  for (size_t i = 0; i < visiveis.size(); ++i) *visiveis[i] = std::move(lidos[i]);
  return mrOk;
}
