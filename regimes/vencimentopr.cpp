#include "regimes/vencimentopr.h"

#include <cctype>

#include "host/banco/integridade.h"
#include "host/base/texto.h"

namespace vencimentopr {

std::string Digitos(const std::string& inscricao) {
  std::string r;
  for (char c : inscricao)
    if (std::isdigit(static_cast<unsigned char>(c))) r.push_back(c);
  return r;
}

namespace {

// The day of one rule for the digit; 0 when the rule does not apply. The part "from the first
// comma" of a rule without comma is the whole rule, whose day (the text before the comma) is then
// empty: an error when the digit is found.
int32_t DiaPelaRegra(const std::string& regra, char digito, const TCodigoRecolhimentoConfigurado& linha, size_t coluna) {
  if (regra.empty()) return 0;
  const size_t virgula = regra.find(',');
  const std::string digitos = virgula == std::string::npos ? regra : regra.substr(virgula);
  if (digitos.find(digito) == std::string::npos) return 0;
  const std::string dia = texto::Aparar(virgula == std::string::npos ? std::string() : regra.substr(0, virgula));
  if (dia.empty() || dia.size() > 5 || dia.find_first_not_of("0123456789") != std::string::npos)
    throw EDadosInvalidos(
        "O código de recolhimento não pode ser usado",
        {"ES02_CODIGOREC IDCODIGOREC " + std::to_string(linha.IdCodigoRec) + ": CODIGO" + std::to_string(coluna) + " '" +
         regra + "' vale para o dígito " + std::string(1, digito) +
         " da inscrição, mas o dia antes da vírgula não é um número"});
  return std::stoi(dia);
}

}  // namespace

TCodigoRecolhimento CodigoRecolhimento(const TCodigoRecolhimentoConfigurado& linha, std::optional<char> digito) {
  TCodigoRecolhimento c;
  c.Codigo = linha.Codigo;
  c.IdCodigoRec = linha.IdCodigoRec;
  c.TpDiaVencto = linha.TpDiaVencto;
  if (digito)
    for (size_t i = 0; i < linha.SubCodigos.size() && c.DiaVencto == 0; ++i)
      c.DiaVencto = DiaPelaRegra(linha.SubCodigos[i], *digito, linha, i + 1);
  if (c.DiaVencto == 0) c.DiaVencto = linha.DiaVenctoNumero();
  return c;
}

}  // namespace vencimentopr
