#include "host/servicos/selecaoimpostos.h"

#include <stdexcept>

#include "host/banco/conexao.h"

TFrameSelecionarImpostos::TFrameSelecionarImpostos(TQDConnection& conexao) : ds_(&conexao) {
  ds_.SetCommandText(
      "SELECT CODIGO, DESCRICAO, MARCADO FROM ("
      " SELECT '2001' AS CODIGO, 'ICMS' AS DESCRICAO, 0 AS MARCADO, 0 AS ORDEM"
      " UNION ALL SELECT IMPOSTO, 'ICMS-ST ' || UF, 0, 1 FROM HS_CODIGOICMSST) ORDER BY ORDEM, CODIGO");
  ds_.Open();
}

void TFrameSelecionarImpostos::MarcarTodos(bool marcar) {
  bool filtrado = ds_.GetFiltered();
  ds_.SetFiltered(false);
  for (ds_.First(); !ds_.Eof(); ds_.Next()) ds_.SetFieldValue("MARCADO", int64_t{marcar ? 1 : 0});
  ds_.SetFiltered(filtrado);
}

void TFrameSelecionarImpostos::MarcarPorImposto(TTipoImposto tipo) {
  bool filtrado = ds_.GetFiltered();
  ds_.SetFiltered(false);
  for (ds_.First(); !ds_.Eof(); ds_.Next()) {
    bool st = ds_.FieldByName("CODIGO").AsString() != "2001";
    ds_.SetFieldValue("MARCADO", int64_t{(st == (tipo == TTipoImposto::ICMSST)) ? 1 : 0});
  }
  ds_.SetFiltered(filtrado);
}

void TFrameSelecionarImpostos::MarcarCodigos(const std::vector<std::string>& codigos) {
  ds_.SetFiltered(false);
  for (const auto& c : codigos)
    if (!ds_.Locate("CODIGO", {c}))
      throw std::invalid_argument("Código de imposto desconhecido: " + c + " (use 2001 para ICMS ou o código de ICMS-ST de um estado)");
  MarcarTodos(false);
  for (const auto& c : codigos) {
    ds_.Locate("CODIGO", {c});
    ds_.SetFieldValue("MARCADO", int64_t{1});
  }
  ds_.First();
}

int TFrameSelecionarImpostos::QuantidadeMarcada() {
  int n = 0;
  bool filtrado = ds_.GetFiltered();
  ds_.SetFiltered(false);
  for (ds_.First(); !ds_.Eof(); ds_.Next()) n += ds_.FieldByName("MARCADO").AsInteger() == 1;
  ds_.SetFiltered(filtrado);
  return n;
}
