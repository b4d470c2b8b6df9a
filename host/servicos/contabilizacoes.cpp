#include "host/servicos/contabilizacoes.h"

#include <set>

#include "host/banco/motor.h"

#include "host/banco/conexao.h"
#include "host/banco/vincular.h"
#include "host/banco/consulta.h"
#include "host/servicos/protegido.h"

void TContabilizacoes::ContabilizaIntervaloEmpresas(int32_t empresaIni, int32_t empresaFim, TDateTime ini, TDateTime fim,
                                                    TQDClientDataSet& impostos) {
  std::set<std::string> marcados;
  for (impostos.First(); !impostos.Eof(); impostos.Next())
    if (impostos.FieldByName("MARCADO").AsInteger() == 1) marcados.insert(impostos.FieldByName("CODIGO").AsString());
  servicos::Protegido("Contabilização", [&] {
    TTransacao t(c_);
    // Postings of the interval that no recorded value produces any more (marked by IDLCTOAPUR = -1
    // while this posting runs) are removed at the end; the others are updated in place.
    banco::TComando apagar(c_.Db(),
        "UPDATE HS_LANCCONTABIL SET IDLCTOAPUR = -IDLCTOAPUR - 1 WHERE DATA BETWEEN ?3 AND ?4 AND IDEMPRESA IN"
        " (SELECT IDEMPRESA FROM SC00_EMPRESA WHERE EMPRESA BETWEEN ?1 AND ?2) AND IMPOSTO = ?5 AND IDLCTOAPUR >= 0");
    banco::TComando valores(c_.Db(),
        "SELECT L.IDLCTOAPUR, F.IDEMPRESA, L.IDFILIAL, L.IMPOSTO, L.TPLANCAMENTO, L.DATA, L.DATAFIM, L.VALOR, L.DESCRICAO,"
        "       (SELECT C.CONTADEBITO || char(9) || C.CONTACREDITO || char(9) || COALESCE(C.HISTORICO, '')"
        "          FROM HS_CONTACONTABIL C"
        "         WHERE C.TPLANCAMENTO = L.TPLANCAMENTO AND (C.IDEMPRESA IS NULL OR C.IDEMPRESA = F.IDEMPRESA)"
        "           AND (C.IMPOSTO IS NULL OR C.IMPOSTO = L.IMPOSTO)"
        "         ORDER BY (C.IDEMPRESA IS NULL), (C.IMPOSTO IS NULL) LIMIT 1)"
        "  FROM ES02_LCTOAPUR L JOIN SC00_FILIAL F ON (F.IDFILIAL = L.IDFILIAL)"
        "  JOIN SC00_EMPRESA E ON (E.IDEMPRESA = F.IDEMPRESA)"
        " WHERE E.EMPRESA BETWEEN ?1 AND ?2 AND L.DATA BETWEEN ?3 AND ?4 AND L.IMPOSTO = ?5"
        "   AND L.TPLANCAMENTO IN (52, 54, 55, 56, 57) AND L.VALOR > 0"
        " ORDER BY L.DATA, L.IDFILIAL, L.TPLANCAMENTO");
    banco::TComando inserir(c_.Db(),
        "INSERT INTO HS_LANCCONTABIL (IDEMPRESA, IDFILIAL, IMPOSTO, TPLANCAMENTO, DATA, INICIO, FIM, CONTADEBITO,"
        " CONTACREDITO, VALOR, HISTORICO, IDLCTOAPUR) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    banco::TComando atualizar(c_.Db(),
        "UPDATE HS_LANCCONTABIL SET IDEMPRESA = ?1, IDFILIAL = ?2, IMPOSTO = ?3, TPLANCAMENTO = ?4, DATA = ?5, INICIO = ?6,"
        " FIM = ?7, CONTADEBITO = ?8, CONTACREDITO = ?9, VALOR = ?10, HISTORICO = ?11, IDLCTOAPUR = ?12"
        " WHERE IDLCTOAPUR = -CAST(?12 AS BIGINT) - 1");  // a lone minus gives the server no type
    banco::TComando limpar(c_.Db(), "DELETE FROM HS_LANCCONTABIL WHERE IDLCTOAPUR < 0");
    for (const auto& imposto : marcados) {
      for (auto* s : {&apagar, &valores})
        banco::Vincular(*s, empresaIni, empresaFim, DataISO(ini), DataISO(fim), imposto);
      apagar.exec();
      while (valores.executeStep()) {
        if (valores.getColumn(9).isNull()) continue;  // no account configured for this value
        std::string contas = valores.getColumn(9).getString();
        size_t t1 = contas.find('\t'), t2 = contas.find('\t', t1 + 1);
        std::string historico = contas.substr(t2 + 1);
        auto preencher = [&](banco::TComando& st) {
          banco::Vincular(st, valores.getColumn(1).getInt(), valores.getColumn(2).getInt64(), valores.getColumn(3).getString(), valores.getColumn(4).getInt(), valores.getColumn(6).getString(), valores.getColumn(5).getString(), valores.getColumn(6).getString(), contas.substr(0, t1), contas.substr(t1 + 1, t2 - t1 - 1), valores.getColumn(7).getDouble(), historico.empty() ? valores.getColumn(8).getString() : historico, valores.getColumn(0).getInt64());
        };
        preencher(atualizar);
        if (atualizar.exec() == 0) {
          preencher(inserir);
          inserir.exec();
        }
      }
    }
    limpar.exec();
    t.Confirmar();
  });
}
