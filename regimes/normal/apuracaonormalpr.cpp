#include "regimes/normal/apuracaonormalpr.h"

#include "regimes/vencimentopr.h"

TCodigoRecolhimento TResumoNormalPR::GetCodigoRecolhimento() {
  if (!FCodigoRecolhimento.Codigo.empty()) return FCodigoRecolhimento;
  const auto linha = LerCodigoRecolhimentoConfigurado();
  if (!linha) return TCodigoRecolhimento{};
  // An inscription of fewer than three digits has no key digit: no rule applies.
  const std::string digitos = vencimentopr::Digitos(FFilial.InscrEstadual);
  const std::optional<char> chave = digitos.size() >= 3 ? std::optional(digitos[digitos.size() - 3]) : std::nullopt;
  FCodigoRecolhimento = vencimentopr::CodigoRecolhimento(*linha, chave);
  FCodigoRecolhimento.Vencimento = GetVencimento(FCodigoRecolhimento);
  return FCodigoRecolhimento;
}
