// The state returns (GIA) of an establishment: one header per month and kind, and detail rows
// keyed by (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO) whose content a re-run replaces.
#include <climits>
#include <stdexcept>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/servicos/apuracaofuncoes.h"
#include "host/servicos/protegido.h"

namespace {

using servicos::IdInteiro;
using servicos::Protegido;

void ExigirGia(TQDConnection& c, int32_t idGia) {
  banco::TComando q(c.Db(), "SELECT 1 FROM ES02_GIA WHERE IDGIA = ?");
  banco::Vincular(q, idGia);
  if (!q.executeStep()) throw std::invalid_argument("GIA " + std::to_string(idGia) + " não encontrada (ES02_GIA).");
}

// Updates the row in place (its id stays) or adds it.
void GravarLinha(TQDConnection& c, int32_t idGia, const std::string& tpRegistro, const std::string& codigo,
                 const std::string& nomeCampo, const std::string& conteudo) {
  banco::TComando up(c.Db(),
      "UPDATE ES02_GIADET SET CONTEUDO = ? WHERE IDGIA = ? AND TPREGISTRO = ? AND CODIGO = ? AND NOMECAMPO = ?");
  banco::Vincular(up, conteudo, idGia, tpRegistro, codigo, nomeCampo);
  if (up.exec() > 0) return;
  banco::TComando ins(c.Db(),
      "INSERT INTO ES02_GIADET (IDGIA, TPREGISTRO, CODIGO, NOMECAMPO, CONTEUDO) VALUES (?, ?, ?, ?, ?)");
  banco::Vincular(ins, idGia, tpRegistro, codigo, nomeCampo, conteudo).exec();
}

}  // namespace

int32_t TApuracaoFuncoes::GetIDGia(int64_t idFilial, int32_t ano, int32_t mes, int32_t tipo, int32_t diaInicio,
                                   int32_t diaFim) {
  TDateTime inicioMes = 0;
  if (!TryEncodeDate(ano, mes, 1, inicioMes))
    throw std::invalid_argument("GIA do estabelecimento " + std::to_string(idFilial) + ": mês " + std::to_string(mes) +
                                "/" + std::to_string(ano) + " inválido.");
  const int ultimo = DiasNoMes(ano, mes);
  if (diaInicio == 1 && diaFim == ultimo) diaInicio = diaFim = 0;  // the whole month, however the caller says it
  if (!(diaInicio == 0 && diaFim == 0) && !(diaInicio >= 1 && diaInicio <= diaFim && diaFim <= ultimo))
    throw std::invalid_argument("GIA do estabelecimento " + std::to_string(idFilial) + " de " + std::to_string(mes) +
                                "/" + std::to_string(ano) + ": dias " + std::to_string(diaInicio) + " a " +
                                std::to_string(diaFim) + " inválidos (0 e 0 para o mês todo).");
  return Protegido("GetIDGia", [&] {
    TTransacao t(c_);
    banco::TComando q(c_.Db(),
        "SELECT IDGIA FROM ES02_GIA WHERE IDFILIAL = ?1 AND ANO = ?2 AND MES = ?3 AND TIPO = ?4"
        " AND ((DIAINICIO = ?5 AND DIAFIM = ?6) OR (?5 = 0 AND DIAINICIO = 1 AND DIAFIM = ?7))"
        " ORDER BY IDGIA LIMIT 1");
    banco::Vincular(q, idFilial, ano, mes, tipo, diaInicio, diaFim, ultimo);
    int64_t id = 0;
    if (q.executeStep()) {
      id = q.getColumn(0).getInt64();
    } else {
      banco::TComando ins(c_.Db(),
          "INSERT INTO ES02_GIA (IDFILIAL, ANO, MES, TIPO, DIAINICIO, DIAFIM) VALUES (?, ?, ?, ?, ?, ?)");
      banco::Vincular(ins, idFilial, ano, mes, tipo, diaInicio, diaFim).exec();
      id = c_.UltimoId();
    }
    const int32_t idGia = IdInteiro(id, "ES02_GIA");  // before the commit: a refused header is not kept
    t.Confirmar();
    return idGia;
  });
}

void TApuracaoFuncoes::GravarGiaDet(int32_t idGia, const std::string& tpRegistro, const std::string& codigo,
                                    const std::string& nomeCampo, const std::string& conteudo) {
  Protegido("GravarGiaDet", [&] {
    TTransacao t(c_);
    ExigirGia(c_, idGia);
    GravarLinha(c_, idGia, tpRegistro, codigo, nomeCampo, conteudo);
    t.Confirmar();
  });
}

void TApuracaoFuncoes::GravarGiaDet(int32_t idGia, const std::string& tpRegistro, const std::string& codigo,
                                    const std::vector<std::string>& nomesCampos,
                                    const std::vector<std::string>& conteudos) {
  if (nomesCampos.size() != conteudos.size())
    throw std::invalid_argument("GravarGiaDet: " + std::to_string(nomesCampos.size()) + " nomes de campo e " +
                                std::to_string(conteudos.size()) + " conteúdos para a GIA " + std::to_string(idGia) +
                                ", registro " + tpRegistro + ", código " + codigo +
                                "; as listas devem ter o mesmo tamanho.");
  Protegido("GravarGiaDet", [&] {
    TTransacao t(c_);
    ExigirGia(c_, idGia);
    for (size_t i = 0; i < nomesCampos.size(); ++i) GravarLinha(c_, idGia, tpRegistro, codigo, nomesCampos[i], conteudos[i]);
    t.Confirmar();
  });
}
