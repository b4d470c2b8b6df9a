// The totals of a run's items: filled day by day while the check reads them, sorted and joined
// when the reading ends, summed per CFOP id for the period a register asks.
#include "host/banco/totaisitens.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace banco {

namespace {

bool Acumular(TSomasItem& a, const TSomasItem& b) {
  for (size_t i = 0; i < a.size(); ++i)
    if (__builtin_add_overflow(a[i], b[i], &a[i])) return false;
  return true;
}

}  // namespace

TTotaisItens::TTotaisItens(int64_t idFilial, bool saidas, std::string inicio, std::string fim)
    : idFilial_(idFilial), saidas_(saidas), inicio_(std::move(inicio)), fim_(std::move(fim)) {}

bool TTotaisItens::DezMilesimosArredondados(double x, int64_t& resultado) {
  if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return false;  // infinite or too large
  resultado = static_cast<int64_t>(x);
  return true;
}

bool TTotaisItens::DezMilesimos(int64_t valor, int64_t& resultado) {
  return !__builtin_mul_overflow(valor, int64_t{10000}, &resultado);
}

int32_t TTotaisItens::IndiceDia(std::string_view data) {
  if (diaAtual_ >= 0 && data == textoDiaAtual_) return diaAtual_;
  textoDiaAtual_.assign(data);
  auto [it, novo] = indiceDias_.try_emplace(textoDiaAtual_, static_cast<int32_t>(dias_.size()));
  if (novo) dias_.push_back(textoDiaAtual_);
  diaAtual_ = it->second;
  linhasDoDia_.clear();  // a day met again later gets lines of its own, joined by Concluir
  return diaAtual_;
}

int16_t TTotaisItens::IndiceUF(std::string_view uf) {
  for (size_t i = 0; i < ufs_.size(); ++i)
    if (ufs_[i] == uf) return static_cast<int16_t>(i);
  ufs_.emplace_back(uf);
  return static_cast<int16_t>(ufs_.size() - 1);
}

void TTotaisItens::Documento(std::string_view data, const std::string_view* uf) {
  IndiceDia(data);
  ufAtual_ = uf ? IndiceUF(*uf) : int16_t{-1};
}

void TTotaisItens::Adicionar(int64_t idCfop, bool st, const TSomasItem& somas) {
  if (!utilizavel_) return;
  const TChaveDia chave{idCfop, ufAtual_, st};
  auto [it, novo] = linhasDoDia_.try_emplace(chave, linhas_.size());
  if (novo) {
    linhas_.push_back({idCfop, diaAtual_, chave.UF, st, somas});
  } else if (!Acumular(linhas_[it->second].Somas, somas)) {
    utilizavel_ = false;
  }
}

void TTotaisItens::Concluir() {
  linhasDoDia_ = {};
  indiceDias_ = {};
  diaAtual_ = -1;
  std::vector<int32_t> ordem(dias_.size());
  std::iota(ordem.begin(), ordem.end(), 0);
  std::sort(ordem.begin(), ordem.end(), [&](int32_t a, int32_t b) { return dias_[static_cast<size_t>(a)] < dias_[static_cast<size_t>(b)]; });
  std::vector<int32_t> nova(dias_.size());
  std::vector<std::string> dias(dias_.size());
  for (size_t i = 0; i < ordem.size(); ++i) {
    nova[static_cast<size_t>(ordem[i])] = static_cast<int32_t>(i);
    dias[i] = std::move(dias_[static_cast<size_t>(ordem[i])]);
  }
  dias_ = std::move(dias);
  for (TLinha& l : linhas_) l.Dia = nova[static_cast<size_t>(l.Dia)];
  auto chave = [](const TLinha& l) { return std::tie(l.Dia, l.IdCfop, l.UF, l.ST); };
  std::sort(linhas_.begin(), linhas_.end(), [&](const TLinha& a, const TLinha& b) { return chave(a) < chave(b); });
  size_t n = 0;
  for (size_t i = 0; i < linhas_.size(); ++i) {
    if (n > 0 && chave(linhas_[n - 1]) == chave(linhas_[i])) {
      if (!Acumular(linhas_[n - 1].Somas, linhas_[i].Somas)) utilizavel_ = false;
    } else {
      linhas_[n++] = linhas_[i];
    }
  }
  linhas_.resize(n);
  linhas_.shrink_to_fit();
  inicioDia_.assign(dias_.size() + 1, linhas_.size());
  for (size_t i = linhas_.size(); i-- > 0;) inicioDia_[static_cast<size_t>(linhas_[i].Dia)] = i;
  for (size_t d = dias_.size(); d-- > 0;) inicioDia_[d] = std::min(inicioDia_[d], inicioDia_[d + 1]);
}

bool TTotaisItens::Cobre(const std::string& inicio, const std::string& fim) const {
  return utilizavel_ && inicio_ <= inicio && fim <= fim_;
}

std::optional<std::vector<std::pair<int64_t, TSomasItem>>> TTotaisItens::Somar(const std::string& inicio,
                                                                               const std::string& fim,
                                                                               const std::string* uf) const {
  std::vector<std::pair<int64_t, TSomasItem>> r;
  int16_t indiceUF = -1;
  if (uf) {
    auto it = std::find(ufs_.begin(), ufs_.end(), *uf);
    if (it == ufs_.end()) return r;
    indiceUF = static_cast<int16_t>(it - ufs_.begin());
  }
  if (fim < inicio) return r;
  const size_t d0 = static_cast<size_t>(std::lower_bound(dias_.begin(), dias_.end(), inicio) - dias_.begin());
  const size_t d1 = static_cast<size_t>(std::upper_bound(dias_.begin(), dias_.end(), fim) - dias_.begin());
  std::map<int64_t, TSomasItem> porCfop;
  for (size_t i = inicioDia_[d0]; i < inicioDia_[d1]; ++i) {
    const TLinha& l = linhas_[i];
    if (uf && (l.UF != indiceUF || !l.ST)) continue;
    auto [it, novo] = porCfop.try_emplace(l.IdCfop, l.Somas);
    if (!novo && !Acumular(it->second, l.Somas)) return std::nullopt;
  }
  r.assign(porCfop.begin(), porCfop.end());
  return r;
}

}  // namespace banco
