#include "host/servicos/contabilizacoes.h"

#include <set>

#include <SQLiteCpp/Statement.h>

#include "host/banco/conexao.h"
#include "host/banco/consulta.h"

int TContabilizacoes::ContabilizaIntervaloEmpresas(int32_t empresaIni, int32_t empresaFim, TDateTime ini, TDateTime fim,
                                                   TQDClientDataSet& impostos) {
  std::set<std::string> marcados;
  for (impostos.First(); !impostos.Eof(); impostos.Next())
    if (impostos.FieldByName("MARCADO").AsInteger() == 1) marcados.insert(impostos.FieldByName("CODIGO").AsString());
  impostos.First();
  int gravados = 0;
  try {
    TTransacao t(c_);
    SQLite::Statement apagar(c_.Db(),
        "DELETE FROM HS_LANCCONTABIL WHERE DATA BETWEEN ?3 AND ?4 AND IDEMPRESA IN"
        " (SELECT IDEMPRESA FROM SC00_EMPRESA WHERE EMPRESA BETWEEN ?1 AND ?2) AND IMPOSTO = ?5");
    SQLite::Statement valores(c_.Db(),
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
    SQLite::Statement inserir(c_.Db(),
        "INSERT INTO HS_LANCCONTABIL (IDEMPRESA, IDFILIAL, IMPOSTO, TPLANCAMENTO, DATA, INICIO, FIM, CONTADEBITO,"
        " CONTACREDITO, VALOR, HISTORICO, IDLCTOAPUR) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (const auto& imposto : marcados) {
      for (auto* s : {&apagar, &valores}) {
        s->reset();
        s->bind(1, empresaIni);
        s->bind(2, empresaFim);
        s->bind(3, DataISO(ini));
        s->bind(4, DataISO(fim));
        s->bind(5, imposto);
      }
      apagar.exec();
      while (valores.executeStep()) {
        if (valores.getColumn(9).isNull()) continue;  // no account configured for this value
        std::string contas = valores.getColumn(9).getString();
        size_t t1 = contas.find('\t'), t2 = contas.find('\t', t1 + 1);
        std::string historico = contas.substr(t2 + 1);
        inserir.reset();
        inserir.bind(1, valores.getColumn(1).getInt());
        inserir.bind(2, valores.getColumn(2).getInt64());
        inserir.bind(3, valores.getColumn(3).getString());
        inserir.bind(4, valores.getColumn(4).getInt());
        inserir.bind(5, valores.getColumn(6).getString());
        inserir.bind(6, valores.getColumn(5).getString());
        inserir.bind(7, valores.getColumn(6).getString());
        inserir.bind(8, contas.substr(0, t1));
        inserir.bind(9, contas.substr(t1 + 1, t2 - t1 - 1));
        inserir.bind(10, valores.getColumn(7).getDouble());
        inserir.bind(11, historico.empty() ? valores.getColumn(8).getString() : historico);
        inserir.bind(12, valores.getColumn(0).getInt64());
        inserir.exec();
        ++gravados;
      }
    }
    t.Confirmar();
  } catch (const SQLite::Exception& e) {
    throw EBancoDados(std::string("Contabilização: ") + e.what());
  }
  return gravados;
}
