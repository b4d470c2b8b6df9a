#include "host/servicos/utilescrita.h"

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/servicos/protegido.h"

using servicos::Protegido;

TMascaraCfop TUtilEscrita::GetMascaraESufixoCfop() {
  if (mascaraLida_) return mascara_;
  Protegido("GetMascaraESufixoCfop", [&] {
    mascara_ = {"9.999.999", 3};
    banco::TComando q(c_.Db(), "SELECT CHAVE, VALOR FROM HS_CONFIG WHERE CHAVE IN ('CFOP_MASCARA', 'CFOP_SUFIXO')");
    while (q.executeStep()) {
      if (q.getColumn(0).getString() == "CFOP_MASCARA") {
        mascara_.Mascara = q.getColumn(1).getString();
      } else {
        int n = 0;
        try {
          n = std::stoi(q.getColumn(1).getString());
        } catch (const std::logic_error&) {
          throw EBancoDados("HS_CONFIG CFOP_SUFIXO não é um número");
        }
        if (n < 0 || n > 9) throw EBancoDados("HS_CONFIG CFOP_SUFIXO fora de 0..9: " + std::to_string(n));
        mascara_.TamanhoSufixo = static_cast<uint8_t>(n);
      }
    }
  });
  mascaraLida_ = true;
  return mascara_;
}

bool TUtilEscrita::GetPerfilEFD(int64_t idFilial, TDateTime data) {
  return Protegido("GetPerfilEFD", [&] {
    banco::TComando q(c_.Db(),
        "SELECT REGISTROAUX FROM HS_PERFILEFD WHERE IDFILIAL = ? AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?)"
        " ORDER BY DATAINICIO DESC LIMIT 1");
    banco::Vincular(q, idFilial, DataISO(data), DataISO(data));
    return q.executeStep() && q.getColumn(0).getInt() == 1;
  });
}
