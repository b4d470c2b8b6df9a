#include "apuracao/registros.h"

#include "host/base/texto.h"

TRegistro* TRegistros::Add() {
  FItens.push_back(std::make_unique<TRegistro>());
  return FItens.back().get();
}

TRegistro* TRegistros::Locate(const std::string& cfop) const {
  for (const auto& r : FItens)
    if (r->GetCFOP() == cfop) return r.get();
  return nullptr;
}

Currency TRegistros::GetTotalImposto() const {
  if (TotalImposto) return TotalImposto();
  Currency t;
  for (const auto& r : FItens) t += r->GetImposto();
  return t;
}

namespace {
void Somar(TRegistro& soma, const TRegistro& r) {
  soma.SetBaseCalculo(soma.GetBaseCalculo() + r.GetBaseCalculo());
  soma.SetImposto(soma.GetImposto() + r.GetImposto());
  soma.SetIsentas(soma.GetIsentas() + r.GetIsentas());
  soma.SetOutras(soma.GetOutras() + r.GetOutras());
  soma.SetValorContabil(soma.GetValorContabil() + r.GetValorContabil());
}

std::string DescricaoGrupo(const std::string& grupo) {
  int n = 0;
  try {
    size_t usados = 0;
    n = std::stoi(grupo, &usados);
    if (usados != grupo.size()) n = 0;
  } catch (const std::exception&) {
    n = 0;
  }
  switch (n) {
    case 1: return "DO ESTADO";
    case 2: return "DE OUTROS ESTADOS";
    case 3: return "DO EXTERIOR";
    case 5: return "PARA O ESTADO";
    case 6: return "PARA OUTROS ESTADOS";
    case 7: return "PARA O EXTERIOR";
    default: return "";
  }
}
}  // namespace

std::unique_ptr<TRegistro> TRegistros::GetSoma() const {
  auto soma = std::make_unique<TRegistro>();
  soma->SetDescricaoCFOP("TOTAIS");
  for (const auto& r : FItens) Somar(*soma, *r);
  return soma;
}

std::unique_ptr<TRegistro> TRegistros::GetSoma(const std::string& grupo) const {
  auto soma = std::make_unique<TRegistro>();
  soma->SetCFOP(grupo + ".000");
  soma->SetDescricaoCFOP(DescricaoGrupo(grupo));
  size_t n = texto::Tamanho(grupo);
  for (const auto& r : FItens)
    if (texto::Copiar(r->GetCFOP(), 1, n) == grupo) Somar(*soma, *r);
  return soma;
}
