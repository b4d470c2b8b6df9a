#include "apuracao/registros.h"

#include <map>

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

// The book sums the groups 1 to 3 of the entries and 5 to 7 of the exits.
std::string DescricaoGrupo(const std::string& grupo) {
  static const std::map<std::string, std::string, std::less<>> kDescricoes = {
      {"1", "DO ESTADO"},     {"2", "DE OUTROS ESTADOS"},   {"3", "DO EXTERIOR"},
      {"5", "PARA O ESTADO"}, {"6", "PARA OUTROS ESTADOS"}, {"7", "PARA O EXTERIOR"}};
  const auto d = kDescricoes.find(grupo);
  return d == kDescricoes.end() ? std::string() : d->second;
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
