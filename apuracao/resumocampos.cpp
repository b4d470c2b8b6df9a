#include "apuracao/resumocampos.h"

TDetalhamento* TDetalhamentos::Add() {
  FItens.push_back(std::make_unique<TDetalhamento>());
  return FItens.back().get();
}

TDetalhamento* TDetalhamentos::Add(std::unique_ptr<TDetalhamento> detalhe) {
  FItens.push_back(std::move(detalhe));
  return FItens.back().get();
}

std::unique_ptr<TDetalhamento> TDetalhamentos::Extract(int i) {
  auto it = FItens.begin() + i;
  std::unique_ptr<TDetalhamento> d = std::move(FItens.at(static_cast<size_t>(i)));
  FItens.erase(it);
  return d;
}

int TDetalhamentos::IndexOf(const std::string& codigo) const {
  for (size_t i = 0; i < FItens.size(); ++i)
    if (FItens[i]->GetCodigo() == codigo) return static_cast<int>(i);
  return -1;
}

TDetalhamento* TDetalhamentos::Locate(const std::string& codigo) const {
  int i = IndexOf(codigo);
  return i < 0 ? nullptr : FItens[static_cast<size_t>(i)].get();
}

Currency TResumoCampo::GetTotal() const {
  Currency soma;
  for (int i = 0; i < FDetalhamentos.Count(); ++i) soma += FDetalhamentos.GetItem(i)->GetValor();
  return soma * FSinal;
}

TResumoCampo* TResumoCampos::Add() {
  FItens.push_back(std::make_unique<TResumoCampo>());
  return FItens.back().get();
}

TResumoCampo* TResumoCampos::Locate(int32_t codigo) const {
  for (const auto& c : FItens)
    if (c->GetCodigo() == codigo) return c.get();
  return nullptr;
}

Currency TResumoCampos::GetTotal() const {
  Currency t;
  for (const auto& c : FItens) t += c->GetTotal();
  return t + FRegistros.GetTotalImposto();
}
