#include "host/banco/periodoalterado.h"

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/base/formatacao.h"

namespace banco {

std::vector<TPeriodoAlterado> MarcarPeriodoAlterado(TQDConnection& c, int64_t idFilial, TDateTime inicio,
                                                    TDateTime fim, const std::string& motivo) {
  banco::TComando ins(c.Db(),
      "INSERT INTO HS_PERIODOALTERADO (IDFILIAL, IMPOSTO, DATAINICIO, DATAFIM, MOTIVO, GRAVADOEM)"
      " SELECT DISTINCT IDFILIAL, IMPOSTO, INICIO, FIM, ?4, ?5 FROM TR04_IMPOSTO I"
      " WHERE IDFILIAL = ?1 AND TP = 1 AND INICIO <= ?3 AND FIM >= ?2 AND NOT EXISTS (SELECT 1 FROM"
      " HS_PERIODOALTERADO P WHERE P.IDFILIAL = I.IDFILIAL AND P.IMPOSTO = I.IMPOSTO AND P.DATAINICIO = I.INICIO"
      " AND P.DATAFIM = I.FIM)");
  Vincular(ins, idFilial, DataISO(inicio), DataISO(fim), motivo, DataHoraBR(Agora())).exec();
  return PeriodosAlterados(c, idFilial, inicio, fim);
}

void LimparPeriodoAlterado(TQDConnection& c, int64_t idFilial, const std::string& imposto, TDateTime inicio,
                           TDateTime fim) {
  banco::TComando d(c.Db(),
      "DELETE FROM HS_PERIODOALTERADO WHERE IDFILIAL = ? AND IMPOSTO = ? AND DATAINICIO >= ? AND DATAFIM <= ?");
  Vincular(d, idFilial, imposto, DataISO(inicio), DataISO(fim)).exec();
}

std::vector<TPeriodoAlterado> PeriodosAlterados(TQDConnection& c, int64_t idFilial, TDateTime inicio, TDateTime fim) {
  banco::TComando q(c.Db(),
      "SELECT IMPOSTO, DATAINICIO, DATAFIM, COALESCE(MOTIVO, '') FROM HS_PERIODOALTERADO"
      " WHERE IDFILIAL = ? AND DATAINICIO <= ? AND DATAFIM >= ? ORDER BY DATAINICIO, IMPOSTO");
  Vincular(q, idFilial, DataISO(fim), DataISO(inicio));
  std::vector<TPeriodoAlterado> r;
  while (q.executeStep()) {
    TPeriodoAlterado p;
    p.Imposto = q.getColumn(0).getString();
    TentarLerData(q.getColumn(1).getString(), p.Inicio);
    TentarLerData(q.getColumn(2).getString(), p.Fim);
    p.Motivo = q.getColumn(3).getString();
    r.push_back(std::move(p));
  }
  return r;
}

void ExigirApuracaoAtual(TQDConnection& c, int64_t idFilial, TDateTime inicio, TDateTime fim, const std::string& oQue) {
  const std::vector<TPeriodoAlterado> alterados = PeriodosAlterados(c, idFilial, inicio, fim);
  if (alterados.empty()) return;
  std::string m = oQue + " não pode ser gerado: os dados destes períodos do estabelecimento " + std::to_string(idFilial) +
                  " mudaram depois da apuração gravada; apure-os de novo antes:";
  for (const TPeriodoAlterado& p : alterados)
    m += "\n- imposto " + p.Imposto + ", " + DataBR(p.Inicio) + " a " + DataBR(p.Fim) +
         (p.Motivo.empty() ? "" : " (" + p.Motivo + ")");
  throw EPeriodoAlterado(m);
}

}  // namespace banco
