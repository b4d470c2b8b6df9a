// Dated configuration the state regimes read from the host: establishment settings by three keys
// (HS_FILIALCFG) and the digital-bookkeeping detail codes of the states (HS_DETALHEEFD).
#include <climits>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/servicos/apuracaofuncoes.h"
#include "host/servicos/protegido.h"

using servicos::Protegido;

TFilialCfg TApuracaoFuncoes::GetFilialCfg(int64_t idFilial, int32_t chave1, int32_t chave2, int32_t chave3,
                                          TDateTime ini, TDateTime fim) {
  return Protegido("GetFilialCfg", [&] {
    banco::TComando q(c_.Db(),
        "SELECT IDFILIALCFG, TEXTO, INFORMACAO2, INFORMACAO3, INFORMACAO4, INFORMACAO5 FROM HS_FILIALCFG"
        " WHERE IDFILIAL = ? AND CHAVE1 = ? AND CHAVE2 = ? AND CHAVE3 = ?"
        "   AND DATAINICIO <= ? AND (DATAFIM IS NULL OR DATAFIM >= ?)"
        " ORDER BY DATAINICIO DESC, IDFILIALCFG DESC LIMIT 1");
    banco::Vincular(q, idFilial, chave1, chave2, chave3, DataISO(ini), DataISO(fim));
    TFilialCfg r;
    if (!q.executeStep()) return r;
    r.IdCfg = servicos::IdInteiro(q.getColumn(0).getInt64(), "HS_FILIALCFG");
    r.Encontrada = true;
    r.Informacao1 = q.getColumn(1).getString();
    r.Informacao2 = q.getColumn(2).getString();
    r.Informacao3 = q.getColumn(3).getString();
    r.Informacao4 = q.getColumn(4).getString();
    r.Informacao5 = q.getColumn(5).getString();
    return r;
  });
}

int32_t TApuracaoFuncoes::GetIdDetalheRs(const std::string& codigo, const std::string& uf, int32_t tabela, TDateTime data) {
  return Protegido("GetIdDetalheRs", [&]() -> int32_t {
    banco::TComando q(c_.Db(), std::string("SELECT IDDETALHEEFD FROM HS_DETALHEEFD WHERE TABELA = ?2 AND UF = ?3"
                                             " AND CODIGO = ?4 AND") +
                                     servicos::kVigente + "ORDER BY DATAINICIO DESC, IDDETALHEEFD DESC LIMIT 1");
    banco::Vincular(q, DataISO(data), tabela, uf, codigo);
    if (!q.executeStep()) return 0;
    return servicos::IdInteiro(q.getColumn(0).getInt64(), "HS_DETALHEEFD");
  });
}
